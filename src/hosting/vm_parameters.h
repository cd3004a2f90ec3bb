#pragma once
// The launcher's reading of the "Virtual Machine Parameters" setting: tokens with
// quoting, memory sizes given as a percentage of the machine's memory, and the stack
// size of the VM thread taken from -Xss. Pure, no <windows.h>.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// The two memory figures a percentage can refer to, in bytes.
struct MemoryFigures {
    std::uint64_t totalPhysBytes = 0;     // letter P/p
    std::uint64_t availVirtualBytes = 0;  // letter T/t
};

// Tokens separated by blanks; blanks inside a quoted section ("..." and a quote right
// after its closing quote) do not separate, an unclosed section runs to the end. Quotes
// stay in the tokens. A value that starts with a blank gives an empty first token.
std::vector<std::wstring> TokenizeVmParameters(std::wstring_view text);

// Each quoted section loses its enclosing quotes; a quote right after a closing quote
// stays as a literal quote. An unclosed section loses its opening quote.
std::wstring UnquoteVmParameter(std::wstring_view token);

// True for "-Xms", "-Xmx" or "-Xss" (exact case) with a digit or ':' and a last
// character of P, p, T or t: a size given as percent[:minMiB[:maxMiB]] of memory.
bool IsPercentMemoryParameter(std::wstring_view token);

// A percentage token rewritten to "<prefix><KiB>K" (the maximum clamps first, then the
// minimum, so the minimum wins); any other token comes back unchanged.
std::wstring RewriteMemoryParameter(std::wstring_view token, const MemoryFigures& figures);

// For a token starting with "-Xss": the stack size in bytes (unit from a last letter
// G/M/K in any case, else bytes), or 0 when the size is malformed or does not fit in 32
// bits. nullopt for any other token.
std::optional<std::uint32_t> ParseThreadStackSize(std::wstring_view token);

// One token as the VM receives it: unquoted, then rewritten when it is a percentage.
// An -Xss token (after the rewrite) sets `threadStackSize`; other tokens leave it alone.
std::wstring ProcessVmParameter(std::wstring_view token, const MemoryFigures& figures,
                                std::optional<std::uint32_t>& threadStackSize);

// The module options that java.exe accepts as two words ("--add-opens", a blank, the
// value) joined into the one word the VM's invocation interface takes
// ("--add-opens=value"). A name without a following option is left alone, for the
// VM to reject; an option already written with "=" is not touched.
std::vector<std::wstring> JoinTwoWordModuleOptions(std::vector<std::wstring> options);

// Every non-empty token of the setting, unquoted, rewritten and with its two-word module
// options joined, in order; `threadStackSize` ends with the size of the last -Xss token, if any.
std::vector<std::wstring> ProcessVmParameters(std::wstring_view text, const MemoryFigures& figures,
                                              std::optional<std::uint32_t>& threadStackSize);

}  // namespace orvo
