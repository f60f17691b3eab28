#include "render/lyrics_display.h"

#include <algorithm>

#include "lyrics/line_ops.h"
#include "lyrics/lyrics_format.h"
#include "render/text_draw.h"
#include "shell/saver_context.h"

namespace quib {

namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlack = 0;
// A line comes up this long before its tag, so it is readable before its first piece is sung.
constexpr int kLineLead = 390;

int Trunc(double v) {
  return static_cast<int>(v);
}

int LineStartOf(const std::string& timeTag) {
  return std::max(0, ParseTimeTag(timeTag) - kLineLead);
}

// Appends the overlay modes' marker for a line that shows no text.
void MarkIfBlank(std::string& text, Colour& colour, Encoding enc) {
  if (StripLyricTags(text, enc).empty()) {
    text += "*BlankLine*";
    colour = kGreen;
  }
}

void DrawSideLine(Canvas& back, int x, int y, const std::string& text, Colour colour,
                  Encoding enc) {
  DrawOutlinedText(back, x, y, text, ScaleColour(colour, 75),
                   ScaleColour(ScaleColour(colour, 50), 75), kBlack, 100, false, enc);
}

}  // namespace

FontSpec LyricFont(const SaverContext& ctx, int sizePoints) {
  const Settings& s = ctx.settings;
  FontSpec font;
  if (s.bFontSP) font.face = s.sFontNM;
  font.shiftJisCharset = true;
  font.bold = s.bFontBL;
  font.italic = s.bFontIT;
  font.underline = s.bFontUL;
  font.sizePoints = sizePoints;
  return font;
}

LineWindow SelectCurrentLine(int& currentLine, const std::vector<std::string>& lineTimes,
                             int clock) {
  LineWindow w;
  const int count = static_cast<int>(lineTimes.size());
  // Line 0 always starts at 0, so the text is up from the start of the song.
  if (currentLine > 0 && currentLine < count) w.LineStart = LineStartOf(lineTimes[currentLine]);
  if (currentLine + 1 < count && currentLine + 1 >= 0) {
    w.NextStart = LineStartOf(lineTimes[currentLine + 1]);
    if (clock >= w.NextStart) ++currentLine;
  }
  if (currentLine > 0 && clock < w.LineStart) --currentLine;
  return w;
}

LineFade ComputeLineFade(int clock, LineWindow window, bool timeTag) {
  LineFade r;
  const int span = window.NextStart - window.LineStart;
  r.FadeLength = static_cast<float>(std::min(span / 10, 300));
  if (!timeTag && r.FadeLength > 0) {
    const double fade = r.FadeLength;
    const bool fadingIn = clock <= window.LineStart + fade;
    if (fadingIn) {
      r.FadePercent = static_cast<float>(
          static_cast<double>(static_cast<long long>(clock - window.LineStart) * 100) / fade);
    }
    if (clock >= window.NextStart - fade) {
      r.FadePercent = static_cast<float>(
          static_cast<double>(static_cast<long long>(window.NextStart - clock) * 100) / fade);
      r.fadingOut = true;
    }
    // On the one frame after the index stepped back, the window still belongs
    // to the later line and the fade-in would run below 0.
    r.FadePercent = std::clamp(r.FadePercent, 0.0f, 100.0f);
    const float slide = static_cast<float>((100 - r.FadePercent) * 0.01);
    if (r.fadingOut) {
      r.Slide = -slide;
    } else if (fadingIn) {
      r.Slide = slide;
    }
  }
  if (span > 0) {
    const double denom = span - 2.0 * r.FadeLength;
    if (denom > 0) {
      const double p =
          (clock - window.LineStart - static_cast<double>(r.FadeLength)) * 10000.0 / denom;
      r.LineProgress = std::clamp(Trunc(std::clamp(p, -1e9, 1e9)), 0, 10000);
    }
  }
  return r;
}

