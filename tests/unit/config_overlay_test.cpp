#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "config/config_overlay.h"
#include "config/layered_lookup.h"

namespace orvo {
namespace {

TEST(ConfigOverlayParse, ReadsSectionsAndTrimmedPairsFromCrlfLines) {
    const ConfigOverlay overlay = ConfigOverlay::Parse(
        L"\xFEFF[Application]\r\n"
        L"  Main Class =  com.example.Main \t\r\n"
        L"Cmd=--a=b\r\n"
        L"\t[Java Runtime Environment]  \r\n"
        L"Virtual Machine Parameters=-Xmx1g");
    ASSERT_EQ(overlay.sections().size(), 2u);
    EXPECT_EQ(overlay.sections()[0].name, L"Application");
    EXPECT_EQ(overlay.Find(L"Application", L"Main Class"), L"com.example.Main");
    EXPECT_EQ(overlay.Find(L"Application", L"Cmd"), L"--a=b");  // split at the first "=" only
    EXPECT_EQ(overlay.Find(L"Java Runtime Environment", L"Virtual Machine Parameters"), L"-Xmx1g");
}

TEST(ConfigOverlayParse, IgnoresLinesOutsideSectionsAndWithoutEquals) {
    const ConfigOverlay overlay = ConfigOverlay::Parse(
        L"orphan=1\r\n[S]\r\nno equals here\r\n[broken\r\nkey=v\r\n");
    ASSERT_EQ(overlay.sections().size(), 1u);
    EXPECT_FALSE(overlay.Find(L"", L"orphan"));
    // "[broken" does not close with "]", so key=v still belongs to [S].
    ASSERT_EQ(overlay.sections()[0].entries.size(), 1u);
    EXPECT_EQ(overlay.Find(L"S", L"key"), L"v");
}

TEST(ConfigOverlayParse, OnlyCrlfEndsALine) {
    const ConfigOverlay overlay = ConfigOverlay::Parse(L"[S]\na=1\r\nb=2\rc=3");
    // "[S]\na=1" is not a section line: its last visible character is "1".
    EXPECT_TRUE(overlay.sections().empty());
    const ConfigOverlay withSection = ConfigOverlay::Parse(L"[S]\r\nb=2\rc=3");
    EXPECT_EQ(withSection.Find(L"S", L"b"), L"2\rc=3");
}

TEST(ConfigOverlayParse, SectionNameIsTextBetweenFirstOpenAndLastCloseBracket) {
    const ConfigOverlay overlay = ConfigOverlay::Parse(L"[ A ]b]\r\nk=1\r\n[]\r\nk=2");
    ASSERT_EQ(overlay.sections().size(), 2u);
    EXPECT_EQ(overlay.sections()[0].name, L" A ]b");
    EXPECT_EQ(overlay.sections()[1].name, L"");
    EXPECT_EQ(overlay.Find(L"", L"k"), L"2");
}

TEST(ConfigOverlayFind, FirstSectionAndFirstKeyWinAndNamesAreCaseSensitive) {
    const ConfigOverlay overlay = ConfigOverlay::Parse(L"[S]\r\nk=first\r\nk=second\r\n[S]\r\nk=third\r\nonly=later");
    EXPECT_EQ(overlay.Find(L"S", L"k"), L"first");
    EXPECT_FALSE(overlay.Find(L"S", L"only"));  // lookups stop at the first [S]
    EXPECT_FALSE(overlay.Find(L"s", L"k"));
    EXPECT_FALSE(overlay.Find(L"S", L"K"));
}

class MapSource : public ConfigSource {
public:
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    std::wstring ReadString(const wchar_t* section, const wchar_t* key) const override {
        const auto found = values.find({section, key});
        return found == values.end() ? std::wstring() : found->second;
    }
};

TEST(LayeredLookup, OwnSectionValueWinsOverOverlayAndContinuation) {
    MapSource file;
    file.values[{L"JRE", L"VM"}] = L"-Xmx1g";
    file.values[{L"JRE+", L"VM"}] = L"-Xss1m";
    const ConfigOverlay overlay = ConfigOverlay::Parse(L"[JRE]\r\nVM=-Dx=1");
    EXPECT_EQ(LayeredLookup(overlay, file, L"JRE", L"VM"), L"-Xmx1g");
}

TEST(LayeredLookup, ContinuationGetsOneBlankInFrontUnlessItHasOne) {
    MapSource file;
    file.values[{L"JRE+", L"VM"}] = L"-Xmx512m";
    file.values[{L"JRE+", L"Spaced"}] = L" -Xss1m";
    const ConfigOverlay none;
    EXPECT_EQ(LayeredLookup(none, file, L"JRE", L"VM"), L" -Xmx512m");
    EXPECT_EQ(LayeredLookup(none, file, L"JRE", L"Spaced"), L" -Xss1m");
    EXPECT_EQ(LayeredLookup(none, file, L"JRE", L"Missing"), L"");
}

TEST(LayeredLookup, OverlayValueIsUsedWhenTheFileHasNoneAndExtendedByContinuation) {
    MapSource file;
    file.values[{L"JRE+", L"VM"}] = L"-Xmx512m";
    const ConfigOverlay overlay = ConfigOverlay::Parse(L"[JRE]\r\nVM=-Dx=1\r\nCP=a.jar");
    EXPECT_EQ(LayeredLookup(overlay, file, L"JRE", L"VM"), L"-Dx=1 -Xmx512m");
    EXPECT_EQ(LayeredLookup(overlay, file, L"JRE", L"CP"), L"a.jar");
}

}  // namespace
}  // namespace orvo
