#pragma once
// The "modified UTF-8" of JNI (GetStringUTFChars): UTF-8 in which U+0000 is the two
// bytes C0 80 and each surrogate of a pair is encoded on its own in three bytes.
// Pure, no <windows.h>.
#include <string>
#include <string_view>

namespace orvo {

// The UTF-16 units the bytes stand for. Standard four-byte sequences are accepted as
// well; a malformed sequence (a value above U+10FFFF included) gives U+FFFD for its
// first byte and decoding goes on.
std::u16string Utf16FromModifiedUtf8(std::string_view bytes);

}  // namespace orvo
