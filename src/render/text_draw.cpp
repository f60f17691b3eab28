#include "render/text_draw.h"

#include <algorithm>
#include <string>

namespace quib {

namespace {

constexpr Colour kBlack = 0;

void Pass(Canvas& c, int x, int y, std::string_view text, Colour colour, Encoding enc) {
  c.SetTextColour(colour);
  c.TextOut(x, y, text, enc);
}

// The five passes of an outlined text whose glyph cell starts at (x, y).
void OutlinedPasses(Canvas& c, int x, int y, std::string_view text, Colour textColour,
                    Colour outlineColour, Colour shadowColour, Encoding enc) {
  Pass(c, x + 2, y + 2, text, shadowColour, enc);
  Pass(c, x - 1, y - 1, text, outlineColour, enc);
  Pass(c, x + 1, y - 1, text, outlineColour, enc);
  Pass(c, x - 1, y + 1, text, outlineColour, enc);
  Pass(c, x + 1, y + 1, text, outlineColour, enc);
  Pass(c, x, y, text, textColour, enc);
}

// A picture of the target's pixels under (x, y, w, h) that text can be drawn on
// with the target's font and then put back.
Canvas GrabPicture(const Canvas& target, int x, int y, int w, int h) {
  Canvas picture(w, h);
  picture.SetFont(target.Font());
  picture.SetTextBackground(true);
  picture.CopyFrom(0, 0, target, x, y, w, h);
  return picture;
}

void BlendedOutlinedText(Canvas& target, int x, int y, std::string_view text, Colour textColour,
                         Colour outlineColour, Colour shadowColour, int percent, Encoding enc) {
  if (percent <= 0) return;  // fully transparent: nothing would change
  const int w = target.TextWidth(text, enc) + 2;
  const int h = target.TextHeight(text, enc) + 2;
  // The picture carries the background along, so blending it back changes
  // only the glyphs: they fade without darkening what lies behind them.
  Canvas picture = GrabPicture(target, x - 1, y - 1, w, h);
  // Same geometry as the direct passes, seen from the picture's origin at (x - 1, y - 1).
  OutlinedPasses(picture, 1, 1, text, textColour, outlineColour, shadowColour, enc);
  target.AlphaBlendFrom(x - 1, y - 1, w, h, picture, 0, 0, w, h, percent * 255 / 100);
}

}  // namespace

Colour ScaleColour(Colour c, int percent) {
  if (percent == 100) return c;
  auto scale = [percent](Colour byte) { return ((static_cast<int>(byte) * percent) / 100) & 0xFF; };
  const Colour r = scale(c & 0xFF);
  const Colour g = scale((c >> 8) & 0xFF);
  const Colour b = scale((c >> 16) & 0xFF);
  return r | (g << 8) | (b << 16);
}

void DrawOutlinedText(Canvas& target, int x, int y, std::string_view text, Colour textColour,
                      Colour outlineColour, Colour shadowColour, int percent, bool blend,
                      Encoding enc) {
  if (text.empty()) return;
  // Out-of-range fades would wrap the colour bytes; hold them to what a fade can be.
  percent = std::clamp(percent, 0, 100);
  if (blend && percent != 100) {
    BlendedOutlinedText(target, x, y, text, textColour, outlineColour, shadowColour, percent, enc);
    return;
  }
  target.SetTextBackground(true);
  OutlinedPasses(target, x, y, text, ScaleColour(textColour, percent),
                 ScaleColour(outlineColour, percent), ScaleColour(shadowColour, percent), enc);
}

KaraokeWipe ComputeKaraokeWipe(int x, int doneWidth, int upToCurrentWidth, int pieceProgress,
                               int clipWidth) {
  const int a = doneWidth + 2;
  const int b = upToCurrentWidth + 1 - a;
  KaraokeWipe wipe;
  wipe.width = a;
  if (b > 0 && pieceProgress > 0) {
    wipe.width = a + static_cast<int>(static_cast<long long>(b) * pieceProgress / 10000);
  }
  wipe.left = x - 1;
  if (x < 0) {
    // Scrolled past the left edge: the picture starts at the edge and the
    // glyphs move left inside it, so they keep their places on the target.
    wipe.ox = x;
    wipe.width += x;
    wipe.left = -1;
  }
  wipe.width = std::min(wipe.width, clipWidth + 2);
  return wipe;
}

void DrawKaraokeText(Canvas& target, int x, int y, std::string_view fullText, Colour c, int percent,
                     std::string_view doneText, std::string_view upToCurrent, int pieceProgress,
                     int clipWidth, Encoding enc) {
  percent = std::clamp(percent, 0, 100);
  if (percent != 100) {
    // While fading the line is drawn whole in one style: a wipe that fades
    // would show its edge ghosting through the unsung glyphs.
    if (upToCurrent == fullText) {
      DrawOutlinedText(target, x, y, fullText, c, kMagenta, kBlack, percent, true, enc);
    } else {
      const Colour c90 = ScaleColour(c, 90);
      DrawOutlinedText(target, x, y, fullText, c90, ScaleColour(c90, 40), kBlack, percent, true,
                       enc);
    }
    return;
  }

  const int doneWidth = doneText.empty() ? 0 : target.TextWidth(doneText, enc);
  const std::string_view rest = fullText.substr(std::min(doneText.size(), fullText.size()));
  DrawOutlinedText(target, x + doneWidth, y, rest, ScaleColour(c, 90), ScaleColour(c, 40), kBlack,
                   100, true, enc);
  if (upToCurrent.empty()) return;

  const int upToWidth = target.TextWidth(upToCurrent, enc);
  const KaraokeWipe wipe = ComputeKaraokeWipe(x, doneWidth, upToWidth, pieceProgress, clipWidth);
  if (wipe.width <= 0) return;
  const int h = target.TextHeight(fullText, enc) + 2;
  // The sung style is drawn over a copy of the unsung drawing and the copy is
  // put back whole, so the edge cuts straight through the glyph being sung.
  Canvas picture = GrabPicture(target, wipe.left, y - 1, wipe.width, h);
  OutlinedPasses(picture, wipe.ox + 1, 1, fullText, ScaleColour(c, percent), kMagenta,
                 ScaleColour(kBlack, percent), enc);
  target.CopyFrom(wipe.left, y - 1, picture, 0, 0, wipe.width, h);
}

}  // namespace quib
