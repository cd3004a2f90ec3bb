#include "test_files.h"

#include <algorithm>

namespace orvo::pack::test {
namespace {

constexpr std::uint32_t kHeadersSize = 0x400;
constexpr std::uint32_t kPeOffset = 0x40;

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

void WriteFileHeader(Bytes& out, const SyntheticPe& pe, std::uint16_t optionalSize) {
    out[0] = 'M';
    out[1] = 'Z';
    WriteU32(out, 0x3C, kPeOffset);
    out[kPeOffset] = 'P';
    out[kPeOffset + 1] = 'E';
    WriteU16(out, kPeOffset + 4, pe.is64 ? 0x8664 : 0x014C);
    WriteU16(out, kPeOffset + 6, static_cast<std::uint16_t>(pe.sections.size()));
    WriteU16(out, kPeOffset + 20, optionalSize);
    WriteU16(out, kPeOffset + 22, 0x0022);  // executable, large-address aware
}

}  // namespace

Bytes BuildSyntheticPe(const SyntheticPe& pe) {
    const std::uint16_t optionalSize = pe.is64 ? 240 : 224;
    const std::uint32_t optional = kPeOffset + 24;
    const std::uint32_t directories = optional + (pe.is64 ? 112 : 96);
    const std::uint32_t table = optional + optionalSize;
    Bytes out(kHeadersSize, 0);
    WriteFileHeader(out, pe, optionalSize);
    WriteU16(out, optional, pe.is64 ? 0x20B : 0x10B);
    WriteU32(out, optional + 32, kSectionAlignment);
    WriteU32(out, optional + 36, kFileAlignment);
    WriteU32(out, optional + 60, kHeadersSize);
    WriteU16(out, optional + 68, 2);  // GUI
    WriteU32(out, directories - 4, 16);
    std::uint32_t address = kSectionAlignment;
    std::uint32_t initialized = 0;
    for (std::size_t i = 0; i < pe.sections.size(); ++i) {
        const Bytes data = pe.sections[i].data(address);
        const std::uint32_t header = table + 40 * static_cast<std::uint32_t>(i);
        std::copy_n(pe.sections[i].name.begin(), std::min<std::size_t>(8, pe.sections[i].name.size()), out.begin() + header);
        WriteU32(out, header + 8, static_cast<std::uint32_t>(data.size()));
        WriteU32(out, header + 12, address);
        WriteU32(out, header + 16, static_cast<std::uint32_t>(AlignUp(data.size(), kFileAlignment)));
        WriteU32(out, header + 20, static_cast<std::uint32_t>(out.size()));
        WriteU32(out, header + 36, 0x40000040);  // initialised data, readable
        const int index = static_cast<int>(i);
        const std::uint32_t directory = index == pe.resourceSection ? 2 : index == pe.relocationSection ? 5 : 0;
        if (directory != 0) {
            WriteU32(out, directories + 8 * directory, address);
            WriteU32(out, directories + 8 * directory + 4, static_cast<std::uint32_t>(data.size()));
        }
        AppendBytes(out, data);
        PadTo(out, kFileAlignment);
        initialized += static_cast<std::uint32_t>(AlignUp(data.size(), kFileAlignment));
        address += static_cast<std::uint32_t>(AlignUp(std::max<std::size_t>(data.size(), 1), kSectionAlignment));
    }
    WriteU32(out, optional + 8, initialized);
    WriteU32(out, optional + 56, address);
    AppendBytes(out, pe.trailing);
    return out;
}

Bytes LauncherLikePe(const std::vector<ResourceLeaf>& resources, bool is64) {
    SyntheticPe pe;
    pe.is64 = is64;
    pe.sections = {
        {".text", [](std::uint32_t) { return Filled(0x1234, 0xCC); }},
        {".rsrc", [&](std::uint32_t rva) { return BuildResourceDirectory(resources, rva); }},
        {".reloc", [](std::uint32_t) { return Filled(0x0C8, 0x5A); }},
    };
    pe.resourceSection = 1;
    pe.relocationSection = 2;
    return BuildSyntheticPe(pe);
}

Bytes LauncherLikePeWithSection(const Bytes& resourceSection) {
    SyntheticPe pe;
    pe.sections = {
        {".text", [](std::uint32_t) { return Filled(0x1234, 0xCC); }},
        {".rsrc", [&](std::uint32_t) { return resourceSection; }},
        {".reloc", [](std::uint32_t) { return Filled(0x0C8, 0x5A); }},
    };
    pe.resourceSection = 1;
    pe.relocationSection = 2;
    return BuildSyntheticPe(pe);
}

Bytes SharedTablesDirectory(std::uint16_t count) {
    const std::uint32_t table = 16 + 8 * std::uint32_t{count};
    Bytes section(2 * table + 16, 0);
    for (const std::uint32_t at : {0u, table}) {
        WriteU16(section, at + 14, count);
        for (std::uint32_t i = 0; i < count; ++i) {
            WriteU32(section, at + 16 + 8 * i, i + 1);
            WriteU32(section, at + 20 + 8 * i, 0x80000000u | (at + table));
        }
    }
    return section;
}

std::vector<ResourceLeaf> LauncherResources() {
    const auto number = ResourceId::Number;
    const std::string manifest =
        "<assembly><trustInfo><security><requestedPrivileges>"
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
        "</requestedPrivileges></security></trustInfo>"
        "<application><windowsSettings><dpiAware>true</dpiAware></windowsSettings></application></assembly>";
    Bytes group;
    for (std::uint16_t field : {0, 1, 2}) AppendU16(group, field);
    for (std::uint16_t id : {1, 2}) {
        group.insert(group.end(), {16, 16, 0, 0});
        AppendU16(group, 1);
        AppendU16(group, 32);
        AppendU32(group, 100);
        AppendU16(group, id);
    }
    return {
        {number(kResourceIcon), number(1), 0x409, 0, Filled(100, 1)},
        {number(kResourceIcon), number(2), 0x409, 0, Filled(100, 2)},
        {number(kResourceGroupIcon), number(1), 0x409, 0, group},
        {number(kResourceVersion), number(1), 0x409, 0, Filled(92, 3)},
        {number(kResourceManifest), number(1), 0x409, 0, BytesOf(manifest)},
        {number(6), number(13), 0x409, 0, Filled(64, 4)},
    };
}

Bytes IconFile(const std::vector<std::uint8_t>& sizes, std::uint32_t colour) {
    std::vector<Bytes> images;
    for (std::uint8_t size : sizes) {
        Bytes dib;
        for (std::uint32_t field : {40u, std::uint32_t{size}, 2u * size}) AppendU32(dib, field);
        AppendU16(dib, 1);
        AppendU16(dib, 32);
        for (int i = 0; i < 6; ++i) AppendU32(dib, 0);
        for (int i = 0; i < size * size; ++i) AppendU32(dib, colour);
        dib.resize(dib.size() + ((size + 31) / 32) * 4 * size, 0);
        images.push_back(dib);
    }
    Bytes file;
    for (std::uint16_t field : {0, 1, static_cast<int>(sizes.size())}) AppendU16(file, field);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        file.insert(file.end(), {sizes[i], sizes[i], 0, 0});
        AppendU16(file, 1);
        AppendU16(file, 32);
        AppendU32(file, static_cast<std::uint32_t>(images[i].size()));
        AppendU32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const Bytes& image : images) AppendBytes(file, image);
    return file;
}

