#include "hosting/class_data_archive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvo {
namespace {

TEST(ClassDataArchive, FeatureReleaseOfTheVersionTexts) {
    struct Case {
        const wchar_t* text;
        std::optional<int> feature;
    };
    const Case cases[] = {
        {L"21.0.5", 21},  {L"25", 25},        {L"19-ea", 19},         {L"1.8.0_392", 8},
        {L"11.0.2+9", 11}, {L"1.7", 7},        {L"", std::nullopt},    {L"ea", std::nullopt},
        {L"0.9", std::nullopt}, {L"1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(JavaFeatureRelease(c.text), c.feature) << c.text;
}

TEST(ClassDataArchive, OptionsOnlyForJava19AndLater) {
    const std::wstring archive = L"C:\\Users\\u\\AppData\\Roaming\\Acme\\X1\\App-21.0.5.jsa";
    const std::vector<std::wstring> all{L"-XX:+AutoCreateSharedArchive", L"-XX:SharedArchiveFile=" + archive,
                                        L"-Xlog:cds*=off"};
    struct Case {
        const wchar_t* version;
        bool archived;
    };
    const Case cases[] = {
        {L"19", true}, {L"21.0.5", true}, {L"25-ea", true}, {L"18.0.2", false},
        {L"17.0.9", false}, {L"1.8.0_292", false}, {L"", false}, {L"unknown", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassDataArchiveOptions(c.version, archive), c.archived ? all : std::vector<std::wstring>{})
            << c.version;
    }
}

// The runtime's dynamic archives begin with 0xF00BABA8, its base archive with
// 0xF00BABA2, both as little-endian 32-bit numbers.
TEST(ClassDataArchive, OnlyTheRuntimesOwnArchiveIsKept) {
    using namespace std::string_view_literals;
    EXPECT_TRUE(LooksLikeClassDataArchive("\xA8\xAB\x0B\xF0\x0E\x00"sv));
    EXPECT_TRUE(LooksLikeClassDataArchive("\xA8\xAB\x0B\xF0"sv));
    const std::string_view others[] = {
        ""sv, "\xA8\xAB\x0B"sv,
        "\xA2\xAB\x0B\xF0\x0E"sv,  // a base archive: not one per application
        "\xF0\x0B\xAB\xA8"sv,       // the magic in the wrong byte order
        "ZZZZZZZZ"sv, "\0\0\0\0\0\0"sv,
    };
    for (std::string_view head : others) EXPECT_FALSE(LooksLikeClassDataArchive(head)) << head.size();
}

TEST(ClassDataArchive, NamedPerLauncherAndRuntimeVersion) {
    struct Case {
        const wchar_t* launcher;
        const wchar_t* version;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"C:\\Apps\\MyApp64.exe", L"21.0.5", L"MyApp64-21.0.5.jsa"},
        {L"C:\\Apps\\MyApp.exe", L"21.0.5", L"MyApp-21.0.5.jsa"},
        {L"C:\\Apps\\MyApp64.exe", L"25+36-LTS", L"MyApp64-25+36-LTS.jsa"},
        // a dot in a folder is no extension; a name without one keeps it whole
        {L"C:\\My.Apps\\Tool", L"21", L"Tool-21.jsa"},
        {L"C:\\Apps\\my.tool.exe", L"21", L"my.tool-21.jsa"},
        // the release file's text cannot step out of the folder or name a stream
        {L"C:\\Apps\\App.exe", L"..\\..\\x:y", L"App-.._.._x_y.jsa"},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassDataArchiveName(c.launcher, c.version), c.name);
}

TEST(ClassDataArchive, OverlongVersionTextIsCut) {
    const std::wstring name = ClassDataArchiveName(L"C:\\App.exe", std::wstring(5000, L'9'));
    EXPECT_EQ(name, L"App-" + std::wstring(40, L'9') + L".jsa");
}

}  // namespace
}  // namespace orvo
