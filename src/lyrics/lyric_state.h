#pragma once
// The lyrics of the current song as loaded, and the karaoke split of a line.
#include <string>
#include <vector>

#include "platform/code_page.h"

namespace quib {

struct LyricState {
  std::vector<std::string> LyricLines;  // ends with one extra empty line once loaded
  std::vector<std::string> LineTimes;   // "[mm:ss:cc]", one per line
  int LyricTagType = 0;                 // 0 none, 1 plain, 2 time, 3 karaoke, 4 ukagaka
  float TimeRatio = 1.0f;
  Encoding encoding = Encoding::Cp932;  // of the file the lines came from
};

struct KaraokeSplit {
  std::string UpToCurrent;
  std::string DoneText;
  std::string RestText;
  int PieceProgress = 0;  // 0..10000
};

}  // namespace quib
