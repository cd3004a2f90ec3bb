#pragma once
// How a configured path ("JRE Path", "Pair Product") that may be relative to the
// launcher's folder becomes a full path. Pure: no Windows calls.
#include <string>
#include <string_view>

namespace orvo {

// Empty text stays empty; a drive ("X:...") or UNC ("\\...") path is returned as is;
// any other text (a single "\" in front included) is appended, after one "\", to the
// launcher's folder (its path up to the last "\"). No trailing "\" is added and ".."
// is kept. A launcher path without any "\" leaves the text unchanged.
std::wstring ResolveFromLauncherFolder(std::wstring_view text, std::wstring_view launcherPath);

}  // namespace orvo
