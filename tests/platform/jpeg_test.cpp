#include "platform/jpeg.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

// A JPEG written with libjpeg itself; pixel(x, y, sample) fills one pixel's components.
std::string EncodeJpeg(int w, int h, int components, J_COLOR_SPACE space,
                       const std::function<void(int, int, JSAMPLE*)>& pixel) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w * components));
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < w; ++x) pixel(x, static_cast<int>(c.next_scanline), &row[x * components]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string bytes(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

int Channel(Colour c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

void ExpectNear(Colour got, Colour want, int tolerance) {
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(Channel(got, shift), Channel(want, shift), tolerance)
        << std::hex << got << " vs " << want;
}

TEST(Jpeg, ScalesAsTheDecoderReports) {
  TempDir dir;
  // Written by Qt's own JPEG writer, in an odd size.
  QImage img(101, 37, QImage::Format_RGB32);
  img.fill(QColor(200, 40, 90));
  const std::string path = dir.File("a.jpg");
  ASSERT_TRUE(img.save(QString::fromStdString(path), "JPG", 95));
  JpegInfo info;
  ASSERT_TRUE(ReadJpegInfo(path, info));
  EXPECT_EQ(info.width, 101);
  EXPECT_EQ(info.height, 37);
  struct Case {
    int denom, w, h;
  } cases[] = {{1, 101, 37}, {2, 51, 19}, {4, 26, 10}, {8, 13, 5}};
  for (const auto& k : cases) {
    int w = 0, h = 0;
    ScaledJpegSize(info, k.denom, w, h);
    EXPECT_EQ(w, k.w) << k.denom;
    EXPECT_EQ(h, k.h) << k.denom;
    Canvas out;
    ASSERT_TRUE(DecodeJpeg(path, k.denom, false, out)) << k.denom;
    EXPECT_EQ(out.Width(), k.w) << k.denom;
    EXPECT_EQ(out.Height(), k.h) << k.denom;
    ExpectNear(out.Pixel(k.w / 2, k.h / 2), RGB(200, 40, 90), 4);
    EXPECT_EQ(out.Bits()[0] >> 24, 0xFFu);  // opaque RGB32
  }
}

TEST(Jpeg, GreyOutput) {
  TempDir dir;
  const std::string colour = dir.File("c.jpg"), grey = dir.File("g.jpg");
  QImage img(16, 16, QImage::Format_RGB32);
  img.fill(QColor(200, 40, 90));
  ASSERT_TRUE(img.save(QString::fromStdString(colour), "JPG", 95));
  QImage g(16, 16, QImage::Format_Grayscale8);
  g.fill(QColor(100, 100, 100));
  ASSERT_TRUE(g.save(QString::fromStdString(grey), "JPG", 95));
  Canvas out;
  ASSERT_TRUE(DecodeJpeg(colour, 1, true, out));
  Colour p = out.Pixel(8, 8);
  EXPECT_EQ(Channel(p, 0), Channel(p, 8));
  EXPECT_EQ(Channel(p, 0), Channel(p, 16));
  EXPECT_NEAR(Channel(p, 0), (200 * 299 + 40 * 587 + 90 * 114) / 1000, 4);  // the luma
  for (bool asGrey : {false, true}) {
    ASSERT_TRUE(DecodeJpeg(grey, 2, asGrey, out));
    EXPECT_EQ(out.Width(), 8);
    ExpectNear(out.Pixel(3, 3), RGB(100, 100, 100), 3);
  }
}

TEST(Jpeg, CmykPictures) {
  TempDir dir;
  // Adobe's inverted CMYK, as libjpeg writes it with its Adobe marker: pure red.
  const std::string path =
      dir.Write("k.jpg", EncodeJpeg(8, 8, 4, JCS_CMYK, [](int, int, JSAMPLE* s) {
                  s[0] = 255, s[1] = 0, s[2] = 0, s[3] = 255;
                }));
  Canvas out;
  ASSERT_TRUE(DecodeJpeg(path, 1, false, out));
  ExpectNear(out.Pixel(4, 4), RGB(255, 0, 0), 6);
  ASSERT_TRUE(DecodeJpeg(path, 1, true, out));
  EXPECT_EQ(Channel(out.Pixel(4, 4), 0), Channel(out.Pixel(4, 4), 16));
}

TEST(Jpeg, BrokenFilesNeverEndTheProcess) {
  TempDir dir;
  // A detailed picture, so that a cut leaves scans missing.
  const std::string whole = EncodeJpeg(200, 150, 3, JCS_RGB, [](int x, int y, JSAMPLE* s) {
    s[0] = static_cast<JSAMPLE>(x * 7 ^ y * 3), s[1] = static_cast<JSAMPLE>(x * y),
    s[2] = static_cast<JSAMPLE>(x + y);
  });
  const std::string truncated = dir.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  Canvas out(3, 3);
  // A truncated file decodes with a filled-in rest.
  ASSERT_TRUE(DecodeJpeg(truncated, 1, false, out));
  EXPECT_EQ(out.Width(), 200);
  EXPECT_EQ(out.Height(), 150);
  struct Case {
    const char* name;
    std::string bytes;
  } broken[] = {
      {"empty.jpg", ""},
      {"garbage.jpg", std::string(5000, 'x')},
      {"header-only.jpg", whole.substr(0, 100)},
      {"soi-only.jpg", "\xFF\xD8"},
      {"png.jpg", "\x89PNG\r\n\x1a\n"},
  };
  for (const auto& k : broken) {
    const std::string p = dir.Write(k.name, k.bytes);
    Canvas c(3, 3);
    c.SetPixel(1, 1, 0x123456);
    JpegInfo info;
    if (k.bytes.size() < 100) {
      EXPECT_FALSE(ReadJpegInfo(p, info)) << k.name;
    }
    EXPECT_FALSE(DecodeJpeg(p, 1, false, c)) << k.name;
    EXPECT_EQ(c.Width(), 3) << k.name;  // left unchanged
    EXPECT_EQ(c.Pixel(1, 1), 0x123456u) << k.name;
  }
  JpegInfo info;
  EXPECT_FALSE(ReadJpegInfo(dir.File("missing.jpg"), info));
  EXPECT_FALSE(DecodeJpeg(dir.File("missing.jpg"), 1, false, out));
  EXPECT_FALSE(DecodeJpeg(dir.path(), 1, false, out));  // a folder
}

TEST(Jpeg, RefusesHugeOutput) {
  TempDir dir;
  const std::string path = dir.Write(
      "wide.jpg", EncodeJpeg(16400, 8, 1, JCS_GRAYSCALE, [](int, int, JSAMPLE* s) { *s = 128; }));
  JpegInfo info;
  ASSERT_TRUE(ReadJpegInfo(path, info));
  EXPECT_EQ(info.width, 16400);
  Canvas out;
  EXPECT_FALSE(DecodeJpeg(path, 1, false, out));
  EXPECT_EQ(out.Width(), 0);
  ASSERT_TRUE(DecodeJpeg(path, 2, false, out));  // 8200 wide is fine
  EXPECT_EQ(out.Width(), 8200);
  EXPECT_EQ(out.Height(), 4);
}

}  // namespace
}  // namespace quib
