// Writes the inputs of orvo-pack's tests as files into the folder given as its only
// argument, for tests that run whole packers over them (the Java packer's comparison
// with this one). Each file is named after what it is; the names starting with
// "launcher", "icon", "config" and "jar" say which option takes them.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "file_io.h"
#include "pack_error.h"
#include "packer.h"
#include "pe_image.h"
#include "test_files.h"

namespace {

using namespace orvo::pack;
namespace fs = std::filesystem;

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

Bytes Packed(const Bytes& launcher) { return Pack(test::EveryPackInput(launcher)).executable; }

// A packed executable with a signature after its archive, as a signing tool leaves it.
Bytes Signed(Bytes executable) {
    PadTo(executable, 8);
    const auto signatureAt = static_cast<std::uint32_t>(executable.size());
    executable.resize(executable.size() + 2048, 0x30);
    const PeImage image = PeImage::Parse(executable);
    WriteU32(executable, *image.DirectoryEntryOffset(DataDirectory::kSecurity), signatureAt);
    WriteU32(executable, *image.DirectoryEntryOffset(DataDirectory::kSecurity) + 4, 2048);
    return executable;
}

Bytes WithTrailing(const std::string& trailing) {
    test::SyntheticPe pe;
    pe.sections = {{".rsrc", [](std::uint32_t rva) { return BuildResourceDirectory(test::LauncherResources(), rva); }}};
    pe.resourceSection = 0;
    pe.trailing = test::BytesOf(trailing);
    return test::BuildSyntheticPe(pe);
}

// A launcher whose section after the resources is not the relocations.
Bytes Unmovable() {
    test::SyntheticPe pe;
    pe.sections = {{".rsrc", [](std::uint32_t rva) { return BuildResourceDirectory(test::LauncherResources(), rva); }},
                   {".data", [](std::uint32_t) { return Filled(0x80, 7); }}};
    pe.resourceSection = 0;
    return test::BuildSyntheticPe(pe);
}

Bytes WithoutResources() {
    test::SyntheticPe pe;
    pe.sections = {{".text", [](std::uint32_t) { return Filled(0x100, 0xCC); }}};
    return test::BuildSyntheticPe(pe);
}

std::vector<ResourceLeaf> ResourcesWhere(const std::function<void(std::vector<ResourceLeaf>&)>& change) {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    change(leaves);
    return leaves;
}

Bytes Truncated(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes Changed(Bytes bytes, const std::function<void(Bytes&)>& change) {
    change(bytes);
    return bytes;
}

Bytes Prefixed(const std::string& prefix, const Bytes& bytes) {
    Bytes out = test::BytesOf(prefix);
    AppendBytes(out, bytes);
    return out;
}

void WriteInputs(const fs::path& folder) {
    const auto write = [&](const std::string& name, const Bytes& bytes) { WriteFileReplacing((folder / name).string(), bytes); };
    const Bytes launcher = test::LauncherLikePe(test::LauncherResources());
    write("launcher-64.exe", launcher);
    write("launcher-32.exe", test::LauncherLikePe(test::LauncherResources(), false));
    write("launcher-packed.exe", Packed(launcher));
    write("launcher-packed-signed.exe", Signed(Packed(launcher)));
    write("launcher-debug-trailing.exe", WithTrailing("symbols of a debug build"));
    write("launcher-unmovable.exe", Unmovable());
    write("launcher-no-resources.exe", WithoutResources());
    write("launcher-no-manifest.exe", test::LauncherLikePe(ResourcesWhere([](auto& leaves) { leaves.erase(leaves.begin() + 4); })));
    write("launcher-no-level.exe", test::LauncherLikePe(ResourcesWhere([](auto& leaves) {
              leaves[4].data = test::BytesOf("<assembly><trustInfo/></assembly>");
          })));
    write("launcher-no-icon.exe", test::LauncherLikePe(ResourcesWhere([](auto& leaves) { leaves.erase(leaves.begin(), leaves.begin() + 3); })));
    write("launcher-text.exe", test::BytesOf("MZ but nothing else"));
    write("launcher-half.exe", Truncated(launcher, launcher.size() / 2));
    write("launcher-headers-only.exe", Truncated(launcher, 0x300));
    // One launcher for each fault of the headers, so that both packers word each alike.
    constexpr std::uint32_t kOptional = 0x40 + 24;
    write("launcher-no-mz.exe", test::BytesOf("[Application]\r\n"));
    write("launcher-no-pe-signature.exe", Truncated(launcher, 0x40));
    write("launcher-cut-in-file-header.exe", Truncated(launcher, 0x40 + 20));
    write("launcher-object-file.exe", Changed(launcher, [](Bytes& f) { WriteU16(f, 0x40 + 22, 0); }));
    write("launcher-unknown-optional-header.exe", Changed(launcher, [](Bytes& f) { WriteU16(f, kOptional, 0x107); }));
    write("launcher-small-optional-header.exe", Changed(launcher, [](Bytes& f) { WriteU16(f, 0x40 + 20, 100); }));
    write("launcher-many-directories.exe", Changed(launcher, [](Bytes& f) { WriteU32(f, kOptional + 108, 17); }));
    write("launcher-odd-alignment.exe", Changed(launcher, [](Bytes& f) { WriteU32(f, kOptional + 36, 0x300); }));

    write("icon-two-sizes.ico", test::IconFile({16, 32}, 0xFF00FF00));
    write("icon-all-sizes.ico", test::IconFile({16, 32, 48, 0}, 0xFF2E9D4C));
    write("icon-png-signature-only.ico", test::BytesOf("\x89PNG\r\n\x1a\n"));
    write("icon-gif.ico", test::BytesOf("GIF89a"));
    Bytes cursor = test::IconFile({32}, 0xFF000000);
    WriteU16(cursor, 2, 2);
    write("icon-cursor.cur", cursor);
    write("icon-truncated.ico", Truncated(test::IconFile({16, 32}, 0xFF00FF00), 60));

    write("config-crlf.ini", test::BytesOf("[Java Runtime Environment]\r\nMain Class=a.B\r\n"));
    write("config-lf.ini", test::BytesOf("[Java Runtime Environment]\nMain Class=app.Main\n"));
    write("config-application.ini", test::BytesOf("[Application]\n  Embedded Jar = no\nSingle Instance=yes\n[Other]\nEmbedded Jar=no"));
    write("config-bom.ini", test::BytesOf("\xEF\xBB\xBF[Java Runtime Environment]\nMain Class=caf\xC3\xA9.Main"));
    write("config-utf16.ini", test::BytesOf(std::string("\xFF\xFE[\0A\0p\0p\0l\0i\0c\0a\0t\0i\0o\0n\0]\0\n\0x\0=\0\xE9\0", 34)));
    write("config-odd-utf16.ini", test::BytesOf(std::string("\xFF\xFE[\0A", 5)));
    write("config-broken-surrogate.ini", test::BytesOf(std::string("\xFF\xFEx\0\x00\xD8", 6)));
    write("config-not-utf8.ini", test::BytesOf("k=\xFF"));
    write("config-empty.ini", {});
    write("config-too-large.ini", Bytes(1024 * 1024, 'x'));

    write("jar-one-entry.jar", test::ZipFile({{"a/B.class", "x"}}));
    write("jar-with-comment.jar", test::ZipFile({{"app/Main.class", "cafebabe"}, {"META-INF/MANIFEST.MF", "m"}}, "a comment"));
    write("jar-prefixed.jar", Prefixed("#!/bin/sh\nexec java -jar \"$0\"\n", test::ZipFile({{"a/B.class", "x"}})));
    write("jar-no-entries.jar", test::ZipFile({}));
    write("jar-not-really.jar", test::BytesOf("PK not really"));
    write("jar-text.jar", test::BytesOf("not a jar"));
    write("jar-truncated.jar", Truncated(test::ZipFile({{"a/B.class", "x"}}), 40));

    // Hostile inputs: costly shapes that must be refused at once.
    write("launcher-shared-tables.exe", test::LauncherLikePeWithSection(test::SharedTablesDirectory(16384)));
    write("icon-repeating-one-image.ico", test::IconFileRepeatingOneImage(256, 1024 * 1024));
    write("icon-too-many-images.ico", test::IconFileRepeatingOneImage(65535, 1024));
    Bytes offsetPastEnd = test::ZipFile({{"a/B.class", "x"}});
    WriteU32(offsetPastEnd, offsetPastEnd.size() - 6, 0x10000);
    write("jar-directory-past-end.jar", offsetPastEnd);
    std::string manifest = "<assembly>";
    for (int i = 0; i < 40000; ++i) manifest += "requestedExecutionLevel ";
    write("launcher-manifest-repeating.exe", test::LauncherLikePe(ResourcesWhere([&](auto& leaves) {
              leaves[4].data = test::BytesOf(manifest + "<requestedExecutionLevel level='asInvoker'/></assembly>");
          })));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: pack_test_inputs FOLDER\n", stderr);
        return 2;
    }
    try {
        fs::create_directories(argv[1]);
        WriteInputs(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pack_test_inputs: %s\n", error.what());
        return 1;
    }
    return 0;
}
