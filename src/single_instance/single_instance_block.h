#pragma once
// The shared block between the launcher processes of one executable, and the names
// of the kernel objects around it. Pure logic: the block is handled as bytes, so a
// block written by another process is never trusted beyond the span it is given.
//
// Block layout (little-endian, 2,092 bytes):
//   0  listenerThreadId   thread of the running instance that takes requests
//   4  primaryProcessId   the running instance
//   8  messageId          registered message of the exchange
//   12 argument area      2,080 bytes: UTF-16 arguments, each ended by a zero unit,
//                         the list ended by one more zero unit
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

inline constexpr std::size_t kBlockBytes = 2092;
inline constexpr std::size_t kArgumentAreaOffset = 12;
inline constexpr std::size_t kArgumentAreaBytes = kBlockBytes - kArgumentAreaOffset;
// A later start packs its arguments into the first half of the area only.
inline constexpr std::size_t kForwardedArgumentBytes = 1040;

// lParam of the message that tells a later start its arguments have been copied, so
// the next one may write the area; the answer itself carries lParam 0.
inline constexpr std::intptr_t kArgumentsTakenMarker = 1;

struct SingleInstanceNames {
    std::wstring section;       // also the registered message's name
    std::wstring readyEvent;    // set just before main runs
    std::wstring forwardMutex;  // held while the block is set up or the area is in use
};

// Names from the launcher's full path: every "\" becomes "_", nothing else changes
// (C:\Apps\Tool\run.exe gives the section C:_Apps_Tool_run.exe).
SingleInstanceNames NamesFor(std::wstring_view launcherPath);

struct BlockHeader {
    std::uint32_t listenerThreadId = 0;
    std::uint32_t primaryProcessId = 0;
    std::uint32_t messageId = 0;
};

// Both need a block of at least kArgumentAreaOffset bytes.
BlockHeader ReadBlockHeader(std::span<const std::byte> block);
void WriteBlockHeader(std::span<std::byte> block, const BlockHeader& header);

// Bytes the packed list takes, its final zero unit included.
std::size_t PackedArgumentBytes(const std::vector<std::wstring>& arguments);

// Zeroes the first kForwardedArgumentBytes of the area and packs the arguments into
// them. False, with the area untouched, when they do not fit or the area is smaller.
bool PackArguments(const std::vector<std::wstring>& arguments, std::span<std::byte> area);

// The list as the running instance reads it: a zero unit ends the current string, and
// a zero unit right after that ends the list (so an area that starts with two zero
// units holds one empty string). Reading stops at the end of the span, where an
// unfinished string is dropped.
std::vector<std::wstring> UnpackArguments(std::span<const std::byte> area);

}  // namespace orvo
