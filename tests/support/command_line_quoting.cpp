#include "support/command_line_quoting.h"

namespace orvo::test {

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only in front of a quote: there each one is doubled.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring BuildCommandLine(std::wstring_view program, const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"" + std::wstring(program) + L"\"";
    for (const std::wstring& argument : arguments) line += L" " + QuoteArgument(argument);
    return line;
}

}  // namespace orvo::test
