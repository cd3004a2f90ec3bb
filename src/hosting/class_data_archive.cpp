#include "hosting/class_data_archive.h"

#include "foundation/java_version.h"

namespace orvo {

namespace {

// The magic number a dynamic archive starts with, 0xF00BABA8, in the file's
// (little-endian) byte order.
constexpr char kDynamicArchiveMagic[] = {'\xA8', '\xAB', '\x0B', '\xF0'};

// "21.0.5+11-LTS" has 13 characters; a release file may say anything.
constexpr std::size_t kMaxVersionInName = 40;

bool FitsFileName(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'.' ||
           c == L'-' || c == L'+' || c == L'_';
}

std::wstring_view WithoutExtension(std::wstring_view launcherPath) {
    std::wstring_view name = launcherPath.substr(launcherPath.find_last_of(L"\\/") + 1);
    std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

}  // namespace

std::optional<int> JavaFeatureRelease(std::wstring_view versionText) {
    JavaVersion::ParseResult result = JavaVersion::Parse(versionText, JavaVersion::kFillLow);
    if (!result.parsed) return std::nullopt;
    const auto& components = result.version.components;
    // Up to Java 8 the feature release is the second number: 1.8.0_292.
    int feature = components[0] == 1 ? components[1] : components[0];
    if (feature <= 0) return std::nullopt;
    return feature;
}

std::wstring ClassDataArchiveName(std::wstring_view launcherPath, std::wstring_view runtimeVersion) {
    std::wstring name(WithoutExtension(launcherPath));
    name += L'-';
    for (wchar_t c : runtimeVersion.substr(0, kMaxVersionInName)) name += FitsFileName(c) ? c : L'_';
    return name + L".jsa";
}

bool LooksLikeClassDataArchive(std::string_view head) {
    return head.starts_with(std::string_view(kDynamicArchiveMagic, sizeof kDynamicArchiveMagic));
}

std::vector<std::wstring> ClassDataArchiveOptions(std::wstring_view runtimeVersion, std::wstring_view archivePath) {
    std::optional<int> feature = JavaFeatureRelease(runtimeVersion);
    if (!feature || *feature < kFirstAutoArchiveJava) return {};
    return {L"-XX:+AutoCreateSharedArchive", L"-XX:SharedArchiveFile=" + std::wstring(archivePath), L"-Xlog:cds*=off"};
}

}  // namespace orvo
