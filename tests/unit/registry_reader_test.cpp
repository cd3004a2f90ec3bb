#include "discovery/registry_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "discovery/pair_machine_check.h"
#include "support/harness_error.h"

namespace orvo {
namespace {

// REGSAM flag of the view a Default read sees in this build, and of the other one.
constexpr REGSAM kOwnView = kLauncherIs64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = kLauncherIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// A throw-away key under HKLM\Software in both views, removed with everything in it.
class ScratchKey {
public:
    ScratchKey() : path_(L"Software\\OrvoTest\\RegistryReader" + std::to_wstring(GetCurrentProcessId())) {
        Remove();
    }
    ~ScratchKey() { Remove(); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& path() const { return path_; }

    // Creates path()\relative in `view` and returns it open for writing.
    UniqueRegKey Create(REGSAM view, const std::wstring& relative = L"") const {
        std::wstring full = relative.empty() ? path_ : path_ + L"\\" + relative;
        HKEY key = nullptr;
        LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, nullptr, 0,
                                         KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) throw test::HarnessError(L"cannot create " + full, status);
        return UniqueRegKey(key);
    }

    // Sets a value with exactly these bytes.
    void Set(const wchar_t* name, DWORD type, const void* data, std::size_t size) const {
        UniqueRegKey key = Create(kOwnView);
        LSTATUS status = RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data),
                                        static_cast<DWORD>(size));
        if (status != ERROR_SUCCESS) throw test::HarnessError(L"cannot set a value", status);
    }
    void SetText(const wchar_t* name, DWORD type, const std::wstring& text, bool withNul) const {
        Set(name, type, text.c_str(), (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
    }

    std::optional<std::wstring> Read(const wchar_t* name) const {
        std::optional<UniqueRegKey> key = OpenRegistryKey(HKEY_LOCAL_MACHINE, path_, RegistryView::Default);
        if (!key) throw test::HarnessError(L"the scratch key does not open");
        return ReadRegistryText(key->get(), name);
    }

private:
    void Remove() const {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
                continue;
            RegDeleteTreeW(key, nullptr);
            RegCloseKey(key);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), view, 0);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\OrvoTest", view, 0);  // only when empty
        }
    }

    std::wstring path_;
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

TEST(ReadRegistryText, StringTypesAreReadAsWrittenAndNeverExpanded) {
    ScratchKey scratch;
    scratch.SetText(L"sz", REG_SZ, L"C:\\Java\\jre8", true);
    scratch.SetText(L"expand", REG_EXPAND_SZ, L"%ProgramFiles%\\Java", true);
    const wchar_t multi[] = L"C:\\first\0C:\\second\0";
    scratch.Set(L"multi", REG_MULTI_SZ, multi, sizeof multi);
    EXPECT_EQ(scratch.Read(L"sz"), L"C:\\Java\\jre8");
    EXPECT_EQ(scratch.Read(L"expand"), L"%ProgramFiles%\\Java");
    EXPECT_EQ(scratch.Read(L"multi"), L"C:\\first");
}

TEST(ReadRegistryText, DataWithoutTerminatorEndsWithTheData) {
    ScratchKey scratch;
    scratch.SetText(L"sz", REG_SZ, L"C:\\jre", false);
    const std::wstring text = L"C:\\bin";
    scratch.Set(L"binary", REG_BINARY, text.data(), text.size() * sizeof(wchar_t));
    EXPECT_EQ(scratch.Read(L"sz"), L"C:\\jre");
    EXPECT_EQ(scratch.Read(L"binary"), L"C:\\bin");
}

TEST(ReadRegistryText, OddByteLengthDropsTheHalfUnit) {
    ScratchKey scratch;
    const unsigned char bytes[] = {'A', 0, 'B', 0, 'C'};
    scratch.Set(L"odd", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(scratch.Read(L"odd"), L"AB");
    const unsigned char one[] = {'Z'};
    scratch.Set(L"single", REG_SZ, one, sizeof one);
    EXPECT_EQ(scratch.Read(L"single"), L"");
}

TEST(ReadRegistryText, AnyTypeIsReadAsUtf16Units) {
    ScratchKey scratch;
    const DWORD number = 0x00420041;  // "AB" in UTF-16LE
    scratch.Set(L"dword", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(scratch.Read(L"dword"), L"AB");
}

TEST(ReadRegistryText, MissingEmptyAndNulFirstValues) {
    ScratchKey scratch;
    scratch.Set(L"nodata", REG_SZ, nullptr, 0);
    scratch.SetText(L"empty", REG_SZ, L"", true);
    const wchar_t nulFirst[] = L"\0C:\\hidden";
    scratch.Set(L"nulfirst", REG_SZ, nulFirst, sizeof nulFirst);
    EXPECT_EQ(scratch.Read(L"missing"), std::nullopt);
    EXPECT_EQ(scratch.Read(L"nodata"), std::nullopt);
    EXPECT_EQ(scratch.Read(L"empty"), L"");
    EXPECT_EQ(scratch.Read(L"nulfirst"), L"");
}

TEST(ReadRegistryText, HugeValuesAreReadWhole) {
    ScratchKey scratch;
    const std::wstring huge(600000, L'x');
    scratch.SetText(L"huge", REG_BINARY, huge, false);
    std::wstring early = L"C:\\jre" + std::wstring(1, L'\0') + huge;
    scratch.SetText(L"early", REG_SZ, early, false);
    EXPECT_EQ(scratch.Read(L"huge"), huge);
    EXPECT_EQ(scratch.Read(L"early"), L"C:\\jre");
}

}  // namespace
}  // namespace orvo
