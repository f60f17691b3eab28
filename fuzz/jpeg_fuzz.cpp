// Any bytes as a picture of the slideshow folder: decoding either works or
// fails quietly, at every scale and in grey.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/canvas.h"
#include "platform/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quib-fuzz-picture-" + std::to_string(getpid()) + ".jpg";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  quib::JpegInfo info;
  if (!quib::ReadJpegInfo(path, info)) return 0;
  const int denom = size > 0 ? 1 << (data[size - 1] & 3) : 8;
  quib::Canvas out;
  // Refuse what would take too much memory for a fuzz run; the decoder's own
  // limit is larger.
  int w = 0, h = 0;
  quib::ScaledJpegSize(info, denom, w, h);
  if (static_cast<long long>(w) * h > 4000000) return 0;
  if (quib::DecodeJpeg(path, denom, (size & 1) != 0, out)) {
    if (out.Width() != w || out.Height() != h) __builtin_trap();
  }
  return 0;
}
