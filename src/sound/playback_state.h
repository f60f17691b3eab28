#pragma once

namespace quib {

struct PlaybackState {
  int PlayPosition = 0;  // ms, what the lyrics follow
  int SongLength = 0;    // ms
  bool IsMidi = false;
  int LyricClock = 0;  // trunc(PlayPosition * TimeRatio - iTextTiming), this frame
};

}  // namespace quib
