#include "render/overlays.h"

#include <algorithm>
#include <cstdio>

#include "lyrics/lyrics_format.h"
#include "render/lyrics_display.h"
#include "render/text_draw.h"
#include "shell/saver_context.h"

namespace quib {

namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kYellow = 0x00FFFF;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlack = 0;
const char* const kLatinFace = "Arial";
const char* const kJapaneseFace = "MS UI Gothic";

int Trunc(double v) {
  return static_cast<int>(v);
}

// Minutes, seconds and hundredths of t ms.
void AppendClock(std::string& out, int t, const char* format) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, (t / 1000) / 60, (t / 1000) % 60, (t / 10) % 100);
  out += buf;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Bytes 2 to 9 of a "[mm:ss:cc]" entry: the time without its brackets.
std::string TimeOfTag(const std::string& tag) {
  return tag.size() > 1 ? tag.substr(1, 8) : "";
}

void RightAligned(Canvas& back, int W, int y, const std::string& text) {
  back.TextOut(W - back.TextWidth(text), y, text);
}

FontSpec PanelFont(int size) {
  FontSpec font;
  font.face = kLatinFace;
  font.bold = true;
  font.sizePoints = size;
  return font;
}

}  // namespace

std::string PanelTimeText(int playPosition, int songLength) {
  std::string s = " Time : ";
  AppendClock(s, playPosition, "%02d:%02d:%02d");
  s += "/";
  AppendClock(s, songLength, "%02d:%02d:%02d ");
  return s;
}

std::string TimeRatioText(float ratio) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " TimeRatio=%.15g ", static_cast<double>(ratio));
  return buf;
}

std::string TagTypeText(int lyricTagType) {
  const char* name = "----";
  switch (lyricTagType) {
    case kTagPlain:
      name = "Plain Text";
      break;
    case kTagTime:
      name = "Time Tag";
      break;
    case kTagKaraoke:
      name = "Karaoke Tag";
      break;
    case kTagUkagaka:
      name = "ukagaka Tag";
      break;
    default:
      break;
  }
  return std::string("TagType : ") + name + " ";
}

std::string LineCounterText(int currentLine, int lyricLineCount) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Line : %03d/%03d ", currentLine + 1, lyricLineCount);
  return buf;
}

std::string FrameRateText(int average) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "Frame Rate : %3d ", average);
  return buf;
}

int MessageOpacity(int messageTime) {
  return messageTime < 2000 ? messageTime / 20 : 100;
}

int PasswordLevel(int passwordTime) {
  return passwordTime < 2048 ? passwordTime / 8 : 255;
}

std::vector<std::string_view> SplitMessageLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::string_view rest = text;
  do {
    const size_t bar = rest.find('|');
    if (bar == std::string_view::npos) {
      lines.push_back(rest);
      rest = {};
    } else {
      lines.push_back(rest.substr(0, bar));
      rest.remove_prefix(bar + 1);
    }
  } while (!rest.empty());
  return lines;
}

int Overlays::FrameRate() const {
  int sum = 0;
  for (int sample : fpsSamples_) sum += sample;
  return sum / 10;
}

void Overlays::DrawOverlays(Canvas& back, const FrameValues& f, SaverContext& ctx,
                            LyricsDisplay& lyrics, int clock) {
  const std::string savedFace = back.Font().face;
  const bool overlayOn = ctx.settings.Debug || ctx.settings.TimeTag;
  if (overlayOn) {
    lyrics.DrawPreviousLine(back, f, ctx, clock);
    DrawPanel(back, f, ctx);
    back.SetFontFace(savedFace);
  }
  if (!ctx.message.MessageText.empty()) {
    DrawMessage(back, f, ctx);
    back.SetFontFace(savedFace);
  }
  if (ctx.password.PasswordMode) {
    DrawPassword(back, f, ctx);
    back.SetFontFace(savedFace);
  } else {
    // Esc can take the prompt down with the text unchanged; the next prompt
    // must still get its full ten seconds.
    shownPassword_.reset();
  }
}

