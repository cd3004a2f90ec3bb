#pragma once
// The launcher's argument list: how a command line (or the Cmd setting) is cut into
// arguments, and the switches the launcher reads itself. Pure, no <windows.h>.
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// Appends the pieces of `text` to `list`. Blank (U+0020) is the only separator; a double
// quote is special only as the first character of a piece, where it starts a piece that
// ends at the next double quote (or at the end of the text). No escape characters.
// Empty text appends nothing; quoted pieces may be empty.
void SplitCommandLine(std::wstring_view text, std::vector<std::wstring>& list);

// `text` without its leading and trailing characters for which iswspace holds.
std::wstring_view TrimCommandLine(std::wstring_view text);

// The arguments of a process command line, program path removed. Null gives an empty list.
std::vector<std::wstring> ArgumentsFromCommandLine(const wchar_t* commandLine);

// The arguments of a process command line by the rules of the Windows C runtime (what
// Python, .NET and Java's ProcessBuilder quote for), program name removed: blanks and
// tabs separate outside double quotes; 2n backslashes before a double quote give n
// backslashes and the quote opens or closes a quoted part; 2n+1 backslashes before it
// give n backslashes and a literal quote; other backslashes are literal; "" inside a
// quoted part is a literal quote and the part goes on. The program name ends at the
// first blank or tab outside quotes, with no escapes. Null gives an empty list.
std::vector<std::wstring> ArgumentsFromCommandLineWindows(const wchar_t* commandLine);

// True when an entry is exactly "-nosplash" or "/nosplash" (case-sensitive).
bool HasNoSplashSwitch(const std::vector<std::wstring>& list);

// The non-empty pieces of the already expanded Cmd setting, in order.
std::vector<std::wstring> SplitCmdSetting(std::wstring_view expandedText);

}  // namespace orvo