Point CurrentLinePosition(const FrameValues& f, int wipeStyle, int tw, float slide,
                          int lineProgress) {
  const int half = tw / 2;
  Point p;
  if (wipeStyle == 1) {
    p.x = Trunc(f.W * 0.9 * 0.5 - half + f.u * static_cast<double>(slide) * 30);
    p.y = f.H - 5 * f.u;
  } else {
    p.x = Trunc(f.W * 0.9 * 0.5 - half);
    p.y = Trunc(f.H - 5 * f.u + f.u * static_cast<double>(slide) * 3);
  }
  // Too wide to centre: start at the left margin and scroll left while it is sung.
  if (tw > f.W * 0.9) p.x = static_cast<int>(2LL * p.x * lineProgress / 9500);
  p.x += f.W / 20;
  return p;
}

void StepEditBox(int& level, int& step) {
  level += step;
  if (level >= 255) {
    level = 255;
    step = -40;
  }
  if (level <= 0) {
    level = 0;
    step = 40;
  }
}

void LyricsDisplay::RebuildCache(const SaverContext& ctx, bool overlayOn) {
  const auto& lines = ctx.lyrics.LyricLines;
  const Encoding enc = ctx.lyrics.encoding;
  const int cur = ctx.CurrentLine;
  auto strip = [&](std::string_view line) {
    return ctx.settings.TimeTag ? StripLyricTagsKeepTime(line, enc) : StripLyricTags(line, enc);
  };
  cache_.LineRaw = lines[cur];
  cache_.LineColour = TakeColourTag(cache_.LineRaw);
  cache_.LineText = strip(cache_.LineRaw);
  if (cur >= 1) {
    std::string prev = lines[cur - 1];
    cache_.PrevColour = TakeColourTag(prev);
    cache_.PrevText = strip(prev);
  } else {
    cache_.PrevText.clear();
  }
  // The empty line that ends every loaded song is never shown as the next line.
  if (cur + 2 < static_cast<int>(lines.size())) {
    std::string next = lines[cur + 1];
    cache_.NextColour = TakeColourTag(next);
    cache_.NextText = strip(next);
  } else {
    cache_.NextText.clear();
  }
  cache_.ShownLine = cur;
  cache_.ShownOverlay = overlayOn;
  cache_.SourcePrev = cur >= 1 ? lines[cur - 1] : std::string();
  cache_.SourceLine = lines[cur];
  cache_.SourceNext = cur + 2 < static_cast<int>(lines.size()) ? lines[cur + 1] : std::string();
}

bool LyricsDisplay::SourceChanged(const SaverContext& ctx) const {
  const auto& lines = ctx.lyrics.LyricLines;
  const int cur = ctx.CurrentLine;
  const std::string_view prev = cur >= 1 ? std::string_view(lines[cur - 1]) : std::string_view();
  const std::string_view next = cur + 2 < static_cast<int>(lines.size())
                                    ? std::string_view(lines[cur + 1])
                                    : std::string_view();
  return lines[cur] != cache_.SourceLine || prev != cache_.SourcePrev || next != cache_.SourceNext;
}

