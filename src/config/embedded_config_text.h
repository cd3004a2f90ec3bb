#pragma once
// The configuration an executable may carry inside itself: plain text in an RCDATA
// resource of a fixed name, read as the overlay of the layered reader. orvo-pack
// writes it; the launcher reads it. Pure: no Windows calls.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvo {

// Name of the RCDATA resource (upper case: resource names are looked up upper-cased).
inline constexpr char16_t kEmbeddedConfigResourceName[] = u"ORVO_CONFIG";

// Larger resources are not ours: the launcher ignores them, orvo-pack refuses to write them.
inline constexpr std::size_t kMaxEmbeddedConfigBytes = 1024 * 1024;

// The resource's bytes as overlay text: UTF-16LE when they start with FF FE, UTF-8
// otherwise (with or without EF BB BF; a malformed sequence becomes U+FFFD). A "\n"
// without "\r" before it becomes "\r\n", the line end of overlay text. Empty when
// there are more than kMaxEmbeddedConfigBytes bytes.
std::u16string DecodeEmbeddedConfig(std::string_view bytes);

}  // namespace orvo
