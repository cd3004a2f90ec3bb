// VM parameters. Any text: the tokens, joined by single blanks, give the same tokens;
// every percentage comes out as a plain unsigned number of KiB. A percentage token
// made from chosen numbers: its size is the percentage of the figure within the
// double's rounding, clamped to the maximum and then the minimum, never wrapped or
// negative. An -Xss size made from chosen numbers: exact, or 0 when it overflows.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "hosting/vm_parameters.h"

namespace {

using orvo::MemoryFigures;
using Wide = unsigned __int128;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::uint64_t Saturated(Wide value) { return value > kMax ? kMax : static_cast<std::uint64_t>(value); }

// The number before the final "K" of a rewritten token, which starts at `from`.
std::optional<std::uint64_t> KibNumber(const std::wstring& option, std::size_t from) {
    if (option.size() < from + 2 || option.back() != L'K' || option.size() - from - 1 > 20) return std::nullopt;
    Wide value = 0;
    for (std::size_t i = from; i + 1 < option.size(); ++i) {
        if (option[i] < L'0' || option[i] > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(option[i] - L'0');
    }
    if (value > kMax) return std::nullopt;
    return static_cast<std::uint64_t>(value);
}

void CheckAnyText(const std::wstring& text, const MemoryFigures& figures) {
    const std::vector<std::wstring> tokens = orvo::TokenizeVmParameters(text);
    std::wstring joined;
    for (std::size_t i = 0; i < tokens.size(); ++i) joined += (i > 0 ? L" " : L"") + tokens[i];
    // A text of blanks alone is one empty token, which joins to the empty text.
    if (!(tokens.size() == 1 && tokens[0].empty())) ORVO_FUZZ_CHECK(orvo::TokenizeVmParameters(joined) == tokens);
    for (const std::wstring& token : tokens) {
        const std::wstring unquoted = orvo::UnquoteVmParameter(token);
        ORVO_FUZZ_CHECK(unquoted.size() <= token.size());
        if (!orvo::IsPercentMemoryParameter(unquoted)) continue;
        const std::wstring option = orvo::RewriteMemoryParameter(unquoted, figures);
        ORVO_FUZZ_CHECK(option.compare(0, 4, unquoted, 0, 4) == 0);
        ORVO_FUZZ_CHECK(KibNumber(option, option.find_first_of(L"0123456789")).has_value());
    }
    std::optional<std::uint32_t> stack;
    orvo::ProcessVmParameters(text, figures, stack);
}

struct Request {
    std::uint64_t percent, minMiB, maxMiB;
};

// The size the rewrite must give, as a closed interval: the exact percentage, widened
// by the rounding of a double product, then clamped as the rewrite clamps.
std::pair<std::uint64_t, std::uint64_t> ExpectedKib(const Request& r, std::uint64_t figureBytes) {
    const Wide exact = static_cast<Wide>(figureBytes >> 10) * r.percent / 100;
    const Wide slack = exact / (Wide{1} << 48) + 1;
    std::uint64_t low = Saturated(exact > slack ? exact - slack : 0), high = Saturated(exact + slack);
    const std::uint64_t maxKib = Saturated(static_cast<Wide>(r.maxMiB) * 1024);
    const std::uint64_t minKib = Saturated(static_cast<Wide>(r.minMiB) * 1024);
    if (r.maxMiB != 0) {
        low = std::min(low, maxKib);
        high = std::min(high, maxKib);
    }
    return {std::max(low, minKib), std::max(high, minKib)};
}

void CheckPercentToken(FuzzedDataProvider& input, const MemoryFigures& figures) {
    static const wchar_t* const kPrefixes[] = {L"-Xms", L"-Xmx", L"-Xss"};
    const std::wstring prefix = kPrefixes[input.ConsumeIntegralInRange(0, 2)];
    const wchar_t letter = L"PpTt"[input.ConsumeIntegralInRange(0, 3)];
    Request r{input.ConsumeIntegral<std::uint64_t>(), input.ConsumeIntegral<std::uint64_t>(),
              input.ConsumeIntegral<std::uint64_t>()};
    const int parts = input.ConsumeIntegralInRange(1, 3);
    if (parts < 3) r.maxMiB = 0;
    if (parts < 2) r.minMiB = 0;
    std::wstring token = prefix + std::to_wstring(r.percent);
    if (parts >= 2) token += L":" + std::to_wstring(r.minMiB);
    if (parts >= 3) token += L":" + std::to_wstring(r.maxMiB);
    token += letter;
    const std::uint64_t figure = letter == L'P' || letter == L'p' ? figures.totalPhysBytes : figures.availVirtualBytes;
    const std::optional<std::uint64_t> kib = KibNumber(orvo::RewriteMemoryParameter(token, figures), prefix.size());
    ORVO_FUZZ_CHECK(kib.has_value());
    const auto [low, high] = ExpectedKib(r, figure);
    ORVO_FUZZ_CHECK(low <= *kib && *kib <= high);
}

void CheckStackSize(FuzzedDataProvider& input) {
    const std::uint64_t number = input.ConsumeIntegral<std::uint64_t>();
    const wchar_t unit = L"GgMmKkb"[input.ConsumeIntegralInRange(0, 6)];
    const Wide scale = unit == L'b' ? 1 : (unit == L'K' || unit == L'k') ? 1 << 10
                                          : (unit == L'M' || unit == L'm') ? 1 << 20 : 1 << 30;
    const Wide bytes = static_cast<Wide>(number) * scale;
    const std::wstring token = L"-Xss" + std::to_wstring(number) + (unit == L'b' ? L"" : std::wstring(1, unit));
    const std::optional<std::uint32_t> parsed = orvo::ParseThreadStackSize(token);
    ORVO_FUZZ_CHECK(parsed.has_value());
    ORVO_FUZZ_CHECK(*parsed == (bytes > std::numeric_limits<std::uint32_t>::max() ? 0 : bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const MemoryFigures figures{input.ConsumeIntegral<std::uint64_t>(), input.ConsumeIntegral<std::uint64_t>()};
    CheckPercentToken(input, figures);
    CheckStackSize(input);
    CheckAnyText(orvo::fuzz::WideFromBytes(input.ConsumeRemainingBytesAsString()), figures);
    return 0;
}
