// Setting one value in an INI text: the text changes in one place only (everything
// but one line stays as it was), setting the same value again changes nothing, and
// the line that holds the value is there once the edit is done.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/ini_text_edit.h"
#include "fuzz_input.h"

namespace {

constexpr wchar_t kSection[] = L"Java Runtime Environment";
constexpr wchar_t kKey[] = L"JRE Path";
constexpr wchar_t kValue[] = L"C:\\jre\\";

std::size_t LongestLine(const std::wstring& text) {
    std::size_t longest = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = std::min(text.find(L'\n', start), text.size());
        longest = std::max(longest, end - start + 1);
        start = end + 1;
    }
    return longest;
}

std::size_t CommonPrefix(const std::wstring& a, const std::wstring& b) {
    return std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
}

std::size_t CommonSuffix(const std::wstring& a, const std::wstring& b) {
    return std::mismatch(a.rbegin(), a.rend(), b.rbegin(), b.rend()).first - a.rbegin();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = orvo::fuzz::WideFromBytes({reinterpret_cast<const char*>(data), size});
    const std::wstring edited = orvo::WithIniValue(text, kSection, kKey, kValue);
    // Only one stretch of at most one old line differs.
    const std::size_t kept = std::min(CommonPrefix(text, edited) + CommonSuffix(text, edited), text.size());
    ORVO_FUZZ_CHECK(text.size() - kept <= LongestLine(text));
    ORVO_FUZZ_CHECK(orvo::WithIniValue(edited, kSection, kKey, kValue) == edited);
    ORVO_FUZZ_CHECK(edited.find(kValue) != std::wstring::npos);
    return 0;
}
