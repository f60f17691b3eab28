#pragma once
// The lyric step of a frame: which line is current, how far it is sung, and
// the current, next and (in the overlay modes) previous lines on screen.
#include <string>
#include <vector>

#include "lyrics/lyric_state.h"
#include "platform/canvas.h"
#include "render/frame_values.h"

namespace quib {

struct SaverContext;

// Shown texts of the current, previous and next lines, rebuilt only when the
// key (line, overlay mode, song length) changes, so tags are stripped once per line.
struct LineCache {
  int ShownLine = -1;
  bool ShownOverlay = false;
  int ShownSongLength = -1;
  // The stored lines the texts were made from: a new song of the same length,
  // or a line rewritten by the time-edit mode, must not show the old texts.
  std::string SourcePrev, SourceLine, SourceNext;
  std::string LineRaw;  // current line as stored, colour tag taken off
  std::string LineText;
  Colour LineColour = 0xFFFFFF;
  std::string PrevText;
  Colour PrevColour = 0xFFFFFF;
  std::string NextText;
  Colour NextColour = 0xFFFFFF;
};

// Start of the current line and of the next one (ms, 390 ms before their tags).
struct LineWindow {
  int LineStart = 0;
  int NextStart = 0;
};

// Moves currentLine at most one line toward the clock and returns the window
// that the rest of the frame uses (computed before the move).
LineWindow SelectCurrentLine(int& currentLine, const std::vector<std::string>& lineTimes,
                             int clock);

struct LineFade {
  float FadeLength = 0;
  float FadePercent = 100;  // held within 0..100
  float Slide = 0;          // -1..1: > 0 coming in, < 0 going out
  bool fadingOut = false;
  int LineProgress = 0;  // 0..10000 between the fades
};

LineFade ComputeLineFade(int clock, LineWindow window, bool timeTag);

// Top-left of the current line's text for a text width tw.
Point CurrentLinePosition(const FrameValues& f, int wipeStyle, int tw, float slide,
                          int lineProgress);

// Red level of the time-edit frame: 40, 80, ... 240, 255, 215, ... 15, 0, 40, ...
void StepEditBox(int& level, int& step);

// What the lyric step worked out in its latest frame; the overlays and tests read it.
struct LyricFrame {
  int clock = 0;
  LineWindow window;
  LineFade fade;
  KaraokeSplit split;
  bool lineDrawn = false;
  Point linePos;
  int lineWidth = 0;
  bool karaoke = false;  // drawn with the wipe
};

class LyricsDisplay {
 public:
  // clock: the lyric clock of this frame, as taken before the song-end check.
  void DrawLyricLines(Canvas& back, const FrameValues& f, SaverContext& ctx, int clock);
  // The previous line of the debug and time-edit modes; the overlays call it
  // first, after saving the face in force.
  void DrawPreviousLine(Canvas& back, const FrameValues& f, SaverContext& ctx, int clock);

  const LineCache& Cache() const { return cache_; }
  const LyricFrame& Frame() const { return frame_; }
  int EditBoxLevel() const { return editBoxLevel_; }

 private:
  void RebuildCache(const SaverContext& ctx, bool overlayOn);
  bool SourceChanged(const SaverContext& ctx) const;
  void DrawCurrentLine(Canvas& back, const FrameValues& f, SaverContext& ctx, bool overlayOn);
  void DrawNextLine(Canvas& back, const FrameValues& f, SaverContext& ctx, bool overlayOn);

  LineCache cache_;
  LyricFrame frame_;
  int editBoxLevel_ = 0;
  int editBoxStep_ = 40;
};

// The face, style and Shift-JIS character set of lyric lines, at a size in points.
FontSpec LyricFont(const SaverContext& ctx, int sizePoints);

}  // namespace quib
