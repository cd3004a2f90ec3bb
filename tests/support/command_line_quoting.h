#pragma once
// Building a process command line from separate arguments. Pure text, no Windows
// calls: the rules are those by which the C runtime and CommandLineToArgvW split.
#include <string>
#include <string_view>
#include <vector>

namespace orvo::test {

// The argument as it must be written so that the splitting rules give it back
// unchanged: bare when it has no blank, tab or quote and is not empty; otherwise
// in quotes, with backslashes doubled where they precede a quote or the end.
std::wstring QuoteArgument(std::wstring_view argument);

// The program path in quotes, then every argument quoted as needed, one blank apart.
std::wstring BuildCommandLine(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace orvo::test
