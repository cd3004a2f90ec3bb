#include "support/registry_keys.h"

#include <algorithm>

#include "support/harness_error.h"
#include "support/temp_folder.h"

namespace orvo::test {

const wchar_t* const kJavaVendorKeys[7] = {
    L"Software\\JavaSoft\\JDK",
    L"Software\\JavaSoft\\JRE",
    L"Software\\JavaSoft\\Java Development Kit",
    L"Software\\JavaSoft\\Java Runtime Environment",
    L"Software\\JRockit\\Java Runtime Environment",
    L"Software\\JRockit\\Java Development Kit",
    L"Software\\IBM\\Java2 Runtime Environment",
};

const wchar_t* const kJavaInstallerKeys[10] = {
    L"Software\\Eclipse Adoptium\\JDK", L"Software\\Eclipse Adoptium\\JRE", L"Software\\AdoptOpenJDK\\JDK",
    L"Software\\AdoptOpenJDK\\JRE",     L"Software\\Eclipse Foundation\\JDK", L"Software\\Microsoft\\JDK",
    L"Software\\Semeru\\JDK",           L"Software\\Semeru\\JRE",             L"Software\\Azul Systems\\Zulu",
    L"Software\\BellSoft\\Liberica",
};

namespace {

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
    UniqueRegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

}  // namespace

void RequireNoJavaRegistrations() {
    std::wstring found;
    auto look = [&found](HKEY root, const wchar_t* path, REGSAM view) {
        if (!KeyExists(root, path, view)) return;
        found += (root == HKEY_CURRENT_USER ? L"\n  HKCU\\" : L"\n  HKLM\\") + std::wstring(path) +
                 (view == KEY_WOW64_32KEY ? L" (32-bit view)" : L" (64-bit view)");
    };
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        for (const wchar_t* path : kJavaVendorKeys) look(HKEY_LOCAL_MACHINE, path, view);
        for (const wchar_t* path : kJavaInstallerKeys) {
            look(HKEY_LOCAL_MACHINE, path, view);
            look(HKEY_CURRENT_USER, path, view);
        }
    }
    if (found.empty()) return;
    throw HarnessError(L"Java runtimes are registered on this machine:" + found +
                       L"\nThe runtime-search tests need a registry without them and never change or delete "
                       L"them. Run the tests in the wine prefix the test run makes (make test), or on a "
                       L"disposable Windows machine.");
}

UniqueRegKey OwnedRegistryKeys::Create(HKEY root, const std::wstring& path, REGSAM view) {
    UniqueRegKey key;
    for (std::size_t end = 0; end != std::wstring::npos;) {
        end = path.find(L'\\', end + 1);
        const std::wstring level = path.substr(0, end);
        DWORD disposition = 0;
        key.reset();
        LSTATUS status = RegCreateKeyExW(root, level.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                         key.put(), &disposition);
        if (status != ERROR_SUCCESS) throw HarnessError(L"cannot create the registry key " + level, status);
        if (disposition == REG_CREATED_NEW_KEY) keys_.push_back({root, level, view, {}});
    }
    return key;
}

bool OwnedRegistryKeys::Owns(const Place& place) const {
    auto same = [&](const Place& p) {
        return p.root == place.root && p.view == place.view &&
               CompareStringOrdinal(p.path.c_str(), -1, place.path.c_str(), -1, TRUE) == CSTR_EQUAL &&
               (p.value.empty() || p.value == place.value);
    };
    return std::any_of(keys_.begin(), keys_.end(), same) || std::any_of(values_.begin(), values_.end(), same);
}

void OwnedRegistryKeys::SetValue(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& name,
                                 DWORD type, const void* data, std::size_t size) {
    UniqueRegKey key = Create(root, path, view);
    const Place place{root, path, view, name};
    const bool exists = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    if (exists && !Owns(place))
        throw HarnessError(L"the registry value \"" + name + L"\" of " + path +
                           L" exists already; the test does not change a value it did not make");
    LSTATUS status = RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                    static_cast<DWORD>(size));
    if (status != ERROR_SUCCESS) throw HarnessError(L"cannot set the registry value " + name + L" of " + path, status);
    if (!Owns(place)) values_.push_back(place);
}

void OwnedRegistryKeys::SetString(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& name,
                                  const std::wstring& text) {
    SetValue(root, path, view, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void OwnedRegistryKeys::RemoveAll() {
    for (const Place& value : values_) {
        UniqueRegKey key;
        if (RegOpenKeyExW(value.root, value.path.c_str(), 0, KEY_SET_VALUE | value.view, key.put()) == ERROR_SUCCESS)
            RegDeleteValueW(key.get(), value.value.c_str());
    }
    values_.clear();
    for (auto made = keys_.rbegin(); made != keys_.rend(); ++made) {
        UniqueRegKey key;
        if (RegOpenKeyExW(made->root, made->path.c_str(), 0, KEY_ALL_ACCESS | made->view, key.put()) != ERROR_SUCCESS)
            continue;
        RegDeleteTreeW(key.get(), nullptr);
        key.reset();
        RegDeleteKeyExW(made->root, made->path.c_str(), made->view, 0);
    }
    keys_.clear();
}

void RegisterJavaRuntime(OwnedRegistryKeys& keys, REGSAM view, const std::wstring& vendorKey,
                         const std::wstring& version, std::wstring home) {
    if (home.ends_with(L'\\')) home.pop_back();
    keys.SetString(HKEY_LOCAL_MACHINE, vendorKey + L"\\" + version, view, L"JavaHome", home);
}

RedirectedLocalMachine::RedirectedLocalMachine() {
    hive_ = keys_.Create(HKEY_CURRENT_USER,
                         L"Software\\Orvo Tests\\Local Machine " + std::to_wstring(GetCurrentProcessId()));
    LSTATUS status = RegOverridePredefKey(HKEY_LOCAL_MACHINE, hive_.get());
    if (status != ERROR_SUCCESS) throw HarnessError(L"cannot redirect HKEY_LOCAL_MACHINE", status);
}

RedirectedLocalMachine::~RedirectedLocalMachine() { RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr); }

MachineValueOverride::MachineValueOverride(HKEY root, std::wstring keyPath, std::wstring name, const std::wstring& text)
    : name_(std::move(name)) {
    if (TestEnv(L"ORVO_DISPOSABLE_MACHINE") != L"1")
        throw HarnessError(L"this test changes the registry value \"" + name_ + L"\" of " + keyPath +
                           L" for its length; it runs only where the machine may be changed: in the wine prefix "
                           L"the test run makes, or on a disposable Windows machine with ORVO_DISPOSABLE_MACHINE=1");
    key_ = created_.Create(root, keyPath);
    DWORD size = 0;
    existed_ = RegQueryValueExW(key_.get(), name_.c_str(), nullptr, &previousType_, nullptr, &size) == ERROR_SUCCESS;
    if (existed_) {
        previous_.assign(size, '\0');
        RegQueryValueExW(key_.get(), name_.c_str(), nullptr, &previousType_,
                         reinterpret_cast<BYTE*>(previous_.data()), &size);
    }
    LSTATUS status = RegSetValueExW(key_.get(), name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) throw HarnessError(L"cannot set the registry value " + name_, status);
}

MachineValueOverride::~MachineValueOverride() {
    if (existed_) {
        RegSetValueExW(key_.get(), name_.c_str(), 0, previousType_, reinterpret_cast<const BYTE*>(previous_.data()),
                       static_cast<DWORD>(previous_.size()));
    } else {
        RegDeleteValueW(key_.get(), name_.c_str());
    }
    key_.reset();
}

}  // namespace orvo::test
