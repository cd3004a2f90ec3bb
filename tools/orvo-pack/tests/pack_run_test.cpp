#include "pack_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include "byte_io.h"
#include "file_io.h"
#include "output_target.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

namespace fs = std::filesystem;

// A fresh folder in the working directory (the build tree's pack-test-tmp).
class PackRunTest : public testing::Test {
protected:
    PackRunTest() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::current_path() / (std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        Write("orvo64.exe", test::LauncherLikePe(test::LauncherResources()));
        Write("app.ico", test::IconFile({16, 32}, 0xFF00FF00));
        Write("app.ini", test::BytesOf("[Java Runtime Environment]\r\nMain Class=a.B\r\n"));
        Write("app.jar", test::ZipFile({{"a/B.class", "x"}}));
    }
    ~PackRunTest() override { fs::remove_all(folder); }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }
    void Write(const std::string& name, const Bytes& bytes) const { WriteFileReplacing(PathOf(name), bytes); }

    int Run(std::vector<std::string> arguments) {
        errors.clear();
        const PackConsole console{[&](std::string_view) {},
                                  [&](std::string_view text) { errors += text; }};
        return RunOrvoPack(arguments, console);
    }
    std::vector<std::string> Arguments(const std::string& launcher, const std::string& out) const {
        return {"--launcher", PathOf(launcher), "--out", out, "--icon", PathOf("app.ico"), "--version=1.4.2.0",
                "--product-name", "My App", "--config", PathOf("app.ini"), "--jar", PathOf("app.jar")};
    }
    std::vector<std::string> FilesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    std::string errors;
};

TEST_F(PackRunTest, WritesThePackedExecutableAndPacksItAgainInPlace) {
    ASSERT_EQ(Run(Arguments("orvo64.exe", PathOf("MyApp.exe"))), 0) << errors;
    const Bytes first = ReadWholeFile(PathOf("MyApp.exe"));
    ASSERT_EQ(Run(Arguments("MyApp.exe", PathOf("MyApp.exe"))), 0) << errors;
    EXPECT_EQ(ReadWholeFile(PathOf("MyApp.exe")), first);
    EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"MyApp.exe", "app.ico", "app.ini", "app.jar", "orvo64.exe"}));
    EXPECT_EQ(errors, "");
}

TEST_F(PackRunTest, BadInputGivesAMessageAStatusAndNoOutput) {
    Write("text.exe", test::BytesOf("MZ but nothing else"));
    Bytes truncated = ReadWholeFile(PathOf("orvo64.exe"));
    truncated.resize(truncated.size() / 2);
    Write("half.exe", truncated);
    Write("bad.ico", test::BytesOf("\x89PNG\r\n\x1a\n"));
    Write("bad.jar", test::BytesOf("PK not really"));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const std::string out = PathOf("MyApp.exe");
    auto with = [&](std::vector<std::string> arguments, const std::string& option, const std::string& value) {
        for (std::size_t i = 0; i + 1 < arguments.size(); ++i) if (arguments[i] == option) arguments[i + 1] = value;
        return arguments;
    };
    const std::vector<std::string> good = Arguments("orvo64.exe", out);
    const Case cases[] = {
        {with(good, "--launcher", PathOf("text.exe")), 1, "text.exe: not a Windows executable (too short)"},
        {with(good, "--launcher", PathOf("half.exe")), 1, "half.exe: section .text lies outside the file"},
        {with(good, "--launcher", PathOf("absent.exe")), 3, "absent.exe: cannot be read"},
        {with(good, "--icon", PathOf("bad.ico")), 1, "bad.ico: not an icon file"},
        {with(good, "--jar", PathOf("bad.jar")), 1, "bad.jar: not a ZIP archive"},
        {with(good, "--out", PathOf("no-such-folder/MyApp.exe")), 3, "MyApp.exe: cannot be written"},
        {with(good, "--out", folder.string()), 3, "cannot be replaced"},
        {{"--launcher", PathOf("orvo64.exe")}, 2, "--launcher and --out are required"},
        {{"--launcher", PathOf("orvo64.exe"), "--out", out, "--product-name", "X"}, 2, "--version is needed"},
        {{"--launcher", PathOf("orvo64.exe"), "--out", out, "--version", "1.x"}, 2, "1.x: not a version"},
        {{"--launcher", PathOf("orvo64.exe"), "--out", out, "--icon"}, 2, "--icon needs a value"},
        {{"--launcher", PathOf("orvo64.exe"), "--out", out, "--code-page", "utf8"}, 2, "utf8: neither utf-8 nor system"},
        {{"--launcher", PathOf("orvo64.exe"), "--out", out, "--splash", "a.bmp"}, 2, "unknown option --splash"},
        {{"--launcher", "a", "--launcher", "b", "--out", out}, 2, "--launcher is given twice"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.arguments), c.status) << c.message;
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
        EXPECT_EQ(errors.rfind("orvo-pack: ", 0), 0u) << errors;
        EXPECT_FALSE(fs::exists(out)) << c.message;
        const std::vector<std::string> files = FilesInFolder();
        EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.find(".tmp") != std::string::npos; }), 0)
            << c.message;
    }
}

