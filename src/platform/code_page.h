#pragma once
// Text stays bytes everywhere; only drawing and measuring decode it.
// A text that is valid UTF-8 is UTF-8; anything else is Shift-JIS (CP932),
// the code page the lyrics files of this kind of program were written in.
#include <string>
#include <string_view>

namespace quib {

enum class Encoding {
  Auto,  // decide from the bytes: valid UTF-8, otherwise CP932
  Utf8,
  Cp932,
};

bool IsValidUtf8(std::string_view bytes);

// Auto resolved for these bytes.
Encoding ResolveEncoding(std::string_view bytes, Encoding hint = Encoding::Auto);

// Whether the byte at 0-based position pos of text starts a multi-byte
// character, judged by walking the text from its start (so a trail byte that
// happens to lie in the lead-byte range is not taken for a lead byte).
// For UTF-8: a lead byte of a well-formed 2- to 4-byte sequence. A CP932
// lead byte that is the last byte of the text starts no character (false).
// Auto is resolved from text.
bool IsLeadByteAt(std::string_view text, size_t pos, Encoding enc);

// The single-byte test of a lead byte, without context (Shift-JIS ranges
// 0x81..0x9F and 0xE0..0xFC for CP932; 0xC2..0xF4 for UTF-8; Auto counts as CP932).
bool IsLeadByte(unsigned char c, Encoding enc);

// Number of bytes of the character that starts with lead byte c (1 when c is
// not a lead byte).
int CharLength(unsigned char c, Encoding enc);

// Whether any byte of text belongs to a multi-byte character.
bool HasMultiByte(std::string_view text, Encoding enc);

// Decoded as UTF-16 code units (QString-compatible), invalid bytes as U+FFFD.
std::u16string DecodeToUtf16(std::string_view bytes, Encoding enc = Encoding::Auto);
// Decoded as UTF-8 (for logs, tests and Qt widgets).
std::string DecodeToUtf8(std::string_view bytes, Encoding enc = Encoding::Auto);
// UTF-8 text encoded to CP932; characters CP932 lacks become "?".
std::string EncodeCp932(std::string_view utf8);

}  // namespace quib
