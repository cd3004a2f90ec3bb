#include "discovery/release_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "discovery/runtime_release.h"
#include "support/file_tree.h"
#include "support/temp_folder.h"

namespace orvo {
namespace {

TEST(ReleaseFile, JavaVersionIsTheValueOfItsOwnLine) {
    struct Case {
        const char* text;
        std::optional<std::wstring> version;
    };
    const Case cases[] = {
        {"JAVA_VERSION=\"17.0.9\"\nMODULES=\"java.base\"\n", L"17.0.9"},
        {"IMPLEMENTOR=\"Azul Systems, Inc.\"\r\nJAVA_VERSION=\"1.8.0_392\"\r\n", L"1.8.0_392"},
        {"JAVA_VERSION=21.0.1", L"21.0.1"},
        {"JAVA_VERSION=\"25\"   \r\n", L"25"},
        {"JAVA_VERSION=\"\"\n", L""},
        {"JAVA_VERSION=\"11\"\nJAVA_VERSION=\"17\"\n", L"11"},
        {"IMPLEMENTOR_JAVA_VERSION=\"17\"\n JAVA_VERSION=\"17\"\njava_version=\"17\"\n", std::nullopt},
        {"JAVA_RUNTIME_VERSION=\"17.0.9+9\"\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(JavaVersionInRelease(c.text), c.version) << c.text;
}

TEST(ReleaseFile, FilesOfMoreThan64KiBAreNotRead) {
    test::TempFolder home;
    const std::string line = "JAVA_VERSION=\"17.0.9\"\n";
    struct Case {
        std::string text;
        std::optional<std::wstring> version;
    };
    const Case cases[] = {
        {std::string(64 * 1024 - line.size() - 1, '#') + "\n" + line, L"17.0.9"},
        {line + std::string(64 * 1024 - line.size() + 1, '#'), std::nullopt},
    };
    for (const Case& c : cases) {
        test::WriteFileBytes(home / L"release", c.text);
        EXPECT_EQ(ReadReleaseVersion(home.path() + L"\\"), c.version) << c.text.size() << " bytes";
    }
    DeleteFileW((home / L"release").c_str());
    EXPECT_EQ(ReadReleaseVersion(home.path() + L"\\"), std::nullopt) << "no release file";
}

}  // namespace
}  // namespace orvo
