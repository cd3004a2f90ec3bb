#include "hosting/class_data_archive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvo {
namespace {

using Kind = ClassDataCacheKind;

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

// Java 25 keeps an AOT cache with or without a base archive; 19 to 24 a dynamic
// archive only on a base archive; older or unknown runtimes none, saying why.
TEST(ClassDataArchive, KindByVersionAndBaseArchive) {
    struct Case {
        const wchar_t* version;
        bool baseArchive;
        Kind kind;
    };
    const Case cases[] = {
        {L"25.0.2", false, Kind::kAotCache},   {L"25.0.2", true, Kind::kAotCache},
        {L"26-ea", false, Kind::kAotCache},    {L"24.0.1", false, Kind::kNone},
        {L"24.0.1", true, Kind::kDynamicArchive}, {L"21.0.8", true, Kind::kDynamicArchive},
        {L"21.0.8", false, Kind::kNone},       {L"19", true, Kind::kDynamicArchive},
        {L"18.0.2", true, Kind::kNone},        {L"17.0.9", false, Kind::kNone},
        {L"11.0.13", true, Kind::kNone},       {L"1.8.0_292", true, Kind::kNone},
        {L"", true, Kind::kNone},              {L"unknown", true, Kind::kNone},
    };
    for (const Case& c : cases) {
        ClassDataCacheChoice choice = ChooseClassDataCache(c.version, c.baseArchive);
        EXPECT_EQ(choice.kind, c.kind) << c.version << " " << c.baseArchive;
        EXPECT_EQ(choice.whyNone.empty(), c.kind != Kind::kNone) << c.version;
    }
    EXPECT_NE(ChooseClassDataCache(L"21.0.8", false).whyNone.find(L"classes.jsa"), std::wstring::npos);
}

TEST(ClassDataArchive, OptionsPerKind) {
    const std::wstring jsa = L"C:\\Users\\u\\AppData\\Roaming\\Acme\\X1\\App-0123456789abcdef-21.0.5.jsa";
    const std::wstring aot = L"C:\\Users\\u\\AppData\\Roaming\\Acme\\X1\\App-0123456789abcdef-25.aot";
    struct Case {
        Kind kind;
        std::wstring path;
        bool exists;
        std::vector<std::wstring> options;
    };
    const Case cases[] = {
        {Kind::kDynamicArchive, jsa, false,
         {L"-XX:+AutoCreateSharedArchive", L"-XX:SharedArchiveFile=" + jsa, L"-Xlog:cds*=off"}},
        {Kind::kDynamicArchive, jsa, true,
         {L"-XX:+AutoCreateSharedArchive", L"-XX:SharedArchiveFile=" + jsa, L"-Xlog:cds*=off"}},
        {Kind::kAotCache, aot, true, {L"-XX:AOTCache=" + aot, L"-Xlog:aot*=off", L"-Xlog:cds*=off"}},
        {Kind::kAotCache, aot, false,
         {L"-XX:AOTMode=record", L"-XX:AOTConfiguration=" + aot + L".config", L"-Xlog:aot*=off", L"-Xlog:cds*=off"}},
        {Kind::kNone, jsa, true, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassDataCacheOptions(c.kind, c.path, c.exists), c.options) << c.path;
}

TEST(ClassDataArchive, UserSharingOptionsStandAlone) {
    struct Case {
        const wchar_t* parameters;
        bool manages;
    };
    const Case cases[] = {
        {L"-Xshare:off", true}, {L"-Xmx1g -XX:SharedArchiveFile=C:\\a.jsa", true},
        {L"-XX:ArchiveClassesAtExit=a.jsa", true}, {L"-XX:AOTCache=app.aot", true},
        {L"", false}, {L"-Xmx512m -Dshare=yes", false},
    };
    for (const Case& c : cases) EXPECT_EQ(VmParametersManageClassData(c.parameters), c.manages) << c.parameters;
}

// The runtime's dynamic archives begin with 0xF00BABA8, its static archives (the AOT
// cache among them) with 0xF00BABA2, both as little-endian 32-bit numbers.
TEST(ClassDataArchive, OnlyWhatTheRuntimeWroteIsKept) {
    using namespace std::string_view_literals;
    struct Case {
        Kind kind;
        std::string_view head;
        bool kept;
    };
    const Case cases[] = {
        {Kind::kDynamicArchive, "\xA8\xAB\x0B\xF0\x0E\x00"sv, true},
        {Kind::kDynamicArchive, "\xA8\xAB\x0B\xF0"sv, true},
        {Kind::kDynamicArchive, "\xA2\xAB\x0B\xF0\x0E"sv, false},  // a static archive
        {Kind::kAotCache, "\xA2\xAB\x0B\xF0\x5A"sv, true},
        {Kind::kAotCache, "\xA8\xAB\x0B\xF0\x5A"sv, false},
        {Kind::kAotCache, "\0\0\0\0\0\0"sv, false},  // the header is written last
        {Kind::kDynamicArchive, ""sv, false},
        {Kind::kDynamicArchive, "\xA8\xAB\x0B"sv, false},
        {Kind::kDynamicArchive, "\xF0\x0B\xAB\xA8"sv, false},  // the wrong byte order
        {Kind::kAotCache, "ZZZZZZZZ"sv, false},
        {Kind::kNone, "\xA8\xAB\x0B\xF0"sv, false},
    };
    for (const Case& c : cases) EXPECT_EQ(LooksLikeClassDataCache(c.kind, c.head), c.kept) << c.head.size();
}

// The assembly sees the recording start's class path (as java.exe's own), modules and
// heap, and none of its logging, agents or other sharing options.
TEST(ClassDataArchive, AssemblyTakesTheRecordingStartsOptions) {
    const std::wstring config = L"-XX:AOTConfiguration=C:\\U\\App-0123456789abcdef-25.aot.config";
    const std::vector<std::wstring> recording{
        L"-Djava.class.path=C:\\My App\\a.jar;C:\\b.jar", L"-XX:AOTMode=record", config, L"-Xlog:aot*=off",
        L"-Xmx1g", L"--add-modules=java.sql", L"-agentlib:jdwp=transport=dt_socket", L"-verbose:class",
        L"-Xloggc:gc.log", L"-Dapp.home=C:\\My App\\"};
    const std::vector<std::wstring> expected{
        L"-cp", L"C:\\My App\\a.jar;C:\\b.jar", L"-Xmx1g", L"--add-modules=java.sql", L"-Dapp.home=C:\\My App\\",
        L"-XX:AOTMode=create", config, L"-XX:AOTCache=C:\\U\\App-0123456789abcdef-25.aot"};
    EXPECT_EQ(AotAssemblyArguments(recording), expected);
    EXPECT_TRUE(AotAssemblyArguments({L"-Djava.class.path=a.jar", L"-XX:AOTCache=x.aot"}).empty());
}

TEST(ClassDataArchive, CommandLineQuotesAsTheCRuntimeReads) {
    struct Case {
        std::vector<std::wstring> arguments;
        const wchar_t* line;
    };
    const Case cases[] = {
        {{L"-Xmx1g", L"-cp", L"a.jar"}, L"C:\\j\\java.exe -Xmx1g -cp a.jar"},
        {{L"-Dx=C:\\My App\\"}, L"C:\\j\\java.exe \"-Dx=C:\\My App\\\\\""},
        {{L"-Dq=say \"hi\""}, L"C:\\j\\java.exe \"-Dq=say \\\"hi\\\"\""},
        {{L"-Dq=a\\\"b"}, L"C:\\j\\java.exe \"-Dq=a\\\\\\\"b\""},
        {{L""}, L"C:\\j\\java.exe \"\""},
        {{L"C:\\no\\space\\"}, L"C:\\j\\java.exe C:\\no\\space\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandLineOf(L"C:\\j\\java.exe", c.arguments), c.line);
    EXPECT_EQ(CommandLineOf(L"C:\\Program Files\\j\\java.exe", {}), L"\"C:\\Program Files\\j\\java.exe\"");
}

}  // namespace
}  // namespace orvo
