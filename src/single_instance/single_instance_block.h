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
//   2088 requestSequence  counts the requests written into the area (the last four
//                         bytes of the area, whose second half no later start fills)
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
inline constexpr std::size_t kRequestSequenceOffset = kBlockBytes - 4;

// lParam of the messages from the running instance to a later start: its arguments
// have been copied, so the next one may write the area; its request cannot be served
// (the queue is full, or the VM never became ready); the answer itself carries 0.
inline constexpr std::intptr_t kArgumentsTakenMarker = 1;
inline constexpr std::intptr_t kNotServedMarker = 2;

struct SingleInstanceNames {
    std::wstring message;       // the registered message
    std::wstring section;       // the kernel objects, in the session's own namespace
    std::wstring readyEvent;    // set just before main runs
    std::wstring forwardMutex;  // held while the block is set up or the area is in use
};

// Names from the identity of the launcher's file (its final path folded to one
// letter case, see launcher_identity.h): every "\" becomes "_", nothing else
// changes, and the kernel objects lie under "Local\" (C:\APPS\RUN.EXE gives the
// message C:_APPS_RUN.EXE and the section Local\C:_APPS_RUN.EXE).
SingleInstanceNames NamesFor(std::wstring_view launcherIdentity);

struct BlockHeader {
    std::uint32_t listenerThreadId = 0;
    std::uint32_t primaryProcessId = 0;
    std::uint32_t messageId = 0;
};

// Both need a block of at least kArgumentAreaOffset bytes.
BlockHeader ReadBlockHeader(std::span<const std::byte> block);
void WriteBlockHeader(std::span<std::byte> block, const BlockHeader& header);

// Both need a block of kBlockBytes. A later start that holds the forwarding mutex
// counts its request up before it posts it, and sends the new value along.
std::uint32_t ReadRequestSequence(std::span<const std::byte> block);
void WriteRequestSequence(std::span<std::byte> block, std::uint32_t sequence);

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
