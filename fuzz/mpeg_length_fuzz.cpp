// Any bytes as an .mp3 or .mp2 file: counting its frames for the song length
// must never crash or read past the file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/gst_media_player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quib-fuzz-music-" + std::to_string(getpid()) + ".mp3";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  int64_t ms = -1;
  if (quib::MpegAudioLengthMs(path, ms) && ms < 0) __builtin_trap();
  return 0;
}