void Overlays::DrawPanel(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  const int W = f.W, H = f.H, u = f.u;
  const int bigSize = Trunc(u * 0.7);
  const int smallSize = Trunc(u * 0.5);
  const auto& lyrics = ctx.lyrics;
  const auto& play = ctx.playback;

  back.SetFont(PanelFont(bigSize));
  if (ctx.settings.TimeTag) {
    back.SetTextBackground(false, 0x006000);
    back.SetTextColour(kGreen);
    back.TextOut(0, H - 11 * u - 2,
                 " Time Edit Mode  (  [ESC]:END  [SPACE]:SET&NEXT  [BS]:Back&Rewind  [F6]:SAVE  )");
  } else {
    back.SetTextBackground(false, 0x000060);
    back.SetTextColour(kRed);
    back.TextOut(0, H - 11 * u - 2, " Debug Mode ");
  }
  back.SetTextBackground(true);

  back.SetFontFace(kJapaneseFace);
  back.SetFontSize(smallSize);
  back.SetTextColour(kWhite);
  back.TextOut(0, Trunc(H - u * 9.7 + 2), " " + FileNameOf(ctx.settings.BGM));

  back.SetFontFace(kLatinFace);
  back.SetFontSize(bigSize);
  back.SetTextColour(kYellow);
  back.TextOut(0, H - 8 * u + 2, PanelTimeText(play.PlayPosition, play.SongLength));

  if (play.SongLength > 0) {
    const int x0 = u / 5, y0 = H - 7 * u + 4, w = Trunc(u * 10.5), h = u / 5;
    const int p = static_cast<int>(static_cast<long long>(play.PlayPosition) * w / play.SongLength);
    back.SetBrushStyle(BrushStyle::Solid);
    back.SetBrushColour(kGreen);
    back.FillRect(x0, y0, x0 + p, y0 + h);
    back.SetBrushColour(0x004000);
    back.FillRect(x0 + p + 1, y0, x0 + w, y0 + h);
    back.SetBrushStyle(BrushStyle::Clear);
  }

  if (lyrics.LyricTagType > 0) {
    back.SetTextColour(kRed);
    back.SetFontSize(smallSize);
    RightAligned(back, W, Trunc(H - u * 6.8 + 2), TimeRatioText(lyrics.TimeRatio));
    back.SetFontSize(bigSize);
    back.SetTextColour(kYellow);
  }
  RightAligned(back, W, H - 8 * u + 2, TagTypeText(lyrics.LyricTagType));

  fpsSamples_[fpsIndex_] = 1000 / std::max(1, f.dt);
  fpsIndex_ = (fpsIndex_ + 1) % 10;
  RightAligned(back, W, H - 2 * u + 2, FrameRateText(FrameRate()));

  const int lineCount =
      lyrics.LyricLines.empty() ? 0 : static_cast<int>(lyrics.LyricLines.size()) - 1;
  RightAligned(back, W, H - 5 * u + 2, LineCounterText(ctx.CurrentLine, lineCount));

  const int timeCount = static_cast<int>(lyrics.LineTimes.size());
  // The index can run past the recorded times (time-edit mode), so check both ends.
  if (ctx.CurrentLine > 0 && ctx.CurrentLine < timeCount) {
    back.TextOut(0, H - 5 * u + 2, " Now : " + TimeOfTag(lyrics.LineTimes[ctx.CurrentLine]));
  }
  if (ctx.CurrentLine + 1 < timeCount && ctx.CurrentLine + 1 >= 0) {
    back.TextOut(0, H - 2 * u + 2, " Next : " + TimeOfTag(lyrics.LineTimes[ctx.CurrentLine + 1]));
  }
}

void Overlays::DrawMessage(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  MessageLine& m = ctx.message;
  if (m.MessageText != shownMessage_) {
    m.MessageTime = 5000;
    shownMessage_ = m.MessageText;
    messageWide_ = HasMultiByte(m.MessageText, ResolveEncoding(m.MessageText));
  }
  const int opacity = MessageOpacity(m.MessageTime);

  FontSpec font = back.Font();
  font.shiftJisCharset = false;
  if (messageWide_) {
    // Japanese needs a face that has it; the style in force stays.
    const Settings& s = ctx.settings;
    font.face = s.bFontSP && !s.sFontNM.empty() ? s.sFontNM : kJapaneseFace;
  } else {
    font = PanelFont(0);
  }
  font.sizePoints = Trunc(f.u * 0.7);
  back.SetFont(font);

  int i = 0;
  for (std::string_view line : SplitMessageLines(m.MessageText)) {
    DrawOutlinedText(back, f.u / 2, f.u / 2 + i * f.u, line, kWhite, kMagenta, kBlack, opacity,
                     true, Encoding::Auto);
    ++i;
  }

  m.MessageTime -= f.dt;
  if (m.MessageTime <= 0) {
    m.MessageText.clear();
    shownMessage_.clear();
  }
}

void Overlays::DrawPassword(Canvas& back, const FrameValues& f, SaverContext& ctx) {
  PasswordEntry& p = ctx.password;
  if (!shownPassword_ || p.PasswordInput != *shownPassword_) {
    passwordTime_ = 10000;
    shownPassword_ = p.PasswordInput;
  }
  const Colour a = static_cast<Colour>(PasswordLevel(passwordTime_));
  const int x = f.W / 2 - 12 * f.u, y = f.H / 2;

  std::string text = "Password : " + p.PasswordInput;
  if (caretPhase_ >= 500) text += "_";
  caretPhase_ = (caretPhase_ + f.dt) % 1000;

  back.SetFont(PanelFont(f.u));
  back.SetTextBackground(true);
  auto pass = [&](int px, int py, Colour c) {
    back.SetTextColour(c);
    back.TextOut(px, py, text);
  };
  pass(x + 4, y + 4, kBlack);
  const Colour magenta = a * 65537;
  pass(x, y, magenta);
  pass(x + 2, y, magenta);
  pass(x, y + 2, magenta);
  pass(x + 2, y + 2, magenta);
  pass(x + 1, y + 1, a * 65793);

  passwordTime_ -= f.dt;
  if (passwordTime_ <= 0) {
    p.PasswordMode = false;
    shownPassword_.reset();
  }
}

}  // namespace quib
