#pragma once
// Font faces and sizes as the settings name them, mapped onto this machine's fonts.
#include <string>

namespace quib {

// Teaches Qt the Windows face names the settings and the layers use
// ("MS UI Gothic", "ＭＳ Ｐゴシック", "MS PGothic" -> IPAPGothic; "ＭＳ ゴシック",
// "MS Gothic" -> IPAGothic; "Arial" -> Liberation Sans; "Comic Sans MS" -> Comic Neue),
// so that Qt widgets (the dialog's font list) find them too. Call once after the
// QGuiApplication exists; further calls do nothing. The canvas maps faces itself
// and does not depend on this call.
void InstallFontSubstitutions();

// The family to ask fontconfig for, for a face as the settings name it (bytes
// in CP932 or UTF-8). An empty face is the default Japanese gothic face.
std::string MappedFontFamily(const std::string& face);

// The family that supplies Japanese characters a face lacks (the counterpart of
// the font linking of the platform the program was made for).
const char* JapaneseFallbackFamily();

// Em height in pixels of a size in points at 96 dpi: the character height
// (internal leading excluded), rounded like MulDiv(points, 96, 72); 0 points
// gives the platform's default height of 16 pixels; negative sizes count as positive.
int FontPixelSize(int points);

}  // namespace quib
