// Command-line splitting: the pieces, written back as a command line (quoted where
// they hold a blank or are empty), split into the same pieces again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/command_line.h"
#include "fuzz_input.h"

namespace {

using Pieces = std::vector<std::wstring>;

// A piece holds a blank only when it was quoted, and then it holds no quote; an
// unquoted piece never starts with a quote.
bool Representable(const std::wstring& piece) {
    if (piece.find(L' ') != std::wstring::npos || piece.empty()) return piece.find(L'"') == std::wstring::npos;
    return piece.front() != L'"';
}

std::wstring Joined(const Pieces& pieces) {
    std::wstring text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::wstring& piece = pieces[i];
        if (i > 0) text += L' ';
        bool quoted = piece.empty() || piece.find(L' ') != std::wstring::npos;
        text += quoted ? L"\"" + piece + L"\"" : piece;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = orvo::fuzz::WideFromBytes({reinterpret_cast<const char*>(data), size});
    Pieces pieces;
    orvo::SplitCommandLine(text, pieces);
    std::size_t total = 0;
    for (const std::wstring& piece : pieces) {
        ORVO_FUZZ_CHECK(Representable(piece));
        total += piece.size();
    }
    ORVO_FUZZ_CHECK(total <= text.size());

    Pieces again;
    orvo::SplitCommandLine(Joined(pieces), again);
    ORVO_FUZZ_CHECK(again == pieces);

    Pieces cmd = orvo::SplitCmdSetting(text);
    ORVO_FUZZ_CHECK(std::none_of(cmd.begin(), cmd.end(), [](const std::wstring& p) { return p.empty(); }));
    std::wstring_view trimmed = orvo::TrimCommandLine(text);
    ORVO_FUZZ_CHECK(trimmed.size() <= text.size());
    orvo::ArgumentsFromCommandLine(text.c_str());
    return 0;
}
