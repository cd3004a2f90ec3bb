#include "manifest_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "pack_error.h"
#include "test_files.h"

namespace orvo::pack {
namespace {

constexpr char kUtf8[] =
    R"(<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8</activeCodePage>)";
constexpr char kLong[] =
    R"(<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>)";

// The launcher's own layout: the settings element indented, one child per line.
const std::string kOwn =
    "<application>\n    <windowsSettings>\n      <dpiAware>true</dpiAware>\n    </windowsSettings>\n</application>";

std::string Own(const std::string& added) {
    return "<application>\n    <windowsSettings>\n      <dpiAware>true</dpiAware>\n" + added +
           "    </windowsSettings>\n</application>";
}

const WindowsSettingsChange kToUtf8{CodePage::kUtf8, false};
const WindowsSettingsChange kToSystem{CodePage::kSystem, false};
const WindowsSettingsChange kBoth{CodePage::kUtf8, true};
const WindowsSettingsChange kLongOnly{std::nullopt, true};

TEST(ManifestSettings, WritesEachSettingOnceInsideWindowsSettings) {
    struct Case {
        std::string manifest;
        WindowsSettingsChange change;
        std::string expected;
    };
    const std::string utf8Line = std::string("      ") + kUtf8 + "\n";
    const std::string longLine = std::string("      ") + kLong + "\n";
    const Case cases[] = {
        {kOwn, kToUtf8, Own(utf8Line)},
        {kOwn, kBoth, Own(utf8Line + longLine)},
        {kOwn, kLongOnly, Own(longLine)},
        // Packing again moves nothing and piles nothing up; "system" takes it out again.
        {Own(utf8Line), kToUtf8, Own(utf8Line)},
        {Own(utf8Line + longLine), kToSystem, Own(longLine)},
        {Own(utf8Line), kLongOnly, Own(utf8Line + longLine)},
        {kOwn, kToSystem, kOwn},
        // Another writer's element of the same name, whatever its form, gives way.
        {Own("      <ws:activeCodePage xmlns:ws=\"x\">Legacy</ws:activeCodePage>\n"), kToUtf8, Own(utf8Line)},
        {Own("\t<activeCodePage/>  \n"), kToSystem, kOwn},
        // Windows line ends and a prefixed element; a line is taken whole with its end.
        {"<a>\r\n  <v3:windowsSettings>\r\n    <activeCodePage>UTF-8</activeCodePage>\r\n  </v3:windowsSettings>\r\n</a>",
         kLongOnly,
         "<a>\r\n  <v3:windowsSettings>\r\n    <activeCodePage>UTF-8</activeCodePage>\r\n    " + std::string(kLong) +
             "\r\n  </v3:windowsSettings>\r\n</a>"},
        // All on one line: the element goes right before the closing tag, and one that
        // shares its line with others leaves only itself.
        {"<windowsSettings><dpiAware>true</dpiAware></windowsSettings>", kToUtf8,
         "<windowsSettings><dpiAware>true</dpiAware>" + std::string(kUtf8) + "</windowsSettings>"},
        {"<windowsSettings> <activeCodePage>UTF-8</activeCodePage><x/></windowsSettings>", kToSystem,
         "<windowsSettings> <x/></windowsSettings>"},
        // Names outside the element, in a comment or in text are left alone.
        {"<!-- activeCodePage --><activeCodePage>UTF-8</activeCodePage><windowsSettings>activeCodePage</windowsSettings>",
         kToSystem,
         "<!-- activeCodePage --><activeCodePage>UTF-8</activeCodePage><windowsSettings>activeCodePage</windowsSettings>"},
    };
    for (const Case& c : cases) EXPECT_EQ(WithWindowsSettings(c.manifest, c.change), c.expected) << c.manifest;
}

TEST(ManifestSettings, RefusesAManifestWithNoPlaceForThem) {
    for (const char* manifest : {"<assembly/>", "<windowsSettings/>", "<windowsSettings >", "<windowsSettings",
                                 "<windowsSettingsX></windowsSettingsX>",
                                 "<windowsSettings><activeCodePage>UTF-8</windowsSettings>",
                                 // A tag cut short: an element put after it would be swallowed by it,
                                 // or one taken out before it would turn it into another.
                                 "<windowsSettings><longPathAware x</windowsSettings>",
                                 "<windowsSettings><activeCodePage<activeCodePage/> x></windowsSettings>",
                                 "<windowsSettings><activeCodePage><x>UTF-8</x></activeCodePage></windowsSettings>"}) {
        EXPECT_THROW(WithWindowsSettings(manifest, kBoth), PackError) << manifest;
    }
}

// Many elements to take out, and many names that are none: one pass, not one per element.
TEST(ManifestSettings, ChangesALongManifestInOnePass) {
    std::string manifest = "<windowsSettings>\n";
    for (int i = 0; i < 20000; ++i) manifest += "  <activeCodePage/>\n";
    for (int i = 0; i < 20000; ++i) manifest += "p:activeCodePage ";
    manifest += "</windowsSettings>";
    const auto start = std::chrono::steady_clock::now();
    const std::string changed = WithWindowsSettings(manifest, kToSystem);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("[ timing   ] a manifest of %zu bytes: %lld ms\n", manifest.size(), static_cast<long long>(took.count()));
    EXPECT_EQ(changed.find("<activeCodePage/>"), std::string::npos);
    EXPECT_EQ(changed.size(), manifest.size() - 20000 * std::string("  <activeCodePage/>\n").size());
}

TEST(ManifestSettings, ReadsTheCodePageOption) {
    EXPECT_EQ(ParseCodePage("utf-8"), CodePage::kUtf8);
    EXPECT_EQ(ParseCodePage("UTF-8"), CodePage::kUtf8);
    EXPECT_EQ(ParseCodePage("System"), CodePage::kSystem);
    for (const char* text : {"", "utf8", "65001", "system "}) EXPECT_EQ(ParseCodePage(text), std::nullopt) << text;
}

TEST(ManifestSettings, ChangesTheLauncherManifestOnly) {
    std::vector<ResourceLeaf> leaves = test::LauncherResources();
    const std::vector<ResourceLeaf> before = leaves;
    ChangeWindowsSettings(leaves, kBoth);
    ASSERT_EQ(leaves.size(), before.size());
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (!IsResource(leaves[i], kResourceManifest)) {
            EXPECT_EQ(leaves[i].data, before[i].data);
            continue;
        }
        const std::string text = test::TextOf(leaves[i].data);
        EXPECT_LT(text.find(kUtf8), text.find(kLong));
        EXPECT_LT(text.find(kLong), text.find("</windowsSettings>"));
    }
    std::vector<ResourceLeaf> none;
    EXPECT_THROW(ChangeWindowsSettings(none, kToUtf8), PackError);
}

}  // namespace
}  // namespace orvo::pack
