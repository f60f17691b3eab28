#pragma once
// Byte-level helpers shared by the lyrics code: the character-aware search
// for tag characters and the number readers of the tag grammar.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/code_page.h"

namespace quib::lyric_text {

// Length of the character that starts at text[i] while walking the text.
// UTF-8 text has no ASCII byte inside a multi-byte character, so one byte
// at a time is exact there; Shift-JIS trail bytes can equal "[", "]" or "\".
inline size_t StepAt(std::string_view text, size_t i, Encoding enc) {
  if (enc == Encoding::Cp932 && i + 1 < text.size() &&
      IsLeadByte(static_cast<unsigned char>(text[i]), Encoding::Cp932)) {
    return 2;
  }
  return 1;
}

// Length of the character at text[i] as the text is written, for either
// encoding; a sequence that is cut off or malformed counts byte by byte.
inline size_t CharLengthAt(std::string_view text, size_t i, Encoding enc) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  size_t n = static_cast<size_t>(CharLength(c, enc));
  if (n == 1 || i + n > text.size()) return 1;
  if (enc == Encoding::Utf8) {
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
  }
  return n;
}

// First position of c at or after from that starts a character (from must
// itself start one); npos when there is none.
inline size_t FindChar(std::string_view text, char c, size_t from, Encoding enc) {
  if (enc != Encoding::Cp932) return text.find(c, from);
  for (size_t i = from; i < text.size(); i += StepAt(text, i, enc)) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

// Auto resolved for one line of text.
inline Encoding Resolve(std::string_view text, Encoding enc) {
  return enc == Encoding::Auto ? ResolveEncoding(text) : enc;
}

// Reads the whole of text as a decimal integer (optional sign, then
// digits). False when it does not read or does not fit in an int.
inline bool ReadDecimal(std::string_view text, int& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > int64_t{2147483648}) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647 || v < -int64_t{2147483648}) return false;
  value = static_cast<int>(v);
  return true;
}

// ReadDecimal with 0 for text that does not read.
inline int DecimalOrZero(std::string_view text) {
  int v = 0;
  return ReadDecimal(text, v) ? v : 0;
}

}  // namespace quib::lyric_text
