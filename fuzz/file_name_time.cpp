// The date picture of an output file name: the three parts put back together give
// the name, and the milliseconds replace every "L" and nothing else.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "hosting/file_name_time.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const unsigned milliseconds = input.ConsumeIntegral<unsigned>();
    const std::wstring name = orvo::fuzz::WideFromBytes(input.ConsumeRemainingBytesAsString());
    const auto parts = orvo::SplitTimePicture(name);
    const std::size_t percents = static_cast<std::size_t>(std::count(name.begin(), name.end(), L'%'));
    ORVO_FUZZ_CHECK(parts.has_value() == (percents > 0));
    if (!parts) return 0;
    ORVO_FUZZ_CHECK(parts->before.find(L'%') == std::wstring::npos);
    ORVO_FUZZ_CHECK(parts->after.find(L'%') == std::wstring::npos);
    const std::wstring middle = percents == 1 ? L"%" : L"%" + parts->picture + L"%";
    ORVO_FUZZ_CHECK(parts->before + middle + parts->after == name);

    const std::wstring expanded = orvo::WithMilliseconds(parts->picture, milliseconds);
    const std::wstring digits = std::to_wstring(milliseconds);
    const auto letters = static_cast<std::size_t>(std::count(parts->picture.begin(), parts->picture.end(), L'L'));
    ORVO_FUZZ_CHECK(expanded.find(L'L') == std::wstring::npos);
    ORVO_FUZZ_CHECK(expanded.size() == parts->picture.size() - letters + letters * digits.size());
    return 0;
}
