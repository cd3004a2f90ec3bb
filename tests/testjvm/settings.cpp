#include "testjvm/settings.h"

#include <charconv>
#include <functional>
#include <map>

namespace orvo::testjvm {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::string Unescape(std::string_view value) {
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        char next = value[++i];
        result += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
    }
    return result;
}

std::vector<std::string> SplitList(std::string_view value) {
    std::vector<std::string> items;
    while (!value.empty()) {
        std::size_t end = value.find(';');
        std::string_view item = Trim(value.substr(0, end));
        if (!item.empty()) items.emplace_back(item);
        value = end == std::string_view::npos ? std::string_view{} : value.substr(end + 1);
    }
    return items;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

template <typename Enum>
bool ParseWord(std::string_view text, std::initializer_list<std::pair<std::string_view, Enum>> words, Enum& out) {
    for (const auto& [word, value] : words)
        if (text == word) return out = value, true;
    return false;
}

bool ParseFlag(std::string_view text, bool& out) {
    if (text != "0" && text != "1") return false;
    out = text == "1";
    return true;
}

using Setter = std::function<bool(TestJvmSettings&, const std::string&)>;

const std::map<std::string, Setter, std::less<>>& Setters() {
    static const std::map<std::string, Setter, std::less<>> setters = {
        {"classes", [](auto& s, const auto& v) { return s.classes = SplitList(v), true; }},
        {"create_result", [](auto& s, const auto& v) { return ParseNumber(v, s.createResult); }},
        {"create_wait_file", [](auto& s, const auto& v) { return s.createWaitFile = Utf16FromUtf8(v), true; }},
        {"create_time_file", [](auto& s, const auto& v) { return s.createTimeFile = Utf16FromUtf8(v), true; }},
        {"java_stack_size", [](auto& s, const auto& v) { return ParseNumber(v, s.javaStackSize); }},
        {"unknown_options", [](auto& s, const auto& v) { return s.unknownOptions = SplitList(v), true; }},
        {"reject_result", [](auto& s, const auto& v) { int n = 0; return ParseNumber(v, n) && (s.rejectResult = n, true); }},
        {"fail", [](auto& s, const auto& v) { return s.failing = SplitList(v), true; }},
        {"main", [](auto& s, const auto& v) {
             return ParseWord(v, {{"return", MainOutcome::kReturn}, {"throw", MainOutcome::kThrow},
                                  {"exit", MainOutcome::kExit}, {"missing", MainOutcome::kMissing}}, s.main); }},
        {"main_exit_code", [](auto& s, const auto& v) { return ParseNumber(v, s.mainExitCode); }},
        {"main_prints", [](auto& s, const auto& v) { return s.mainPrints = Utf16FromUtf8(v), true; }},
        {"main_prints_err", [](auto& s, const auto& v) { return s.mainPrintsErr = Utf16FromUtf8(v), true; }},
        {"main_exception_class", [](auto& s, const auto& v) { return s.mainExceptionClass = v, !v.empty(); }},
        {"main_stack_trace", [](auto& s, const auto& v) { return s.mainStackTrace = Utf16FromUtf8(v), true; }},
        {"main_sleep_ms", [](auto& s, const auto& v) { return ParseNumber(v, s.mainSleepMs); }},
        {"main_wait_file", [](auto& s, const auto& v) { return s.mainWaitFile = Utf16FromUtf8(v), true; }},
        {"secondary_main", [](auto& s, const auto& v) {
             return ParseWord(v, {{"none", SecondaryMainKind::kNone}, {"void", SecondaryMainKind::kVoid},
                                  {"int", SecondaryMainKind::kInt}}, s.secondaryMain); }},
        {"secondary_main_result", [](auto& s, const auto& v) {
             int n = 0;
             return (v == "arg0" || ParseNumber(v, n)) && (s.secondaryMainResult = v, true); }},
        {"secondary_main_throws", [](auto& s, const auto& v) { return ParseFlag(v, s.secondaryMainThrows); }},
        {"secondary_main_prints", [](auto& s, const auto& v) { return s.secondaryMainPrints = Utf16FromUtf8(v), true; }},
        {"secondary_main_sleep_ms", [](auto& s, const auto& v) { return ParseNumber(v, s.secondaryMainSleepMs); }},
        {"check_and_load_main", [](auto& s, const auto& v) {
             return (v == "load" || v == "null") && (s.checkAndLoadMainReturnsNull = v == "null", true); }},
        {"destroy_sleep_ms", [](auto& s, const auto& v) { return ParseNumber(v, s.destroySleepMs); }},
        {"destroy_wait_file", [](auto& s, const auto& v) { return s.destroyWaitFile = Utf16FromUtf8(v), true; }},
        {"background_exit_ms", [](auto& s, const auto& v) { return ParseNumber(v, s.backgroundExitMs); }},
        {"background_exit_wait_file", [](auto& s, const auto& v) { return s.backgroundExitWaitFile = Utf16FromUtf8(v), true; }},
        {"background_exit_code", [](auto& s, const auto& v) { return ParseNumber(v, s.backgroundExitCode); }},
        {"log_environment", [](auto& s, const auto& v) { return s.loggedEnvironment = SplitList(v), true; }},
        {"wait_timeout_ms", [](auto& s, const auto& v) { return ParseNumber(v, s.waitTimeoutMs); }},
    };
    return setters;
}

bool ApplyLine(TestJvmSettings& settings, std::string_view line, std::string& problem) {
    std::size_t equals = line.find('=');
    std::string_view key = Trim(line.substr(0, equals));
    auto setter = Setters().find(key);
    if (equals == std::string_view::npos || setter == Setters().end()) {
        problem = "unknown setting line: " + std::string(line);
        return false;
    }
    std::string value = Unescape(Trim(line.substr(equals + 1)));
    if (setter->second(settings, value)) return true;
    problem = "bad value for " + std::string(key) + ": " + value;
    return false;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
}

// The code point of the sequence at the start of `bytes` (not empty), with `length`
// set to its byte count; an invalid sequence gives U+FFFD with length 1.
char32_t DecodeUtf8Sequence(std::string_view bytes, std::size_t& length) {
    auto lead = static_cast<unsigned char>(bytes[0]);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t extra = (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : 0;
    if (extra == 0 || extra >= bytes.size()) return 0xFFFD;
    char32_t code = lead & (0x3F >> extra);
    for (std::size_t k = 1; k <= extra; ++k) {
        auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        code = (code << 6) | (next & 0x3F);
    }
    length = extra + 1;
    return code;
}

}  // namespace

std::optional<TestJvmSettings> ParseSettings(std::string_view text, std::string& problem) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    TestJvmSettings settings;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (!ApplyLine(settings, line, problem)) return std::nullopt;
    }
    return settings;
}

bool ShouldFail(const TestJvmSettings& settings, std::string_view name) {
    for (const std::string& failing : settings.failing)
        if (failing == name) return true;
    return false;
}

std::u16string Utf16FromUtf8(std::string_view bytes) {
    std::u16string text;
    for (std::size_t i = 0, length = 1; i < bytes.size(); i += length)
        AppendUtf16(text, DecodeUtf8Sequence(bytes.substr(i), length));
    return text;
}

}  // namespace orvo::testjvm