Bytes IconFileRepeatingOneImage(std::uint16_t count, std::uint32_t imageBytes) {
    Bytes file;
    for (std::uint16_t field : {std::uint16_t{0}, std::uint16_t{1}, count}) AppendU16(file, field);
    const std::uint32_t image = 6 + 16 * std::uint32_t{count};
    for (std::uint32_t i = 0; i < count; ++i) {
        file.insert(file.end(), {0, 0, 0, 0});
        AppendU16(file, 1);
        AppendU16(file, 32);
        AppendU32(file, imageBytes);
        AppendU32(file, image);
    }
    AppendU32(file, 40);
    file.resize(image + imageBytes, 0);
    return file;
}

Bytes ZipFile(const std::vector<ZipEntry>& entries, const std::string& comment) {
    Bytes out;
    Bytes central;
    for (const ZipEntry& entry : entries) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto size = static_cast<std::uint32_t>(entry.content.size());
        const auto nameSize = static_cast<std::uint16_t>(entry.name.size());
        AppendU32(out, 0x04034B50);
        for (std::uint16_t field : {10, 0, 0, 0, 0}) AppendU16(out, field);  // version, flags, method, time, date
        for (std::uint32_t field : {0u, size, size}) AppendU32(out, field);  // crc (unchecked here), sizes
        AppendU16(out, nameSize);
        AppendU16(out, 0);
        AppendBytes(out, BytesOf(entry.name));
        AppendBytes(out, BytesOf(entry.content));
        AppendU32(central, 0x02014B50);
        for (std::uint16_t field : {20, 10, 0, 0, 0, 0}) AppendU16(central, field);
        for (std::uint32_t field : {0u, size, size}) AppendU32(central, field);
        for (std::uint16_t field : {nameSize, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}}) AppendU16(central, field);
        AppendU32(central, 0);
        AppendU32(central, offset);
        AppendBytes(central, BytesOf(entry.name));
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    AppendBytes(out, central);
    AppendU32(out, 0x06054B50);
    for (std::uint16_t field : {0, 0}) AppendU16(out, field);
    AppendU16(out, static_cast<std::uint16_t>(entries.size()));
    AppendU16(out, static_cast<std::uint16_t>(entries.size()));
    AppendU32(out, static_cast<std::uint32_t>(central.size()));
    AppendU32(out, directoryOffset);
    AppendU16(out, static_cast<std::uint16_t>(comment.size()));
    AppendBytes(out, BytesOf(comment));
    return out;
}

Bytes BytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string TextOf(ByteSpan bytes) { return std::string(bytes.begin(), bytes.end()); }

PackInputs EveryPackInput(const Bytes& launcher) {
    PackInputs inputs;
    inputs.launcher = {"orvo64.exe", launcher};
    inputs.icon = InputFile{"app.ico", IconFile({16, 32, 48, 0}, 0xFF2E9D4C)};
    inputs.version = VersionInfo{{1, 4, 2, 0}, {{u"ProductName", u"My App"}}};
    inputs.config = InputFile{"app.ini", BytesOf("[Java Runtime Environment]\nMain Class=app.Main\n")};
    inputs.jar = InputFile{"app.jar", ZipFile({{"app/Main.class", "cafebabe"}})};
    inputs.requireAdministrator = true;
    return inputs;
}

}  // namespace orvo::pack::test
