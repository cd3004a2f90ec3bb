#include "hosting/class_data_cache_name.h"

#include "foundation/text_format.h"

namespace orvo {

namespace {

// "21.0.5+11-LTS" has 13 characters; a release file may say anything.
constexpr std::size_t kMaxVersionInName = 40;
constexpr std::size_t kFingerprintDigits = 16;

bool FitsFileName(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'.' ||
           c == L'-' || c == L'+' || c == L'_';
}

bool IsLowerHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

std::wstring_view WithoutExtension(std::wstring_view launcherPath) {
    std::wstring_view name = launcherPath.substr(launcherPath.find_last_of(L"\\/") + 1);
    std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

// FNV-1a, 64 bits, over the text's UTF-16 code units: no secret to keep, only changes
// to notice.
std::uint64_t Fnv1a(std::wstring_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (wchar_t c : text) {
        for (int shift = 0; shift < 16; shift += 8) {
            hash ^= (static_cast<std::uint64_t>(c) >> shift) & 0xFF;
            hash *= 0x100000001b3ULL;
        }
    }
    return hash;
}

// The names compared are the launcher's and those made from it: letters beyond ASCII
// compare as they are.
wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

bool EndsWithNoCase(std::wstring_view text, std::wstring_view end) {
    return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

// "<16 hex digits>-<version>.<cache extension>".
bool IsFingerprintedRest(std::wstring_view rest) {
    if (rest.size() <= kFingerprintDigits + 1 || rest[kFingerprintDigits] != L'-') return false;
    for (std::size_t i = 0; i < kFingerprintDigits; ++i) {
        if (!IsLowerHex(rest[i])) return false;
    }
    return EndsWithNoCase(rest, L".jsa") || EndsWithNoCase(rest, L".aot") || EndsWithNoCase(rest, L".aot.config");
}

// "<version>.jsa" as archives were named before fingerprints: a version of digits,
// dots, "+" and "_" only, so that "App-2-21.0.5.jsa" of a launcher "App-2.exe" is not
// taken for one of "App.exe".
bool IsUnfingerprintedRest(std::wstring_view rest) {
    if (!EndsWithNoCase(rest, L".jsa") || rest.size() == 4 || rest[0] < L'0' || rest[0] > L'9') return false;
    for (wchar_t c : rest.substr(0, rest.size() - 4)) {
        if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'+' || c == L'_')) return false;
    }
    return true;
}

}  // namespace

std::vector<std::wstring> ClassPathEntries(std::wstring_view classPath) {
    std::vector<std::wstring> entries;
    while (!classPath.empty()) {
        std::size_t end = classPath.find(L';');
        std::wstring_view entry = classPath.substr(0, end);
        if (!entry.empty()) entries.emplace_back(entry);
        if (end == std::wstring_view::npos) break;
        classPath.remove_prefix(end + 1);
    }
    return entries;
}

std::wstring ClassDataFingerprint(std::wstring_view runtimeVersion, std::wstring_view jvmPath,
                                  const std::vector<ClassPathEntryStamp>& classPath) {
    std::wstring text = std::wstring(runtimeVersion) + L'\n' + std::wstring(jvmPath) + L'\n';
    for (const ClassPathEntryStamp& entry : classPath) {
        text += entry.path + L'|';
        text += entry.exists ? UnsignedDecimalText(entry.size) + L'|' + UnsignedDecimalText(entry.writeTime) : L"missing";
        text += L'\n';
    }
    std::uint64_t hash = Fnv1a(text);
    std::wstring digits(kFingerprintDigits, L'0');
    for (std::size_t i = kFingerprintDigits; i-- > 0; hash >>= 4) digits[i] = L"0123456789abcdef"[hash & 0xF];
    return digits;
}

std::wstring ClassDataCacheName(std::wstring_view launcherPath, std::wstring_view fingerprint,
                                std::wstring_view runtimeVersion, ClassDataCacheKind kind) {
    std::wstring name(WithoutExtension(launcherPath));
    name += L'-';
    name += fingerprint;
    name += L'-';
    for (wchar_t c : runtimeVersion.substr(0, kMaxVersionInName)) name += FitsFileName(c) ? c : L'_';
    return name += ClassDataCacheExtension(kind);
}

bool IsOutdatedClassDataCache(std::wstring_view fileName, std::wstring_view launcherPath,
                              std::wstring_view currentName) {
    const std::wstring prefix = std::wstring(WithoutExtension(launcherPath)) + L'-';
    if (EqualsNoCase(fileName, currentName) || fileName.size() <= prefix.size() ||
        !EqualsNoCase(fileName.substr(0, prefix.size()), prefix)) {
        return false;
    }
    std::wstring_view rest = fileName.substr(prefix.size());
    // The configuration recorded for the current cache is the assembly's to read.
    if (EqualsNoCase(fileName, std::wstring(currentName) + L".config")) return false;
    return IsFingerprintedRest(rest) || IsUnfingerprintedRest(rest);
}

std::wstring ClassDataCachePattern(std::wstring_view launcherPath) {
    return std::wstring(WithoutExtension(launcherPath)) + L"-*";
}

}  // namespace orvo
