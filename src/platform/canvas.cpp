#include "platform/canvas.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QUIB_AVX2 1
#endif

#include "platform/canvas_impl.h"
#include "platform/files.h"
#include "platform/fonts.h"

namespace quib {

// ---------------------------------------------------------------------------
// Fonts: one entry per FontSpec, shared by every canvas, with the shaped form
// of the texts drawn lately. Shaping costs far more than drawing the glyphs,
// and the layers draw the same few texts many times a frame.

struct TextShape {
  bool used = false;
  size_t hash = 0;
  Encoding enc = Encoding::Auto;
  std::string bytes;
  QList<QGlyphRun> runs;
  qreal lineAscent = 0;  // baseline of the runs
  int width = 0;
  uint64_t serial = 0;  // names this shaping in the mask cache; new for every refill of the slot
  int draws = 0;
  bool noMask = false;  // too large for one
};

struct FontEntry {
  explicit FontEntry(const FontSpec& s);
  TextShape& Shape(std::string_view bytes, Encoding enc);

  FontSpec fontSpec;
  QFont font;
  int ascent = 0;
  int descent = 0;
  static constexpr size_t TextSlots = 64;
  std::array<TextShape, TextSlots> texts;
  size_t nextSlot = 0;
};

FontEntry::FontEntry(const FontSpec& s) : fontSpec(s) {
  font.setFamilies({QString::fromStdString(MappedFontFamily(s.face)),
                    QString::fromLatin1(JapaneseFallbackFamily())});
  font.setPixelSize(FontPixelSize(s.sizePoints));
  font.setBold(s.bold);
  font.setItalic(s.italic);
  font.setUnderline(s.underline);
  // Text extents are plain sums of advances, as the layers were designed around.
  font.setKerning(false);
  QFontMetrics fm(font);
  ascent = fm.ascent();
  descent = fm.descent();
}

TextShape& FontEntry::Shape(std::string_view bytes, Encoding enc) {
  size_t hash = std::hash<std::string_view>{}(bytes) ^ static_cast<size_t>(enc);
  for (TextShape& t : texts)
    if (t.used && t.hash == hash && t.enc == enc && t.bytes == bytes) return t;
  TextShape& t = texts[nextSlot];
  nextSlot = (nextSlot + 1) % TextSlots;
  t.used = true;
  t.hash = hash;
  t.enc = enc;
  t.bytes.assign(bytes);
  static uint64_t lastSerial = 0;
  t.serial = ++lastSerial;
  t.draws = 0;
  t.noMask = false;
  std::u16string u = DecodeToUtf16(bytes, enc);
  QString text(reinterpret_cast<const QChar*>(u.data()), static_cast<qsizetype>(u.size()));
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.setCacheEnabled(false);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) line.setLineWidth(1e7);
  layout.endLayout();
  t.runs = line.isValid() ? layout.glyphRuns() : QList<QGlyphRun>();
  t.lineAscent = line.isValid() ? line.ascent() : 0;
  t.width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
  return t;
}

namespace {

void ClearMasks();

// Canvases live on the user-interface thread; so does this cache. It is
// emptied when the application object goes, before Qt's font machinery does.
std::vector<std::shared_ptr<FontEntry>>& FontCache() {
  static auto* cache = [] {
    auto* c = new std::vector<std::shared_ptr<FontEntry>>();
    qAddPostRoutine([] {
      FontCache().clear();
      ClearMasks();
    });
    return c;
  }();
  return *cache;
}

std::shared_ptr<FontEntry> LookupFont(const FontSpec& fontSpec) {
  auto& cache = FontCache();
  for (size_t i = cache.size(); i-- > 0;) {
    if (cache[i]->fontSpec == fontSpec) {
      std::rotate(cache.begin() + static_cast<std::ptrdiff_t>(i),
                  cache.begin() + static_cast<std::ptrdiff_t>(i) + 1, cache.end());
      return cache.back();
    }
  }
  constexpr size_t MaxFonts = 32;
  if (cache.size() >= MaxFonts) cache.erase(cache.begin());
  cache.push_back(std::make_shared<FontEntry>(fontSpec));
  return cache.back();
}

// ---------------------------------------------------------------------------
// Pixels.

constexpr uint32_t Opaque = 0xFF000000u;

inline uint32_t ToArgb(Colour c) {
  return Opaque | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline Colour FromArgb(uint32_t p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
inline QColor ToQColor(Colour c) {
  return QColor::fromRgb(ToArgb(c));
}

struct Box {
  int x0, y0, x1, y1;  // right and bottom exclusive
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Box Normalized(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// Writable pixels; never shared with a copy of the image that someone holds.
uint32_t* Pixels(Canvas::Impl& d) {
  if (!d.image.isDetached()) {
    d.EndPainting();
    d.image.detach();
    d.bits = reinterpret_cast<uint32_t*>(d.image.bits());
  }
  return d.bits;
}

// n pixels of value v; whole-screen clears are common, and the compiler
// leaves std::fill of 32-bit values at one store a pixel.
void FillPixels(uint32_t* p, int n, uint32_t v) {
  int i = 0;
#ifdef __SSE2__
  const __m128i v4 = _mm_set1_epi32(static_cast<int>(v));
  for (; i + 16 <= n; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 4), v4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 8), v4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i + 12), v4);
  }
  for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v4);
#endif
  for (; i < n; ++i) p[i] = v;
}

void FillRow(uint32_t* row, int x0, int x1, uint32_t argb, bool xorMode) {
  if (xorMode) {
    const uint32_t v = argb & 0x00FFFFFFu;
    for (int x = x0; x < x1; ++x) row[x] ^= v;
  } else if (x1 > x0) {
    FillPixels(row + x0, x1 - x0, argb);
  }
}