void LyricsDisplay::DrawLyricLines(Canvas& back, const FrameValues& f, SaverContext& ctx,
                                   int clock) {
  const Settings& s = ctx.settings;
  const bool overlayOn = s.Debug || s.TimeTag;

  frame_.clock = clock;
  frame_.window = LineWindow{};
  frame_.fade = LineFade{};
  frame_.lineDrawn = false;
  frame_.karaoke = false;
  frame_.linePos = Point{};
  frame_.lineWidth = 0;

  if (overlayOn || s.TextBack == 3) {
    int b = 10 * f.u;
    if (b == 0) b = 1;
    back.SetPenStyle(PenStyle::Solid);
    back.SetPenMode(PenMode::Copy);
    back.SetPenWidth(1);
    for (int k = 0; k < b; k += 2) {
      const int level = std::min(k * 255 / b, 255);
      back.SetPenColour(static_cast<Colour>(level) * 65536);
      back.MoveTo(0, f.H - b + k);
      back.LineTo(f.W, f.H - b + k);
    }
  }

  back.SetFont(LyricFont(ctx, back.Font().sizePoints));

  if (s.UseMessage) {
    frame_.window = SelectCurrentLine(ctx.CurrentLine, ctx.lyrics.LineTimes, clock);

    if (s.TextBack == 1 || s.TextBack == 2) {
      back.SetFontSize(s.iFSizePer * f.u / 100);
      const int textHeight = back.TextHeight("1A", Encoding::Cp932);
      int top, height;
      if (s.WipeStyle == 1) {
        top = f.H - 5 * f.u - 6;
        height = textHeight + 12;
      } else {
        top = f.H - 8 * f.u;
        height = 5 * textHeight + 12;
      }
      back.SetPenColour(kBlack);
      back.SetPenStyle(PenStyle::Solid);
      back.SetPenMode(PenMode::Copy);
      back.SetPenWidth(1);
      back.SetBrushColour(kBlack);
      if (s.TextBack == 1) {
        for (int k = 0; k < height; k += 2) {
          back.MoveTo(0, top + k);
          back.LineTo(f.W, top + k);
        }
      } else {
        back.SetBrushStyle(BrushStyle::Solid);
        back.FillRect(0, top, f.W, top + height);
        // Later layers expect the clear brush the frame loop set for the text layers.
        back.SetBrushStyle(BrushStyle::Clear);
      }
    }

    const int lineCount = static_cast<int>(ctx.lyrics.LyricLines.size());
    if (ctx.CurrentLine >= 0 && ctx.CurrentLine < lineCount &&
        (clock < frame_.window.NextStart || s.TimeTag)) {
      DrawCurrentLine(back, f, ctx, overlayOn);
    }
  }

  if (overlayOn || ctx.ShowNextLine) DrawNextLine(back, f, ctx, overlayOn);
}

void LyricsDisplay::DrawCurrentLine(Canvas& back, const FrameValues& f, SaverContext& ctx,
                                    bool overlayOn) {
  const Settings& s = ctx.settings;
  const Encoding enc = ctx.lyrics.encoding;
  const int tagType = ctx.lyrics.LyricTagType;
  const int clock = frame_.clock;

  if (ctx.playback.SongLength != cache_.ShownSongLength) {
    cache_.ShownSongLength = ctx.playback.SongLength;
    cache_.ShownLine = -1;
  }
  if (ctx.CurrentLine != cache_.ShownLine || overlayOn != cache_.ShownOverlay ||
      SourceChanged(ctx)) {
    RebuildCache(ctx, overlayOn);
  }

  KaraokeSplit& split = frame_.split;
  split.UpToCurrent.clear();
  split.DoneText.clear();
  split.RestText.clear();
  split.PieceProgress = 0;
  const bool karaokeFile = tagType >= 3 && !s.bNoKaraoke;
  if (karaokeFile) SplitKaraokeLine(clock, cache_.LineRaw, frame_.window.NextStart, enc, split);

  LineFade& fade = frame_.fade;
  fade = ComputeLineFade(clock, frame_.window, s.TimeTag);
  if (fade.fadingOut && tagType >= 3 && !split.UpToCurrent.empty()) {
    // A line on its way out is shown fully sung.
    split.UpToCurrent += split.RestText;
    split.RestText.clear();
  }

  const bool pseudoFollow = tagType == 2 && s.bTimeForce;
  if (pseudoFollow) {
    // A time-tagged line has no pieces: the wipe runs over the whole line with its time.
    if (fade.Slide <= 0) split.UpToCurrent = cache_.LineText;
    split.PieceProgress = fade.LineProgress;
  }

  back.SetFontSize(s.iFSizePer * f.u / 100);
  if (overlayOn) MarkIfBlank(cache_.LineText, cache_.LineColour, enc);

  const int tw = back.TextWidth(cache_.LineText, enc);
  const Point p = CurrentLinePosition(f, s.WipeStyle, tw, fade.Slide, fade.LineProgress);
  const int percent = static_cast<int>(fade.FadePercent);
  frame_.lineDrawn = true;
  frame_.linePos = p;
  frame_.lineWidth = tw;
  frame_.karaoke = pseudoFollow || karaokeFile;
  if (frame_.karaoke) {
    DrawKaraokeText(back, p.x, p.y, cache_.LineText, cache_.LineColour, percent, split.DoneText,
                    split.UpToCurrent, split.PieceProgress, f.W, enc);
  } else {
    DrawOutlinedText(back, p.x, p.y, cache_.LineText, cache_.LineColour,
                     ScaleColour(cache_.LineColour, 50), kBlack, percent, true, enc);
  }

  if (s.TimeTag) {
    StepEditBox(editBoxLevel_, editBoxStep_);
    back.SetPenColour(static_cast<Colour>(editBoxLevel_));
    back.SetPenStyle(PenStyle::Solid);
    back.SetPenMode(PenMode::Copy);
    back.SetPenWidth(1);
    const int th = back.TextHeight(cache_.LineText, enc);
    back.FrameRect(p.x - f.u / 2 - 1, p.y - 1, p.x + tw + f.u / 2 + 1, p.y + th + 1);
    // Tells the time-edit mode that the highlighted line has been on screen.
    ctx.RewindArmed = true;
  }
}

