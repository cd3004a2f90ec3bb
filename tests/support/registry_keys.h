#pragma once
// Registry work for tests that must leave the machine as they found it: keys and
// values a test makes are its own and go again; what was there before is never
// changed or deleted. Tests that need the Java vendor keys absent stop with a clear
// message where real ones exist instead of deleting them.
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/unique_handle.h"

namespace orvo::test {

// The seven keys under HKEY_LOCAL_MACHINE where Java runtimes are registered.
extern const wchar_t* const kJavaVendorKeys[7];
// The keys of today's installers, under HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
extern const wchar_t* const kJavaInstallerKeys[10];

// Throws HarnessError naming every vendor key that exists, in either registry view
// (and, for the installers' keys, per user too): the machine has Java runtimes
// registered, which a runtime-search test would find and must not delete. The wine
// prefix the test run makes has none.
void RequireNoJavaRegistrations();

// Keys and values made for one test, removed again when it ends (or by RemoveAll).
// A view is 0 (the process's own), KEY_WOW64_32KEY or KEY_WOW64_64KEY.
class OwnedRegistryKeys {
public:
    OwnedRegistryKeys() = default;
    ~OwnedRegistryKeys() { RemoveAll(); }
    OwnedRegistryKeys(const OwnedRegistryKeys&) = delete;
    OwnedRegistryKeys& operator=(const OwnedRegistryKeys&) = delete;

    // root\path, open for writing; each missing level is created and becomes this
    // object's. Throws HarnessError when it cannot.
    UniqueRegKey Create(HKEY root, const std::wstring& path, REGSAM view = 0);

    // Sets a value in root\path (made as by Create). Throws HarnessError when the
    // value exists and was not set by this object: the machine's values stay as
    // they are.
    void SetValue(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& name, DWORD type,
                  const void* data, std::size_t size);
    void SetString(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& name,
                   const std::wstring& text);

    // Removes the keys this object created, newest first with everything in them,
    // and the values it set in keys that were there before.
    void RemoveAll();

private:
    struct Place {
        HKEY root;
        std::wstring path;
        REGSAM view;
        std::wstring value;  // empty for a key
    };
    bool Owns(const Place& place) const;

    std::vector<Place> keys_;
    std::vector<Place> values_;
};

// HKLM\<vendorKey>\<version> in `view` with JavaHome = home, as an installer writes
// it: a REG_SZ without a trailing backslash.
void RegisterJavaRuntime(OwnedRegistryKeys& keys, REGSAM view, const std::wstring& vendorKey,
                         const std::wstring& version, std::wstring home);

// For its length, HKEY_LOCAL_MACHINE of this process is a fresh key of the test's
// own under HKEY_CURRENT_USER (RegOverridePredefKey): in-process reads and writes of
// HKLM land there, and the machine's hive is never touched. The two registry views
// are not told apart inside it.
class RedirectedLocalMachine {
public:
    RedirectedLocalMachine();
    ~RedirectedLocalMachine();
    RedirectedLocalMachine(const RedirectedLocalMachine&) = delete;
    RedirectedLocalMachine& operator=(const RedirectedLocalMachine&) = delete;

private:
    OwnedRegistryKeys keys_;
    UniqueRegKey hive_;
};

// A value of the machine changed for one test and restored afterwards, for the few
// tests that cannot work otherwise (the program the shell opens a link with). Only
// where the test run says the machine may be changed: ORVO_DISPOSABLE_MACHINE=1,
// which run-tests.sh sets for the wine prefix it makes; elsewhere the constructor
// throws HarnessError saying so, and nothing is changed.
class MachineValueOverride {
public:
    MachineValueOverride(HKEY root, std::wstring keyPath, std::wstring name, const std::wstring& text);
    ~MachineValueOverride();
    MachineValueOverride(const MachineValueOverride&) = delete;
    MachineValueOverride& operator=(const MachineValueOverride&) = delete;

private:
    OwnedRegistryKeys created_;
    std::wstring name_;
    UniqueRegKey key_;
    bool existed_ = false;
    DWORD previousType_ = REG_NONE;
    std::string previous_;
};

}  // namespace orvo::test