void FillBox(Canvas::Impl& d, Box b, uint32_t argb, bool xorMode) {
  b.x0 = std::max(b.x0, 0);
  b.y0 = std::max(b.y0, 0);
  b.x1 = std::min(b.x1, d.width);
  b.y1 = std::min(b.y1, d.height);
  if (b.Empty()) return;
  uint32_t* p = Pixels(d);
  for (int y = b.y0; y < b.y1; ++y)
    FillRow(p + static_cast<ptrdiff_t>(y) * d.stride, b.x0, b.x1, argb, xorMode);
}

void FillSpan(Canvas::Impl& d, int y, int x0, int x1, uint32_t argb, bool xorMode) {
  if (y < 0 || y >= d.height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, d.width);
  if (x0 >= x1) return;
  FillRow(Pixels(d) + static_cast<ptrdiff_t>(y) * d.stride, x0, x1, argb, xorMode);
}

// A frame of thickness t inside box b.
void FrameBox(Canvas::Impl& d, const Box& b, int t, uint32_t argb, bool xorMode) {
  if (b.Empty()) return;
  int ty = std::min(t, b.y1 - b.y0);
  FillBox(d, {b.x0, b.y0, b.x1, b.y0 + ty}, argb, xorMode);
  int bottom = std::max(b.y0 + ty, b.y1 - t);
  FillBox(d, {b.x0, bottom, b.x1, b.y1}, argb, xorMode);
  int tx = std::min(t, b.x1 - b.x0);
  FillBox(d, {b.x0, b.y0 + ty, b.x0 + tx, bottom}, argb, xorMode);
  FillBox(d, {std::max(b.x0 + tx, b.x1 - t), b.y0 + ty, b.x1, bottom}, argb, xorMode);
}

// Columns xs..xe (inclusive) of the ellipse inscribed in b on row y. Rows are
// taken at their point nearest the centre, so the middle rows span the whole
// width, and every row keeps at least its middle pixel(s): the ellipse touches
// all four sides of its box, as the drawing semantics require.
void EllipseSpan(const Box& b, int y, int& xs, int& xe) {
  const double a = (b.x1 - b.x0) * 0.5, r = (b.y1 - b.y0) * 0.5;
  const double cx = b.x0 + a, cy = b.y0 + r;
  double dy = 0;
  if (y + 1 <= cy)
    dy = cy - (y + 1);
  else if (y >= cy)
    dy = y - cy;
  double t = dy / r;
  double half = t >= 1 ? 0 : a * std::sqrt(1 - t * t);
  xs = static_cast<int>(std::floor(cx - half - 0.5)) + 1;
  xe = static_cast<int>(std::ceil(cx + half - 0.5)) - 1;
  if (xs > xe) {
    xs = static_cast<int>(std::floor(cx - 0.5));
    xe = static_cast<int>(std::ceil(cx - 0.5));
  }
  xs = std::max(xs, b.x0);
  xe = std::min(xe, b.x1 - 1);
}

// Pixels of the line from (x0, y0) towards (x1, y1), the end point left out.
void ThinLine(Canvas::Impl& d, int x0, int y0, int x1, int y1, uint32_t argb, bool xorMode) {
  const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int64_t n = std::max(adx, ady);
  if (n == 0 || d.width <= 0 || d.height <= 0) return;
  const bool xMajor = adx >= ady;
  // Major coordinate: start + sMaj * k; minor: start + sMin * round(aMin * k / n).
  const int64_t majStart = xMajor ? x0 : y0, minStart = xMajor ? y0 : x0;
  const int64_t sMaj = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t sMin = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t aMin = xMajor ? ady : adx;
  const int64_t majSize = xMajor ? d.width : d.height, minSize = xMajor ? d.height : d.width;
  // Steps k (0..n-1) whose major coordinate lies inside the surface.
  int64_t kLo = 0, kHi = n - 1;
  if (sMaj > 0) {
    kLo = std::max(kLo, -majStart);
    kHi = std::min(kHi, majSize - 1 - majStart);
  } else {
    kLo = std::max(kLo, majStart - (majSize - 1));
    kHi = std::min(kHi, majStart);
  }
  // The same for the minor coordinate, roughly; each pixel is checked anyway.
  if (aMin > 0) {
    double lo = (sMin > 0 ? -minStart - 1.0 : minStart - minSize) * double(n) / double(aMin);
    double hi = (sMin > 0 ? minSize - minStart : minStart + 1.0) * double(n) / double(aMin);
    kLo = std::max(kLo, static_cast<int64_t>(std::floor(lo)) - 1);
    kHi = std::min(kHi, static_cast<int64_t>(std::ceil(hi)) + 1);
  } else if (minStart < 0 || minStart >= minSize) {
    return;
  }
  if (kLo > kHi) return;
  if (aMin == 0 && xMajor) {  // horizontal: one span
    const int64_t a = sMaj > 0 ? majStart + kLo : majStart - kHi;
    FillRow(Pixels(d) + minStart * d.stride, static_cast<int>(a),
            static_cast<int>(a + kHi - kLo + 1), argb, xorMode);
    return;
  }
  uint32_t* p = Pixels(d);
  const uint32_t v = argb & 0x00FFFFFFu;
  // The minor offset round(aMin * k / n) = floor((2 aMin k + n) / 2n), stepped
  // along without a division per pixel.
  const int64_t den = 2 * n, step = 2 * aMin;
  int64_t num = step * kLo + n;
  int64_t q = num / den, r = num % den;
  for (int64_t k = kLo; k <= kHi; ++k) {
    const int64_t mn = minStart + sMin * q;
    if (mn >= 0 && mn < minSize) {
      const int64_t maj = majStart + sMaj * k;
      const int64_t x = xMajor ? maj : mn, y = xMajor ? mn : maj;
      uint32_t& px = p[y * d.stride + x];
      px = xorMode ? (px ^ v) : argb;
    }
    r += step;
    if (r >= den) r -= den, ++q;
  }
}

