// Any bytes as a settings file or a per-song file: reading must never crash,
// and every value must come back within what the reader can produce.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "config/settings_file.h"
#include "platform/files.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/quib-fuzz-settings-" + std::to_string(getpid()) + ".ini";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  quib::Settings s = quib::ReadSaverSettings(path);
  quib::Settings d = quib::ReadDialogSettings(path);
  if (s.BGM.size() > 2047 || d.Password.size() > 2047) __builtin_trap();
  quib::Profile p(path);
  (void)p.ReadString("Option", "BGM", "");
  // A write must keep the file readable and hold the value written.
  if (size < 512 && p.WriteString("Option", "MESSAGE", "x.txt")) {
    quib::Profile again(path);
    if (again.ReadString("Option", "MESSAGE", "") != "x.txt") __builtin_trap();
  }
  return 0;
}
