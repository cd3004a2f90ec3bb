#include "discovery/jvm_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvo {
namespace {

JvmCandidate C(std::wstring_view version, const wchar_t* home, bool isServer = false, bool preferred = false) {
    return {JavaVersion::Parse(version, JavaVersion::kFillLow).version, home, isServer, preferred, {}};
}

std::wstring Homes(const std::vector<JvmCandidate>& list) {
    std::wstring homes;
    for (const JvmCandidate& c : list) homes += c.home;
    return homes;
}

JvmSearchPrefs Prefs(bool bothSources, JvmType type) {
    JvmSearchPrefs prefs;
    prefs.bothSources = bothSources;
    prefs.jvmType = type;
    return prefs;
}

TEST(SortCandidates, PreferenceThenServerThenVersionAllDescending) {
    std::vector<JvmCandidate> list = {C(L"11", L"a"), C(L"1.8", L"b", true), C(L"1.7", L"c", false, true),
                                      C(L"1.6", L"d", true, true), C(L"17", L"e")};
    std::vector<JvmCandidate> sorted = list;
    SortCandidates(sorted, Prefs(true, JvmType::FavorServer));
    EXPECT_EQ(Homes(sorted), L"dcbea");

    sorted = list;
    SortCandidates(sorted, Prefs(true, JvmType::Any));
    EXPECT_EQ(Homes(sorted), L"cdeab") << "server flag counts only with favour_server";

    sorted = list;
    SortCandidates(sorted, Prefs(false, JvmType::Any));
    EXPECT_EQ(Homes(sorted), L"eabcd") << "the preference counts only while both kinds are searched";
}

TEST(SortCandidates, EqualCandidatesKeepTheirCollectionOrder) {
    std::vector<JvmCandidate> list = {C(L"1.8", L"a"), C(L"1.8.0", L"b"), C(L"11", L"c"), C(L"1.8.0.0", L"d"),
                                      C(L"jre1.8", L"e")};
    SortCandidates(list, Prefs(true, JvmType::FavorServer));
    EXPECT_EQ(Homes(list), L"cabde");
}

TEST(SelectCandidate, ListOrderOfPreferredVersionsBeatsVersionOrder) {
    std::vector<JvmCandidate> sorted = {C(L"11.0.2", L"a"), C(L"1.8.0_292", L"b"), C(L"1.8.0_45", L"c"),
                                        C(L"1.7.0_80", L"d")};
    auto pick = [&](std::vector<std::wstring> entries) { return SelectCandidate(sorted, entries).home; };
    EXPECT_EQ(pick({}), L"a");
    EXPECT_EQ(pick({L"1.7", L"1.8"}), L"d");
    EXPECT_EQ(pick({L"1.8"}), L"b") << "the first match in sorted order";
    EXPECT_EQ(pick({L"1.8.0.45"}), L"c");
    EXPECT_EQ(pick({L"9", L"1.6", L"1.8.0_45"}), L"c") << "entries without a match are passed over";
    EXPECT_EQ(pick({L"9", L"10"}), L"a") << "no entry matches: the first candidate";
    EXPECT_EQ(pick({L"", L"1.7"}), L"a") << "an empty entry matches every candidate";
    EXPECT_EQ(pick({L"latest", L"1.7"}), L"a") << "an entry without digits matches every candidate";
}

}  // namespace
}  // namespace orvo
