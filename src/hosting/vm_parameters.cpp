#include "hosting/vm_parameters.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "foundation/text_format.h"

namespace orvo {

namespace {

constexpr wchar_t kBlank = L' ';
constexpr wchar_t kQuote = L'"';
constexpr std::uint64_t kMaxU64 = std::numeric_limits<std::uint64_t>::max();

// Index just past the quoted section that opens at `open`: its closing quote and a
// quote right after it belong to the section; an unclosed section runs to the end.
size_t QuotedSectionEnd(std::wstring_view text, size_t open) {
    size_t close = text.find(kQuote, open + 1);
    if (close == std::wstring_view::npos) return text.size();
    ++close;
    if (close < text.size() && text[close] == kQuote) ++close;
    return close;
}

size_t TokenEnd(std::wstring_view text, size_t start) {
    size_t i = start;
    while (i < text.size() && text[i] != kBlank) {
        i = text[i] == kQuote ? QuotedSectionEnd(text, i) : i + 1;
    }
    return i;
}

// Only ASCII digits count: iswdigit may accept other scripts' digits in some locales.
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Saturates instead of wrapping, so that absurdly long numbers stay absurdly large.
std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) {
    return (b != 0 && a > kMaxU64 / b) ? kMaxU64 : a * b;
}

std::uint64_t AppendDigit(std::uint64_t number, wchar_t digit) {
    std::uint64_t shifted = SaturatingMultiply(number, 10);
    std::uint64_t value = static_cast<std::uint64_t>(digit - L'0');
    return shifted > kMaxU64 - value ? kMaxU64 : shifted + value;
}

size_t FirstNumberPosition(std::wstring_view token) {
    for (size_t i = 0; i < token.size(); ++i) {
        if (IsDigit(token[i]) || token[i] == L':') return i;
    }
    return std::wstring_view::npos;
}

struct PercentRequest {
    std::uint64_t percent = 0;
    std::uint64_t minMiB = 0;
    std::uint64_t maxMiB = 0;
};

// Reads percent[:min[:max]] from `first` up to (not including) the unit letter; ':'
// starts the next number, other characters are skipped, later numbers are ignored.
PercentRequest ReadPercentRequest(std::wstring_view token, size_t first) {
    std::uint64_t numbers[3] = {0, 0, 0};
    size_t index = 0;
    for (size_t i = first; i + 1 < token.size() && index < 3; ++i) {
        if (token[i] == L':') {
            ++index;
        } else if (IsDigit(token[i])) {
            numbers[index] = AppendDigit(numbers[index], token[i]);
        }
    }
    return {numbers[0], numbers[1], numbers[2]};
}

std::uint64_t PercentOfKiB(std::uint64_t figureBytes, std::uint64_t percent) {
    double kib = static_cast<double>(figureBytes >> 10) * (static_cast<double>(percent) / 100.0);
    // 2^64 as a double: a larger product would make the conversion undefined.
    constexpr double kLimit = 18446744073709551616.0;
    return kib >= kLimit ? kMaxU64 : static_cast<std::uint64_t>(kib);
}

std::uint64_t ClampedSizeKiB(const PercentRequest& request, std::uint64_t figureBytes) {
    std::uint64_t size = PercentOfKiB(figureBytes, request.percent);
    std::uint64_t maxKiB = SaturatingMultiply(request.maxMiB, 1024);
    if (request.maxMiB != 0 && size > maxKiB) size = maxKiB;
    std::uint64_t minKiB = SaturatingMultiply(request.minMiB, 1024);
    if (minKiB > size) size = minKiB;
    return size;
}

// The options java.exe reads with their value in the next argument as well; the VM
// itself only knows them as "name=value".
constexpr std::wstring_view kTwoWordModuleOptions[] = {
    L"--add-opens",     L"--add-exports", L"--add-reads",           L"--add-modules",
    L"--limit-modules", L"--module-path", L"--upgrade-module-path", L"--patch-module",
    L"--enable-native-access",
};

bool IsTwoWordModuleOption(std::wstring_view option) {
    return std::find(std::begin(kTwoWordModuleOptions), std::end(kTwoWordModuleOptions), option) !=
           std::end(kTwoWordModuleOptions);
}

std::uint64_t StackUnit(wchar_t last) {
    switch (last) {
        case L'G': case L'g': return std::uint64_t{1} << 30;
        case L'M': case L'm': return std::uint64_t{1} << 20;
        case L'K': case L'k': return std::uint64_t{1} << 10;
        default: return 1;
    }
}

}  // namespace

