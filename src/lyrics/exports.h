#pragma once
// Text exports of the loaded lyrics, written beside the music file.
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace quib {

struct SaverContext;

// The first n bytes of text, one byte fewer when byte n-1 is the first byte
// of a two-byte character (so no character is cut in two).
std::string ShortenText(std::string_view text, int n, Encoding enc);

// "<music>_plain.txt": the lyrics without tags, CR LF line ends. Sets the
// save notice or the failure text in ctx.message; false when not written.
bool ExportPlainText(SaverContext& ctx);

// "<music>_safe.txt": the lyrics without tags, shortened for small displays.
bool ExportSafeText(SaverContext& ctx);

}  // namespace quib
