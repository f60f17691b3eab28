#pragma once
// JPEG decoding with the decoder's own DCT scaling and grey output.
#include <string>

#include "platform/canvas.h"

namespace quib {

struct JpegInfo {
  int width = 0;  // full size
  int height = 0;
};

// Reads the header; false when the file is not a readable JPEG.
bool ReadJpegInfo(const std::string& path, JpegInfo& info);

// Size of the picture decoded at 1/denom (denom 1, 2, 4 or 8; other values
// count as the next lower of these), as the decoder reports it: ceil(size / denom).
void ScaledJpegSize(const JpegInfo& info, int denom, int& w, int& h);

// Decodes at 1/denom into out (resized to the decoded size). Never ends the
// process: any decoding failure returns false and leaves out unchanged.
// Pictures larger than 16384 pixels on a side after scaling are refused.
// Truncated files decode (the missing rest filled in by the decoder); CMYK
// pictures are converted.
bool DecodeJpeg(const std::string& path, int denom, bool grey, Canvas& out);

}  // namespace quib
