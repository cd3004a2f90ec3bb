#include "pack_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "byte_io.h"
#include "file_io.h"
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

}  // namespace
}  // namespace orvo::pack