// ---------------------------------------------------------------------------
// Text masks. The layers draw each text several times a frame in different
// colours and places (shadow, outline, face), and above 64 px Qt no longer
// caches glyphs and fills every glyph as a path each time. So a text's
// coverage is drawn once into an 8-bit mask, and each pass blends the mask in
// its colour. The blend is the one Qt uses for text on RGB32 surfaces
// (colour * a + dst * (255 - a), each product rounded on its own), so a pass
// through the mask gives the same pixels as drawing the glyphs directly.

struct TextMask {
  QImage image;  // Format_Alpha8, tight around the ink
  int left = 0;  // offset of the image from the text's cell origin
  int top = 0;
  struct Span {
    int x0, x1;  // columns with ink on a row, right exclusive (x0 == x1: none)
  };
  std::vector<Span> rows;
  size_t Bytes() const { return static_cast<size_t>(image.sizeInBytes()) + rows.size() * 8; }
};

// Masks of recently drawn texts, most recent last, keyed by TextShape::serial.
// Bounded in bytes: a 4K lyric line needs about 0.4 MB.
struct MaskCache {
  struct Entry {
    uint64_t serial;
    std::unique_ptr<TextMask> mask;
  };
  std::vector<Entry> entries;
  size_t bytes = 0;
  static constexpr size_t MaxBytes = size_t(32) << 20;
  static constexpr size_t MaxEntries = 256;

  const TextMask* Find(uint64_t serial) {
    for (size_t i = entries.size(); i-- > 0;) {
      if (entries[i].serial != serial) continue;
      if (i + 1 != entries.size())
        std::rotate(entries.begin() + static_cast<std::ptrdiff_t>(i),
                    entries.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries.end());
      return entries.back().mask.get();
    }
    return nullptr;
  }
  const TextMask* Add(uint64_t serial, std::unique_ptr<TextMask> mask) {
    const size_t size = mask->Bytes();
    size_t drop = 0;
    while (drop < entries.size() &&
           (bytes + size > MaxBytes || entries.size() - drop >= MaxEntries))
      bytes -= entries[drop++].mask->Bytes();
    entries.erase(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(drop));
    bytes += size;
    entries.push_back({serial, std::move(mask)});
    return entries.back().mask.get();
  }
  void Clear() {
    entries.clear();
    bytes = 0;
  }
};

MaskCache& Masks() {
  static auto* cache = new MaskCache();
  return *cache;
}

void ClearMasks() {
  Masks().Clear();
}

// Texts whose mask would be larger than this are drawn glyph by glyph instead.
constexpr int64_t MaxMaskPixels = int64_t(8) << 20;

// The coverage of shape s drawn at cell origin (0, 0), cropped to its ink;
// null if it would be too large, or has no ink (then the mask is empty).
std::unique_ptr<TextMask> RenderMask(const FontEntry& f, const TextShape& s) {
  QRectF ink(0, 0, s.width, f.ascent + f.descent);
  const QPointF origin(0, f.ascent - s.lineAscent);
  for (const QGlyphRun& run : s.runs) ink |= run.boundingRect().translated(origin);
  const int px = f.font.pixelSize();
  // The glyphs' metrics leave out antialiasing, synthetic bold and slant,
  // and decorations: draw with room to spare, and more if ink reaches an edge.
  for (int margin = px / 4 + 4;; margin *= 2) {
    const int left = static_cast<int>(std::floor(ink.left())) - margin;
    const int top = static_cast<int>(std::floor(ink.top())) - margin;
    const int w = static_cast<int>(std::ceil(ink.right())) + margin - left;
    const int h = static_cast<int>(std::ceil(ink.bottom())) + margin - top;
    if (int64_t(w) * h > MaxMaskPixels * 2) return nullptr;
    QImage full(w, h, QImage::Format_Alpha8);
    if (full.isNull()) return nullptr;
    full.fill(0);
    {
      QPainter p(&full);
      p.setRenderHint(QPainter::TextAntialiasing, true);
      p.setPen(QColor(255, 255, 255));
      for (const QGlyphRun& run : s.runs) p.drawGlyphRun(origin - QPointF(left, top), run);
    }
    // The ink's box.
    int x0 = w, x1 = 0, y0 = h, y1 = 0;
    for (int y = 0; y < h; ++y) {
      const uchar* row = full.constScanLine(y);
      int a = 0, b = w;
      while (a < w && !row[a]) ++a;
      if (a == w) continue;
      while (!row[b - 1]) --b;
      x0 = std::min(x0, a);
      x1 = std::max(x1, b);
      y0 = std::min(y0, y);
      y1 = y + 1;
    }
    auto mask = std::make_unique<TextMask>();
    if (x0 >= x1) return mask;
    const bool atEdge = x0 == 0 || y0 == 0 || x1 == w || y1 == h;
    if (atEdge && margin < 4 * px + 64) continue;
    if (int64_t(x1 - x0) * (y1 - y0) > MaxMaskPixels) return nullptr;
    mask->image = full.copy(x0, y0, x1 - x0, y1 - y0);
    mask->left = left + x0;
    mask->top = top + y0;
    const int mw = x1 - x0;
    mask->rows.resize(static_cast<size_t>(y1 - y0));
    for (int y = 0; y < y1 - y0; ++y) {
      const uchar* row = mask->image.constScanLine(y);
      int a = 0, b = mw;
      while (a < mw && !row[a]) ++a;
      while (b > a && !row[b - 1]) --b;
      mask->rows[static_cast<size_t>(y)] = {a, b};
    }
    return mask;
  }
}

// x * a / 255 per byte, rounded as Qt's raster engine does, for two bytes in
// 16-bit lanes (0x00FF00FF) at a time.
inline uint32_t MulLanes(uint32_t x, uint32_t a) {
  uint32_t t = x * a;
  return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
}

inline uint32_t BlendCoverage(uint32_t dst, uint32_t colour, uint32_t a) {
  const uint32_t b = 255 - a;
  const uint32_t rb = MulLanes(colour & 0x00FF00FFu, a) + MulLanes(dst & 0x00FF00FFu, b);
  const uint32_t g =
      MulLanes((colour >> 8) & 0x00FF00FFu, a) + MulLanes((dst >> 8) & 0x00FF00FFu, b);
  return Opaque | rb | ((g << 8) & 0x0000FF00u);
}