// What an output that must not be replaced is made of, and how to see it was kept.
struct KeptOutput {
    std::string path;
    std::function<bool()> unchanged;
};

#ifdef _WIN32
KeptOutput DeviceOutput(const fs::path& folder) {
    return {(folder / "NUL").string(), [] { return true; }};
}

// Wine says it made the link but makes none: the case is then reported as not run.
bool MakeLink(const fs::path& link, const fs::path& target) {
    CreateSymbolicLinkW(link.c_str(), target.c_str(), 0);
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void MakeReadOnly(const fs::path& file) { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY); }
void MakeWritable(const fs::path& file) { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); }
#else
// A device node of its own where the test may make one (as root); elsewhere /dev/null,
// which a user who is not root cannot replace either way.
KeptOutput DeviceOutput(const fs::path& folder) {
    const fs::path node = folder / "null-device";
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return {node.string(), [node] { return fs::is_character_file(fs::symlink_status(node)); }};
    if (geteuid() == 0) ADD_FAILURE() << "no device node could be made: " << std::strerror(errno);
    return {"/dev/null", [] { return fs::is_character_file(fs::symlink_status("/dev/null")); }};
}

bool MakeLink(const fs::path& link, const fs::path& target) {
    std::error_code error;
    fs::create_symlink(target, link, error);
    return !error;
}

void MakeReadOnly(const fs::path& file) { fs::permissions(file, fs::perms::owner_read | fs::perms::group_read); }
void MakeWritable(const fs::path& file) { fs::permissions(file, fs::perms::owner_write, fs::perm_options::add); }
#endif

