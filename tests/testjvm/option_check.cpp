#include "testjvm/option_check.h"

namespace orvo::testjvm {

namespace {

// -X options taken whole.
constexpr std::string_view kKnownFlags[] = {
    "-Xrs", "-Xint", "-Xmixed", "-Xcomp", "-Xbatch", "-Xnoclassgc", "-Xincgc", "-Xdebug", "-Xfuture",
    "-Xdiag", "-Xinternalversion", "-Xnoagent", "-Xusealtsigs", "-Xprof", "-Xconcurrentio",
};
// -X options followed by a value of their own.
constexpr std::string_view kKnownPrefixes[] = {
    "-XX:", "-Xcheck:", "-Xshare:", "-Xlog", "-Xverify", "-Xrun", "-Xbootclasspath", "-Xloggc:",
    "-Xmaxjitcodesize", "-Xoss",
};
// -X options followed by a size.
constexpr std::string_view kSizeOptions[] = {"-Xss", "-Xmx", "-Xms", "-Xmn"};

bool IsSize(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return false;
    std::string_view unit = text.substr(digits);
    return unit.empty() || (unit.size() == 1 && std::string_view("kKmMgGtT").find(unit[0]) != std::string_view::npos);
}

bool MatchesUnknown(std::string_view option, const std::vector<std::string>& unknownOptions) {
    for (const std::string& unknown : unknownOptions) {
        if (!unknown.empty() && unknown.back() == '*') {
            if (option.substr(0, unknown.size() - 1) == std::string_view(unknown).substr(0, unknown.size() - 1))
                return true;
        } else if (option == unknown) {
            return true;
        }
    }
    return false;
}

bool IsKnownX(std::string_view option) {
    for (std::string_view flag : kKnownFlags)
        if (option == flag) return true;
    for (std::string_view prefix : kKnownPrefixes)
        if (option.substr(0, prefix.size()) == prefix) return true;
    return false;
}

}  // namespace

OptionVerdict CheckOption(std::string_view option, const std::vector<std::string>& unknownOptions) {
    if (MatchesUnknown(option, unknownOptions)) return OptionVerdict::kUnrecognized;
    for (std::string_view sizeOption : kSizeOptions)
        if (option.substr(0, sizeOption.size()) == sizeOption)
            return IsSize(option.substr(sizeOption.size())) ? OptionVerdict::kAccepted : OptionVerdict::kInvalid;
    if (option.substr(0, 2) == "-X" && !IsKnownX(option)) return OptionVerdict::kUnrecognized;
    return OptionVerdict::kAccepted;
}

}  // namespace orvo::testjvm