#ifdef QUIB_AVX2
bool HaveAvx2() {
  static const bool have = __builtin_cpu_supports("avx2");
  return have;
}

// BlendMaskRow eight pixels at a time, with the same rounding; returns how many it did.
__attribute__((target("avx2"))) int BlendMaskRowAvx2(uint32_t* d, const uchar* m, int n,
                                                     uint32_t argb) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi16(255);
  const __m256i half = _mm256_set1_epi16(128);
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(argb));
  const __m256i colour16 = _mm256_unpacklo_epi8(colour, zero);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(Opaque));
  // Each pixel's coverage byte (the low byte of its 32-bit lane) copied to all four bytes.
  const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 0, 0,
                                          0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12);
  const auto mul = [&](__m256i x, __m256i a) __attribute__((target("avx2"))) {
    const __m256i t = _mm256_mullo_epi16(x, a);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), half),
                             8);
  };
  const auto blend = [&](__m256i d16, __m256i a16) __attribute__((target("avx2"))) {
    return _mm256_add_epi16(mul(colour16, a16), mul(d16, _mm256_sub_epi16(full, a16)));
  };
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t bytes8;
    std::memcpy(&bytes8, m + i, 8);
    if (bytes8 == 0) continue;
    uint32_t* p = d + i;
    if (bytes8 == ~uint64_t(0)) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), colour);
      continue;
    }
    const __m256i a = _mm256_shuffle_epi8(
        _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(bytes8))), spread);
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i lo = blend(_mm256_unpacklo_epi8(dv, zero), _mm256_unpacklo_epi8(a, zero));
    const __m256i hi = blend(_mm256_unpackhi_epi8(dv, zero), _mm256_unpackhi_epi8(a, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p),
                        _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque));
  }
  return i;
}
#endif

// One row of a mask blended onto d[0..n) in colour argb (opaque).
void BlendMaskRow(uint32_t* d, const uchar* m, int n, uint32_t argb) {
  int i = 0;
#ifdef QUIB_AVX2
  if (HaveAvx2()) i = BlendMaskRowAvx2(d, m, n, argb);
#endif
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i half = _mm_set1_epi16(128);
  const __m128i colour = _mm_set1_epi32(static_cast<int>(argb));
  const __m128i colour16 = _mm_unpacklo_epi8(colour, zero);
  const auto mul = [&](__m128i x, __m128i a) {  // x * a / 255 in 16-bit lanes, rounded as above
    __m128i t = _mm_mullo_epi16(x, a);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
  };
  const auto blend2 = [&](__m128i d16, __m128i a16) {
    return _mm_add_epi16(mul(colour16, a16), mul(d16, _mm_sub_epi16(full, a16)));
  };
  for (; i + 16 <= n; i += 16) {
    const __m128i cov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i));
    const int zeroBits = _mm_movemask_epi8(_mm_cmpeq_epi8(cov, zero));
    if (zeroBits == 0xFFFF) continue;
    const int fullBits = _mm_movemask_epi8(_mm_cmpeq_epi8(cov, _mm_set1_epi8(-1)));
    for (int k = 0; k < 16; k += 4) {
      const int quad = (0xF << k);
      uint32_t* p = d + i + k;
      if ((zeroBits & quad) == quad) continue;
      if ((fullBits & quad) == quad) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), colour);
        continue;
      }
      // Coverage of 4 pixels, each byte spread over its pixel's 4 channels.
      int bytes4;
      std::memcpy(&bytes4, m + i + k, 4);
      __m128i a = _mm_cvtsi32_si128(bytes4);
      a = _mm_unpacklo_epi8(a, a);
      a = _mm_unpacklo_epi16(a, a);
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const __m128i lo = blend2(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(a, zero));
      const __m128i hi = blend2(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(a, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                       _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(int(Opaque))));
    }
  }
#endif
  for (; i < n; ++i) {
    const uint32_t a = m[i];
    if (a == 0) continue;
    d[i] = a == 255 ? argb : BlendCoverage(d[i], argb, a);
  }
}

// Mask m blended in colour argb with its cell origin at (x, y).
void BlendMask(Canvas::Impl& d, const TextMask& m, int x, int y, uint32_t argb) {
  const int ox = x + m.left, oy = y + m.top;
  const int j0 = std::max(0, -oy), j1 = std::min(m.image.height(), d.height - oy);
  const int clipX0 = -ox, clipX1 = d.width - ox;
  if (j0 >= j1 || clipX0 >= m.image.width() || clipX1 <= 0) return;
  uint32_t* p = Pixels(d);
  for (int j = j0; j < j1; ++j) {
    const TextMask::Span span = m.rows[static_cast<size_t>(j)];
    const int a = std::max(span.x0, clipX0), b = std::min(span.x1, clipX1);
    if (a >= b) continue;
    BlendMaskRow(p + static_cast<ptrdiff_t>(oy + j) * d.stride + ox + a,
                 m.image.constScanLine(j) + a, b - a, argb);
  }
}

void SetMode(Canvas::Impl& d, QPainter::CompositionMode m) {
  if (d.mode != m) {
    d.painter.setCompositionMode(m);
    d.mode = m;
  }
}

enum class TransferOp { Copy, Key, Add, Blend };

// dst + src * alpha / 255 per channel, saturated; red and blue side by side in 16-bit lanes.
inline uint32_t AddScaled(uint32_t dv, uint32_t sv, uint32_t alpha) {
  uint32_t rb = (sv & 0x00FF00FFu) * alpha + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  uint32_t g = ((sv >> 8) & 0xFFu) * alpha + 0x80u;
  g = ((g + (g >> 8)) >> 8) & 0xFFu;
  uint32_t sumRb = (dv & 0x00FF00FFu) + rb;
  const uint32_t over = sumRb & 0x01000100u;
  sumRb = (sumRb | (over - (over >> 8))) & 0x00FF00FFu;
  uint32_t sumG = (dv & 0x0000FF00u) + (g << 8);
  sumG = sumG > 0xFF00u ? 0xFF00u : sumG;
  return Opaque | sumRb | sumG;
}

