#include "discovery/runtime_code_page.h"

#include "foundation/java_version.h"
#include "discovery/runtime_release.h"
#include "foundation/code_page.h"

namespace orvo {
namespace {

// The first versions known to read file names in the process's code page: Java 19,
// and of Java 17 the update 17.0.7 (17.0.3 still reads the locale's, and puts a UTF-8
// class path in "C:\Прога" out of its reach). No update of Java 11 or 18 is known to
// read it, so those are refused as a whole.
constexpr JavaVersion kFirstFixedFeature{{19, 0, 0, 0}};
constexpr JavaVersion kFirstFixed17{{17, 0, 7, 0}};
constexpr JavaVersion kFirstAfter17{{18, 0, 0, 0}};

bool TakesUtf8(const JavaVersion& version) {
    if (JavaVersion::Compare(version, kFirstFixedFeature) >= 0) return true;
    return JavaVersion::Compare(version, kFirstFixed17) >= 0 && JavaVersion::Compare(version, kFirstAfter17) < 0;
}

}  // namespace

std::wstring Utf8CodePageRefusal(const std::optional<std::wstring>& releaseVersion) {
    JavaVersion::ParseResult parsed = JavaVersion::Parse(releaseVersion.value_or(L""), JavaVersion::kFillLow);
    if (parsed.parsed && TakesUtf8(parsed.version)) return {};
    return L"Java " + (parsed.parsed ? *releaseVersion : L"without a release file naming its version") +
           L" is not known to read file names in UTF-8 (17.0.7 or later, but not 18, does)";
}

std::wstring ProcessCodePageRefusal(const std::wstring& home) {
    if (!ProcessCodePageIsUtf8()) return {};
    return Utf8CodePageRefusal(ReadReleaseVersion(home));
}

}  // namespace orvo
