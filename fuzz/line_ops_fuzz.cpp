// One lyric line through the four line operations at arbitrary clocks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "lyrics/line_ops.h"

namespace {

int TakeInt(const uint8_t*& data, size_t& size) {
  uint32_t v = 0;
  size_t n = size < 4 ? size : 4;
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return static_cast<int>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  const quib::Encoding encodings[] = {quib::Encoding::Auto, quib::Encoding::Utf8,
                                      quib::Encoding::Cp932};
  quib::Encoding enc = encodings[data[0] % 3];
  ++data;
  --size;
  int clock = TakeInt(data, size);
  int nextStart = TakeInt(data, size);
  std::string line(reinterpret_cast<const char*>(data), size);

  std::string coloured = line;
  quib::TakeColourTag(coloured);
  if (coloured.size() != line.size() && coloured.size() + 9 != line.size()) __builtin_trap();
  std::string shown = quib::StripLyricTags(coloured, enc);
  if (shown.size() > coloured.size()) __builtin_trap();
  std::string timed = quib::StripLyricTagsKeepTime(coloured, enc);
  if (timed.size() > coloured.size() + 10) __builtin_trap();

  quib::KaraokeSplit split;
  // Both the fuzzed clock and clocks around the line's own start, so that
  // the progress arithmetic is reached, not only its early exits.
  for (int c : {clock, clock % 200000, clock % 5000, 0, -1}) {
    quib::SplitKaraokeLine(c, coloured, nextStart, enc, split);
    if (split.PieceProgress < 0 || split.PieceProgress > 10000) __builtin_trap();
    if (split.DoneText.size() > split.UpToCurrent.size() ||
        split.UpToCurrent.compare(0, split.DoneText.size(), split.DoneText) != 0) {
      __builtin_trap();
    }
    if (split.UpToCurrent.size() + split.RestText.size() > line.size()) __builtin_trap();
  }
  return 0;
}