#ifdef QUIB_AVX2
// AddScaledRow eight pixels at a time; returns how many pixels it did.
__attribute__((target("avx2"))) int AddScaledRowAvx2(uint32_t* d, const uint32_t* s, int n,
                                                     uint32_t alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i a16 = _mm256_set1_epi16(static_cast<short>(alpha));
  const __m256i half = _mm256_set1_epi16(128);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(Opaque));
  const auto scale = [&](__m256i x) __attribute__((target("avx2"))) {
    __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, a16), half);
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
  };
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i add = _mm256_packus_epi16(scale(_mm256_unpacklo_epi8(sv, zero)),
                                            scale(_mm256_unpackhi_epi8(sv, zero)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                        _mm256_or_si256(_mm256_adds_epu8(dv, add), opaque));
  }
  return i;
}
#endif

// A row of AddScaled, four pixels at a time where SSE2 is there (always on x86-64).
void AddScaledRow(uint32_t* d, const uint32_t* s, int n, uint32_t alpha) {
  int i = 0;
#ifdef QUIB_AVX2
  if (HaveAvx2()) i = AddScaledRowAvx2(d, s, n, alpha);
#endif
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i a16 = _mm_set1_epi16(static_cast<short>(alpha));
  const __m128i half = _mm_set1_epi16(128);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(Opaque));
  const auto scale = [&](__m128i x) {  // x * alpha / 255, rounded, in 16-bit lanes
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, a16), half);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
  };
  for (; i + 4 <= n; i += 4) {
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i lo = scale(_mm_unpacklo_epi8(sv, zero)), hi = scale(_mm_unpackhi_epi8(sv, zero));
    __m128i sum = _mm_adds_epu8(dv, _mm_packus_epi16(lo, hi));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(sum, opaque));
  }
#endif
  for (; i < n; ++i) d[i] = AddScaled(d[i], s[i], alpha);
}

#ifdef QUIB_AVX2
// Eight pixels at a time of d + (s - d) * alpha / 255, one rounded multiply
// per channel: the difference times round(alpha * 32768 / 255), rounded at
// bit 15 (off by at most half a level and 1/200 of one); alpha below 255.
// Returns how many pixels it did.
__attribute__((target("avx2"))) int BlendRowAvx2(uint32_t* d, const uint32_t* s, int n,
                                                 uint32_t alpha) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i k = _mm256_set1_epi16(static_cast<short>((alpha * 32768 + 127) / 255));
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(Opaque));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
    const __m256i dLo = _mm256_unpacklo_epi8(dv, zero), dHi = _mm256_unpackhi_epi8(dv, zero);
    const __m256i lo = _mm256_add_epi16(
        dLo, _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(sv, zero), dLo), k));
    const __m256i hi = _mm256_add_epi16(
        dHi, _mm256_mulhrs_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(sv, zero), dHi), k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                        _mm256_or_si256(_mm256_packus_epi16(lo, hi), opaque));
  }
  return i;
}
#endif

// A row of src * alpha + dst * (1 - alpha); alpha below 255.
void BlendRow(uint32_t* d, const uint32_t* s, int n, uint32_t alpha) {
  int i = 0;
#ifdef QUIB_AVX2
  if (HaveAvx2()) i = BlendRowAvx2(d, s, n, alpha);
#endif
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i a16 = _mm_set1_epi16(static_cast<short>(alpha));
  const __m128i b16 = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i half = _mm_set1_epi16(128);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(Opaque));
  const auto mul = [&](__m128i x, __m128i a) {
    __m128i t = _mm_mullo_epi16(x, a);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), half), 8);
  };
  for (; i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i lo =
        _mm_add_epi16(mul(_mm_unpacklo_epi8(sv, zero), a16), mul(_mm_unpacklo_epi8(dv, zero), b16));
    const __m128i hi =
        _mm_add_epi16(mul(_mm_unpackhi_epi8(sv, zero), a16), mul(_mm_unpackhi_epi8(dv, zero), b16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_packus_epi16(lo, hi), opaque));
  }
#endif
  for (; i < n; ++i) d[i] = BlendCoverage(d[i], s[i], alpha);
}

