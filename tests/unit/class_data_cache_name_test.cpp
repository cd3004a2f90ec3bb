#include "hosting/class_data_cache_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

using Kind = ClassDataCacheKind;

const std::vector<ClassPathEntryStamp> kClassPath{{L"C:\\App\\app.jar", true, 4096, 133000000000000000ULL},
                                                  {L"C:\\App\\lib.jar", true, 100, 133000000000000001ULL}};

// Each thing the cache was made from moves the fingerprint; the same things give the same one.
TEST(ClassDataCacheName, FingerprintFollowsWhatTheCacheWasMadeFrom) {
    const std::wstring base = ClassDataFingerprint(L"21.0.8", L"C:\\jdk\\bin\\server\\jvm.dll", kClassPath);
    EXPECT_EQ(base.size(), 16u);
    EXPECT_EQ(base.find_first_not_of(L"0123456789abcdef"), std::wstring::npos) << base;
    EXPECT_EQ(ClassDataFingerprint(L"21.0.8", L"C:\\jdk\\bin\\server\\jvm.dll", kClassPath), base);
    auto changed = [&](auto change) {
        std::wstring version = L"21.0.8", jvm = L"C:\\jdk\\bin\\server\\jvm.dll";
        std::vector<ClassPathEntryStamp> classPath = kClassPath;
        change(version, jvm, classPath);
        return ClassDataFingerprint(version, jvm, classPath);
    };
    using Path = std::vector<ClassPathEntryStamp>;
    const std::wstring others[] = {
        changed([](std::wstring& v, std::wstring&, Path&) { v = L"21.0.9"; }),
        changed([](std::wstring&, std::wstring& j, Path&) { j = L"D:\\jdk\\bin\\server\\jvm.dll"; }),
        changed([](std::wstring&, std::wstring&, Path& p) { p[1].size = 101; }),
        changed([](std::wstring&, std::wstring&, Path& p) { p[0].writeTime += 1; }),
        changed([](std::wstring&, std::wstring&, Path& p) { p[1].exists = false; }),
        changed([](std::wstring&, std::wstring&, Path& p) { std::swap(p[0], p[1]); }),
        changed([](std::wstring&, std::wstring&, Path& p) { p.pop_back(); }),
    };
    for (const std::wstring& other : others) EXPECT_NE(other, base);
}

TEST(ClassDataCacheName, ClassPathEntries) {
    EXPECT_EQ(ClassPathEntries(L"C:\\a.jar;;C:\\My Lib\\b.jar;"),
              (std::vector<std::wstring>{L"C:\\a.jar", L"C:\\My Lib\\b.jar"}));
    EXPECT_TRUE(ClassPathEntries(L"").empty());
}

TEST(ClassDataCacheName, NamedPerLauncherFingerprintAndVersion) {
    const wchar_t* fp = L"0123456789abcdef";
    struct Case {
        const wchar_t* launcher;
        const wchar_t* version;
        Kind kind;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"C:\\Apps\\MyApp64.exe", L"21.0.5", Kind::kDynamicArchive, L"MyApp64-0123456789abcdef-21.0.5.jsa"},
        {L"C:\\Apps\\MyApp.exe", L"25.0.2", Kind::kAotCache, L"MyApp-0123456789abcdef-25.0.2.aot"},
        {L"C:\\Apps\\MyApp64.exe", L"25+36-LTS", Kind::kAotCache, L"MyApp64-0123456789abcdef-25+36-LTS.aot"},
        // a dot in a folder is no extension; a name without one keeps it whole
        {L"C:\\My.Apps\\Tool", L"21", Kind::kDynamicArchive, L"Tool-0123456789abcdef-21.jsa"},
        {L"C:\\Apps\\my.tool.exe", L"21", Kind::kDynamicArchive, L"my.tool-0123456789abcdef-21.jsa"},
        // the release file's text cannot step out of the folder or name a stream
        {L"C:\\Apps\\App.exe", L"..\\..\\x:y", Kind::kDynamicArchive, L"App-0123456789abcdef-.._.._x_y.jsa"},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassDataCacheName(c.launcher, fp, c.version, c.kind), c.name);
    EXPECT_EQ(ClassDataCacheName(L"C:\\App.exe", fp, std::wstring(5000, L'9'), Kind::kAotCache),
              L"App-0123456789abcdef-" + std::wstring(40, L'9') + L".aot");
    EXPECT_EQ(ClassDataCachePattern(L"C:\\Apps\\MyApp64.exe"), L"MyApp64-*");
}

// Only this launcher's own caches of another fingerprint go (and its archives named
// before fingerprints); another launcher's whose name begins the same way stays.
TEST(ClassDataCacheName, OutdatedCachesOfThisLauncherOnly) {
    const wchar_t* launcher = L"C:\\Apps\\App.exe";
    const wchar_t* current = L"App-0123456789abcdef-25.0.2.aot";
    struct Case {
        const wchar_t* file;
        bool outdated;
    };
    const Case cases[] = {
        {L"App-fedcba9876543210-25.0.2.aot", true},
        {L"App-fedcba9876543210-25.0.2.aot.config", true},
        {L"APP-FEDCBA9876543210-21.0.8.JSA", false},  // the fingerprint is lowercase
        {L"app-fedcba9876543210-21.0.8.jsa", true},
        {L"App-21.0.8.jsa", true},
        {L"App-25+36.jsa", true},
        {L"App-0123456789abcdef-25.0.2.aot", false},        // the current cache
        {L"App-0123456789abcdef-25.0.2.aot.config", false},  // and what it is assembled from
        {L"App-2-fedcba9876543210-21.0.8.jsa", false},      // App-2.exe's
        {L"App-2-21.0.8.jsa", false},
        {L"App-fedcba9876543210-21.0.8.ini", false},
        {L"App-fedcba98765432-21.0.8.jsa", false},
        {L"App.ini", false},
        {L"App-.jsa", false},
        {L"Other-fedcba9876543210-21.0.8.jsa", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOutdatedClassDataCache(c.file, launcher, current), c.outdated) << c.file;
}

}  // namespace
}  // namespace orvo