std::vector<std::wstring> TokenizeVmParameters(std::wstring_view text) {
    std::vector<std::wstring> tokens;
    size_t start = text.empty() ? std::wstring_view::npos : 0;
    while (start != std::wstring_view::npos) {
        size_t end = TokenEnd(text, start);
        tokens.emplace_back(text.substr(start, end - start));
        start = text.find_first_not_of(kBlank, end);
    }
    return tokens;
}

std::wstring UnquoteVmParameter(std::wstring_view token) {
    std::wstring result;
    size_t i = 0;
    while (i < token.size()) {
        if (token[i] != kQuote) {
            result += token[i++];
            continue;
        }
        size_t close = token.find(kQuote, i + 1);
        if (close == std::wstring_view::npos) close = token.size();
        result.append(token.substr(i + 1, close - i - 1));
        i = close + 1;
        if (i < token.size() && token[i] == kQuote) result += token[i++];
    }
    return result;
}

bool IsPercentMemoryParameter(std::wstring_view token) {
    if (token.size() < 5) return false;
    std::wstring_view prefix = token.substr(0, 4);
    if (prefix != L"-Xms" && prefix != L"-Xmx" && prefix != L"-Xss") return false;
    wchar_t last = token.back();
    if (last != L'P' && last != L'p' && last != L'T' && last != L't') return false;
    return FirstNumberPosition(token) != std::wstring_view::npos;
}

std::wstring RewriteMemoryParameter(std::wstring_view token, const MemoryFigures& figures) {
    if (!IsPercentMemoryParameter(token)) return std::wstring(token);
    size_t first = FirstNumberPosition(token);
    wchar_t letter = token.back();
    std::uint64_t figure =
        (letter == L'P' || letter == L'p') ? figures.totalPhysBytes : figures.availVirtualBytes;
    // Unsigned 64-bit decimal: a signed 32-bit one would turn 2 TiB and more negative.
    std::uint64_t size = ClampedSizeKiB(ReadPercentRequest(token, first), figure);
    return std::wstring(token.substr(0, first)) + UnsignedDecimalText(size) + L"K";
}

std::optional<std::uint32_t> ParseThreadStackSize(std::wstring_view token) {
    if (token.substr(0, 4) != L"-Xss") return std::nullopt;
    std::wstring_view size = token.substr(4);
    if (size.empty() || !IsDigit(size.front()) || size.find(L':') != std::wstring_view::npos) return 0;
    std::uint64_t number = 0;
    for (wchar_t c : size) {
        if (IsDigit(c)) number = AppendDigit(number, c);
    }
    std::uint64_t bytes = SaturatingMultiply(number, StackUnit(size.back()));
    // A size that does not fit would wrap to an arbitrary stack; 0 leaves the default,
    // and the VM itself rejects the oversized option it receives.
    if (bytes > std::numeric_limits<std::uint32_t>::max()) return 0;
    return static_cast<std::uint32_t>(bytes);
}

std::wstring ProcessVmParameter(std::wstring_view token, const MemoryFigures& figures,
                                std::optional<std::uint32_t>& threadStackSize) {
    std::wstring option = RewriteMemoryParameter(UnquoteVmParameter(token), figures);
    if (auto stackSize = ParseThreadStackSize(option)) threadStackSize = stackSize;
    return option;
}

std::vector<std::wstring> JoinTwoWordModuleOptions(std::vector<std::wstring> options) {
    std::vector<std::wstring> joined;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (IsTwoWordModuleOption(options[i]) && i + 1 < options.size()) {
            joined.push_back(options[i] + L'=' + options[i + 1]);
            ++i;
        } else {
            joined.push_back(std::move(options[i]));
        }
    }
    return joined;
}

std::vector<std::wstring> ProcessVmParameters(std::wstring_view text, const MemoryFigures& figures,
                                              std::optional<std::uint32_t>& threadStackSize) {
    std::vector<std::wstring> options;
    for (const std::wstring& token : TokenizeVmParameters(text)) {
        std::wstring option = ProcessVmParameter(token, figures, threadStackSize);
        // A blank in front of the value (as a continuation section gives it) makes an
        // empty token; the VM would reject an empty option and fail to start.
        if (!option.empty()) options.push_back(std::move(option));
    }
    return JoinTwoWordModuleOptions(std::move(options));
}

}  // namespace orvo