// Nearest-neighbour transfer of src's (sx, sy, sw, sh) onto d's (dx, dy, dw, dh):
// a negative width or height on either side mirrors; pixels whose source lies
// outside src are left alone.
void Transfer(Canvas::Impl& d, int dx, int dy, int dw, int dh, const Canvas::Impl& s, int sx,
              int sy, int sw, int sh, TransferOp op, uint32_t key, int alpha) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || !d.bits || !s.bits) return;
  const bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
  if (dw < 0) dx += dw, dw = -dw;
  if (dh < 0) dy += dh, dh = -dh;
  if (sw < 0) sx += sw, sw = -sw;
  if (sh < 0) sy += sh, sh = -sh;
  int i0 = std::max(0, -dx), i1 = std::min(dw, d.width - dx);
  const int j0 = std::max(0, -dy), j1 = std::min(dh, d.height - dy);
  // One to one, not mirrored: the source columns are consecutive.
  const bool direct = !mirrorX && sw == dw;
  if (direct) {
    i0 = std::max(i0, -sx);
    i1 = std::min(i1, s.width - sx);
  }
  if (i0 >= i1 || j0 >= j1) return;
  // Otherwise the source column of each destination column. They run
  // monotonically, so those inside the source form one range: narrow to it.
  thread_local std::vector<int> columns;
  thread_local std::vector<uint32_t> gathered;
  if (!direct) {
    const auto column = [&](int i) {
      const int64_t ii = mirrorX ? dw - 1 - i : i;
      return sx + (2 * ii + 1) * sw / (2 * int64_t(dw));
    };
    const auto inside = [&](int i) {
      const int64_t c = column(i);
      return c >= 0 && c < s.width;
    };
    while (i0 < i1 && !inside(i0)) ++i0;
    while (i1 > i0 && !inside(i1 - 1)) --i1;
    if (i0 >= i1) return;
    columns.resize(static_cast<size_t>(i1 - i0));
    for (int i = i0; i < i1; ++i)
      columns[static_cast<size_t>(i - i0)] = static_cast<int>(column(i));
    gathered.resize(static_cast<size_t>(i1 - i0));
  }
  uint32_t* dp = Pixels(d);
  const uint32_t keyRgb = key & 0x00FFFFFFu;
  const uint32_t a = static_cast<uint32_t>(alpha);
  const int n = i1 - i0;
  int64_t gatheredRow = -1;
  // Plain pointers: thread-local objects cost a look-up on every access.
  const int* columnOf = columns.data();
  uint32_t* gatherTo = gathered.data();
  for (int j = j0; j < j1; ++j) {
    int64_t jj = mirrorY ? dh - 1 - j : j;
    int64_t r = sy + (2 * jj + 1) * sh / (2 * int64_t(dh));
    if (r < 0 || r >= s.height) continue;
    const uint32_t* srow = s.bits + r * s.stride;
    uint32_t* drow = dp + static_cast<ptrdiff_t>(dy + j) * d.stride + dx + i0;
    // The source pixels of this row, in destination order.
    const uint32_t* from = srow + sx + i0;
    if (!direct) {
      if (r != gatheredRow) {  // enlarged pictures repeat source rows
        for (int i = 0; i < n; ++i) gatherTo[i] = srow[columnOf[i]];
        gatheredRow = r;
      }
      from = gatherTo;
    }
    switch (op) {
      case TransferOp::Copy:
        std::memmove(drow, from, static_cast<size_t>(n) * 4);
        break;
      case TransferOp::Key:
        for (int i = 0; i < n; ++i)
          if ((from[i] & 0x00FFFFFFu) != keyRgb) drow[i] = from[i] | Opaque;
        break;
      case TransferOp::Add:
        AddScaledRow(drow, from, n, a);
        break;
      case TransferOp::Blend:
        BlendRow(drow, from, n, a);
        break;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Impl.

QPainter& Canvas::Impl::Painter() {
  if (!painter.isActive()) {
    painter.begin(&image);
    bits = reinterpret_cast<uint32_t*>(image.bits());
    // Shapes without antialiasing, as the drawing semantics want; text smooth.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    mode = QPainter::CompositionMode_SourceOver;
    opacitySet = false;
  }
  return painter;
}

void Canvas::Impl::EndPainting() {
  if (painter.isActive()) painter.end();
}

void Canvas::Impl::SetImage(QImage img) {
  EndPainting();
  if (img.isNull() || img.width() <= 0 || img.height() <= 0) {
    image = QImage();
  } else if (img.format() != QImage::Format_RGB32) {
    image = img.convertToFormat(QImage::Format_RGB32);
  } else {
    image = std::move(img);
  }
  if (image.isNull()) {
    bits = nullptr;
    width = height = stride = 0;
    return;
  }
  bits = reinterpret_cast<uint32_t*>(image.bits());
  width = image.width();
  height = image.height();
  stride = static_cast<int>(image.bytesPerLine() / 4);
}

FontEntry& Canvas::Impl::Font() {
  if (!fontEntry || !(fontEntry->fontSpec == font)) fontEntry = LookupFont(font);
  return *fontEntry;
}

const QFont& Canvas::Impl::QtFont() {
  return Font().font;
}
int Canvas::Impl::FontAscent() {
  return Font().ascent;
}

// ---------------------------------------------------------------------------
// Canvas.

Canvas::Canvas() : impl_(std::make_unique<Impl>()) {}

Canvas::Canvas(int width, int height) : Canvas() {
  SetSize(width, height);
}

Canvas::~Canvas() {
  if (impl_) impl_->EndPainting();
}

Canvas::Canvas(Canvas&&) noexcept = default;
Canvas& Canvas::operator=(Canvas&&) noexcept = default;

int Canvas::Width() const {
  return impl_->width;
}
int Canvas::Height() const {
  return impl_->height;
}

void Canvas::SetSize(int width, int height) {
  Impl& d = *impl_;
  if (width == d.width && height == d.height) return;
  d.EndPainting();
  if (width <= 0 || height <= 0) {
    d.SetImage(QImage());
    return;
  }
  QImage next(width, height, QImage::Format_RGB32);
  next.fill(Opaque);
  const int w = std::min(width, d.width), h = std::min(height, d.height);
  for (int y = 0; y < h; ++y)
    std::copy_n(d.bits + static_cast<ptrdiff_t>(y) * d.stride, w,
                reinterpret_cast<uint32_t*>(next.scanLine(y)));
  d.SetImage(std::move(next));
}

void Canvas::SetPenColour(Colour c) {
  impl_->penColour = c & 0x00FFFFFFu;
}
void Canvas::SetPenWidth(int w) {
  impl_->penWidth = std::max(w, 1);
}
void Canvas::SetPenStyle(PenStyle s) {
  impl_->penStyle = s;
}
void Canvas::SetPenMode(PenMode m) {
  impl_->penMode = m;
}
void Canvas::SetBrushColour(Colour c) {
  impl_->brushColour = c & 0x00FFFFFFu;
}
void Canvas::SetBrushStyle(BrushStyle s) {
  impl_->brushStyle = s;
}
Colour Canvas::PenColour() const {
  return impl_->penColour;
}
Colour Canvas::BrushColour() const {
  return impl_->brushColour;
}
BrushStyle Canvas::GetBrushStyle() const {
  return impl_->brushStyle;
}

void Canvas::SetFont(const FontSpec& f) {
  impl_->font = f;
}
const FontSpec& Canvas::Font() const {
  return impl_->font;
}
void Canvas::SetFontFace(const std::string& face) {
  impl_->font.face = face;
}
void Canvas::SetFontSize(int points) {
  impl_->font.sizePoints = points;
}
void Canvas::SetTextColour(Colour c) {
  impl_->textColour = c & 0x00FFFFFFu;
}
void Canvas::SetTextBackground(bool transparent, Colour background) {
  impl_->textTransparent = transparent;
  impl_->textBackground = background & 0x00FFFFFFu;
}

void Canvas::FillRect(int x1, int y1, int x2, int y2) {
  Impl& d = *impl_;
  if (d.brushStyle == BrushStyle::Clear) return;
  FillBox(d, Normalized(x1, y1, x2, y2), ToArgb(d.brushColour), false);
}

void Canvas::FrameRect(int x1, int y1, int x2, int y2) {
  Impl& d = *impl_;
  if (d.penStyle == PenStyle::Clear) return;
  FrameBox(d, Normalized(x1, y1, x2, y2), d.penWidth, ToArgb(d.penColour),
           d.penMode == PenMode::Xor);
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
  Impl& d = *impl_;
  const Box b = Normalized(x1, y1, x2, y2);
  const bool xorMode = d.penMode == PenMode::Xor;
  Box inner = b;
  if (d.penStyle == PenStyle::Solid) {
    FrameBox(d, b, d.penWidth, ToArgb(d.penColour), xorMode);
    inner = {b.x0 + d.penWidth, b.y0 + d.penWidth, b.x1 - d.penWidth, b.y1 - d.penWidth};
  }
  if (d.brushStyle == BrushStyle::Solid) FillBox(d, inner, ToArgb(d.brushColour), xorMode);
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  Impl& d = *impl_;
  const Box b = Normalized(x1, y1, x2, y2);
  if (b.Empty() || !d.bits) return;
  const bool pen = d.penStyle == PenStyle::Solid, brush = d.brushStyle == BrushStyle::Solid;
  if (!pen && !brush) return;
  const bool xorMode = d.penMode == PenMode::Xor;
  const uint32_t penArgb = ToArgb(d.penColour), brushArgb = ToArgb(d.brushColour);
  const int t = d.penWidth;
  const Box inner{b.x0 + t, b.y0 + t, b.x1 - t, b.y1 - t};
  const int yStart = std::max(b.y0, 0), yEnd = std::min(b.y1, d.height);
  if (b.x1 <= 0 || b.x0 >= d.width) return;
  for (int y = yStart; y < yEnd; ++y) {
    int xs, xe;
    EllipseSpan(b, y, xs, xe);
    if (!pen) {
      FillSpan(d, y, xs, xe + 1, brushArgb, xorMode);
      continue;
    }
    if (inner.Empty() || y < inner.y0 || y >= inner.y1) {
      FillSpan(d, y, xs, xe + 1, penArgb, xorMode);
      continue;
    }
    // Outline ring and interior are disjoint, so that XOR touches each pixel once.
    int is, ie;
    EllipseSpan(inner, y, is, ie);
    is = std::max(is, xs + t);
    ie = std::min(ie, xe - t);
    if (is > ie) {
      FillSpan(d, y, xs, xe + 1, penArgb, xorMode);
      continue;
    }
    FillSpan(d, y, xs, is, penArgb, xorMode);
    FillSpan(d, y, ie + 1, xe + 1, penArgb, xorMode);
    if (brush) FillSpan(d, y, is, ie + 1, brushArgb, xorMode);
  }
}

void Canvas::MoveTo(int x, int y) {
  impl_->position = {x, y};
}

void Canvas::LineTo(int x, int y) {
  Impl& d = *impl_;
  const Point from = d.position;
  d.position = {x, y};
  if (d.penStyle == PenStyle::Clear || !d.bits || from == d.position) return;
  const bool xorMode = d.penMode == PenMode::Xor;
  if (d.penWidth <= 1) {
    ThinLine(d, from.x, from.y, x, y, ToArgb(d.penColour), xorMode);
    return;
  }
  QPainter& p = d.Painter();
  SetMode(d,
          xorMode ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
  p.setPen(QPen(ToQColor(d.penColour), d.penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(x + 0.5, y + 0.5));
}

void Canvas::TextOut(int x, int y, std::string_view text, Encoding enc) {
  Impl& d = *impl_;
  if (text.empty() || !d.bits) return;
  FontEntry& f = d.Font();
  TextShape& s = f.Shape(text, enc);
  if (!d.textTransparent)
    FillBox(d, {x, y, x + s.width, y + f.ascent + f.descent}, ToArgb(d.textBackground), false);
  if (s.runs.isEmpty()) return;
  // Quick rejection of texts entirely outside the surface (scrolled lines).
  if (x >= d.width || y >= d.height || y + f.ascent + f.descent < 0 ||
      x + s.width + f.font.pixelSize() < 0)
    return;
  // Up to 64 px Qt draws from its own glyph cache, cheaply enough for a text
  // drawn once; a text drawn again, or larger, goes through its mask.
  const TextMask* mask = nullptr;
  if ((s.draws > 0 || f.font.pixelSize() > 64) && !s.noMask) {
    mask = Masks().Find(s.serial);
    if (!mask) {
      if (auto made = RenderMask(f, s))
        mask = Masks().Add(s.serial, std::move(made));
      else
        s.noMask = true;
    }
  }
  ++s.draws;
  if (mask) {
    if (!mask->image.isNull()) BlendMask(d, *mask, x, y, ToArgb(d.textColour));
    return;
  }
  QPainter& p = d.Painter();
  SetMode(d, QPainter::CompositionMode_SourceOver);
  p.setPen(ToQColor(d.textColour));
  const QPointF origin(x, y + f.ascent - s.lineAscent);
  for (const QGlyphRun& run : s.runs) p.drawGlyphRun(origin, run);
}

int Canvas::TextWidth(std::string_view text, Encoding enc) {
  if (text.empty()) return 0;
  return impl_->Font().Shape(text, enc).width;
}

int Canvas::TextHeight(std::string_view, Encoding) {
  FontEntry& f = impl_->Font();
  return f.ascent + f.descent;
}

Colour Canvas::Pixel(int x, int y) const {
  const Impl& d = *impl_;
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) return 0;
  return FromArgb(d.bits[static_cast<ptrdiff_t>(y) * d.stride + x]);
}

void Canvas::SetPixel(int x, int y, Colour c) {
  Impl& d = *impl_;
  if (x < 0 || y < 0 || x >= d.width || y >= d.height) return;
  Pixels(d)[static_cast<ptrdiff_t>(y) * d.stride + x] = ToArgb(c);
}

void Canvas::CopyFrom(int dx, int dy, const Canvas& src, int sx, int sy, int w, int h) {
  Impl& d = *impl_;
  const Impl& s = *src.impl_;
  if (w <= 0 || h <= 0 || !d.bits || !s.bits) return;
  // Clip to the source, then to this surface.
  if (sx < 0) dx -= sx, w += sx, sx = 0;
  if (sy < 0) dy -= sy, h += sy, sy = 0;
  w = std::min(w, s.width - sx);
  h = std::min(h, s.height - sy);
  if (dx < 0) sx -= dx, w += dx, dx = 0;
  if (dy < 0) sy -= dy, h += dy, dy = 0;
  w = std::min(w, d.width - dx);
  h = std::min(h, d.height - dy);
  if (w <= 0 || h <= 0) return;
  uint32_t* dp = Pixels(d);
  const uint32_t* sp = s.bits;  // after Pixels(): the same buffer when src is this
  const size_t bytes = static_cast<size_t>(w) * 4;
  if (&s == &d && dy > sy) {
    for (int j = h - 1; j >= 0; --j)
      std::memmove(dp + static_cast<ptrdiff_t>(dy + j) * d.stride + dx,
                   sp + static_cast<ptrdiff_t>(sy + j) * s.stride + sx, bytes);
  } else {
    for (int j = 0; j < h; ++j)
      std::memmove(dp + static_cast<ptrdiff_t>(dy + j) * d.stride + dx,
                   sp + static_cast<ptrdiff_t>(sy + j) * s.stride + sx, bytes);
  }
}

void Canvas::Draw(int dx, int dy, const Canvas& src) {
  CopyFrom(dx, dy, src, 0, 0, src.Width(), src.Height());
}

void Canvas::StretchFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy, int sw,
                         int sh) {
  if (dw == sw && dh == sh && dw > 0 && dh > 0) {
    CopyFrom(dx, dy, src, sx, sy, dw, dh);
    return;
  }
  if (&src == this) {
    Canvas copy(std::abs(sw), std::abs(sh));
    copy.CopyFrom(0, 0, src, std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw),
                  std::abs(sh));
    StretchFrom(dx, dy, dw, dh, copy, sw < 0 ? copy.Width() : 0, sh < 0 ? copy.Height() : 0, sw,
                sh);
    return;
  }
  Transfer(*impl_, dx, dy, dw, dh, *src.impl_, sx, sy, sw, sh, TransferOp::Copy, 0, 0);
}

void Canvas::AlphaBlendFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy,
                            int sw, int sh, int alpha, bool premultipliedSourceAlpha) {
  Impl& d = *impl_;
  // Like the blend the layers were designed around: no mirroring, nothing at alpha 0.
  if (alpha <= 0 || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !d.bits || !src.impl_->bits) return;
  alpha = std::min(alpha, 255);
  if (&src == this) {
    Canvas copy(sw, sh);
    copy.CopyFrom(0, 0, src, sx, sy, sw, sh);
    AlphaBlendFrom(dx, dy, dw, dh, copy, 0, 0, sw, sh, alpha, premultipliedSourceAlpha);
    return;
  }
  if (premultipliedSourceAlpha) {
    // The source's alpha bytes count as 0 (decoded pictures carry none): dst + src * alpha.
    Transfer(d, dx, dy, dw, dh, *src.impl_, sx, sy, sw, sh, TransferOp::Add, 0, alpha);
    return;
  }
  if (alpha == 255) {
    StretchFrom(dx, dy, dw, dh, src, sx, sy, sw, sh);
    return;
  }
  Transfer(d, dx, dy, dw, dh, *src.impl_, sx, sy, sw, sh, TransferOp::Blend, 0, alpha);
}

