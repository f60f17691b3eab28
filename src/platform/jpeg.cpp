#include "platform/jpeg.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <csetjmp>
#include <memory>
#include <vector>

#include "platform/canvas_impl.h"
#include "platform/files.h"

namespace quib {

namespace {

constexpr int MaxSide = 16384;

// libjpeg's own error_exit ends the process; ours jumps back to the decoder's caller.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (a truncated file, extra bytes) are no failure, and nothing is printed.
void OutputMessage(j_common_ptr) {}

// Everything the decoder touches after setjmp lives on the heap, so that
// nothing of it is an automatic variable left indeterminate by a longjmp.
struct Decoder {
  ErrorManager err{};
  jpeg_decompress_struct cinfo{};
  bool created = false;
  std::string bytes;
  QImage image;
  std::vector<JSAMPLE> row;

  ~Decoder() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }

  // Up to the header; the caller has called setjmp(err.jump).
  void Start() {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    jpeg_create_decompress(&cinfo);
    created = true;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
  }
};

int NormalDenom(int denom) {
  if (denom >= 8) return 8;
  if (denom >= 4) return 4;
  if (denom >= 2) return 2;
  return 1;
}

bool IsCmyk(const jpeg_decompress_struct& c) {
  return c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
}

}  // namespace

bool ReadJpegInfo(const std::string& path, JpegInfo& info) {
  auto d = std::make_unique<Decoder>();
  if (!ReadFileBytes(path, d->bytes) || d->bytes.empty()) return false;
  if (setjmp(d->err.jump)) return false;
  d->Start();
  info.width = static_cast<int>(d->cinfo.image_width);
  info.height = static_cast<int>(d->cinfo.image_height);
  return info.width > 0 && info.height > 0;
}

void ScaledJpegSize(const JpegInfo& info, int denom, int& w, int& h) {
  // jpeg_calc_output_dimensions rounds up: ceil(size / denom).
  const int n = NormalDenom(denom);
  w = (info.width + n - 1) / n;
  h = (info.height + n - 1) / n;
}

bool DecodeJpeg(const std::string& path, int denom, bool grey, Canvas& out) {
  auto d = std::make_unique<Decoder>();
  if (!ReadFileBytes(path, d->bytes) || d->bytes.empty()) return false;
  if (setjmp(d->err.jump)) return false;
  d->Start();
  jpeg_decompress_struct& c = d->cinfo;
  c.scale_num = 1;
  c.scale_denom = static_cast<unsigned>(NormalDenom(denom));
  // CMYK pictures come out as CMYK (libjpeg converts them to nothing else) and are converted here.
  const bool cmyk = IsCmyk(c);
  c.out_color_space = cmyk ? JCS_CMYK : (grey ? JCS_GRAYSCALE : JCS_EXT_BGRA);
  jpeg_calc_output_dimensions(&c);
  const int w = static_cast<int>(c.output_width), h = static_cast<int>(c.output_height);
  if (w <= 0 || h <= 0 || w > MaxSide || h > MaxSide) return false;
  d->image = QImage(w, h, QImage::Format_RGB32);
  if (d->image.isNull()) return false;  // out of memory
  jpeg_start_decompress(&c);
  const bool direct = c.out_color_space == JCS_EXT_BGRA;
  if (!direct) d->row.resize(static_cast<size_t>(w) * static_cast<size_t>(c.output_components));
  while (c.output_scanline < c.output_height) {
    const int y = static_cast<int>(c.output_scanline);
    auto* dst = reinterpret_cast<uint32_t*>(d->image.scanLine(y));
    if (direct) {
      // Straight into the picture: BGRA bytes are RGB32's 0xFFRRGGBB words.
      JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(dst)};
      if (jpeg_read_scanlines(&c, rows, 1) != 1) return false;  // never with a memory source
      continue;
    }
    JSAMPROW rows[1] = {d->row.data()};
    if (jpeg_read_scanlines(&c, rows, 1) != 1) return false;
    const JSAMPLE* s = d->row.data();
    if (!cmyk) {
      for (int x = 0; x < w; ++x) dst[x] = 0xFF000000u | (uint32_t(s[x]) * 0x010101u);
      continue;
    }
    // Adobe writes CMYK inverted; that is what nearly every CMYK JPEG holds.
    const bool inverted = c.saw_Adobe_marker;
    for (int x = 0; x < w; ++x, s += 4) {
      uint32_t cc = s[0], m = s[1], yy = s[2], k = s[3];
      if (!inverted) cc = 255 - cc, m = 255 - m, yy = 255 - yy, k = 255 - k;
      uint32_t r = cc * k / 255, g = m * k / 255, b = yy * k / 255;
      if (grey) r = g = b = (r * 77 + g * 150 + b * 29) >> 8;
      dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(&c);
  out.impl()->SetImage(std::move(d->image));
  return true;
}

}  // namespace quib
