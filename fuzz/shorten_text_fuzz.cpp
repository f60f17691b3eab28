// ShortenText at any limit: never longer than the limit plus "..", never a
// character cut in two.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lyrics/exports.h"
#include "platform/code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const quib::Encoding encodings[] = {quib::Encoding::Auto, quib::Encoding::Utf8,
                                      quib::Encoding::Cp932};
  quib::Encoding enc = encodings[data[0] % 3];
  int n = static_cast<int8_t>(data[1]);
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  std::string out = quib::ShortenText(text, n, enc);
  if (out == text) return 0;
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "..") != 0) __builtin_trap();
  size_t kept = out.size() - 2;
  if (kept > static_cast<size_t>(n < 0 ? 0 : n) || text.compare(0, kept, out, 0, kept) != 0) {
    __builtin_trap();
  }
  quib::Encoding resolved = quib::ResolveEncoding(text, enc);
  const size_t limit = static_cast<size_t>(n < 0 ? 0 : n);
  // At most one character less than the limit...
  if (kept + (resolved == quib::Encoding::Cp932 ? 1 : 3) < limit) __builtin_trap();
  // ...and the byte after the cut starts a character of the text as written.
  if (resolved == quib::Encoding::Cp932) {
    size_t i = 0;
    while (i < kept) {
      bool lead = quib::IsLeadByte(static_cast<unsigned char>(text[i]), resolved);
      i += lead && i + 1 < text.size() ? 2 : 1;
    }
    if (i != kept) __builtin_trap();
  } else if (quib::IsValidUtf8(text)) {
    if ((static_cast<unsigned char>(text[kept]) & 0xC0) == 0x80) __builtin_trap();
  }
  return 0;
}
