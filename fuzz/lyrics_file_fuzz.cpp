// A lyrics file as the song load prepares it: read, ratio, classification,
// dropping and line times, with and without music.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/lyrics_format.h"

namespace {

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes, start, i - start);
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes, start, bytes.size() - start);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // The first four bytes choose the song length; the rest is the file.
  int songLength =
      static_cast<int>(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
  std::string bytes(reinterpret_cast<const char*>(data + 4), size - 4);
  std::vector<std::string> lines = SplitLines(bytes);

  float ratio = quib::ReadTimeRatio(lines);
  (void)ratio;
  int type = quib::ClassifyLyrics(lines);
  if (type < quib::kTagPlain || type > quib::kTagUkagaka) __builtin_trap();
  quib::DropNonLyricLines(lines, type);
  if (lines.empty() || !lines.back().empty()) __builtin_trap();
  for (bool music : {false, true}) {
    std::vector<std::string> times = quib::BuildLineTimes(lines, music, songLength);
    if (times.size() != lines.size()) __builtin_trap();
    for (const auto& t : times) quib::ParseTimeTag(t);
  }
  return 0;
}