// Hostile inputs end quickly with a message, and an output that is not a plain
// writable file is left as it was.
TEST_F(PackRunTest, RefusesHostileInputsAndOutputsThatAreNotPlainFiles) {
    Write("shared.exe", test::LauncherLikePeWithSection(test::SharedTablesDirectory(16384)));
    Write("repeated.ico", test::IconFileRepeatingOneImage(256, 1024 * 1024));
    Write("many.ico", test::IconFileRepeatingOneImage(65535, 1024));
    Bytes jar = test::ZipFile({{"a/B.class", "x"}});
    WriteU32(jar, jar.size() - 6, 0x10000);
    Write("offset.jar", jar);
    Write("old.exe", test::BytesOf("old"));
    Write("read-only.exe", test::BytesOf("old"));
    MakeReadOnly(PathOf("read-only.exe"));
    const bool linked = MakeLink(folder / "link.exe", folder / "old.exe");
#ifndef _WIN32
    EXPECT_TRUE(linked) << "a symbolic link could not be made";
#endif
    const auto sameAsBefore = [&](const std::string& name) { return [=, this] { return test::TextOf(ReadWholeFile(PathOf(name))) == "old"; }; };
    const KeptOutput device = DeviceOutput(folder);
    struct Case {
        std::string option;
        std::string value;
        int status;
        std::string message;
        std::function<bool()> unchanged;
    };
    const std::string out = PathOf("MyApp.exe");
    const Case cases[] = {
        {"--launcher", PathOf("shared.exe"), 1, PathOf("shared.exe") + ": the resource directory reaches a table twice", {}},
        {"--icon", PathOf("repeated.ico"), 1, PathOf("repeated.ico") + ": images of the icon overlap or repeat", {}},
        {"--icon", PathOf("many.ico"), 1, PathOf("many.ico") + ": an icon file with more than 256 images", {}},
        {"--jar", PathOf("offset.jar"), 1,
         PathOf("offset.jar") + ": the archive's central directory lies outside the file (the end record gives offset 65536, size 55)", {}},
        {"--out", device.path, 3, device.path + ": cannot be replaced (a device)", device.unchanged},
        {"--out", PathOf("link.exe"), 3, PathOf("link.exe") + ": cannot be replaced (a link)", [&] {
             return fs::is_symlink(folder / "link.exe") && sameAsBefore("old.exe")();
         }},
        {"--out", PathOf("read-only.exe"), 3, PathOf("read-only.exe") + ": cannot be replaced (read-only)", sameAsBefore("read-only.exe")},
        {"--out", folder.string(), 3, folder.string() + ": cannot be replaced (a directory)", [&] { return fs::is_directory(folder); }},
    };
    for (const Case& c : cases) {
        if (c.value == PathOf("link.exe") && !linked) {
            std::printf("[ NOT RUN  ] --out link.exe: this system makes no symbolic link\n");
            continue;
        }
        std::vector<std::string> arguments = Arguments("orvo64.exe", out);
        for (std::size_t i = 0; i + 1 < arguments.size(); ++i) if (arguments[i] == c.option) arguments[i + 1] = c.value;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Run(arguments), c.status) << c.message;
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::printf("[ timing   ] %s %s: %lld ms\n", c.option.c_str(), FileNameOf(c.value).c_str(), static_cast<long long>(took.count()));
        EXPECT_EQ(errors, "orvo-pack: " + c.message + "\n");
        if (c.unchanged) {
            EXPECT_TRUE(c.unchanged()) << c.message;
        }
        if (c.option != "--out") {
            EXPECT_FALSE(fs::exists(out)) << c.message;
        }
    }
    const std::vector<std::string> files = FilesInFolder();
    EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.find(".tmp") != std::string::npos; }), 0);
    MakeWritable(folder / "read-only.exe");
}

TEST(OutputTarget, KnowsTheNamesWindowsTakesForDevices) {
    for (const char* device : {"NUL", "nul.exe", "C:\\out\\Con", "out/aux.tar.gz", "COM1 .txt", "lpt9", "CONOUT$",
                               "com\xC2\xB9", "prn:", "\\\\.\\PhysicalDrive0"}) {
        EXPECT_TRUE(IsWindowsDeviceName(device)) << device;
    }
    for (const char* file : {"MyApp.exe", "null.exe", "console", "COM10", "lpt", "C:\\nul\\MyApp.exe", "xCON", ""}) {
        EXPECT_FALSE(IsWindowsDeviceName(file)) << file;
    }
}

// A replaced output keeps who may read, write and run it.
TEST_F(PackRunTest, ReplacingAFileKeepsItsPermissions) {
    const std::string out = PathOf("MyApp.exe");
    Write("MyApp.exe", test::BytesOf("old"));
#ifdef _WIN32
    SetFileAttributesW((folder / "MyApp.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(Run(Arguments("orvo64.exe", out)), 0) << errors;
    EXPECT_NE(GetFileAttributesW((folder / "MyApp.exe").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#else
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(Run(Arguments("orvo64.exe", out)), 0) << errors;
    EXPECT_EQ(fs::status(out).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
    EXPECT_NE(test::TextOf(ReadWholeFile(out)), "old");
}

}  // namespace
}  // namespace orvo::pack
