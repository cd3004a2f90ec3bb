#include "discovery/registry_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "discovery/pair_machine_check.h"
#include "support/harness_error.h"
#include "support/registry_keys.h"

namespace orvo {
namespace {

// REGSAM flag of the view a Default read sees in this build, and of the other one.
constexpr REGSAM kOwnView = kLauncherIs64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = kLauncherIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// A throw-away key under HKLM\Software, made by the test and removed with
// everything in it; nothing that was there before is touched.
class ScratchKey {
public:
    ScratchKey() : path_(L"Software\\Orvo Tests\\Registry Reader " + std::to_wstring(GetCurrentProcessId())) {}

    const std::wstring& path() const { return path_; }

    // Creates path()\relative in `view` and returns it open for writing.
    UniqueRegKey Create(REGSAM view, const std::wstring& relative = L"") {
        return keys_.Create(HKEY_LOCAL_MACHINE, relative.empty() ? path_ : path_ + L"\\" + relative, view);
    }

    // Sets a value with exactly these bytes.
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        keys_.SetValue(HKEY_LOCAL_MACHINE, path_, kOwnView, name, type, data, size);
    }
    void SetText(const wchar_t* name, DWORD type, const std::wstring& text, bool withNul) {
        Set(name, type, text.c_str(), (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    }

    std::optional<std::wstring> Read(const wchar_t* name) const {
        std::optional<UniqueRegKey> key = OpenRegistryKey(HKEY_LOCAL_MACHINE, path_, RegistryView::Default);
        if (!key) throw test::HarnessError(L"the scratch key does not open");
        return ReadRegistryText(key->get(), name);
    }

private:
    std::wstring path_;
    test::OwnedRegistryKeys keys_;
};

// The tests that need no second registry view read a redirected hive, so that
// they cannot touch the machine's.
class ReadRegistryTextTest : public testing::Test {
protected:
    test::RedirectedLocalMachine hive;
    ScratchKey scratch;
};

TEST(OpenRegistryKey, MissingKeyIsNotAnError) {
    ScratchKey scratch;
    EXPECT_FALSE(OpenRegistryKey(HKEY_LOCAL_MACHINE, scratch.path(), RegistryView::Default));
    EXPECT_FALSE(OpenRegistryKey(HKEY_LOCAL_MACHINE, scratch.path(), RegistryView::Wide64));
}

TEST(OpenRegistryKey, DefaultReadsTheOwnViewAndWide64TheSixtyFourBitOne) {
    ScratchKey scratch;
    scratch.Create(KEY_WOW64_64KEY, L"only64");
    scratch.Create(KEY_WOW64_32KEY, L"only32");
    auto opens = [&](const wchar_t* name, RegistryView view) {
        return OpenRegistryKey(HKEY_LOCAL_MACHINE, scratch.path() + L"\\" + name, view).has_value();
    };
    EXPECT_TRUE(opens(L"only64", RegistryView::Wide64));
    EXPECT_FALSE(opens(L"only32", RegistryView::Wide64));
    EXPECT_EQ(opens(L"only64", RegistryView::Default), kLauncherIs64Bit);
    EXPECT_EQ(opens(L"only32", RegistryView::Default), !kLauncherIs64Bit);
}

TEST(RegistrySubkeyNames, ListsEveryDirectSubkeyOnce) {
    ScratchKey scratch;
    for (const wchar_t* name : {L"1.8.0_292", L"11", L"1.8", L"..", L"jre 1.7"}) scratch.Create(kOwnView, name);
    scratch.Create(kOwnView, L"11\\nested");
    scratch.Create(kOtherView, L"other-view-only");
    std::optional<UniqueRegKey> key = OpenRegistryKey(HKEY_LOCAL_MACHINE, scratch.path(), RegistryView::Default);
    ASSERT_TRUE(key);
    std::vector<std::wstring> names = RegistrySubkeyNames(key->get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"..", L"1.8", L"1.8.0_292", L"11", L"jre 1.7"}));

    std::optional<UniqueRegKey> leaf = OpenRegistryKey(key->get(), L"1.8", RegistryView::Default);
    ASSERT_TRUE(leaf);
    EXPECT_TRUE(RegistrySubkeyNames(leaf->get()).empty());
}

TEST_F(ReadRegistryTextTest, StringTypesAreReadAsWrittenAndNeverExpanded) {
    scratch.SetText(L"sz", REG_SZ, L"C:\\Java\\jre8", true);
    scratch.SetText(L"expand", REG_EXPAND_SZ, L"%ProgramFiles%\\Java", true);
    const wchar_t multi[] = L"C:\\first\0C:\\second\0";
    scratch.Set(L"multi", REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_EQ(scratch.Read(L"sz"), L"C:\\Java\\jre8");
    EXPECT_EQ(scratch.Read(L"expand"), L"%ProgramFiles%\\Java");
    EXPECT_EQ(scratch.Read(L"multi"), L"C:\\first");
}

TEST_F(ReadRegistryTextTest, DataWithoutTerminatorEndsWithTheData) {
    scratch.SetText(L"sz", REG_SZ, L"C:\\jre", false);
    const std::wstring text = L"C:\\bin";
    scratch.Set(L"binary", REG_BINARY, text.data(), text.size() * sizeof(wchar_t));
    EXPECT_EQ(scratch.Read(L"sz"), L"C:\\jre");
    EXPECT_EQ(scratch.Read(L"binary"), L"C:\\bin");
}

TEST_F(ReadRegistryTextTest, OddByteLengthDropsTheHalfUnit) {
    const unsigned char bytes[] = {'A', 0, 'B', 0, 'C'};
    scratch.Set(L"odd", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(scratch.Read(L"odd"), L"AB");
    const unsigned char one[] = {'Z'};
    scratch.Set(L"single", REG_SZ, one, sizeof one);
    EXPECT_EQ(scratch.Read(L"single"), L"");
}

TEST_F(ReadRegistryTextTest, AnyTypeIsReadAsUtf16Units) {
    const DWORD number = 0x00420041;  // "AB" in UTF-16LE
    scratch.Set(L"dword", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(scratch.Read(L"dword"), L"AB");
}

TEST_F(ReadRegistryTextTest, MissingEmptyAndNulFirstValues) {
    scratch.Set(L"nodata", REG_SZ, nullptr, 0);
    scratch.SetText(L"empty", REG_SZ, L"", true);
    const wchar_t nulFirst[] = L"\0C:\\hidden";
    scratch.Set(L"nulfirst", REG_SZ, nulFirst, sizeof nulFirst);
    EXPECT_EQ(scratch.Read(L"missing"), std::nullopt);
    EXPECT_EQ(scratch.Read(L"nodata"), std::nullopt);
    EXPECT_EQ(scratch.Read(L"empty"), L"");
    EXPECT_EQ(scratch.Read(L"nulfirst"), L"");
}

TEST_F(ReadRegistryTextTest, HugeValuesAreReadWhole) {
    const std::wstring huge(600000, L'x');
    scratch.SetText(L"huge", REG_BINARY, huge, false);
    std::wstring early = L"C:\\jre" + std::wstring(1, L'\0') + huge;
    scratch.SetText(L"early", REG_SZ, early, false);
    const std::wstring megabytes(3u << 20, L'm');
    scratch.SetText(L"megabytes", REG_SZ, megabytes, true);
    EXPECT_EQ(scratch.Read(L"huge"), huge);
    EXPECT_EQ(scratch.Read(L"early"), L"C:\\jre");
    EXPECT_EQ(scratch.Read(L"megabytes"), megabytes);
}

}  // namespace
}  // namespace orvo