void LyricsDisplay::DrawNextLine(Canvas& back, const FrameValues& f, SaverContext& ctx,
                                 bool overlayOn) {
  const Encoding enc = ctx.lyrics.encoding;
  if (overlayOn) {
    if (ctx.CurrentLine + 2 >= static_cast<int>(ctx.lyrics.LyricLines.size())) {
      cache_.NextText = "*TextEnd*";
      cache_.NextColour = kRed;
    }
    MarkIfBlank(cache_.NextText, cache_.NextColour, enc);
  }
  back.SetFontSize(Trunc(f.u * 0.7));
  const int x = f.W / 2 - back.TextWidth(cache_.NextText, enc) / 2;
  const int y = Trunc(f.H - f.u * 1.1 + f.v * static_cast<double>(frame_.fade.Slide) * 2);
  if ((frame_.clock < frame_.window.NextStart || ctx.settings.TimeTag) &&
      ctx.lyrics.LyricTagType > 0) {
    DrawSideLine(back, x, y, cache_.NextText, cache_.NextColour, enc);
  }
}

void LyricsDisplay::DrawPreviousLine(Canvas& back, const FrameValues& f, SaverContext& ctx,
                                     int clock) {
  const Settings& s = ctx.settings;
  if (!(s.Debug || s.TimeTag)) return;
  const Encoding enc = ctx.lyrics.encoding;
  if (ctx.CurrentLine < 1 ||
      ctx.CurrentLine - 1 >= static_cast<int>(ctx.lyrics.LyricLines.size())) {
    cache_.PrevText = "*TextTop*";
    cache_.PrevColour = kRed;
  }
  MarkIfBlank(cache_.PrevText, cache_.PrevColour, enc);
  back.SetFont(LyricFont(ctx, Trunc(f.u * 0.7)));
  const int x = f.W / 2 - back.TextWidth(cache_.PrevText, enc) / 2;
  const int y = Trunc(f.H - f.u * 8.5 + f.v * static_cast<double>(frame_.fade.Slide) * 2);
  if ((clock < frame_.window.NextStart || s.TimeTag) && ctx.lyrics.LyricTagType > 0) {
    DrawSideLine(back, x, y, cache_.PrevText, cache_.PrevColour, enc);
  }
}

}  // namespace quib
