#pragma once
// Text above the lyrics: the information panel of the debug and time-edit
// modes, the message line in the top-left corner and the password prompt.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "render/frame_values.h"

namespace quib {

struct SaverContext;
class LyricsDisplay;

// Panel texts, exactly as drawn.
std::string PanelTimeText(int playPosition, int songLength);  // " Time : mm:ss:cc/mm:ss:cc "
std::string TimeRatioText(float ratio);                       // the float's exact digits
std::string TagTypeText(int lyricTagType);
std::string LineCounterText(int currentLine, int lyricLineCount);
std::string FrameRateText(int average);

// Message opacity in percent for the time it has left.
int MessageOpacity(int messageTime);
// Password prompt level 0..255 for the time it has left.
int PasswordLevel(int passwordTime);
// The lines of a message: "|" separates them; a final "|" adds none.
std::vector<std::string_view> SplitMessageLines(std::string_view text);

class Overlays {
 public:
  // Previous lyric line (overlay modes), information panel, message line,
  // password prompt; each block puts back the face it found. clock: the
  // lyric clock the lyric step of this frame was given.
  void DrawOverlays(Canvas& back, const FrameValues& f, SaverContext& ctx, LyricsDisplay& lyrics,
                    int clock);

  // The frame rate the panel shows: average of the last ten samples.
  int FrameRate() const;
  int CaretPhase() const { return caretPhase_; }
  int PasswordTime() const { return passwordTime_; }
  bool MessageWide() const { return messageWide_; }

 private:
  void DrawPanel(Canvas& back, const FrameValues& f, SaverContext& ctx);
  void DrawMessage(Canvas& back, const FrameValues& f, SaverContext& ctx);
  void DrawPassword(Canvas& back, const FrameValues& f, SaverContext& ctx);

  int fpsSamples_[10] = {};
  int fpsIndex_ = 0;
  std::string shownMessage_;
  bool messageWide_ = false;
  // Empty while no prompt is up, so the first frame of a prompt always
  // restarts its time, whatever has been typed.
  std::optional<std::string> shownPassword_;
  int passwordTime_ = 0;
  int caretPhase_ = 0;
};

}  // namespace quib
