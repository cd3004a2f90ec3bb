#include <gtest/gtest.h>

#include <string>

#include "config/jvm_search_settings.h"
#include "config/setting_compare.h"

namespace orvo {
namespace {

TEST(ParseJvmType, KnowsOnlyTheTwoExactWords) {
    EXPECT_EQ(ParseJvmType(L"server"), JvmType::ServerOnly);
    EXPECT_EQ(ParseJvmType(L"favor_server"), JvmType::FavorServer);
    EXPECT_EQ(ParseJvmType(L"Server"), JvmType::Any);
    EXPECT_EQ(ParseJvmType(L"client"), JvmType::Any);
    EXPECT_EQ(ParseJvmType(L""), JvmType::Any);
    EXPECT_EQ(ParseJvmType(L" server"), JvmType::Any);
}

struct KindFlags {
    bool bothSources, jdkFavored, jreFavored;
    bool operator==(const KindFlags&) const = default;
};

KindFlags KindFlagsFor(const std::wstring& value) {
    JvmSearchPrefs prefs;
    ApplyJvmSource(value, prefs);
    return {prefs.bothSources, prefs.jdkFavored, prefs.jreFavored};
}

TEST(ApplyJvmSource, FollowsTheKindTable) {
    EXPECT_EQ(KindFlagsFor(L""), (KindFlags{true, true, true}));
    EXPECT_EQ(KindFlagsFor(L"favor_JRE"), (KindFlags{true, false, true}));
    EXPECT_EQ(KindFlagsFor(L"favor_JDK"), (KindFlags{true, true, false}));
    EXPECT_EQ(KindFlagsFor(L"only_JDK"), (KindFlags{false, true, false}));
    EXPECT_EQ(KindFlagsFor(L"only_JRE"), (KindFlags{false, false, true}));
    EXPECT_EQ(KindFlagsFor(L"JRE"), (KindFlags{false, false, false}));
    EXPECT_EQ(KindFlagsFor(L"favor_jre"), (KindFlags{false, false, false}));  // exact comparison
}

struct VendorFlags {
    bool jrockitAllowed, jrockitFavored, sunAllowed, sunFavored, ibmAllowed, ibmFavored;
    bool operator==(const VendorFlags&) const = default;
};

VendorFlags VendorFlagsFor(const std::wstring& value) {
    JvmSearchPrefs prefs;
    ApplyVmProvider(value, prefs);
    return {prefs.jrockitAllowed, prefs.jrockitFavored, prefs.sunAllowed,
            prefs.sunFavored,     prefs.ibmAllowed,     prefs.ibmFavored};
}

TEST(ApplyVmProvider, FollowsTheVendorTableInAnyLetterCase) {
    const VendorFlags javaSoftOnly{false, false, true, true, false, false};
    EXPECT_EQ(VendorFlagsFor(L""), javaSoftOnly);
    EXPECT_EQ(VendorFlagsFor(L"sun"), javaSoftOnly);
    EXPECT_EQ(VendorFlagsFor(L"SUN"), javaSoftOnly);
    EXPECT_EQ(VendorFlagsFor(L"any "), javaSoftOnly);
    EXPECT_EQ(VendorFlagsFor(L"jrockit"), (VendorFlags{true, true, false, false, false, false}));
    EXPECT_EQ(VendorFlagsFor(L"IBM"), (VendorFlags{false, false, false, false, true, true}));
    EXPECT_EQ(VendorFlagsFor(L"favor_sun"), (VendorFlags{true, false, true, true, true, false}));
    EXPECT_EQ(VendorFlagsFor(L"Favor_JRockit"), (VendorFlags{true, true, true, false, true, false}));
    EXPECT_EQ(VendorFlagsFor(L"favor_ibm"), (VendorFlags{true, false, true, false, true, true}));
    EXPECT_EQ(VendorFlagsFor(L"ANY"), (VendorFlags{true, false, true, false, true, false}));
}

TEST(ApplyVmProvider, UnknownValueKeepsWhateverFlagsWereThere) {
    JvmSearchPrefs prefs;
    prefs.ibmFavored = true;
    prefs.sunAllowed = false;
    ApplyVmProvider(L"oracle", prefs);
    EXPECT_TRUE(prefs.ibmFavored);
    EXPECT_FALSE(prefs.sunAllowed);
}

TEST(EqualsYesAnyCase, AcceptsOnlyTheWholeWordYes) {
    EXPECT_TRUE(EqualsYesAnyCase(L"Yes"));
    EXPECT_TRUE(EqualsYesAnyCase(L"yes"));
    EXPECT_TRUE(EqualsYesAnyCase(L"YES"));
    EXPECT_TRUE(EqualsYesAnyCase(L"yEs"));
    for (const wchar_t* off : {L"", L"Y", L"true", L"1", L"Yes ", L" Yes", L"Yess", L"No"}) {
        EXPECT_FALSE(EqualsYesAnyCase(off)) << "value of length " << std::wstring(off).size();
    }
}

}  // namespace
}  // namespace orvo