void Canvas::TransparentFrom(int dx, int dy, int dw, int dh, const Canvas& src, int sx, int sy,
                             int sw, int sh, Colour key) {
  if (&src == this) {
    Canvas copy(std::abs(sw), std::abs(sh));
    copy.CopyFrom(0, 0, src, std::min(sx, sx + sw), std::min(sy, sy + sh), std::abs(sw),
                  std::abs(sh));
    TransparentFrom(dx, dy, dw, dh, copy, sw < 0 ? copy.Width() : 0, sh < 0 ? copy.Height() : 0, sw,
                    sh, key);
    return;
  }
  Transfer(*impl_, dx, dy, dw, dh, *src.impl_, sx, sy, sw, sh, TransferOp::Key, ToArgb(key), 0);
}

const uint32_t* Canvas::Bits() const {
  return impl_->bits;
}

int Canvas::BytesPerLine() const {
  return impl_->stride * 4;
}

bool Canvas::SavePng(const std::string& path) const {
  Impl& d = *const_cast<Impl*>(impl_.get());
  if (!d.bits) return false;
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!d.Image().save(&buffer, "PNG")) return false;
  return WriteFileAtomically(path, std::string(data.constData(), static_cast<size_t>(data.size())));
}

bool Canvas::LoadImageFile(const std::string& path) {
  // Read the bytes ourselves: the path is bytes, perhaps not in the locale's encoding.
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  QImage img;
  if (!img.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                        static_cast<int>(bytes.size())))
    return false;
  impl_->SetImage(std::move(img));
  return impl_->bits != nullptr;
}

}  // namespace quib
