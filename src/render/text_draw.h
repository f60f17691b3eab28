#pragma once
// The two ways lyric and message text reaches the screen: outlined text with
// a drop shadow (optionally faded over the picture beneath), and the karaoke
// line whose sung part is wiped in over the unsung one.
#include <string_view>

#include "platform/canvas.h"
#include "platform/code_page.h"

namespace quib {

constexpr Colour kMagenta = 0xFF00FF;

// Each byte scaled by percent / 100; percent 100 returns c untouched (top byte included).
Colour ScaleColour(Colour c, int percent);

// Shadow at (+2, +2), outline at the four diagonals, text on top. With blend on
// and percent below 100 the whole text fades over what lies beneath; otherwise
// the colours are darkened toward black by percent. Uses the target's font.
void DrawOutlinedText(Canvas& target, int x, int y, std::string_view text, Colour textColour,
                      Colour outlineColour, Colour shadowColour, int percent, bool blend,
                      Encoding enc = Encoding::Auto);

// Where the sung overlay of a steady karaoke line goes on the target.
struct KaraokeWipe {
  int left = 0;   // target x of the overlay picture
  int width = 0;  // overlay width; nothing to draw when <= 0
  int ox = 0;     // x offset of the glyphs inside the overlay (negative when clipped left)
};

// The wipe for a line at x: from one pixel left of the line to just past the
// fully sung text, plus pieceProgress of the piece being sung.
KaraokeWipe ComputeKaraokeWipe(int x, int doneWidth, int upToCurrentWidth, int pieceProgress,
                               int clipWidth);

// A lyric line at (x, y) in colour c: unsung part dimmed, sung part (up to the
// wipe edge inside the piece being sung) in full colour with a magenta outline.
// With percent below 100 the line fades as a whole in one of the two styles.
void DrawKaraokeText(Canvas& target, int x, int y, std::string_view fullText, Colour c, int percent,
                     std::string_view doneText, std::string_view upToCurrent, int pieceProgress,
                     int clipWidth, Encoding enc = Encoding::Auto);

}  // namespace quib
