#include "lyrics/exports.h"

#include <algorithm>
#include <vector>

#include "lyrics/line_ops.h"
#include "lyrics/lyric_text.h"
#include "platform/files.h"
#include "shell/saver_context.h"

namespace quib {

namespace {

// Writes lines beside the music file with the given suffix in place of
// its extension, and reports the outcome on the message line.
bool WriteExport(SaverContext& ctx, const std::vector<std::string>& lines, const char* suffix) {
  const std::string& bgm = ctx.settings.BGM;
  const std::string path = ChangeExtension(bgm, suffix);
  // Without a music file there is no folder to write beside; an empty name
  // would put the file wherever the process happens to run.
  bool written = !FileNamePart(bgm).empty() && WriteTextLines(path, lines);
  if (!written) {
    ctx.message.MessageText = path + " に書き込めません";
    return false;
  }
  ctx.message.MessageText = "\"" + FileNamePart(path) + "\" save completed.";
  return true;
}

}  // namespace

std::string ShortenText(std::string_view text, int n, Encoding enc) {
  if (n < 0) n = 0;
  const size_t limit = static_cast<size_t>(n);
  if (limit >= text.size() || text.size() == 1) return std::string(text);
  if (enc == Encoding::Auto) enc = ResolveEncoding(text);
  // Keep whole characters only: the cut moves back to the start of the
  // character that byte n belongs to when that character goes on past it.
  size_t cut = 0;
  while (cut < limit) {
    size_t step = lyric_text::CharLengthAt(text, cut, enc);
    if (cut + step > limit) break;
    cut += step;
  }
  std::string out(text.substr(0, cut));
  out += "..";
  return out;
}

bool ExportPlainText(SaverContext& ctx) {
  if (!ctx.settings.UseMessage) return false;
  std::vector<std::string> lines;
  lines.reserve(ctx.lyrics.LyricLines.size());
  for (const auto& line : ctx.lyrics.LyricLines) {
    lines.push_back(StripLyricTags(line, ctx.lyrics.encoding));
  }
  return WriteExport(ctx, lines, "_plain.txt");
}

bool ExportSafeText(SaverContext& ctx) {
  if (!ctx.settings.UseMessage) return false;
  std::vector<std::string> lines;
  lines.reserve(ctx.lyrics.LyricLines.size());
  for (const auto& line : ctx.lyrics.LyricLines) {
    // A plain byte search: the tag's "]" is at byte 10 whatever follows.
    size_t close = line.find(']');
    int p = close == std::string::npos ? 0 : static_cast<int>(std::min<size_t>(close + 1, 1 << 30));
    lines.push_back(ShortenText(line, p + 2, ctx.lyrics.encoding));
  }
  return WriteExport(ctx, lines, "_safe.txt");
}

}  // namespace quib
