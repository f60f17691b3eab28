#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quib {

namespace {

constexpr char16_t Replacement = 0xFFFD;

// Length of the well-formed UTF-8 sequence at s[i] (no overlongs, no
// surrogates, nothing above U+10FFFF), or 0 when there is none.
size_t Utf8SequenceAt(std::string_view s, size_t i, char32_t* cp = nullptr) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) {
    if (cp) *cp = c;
    return 1;
  }
  size_t n;
  char32_t v;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    v = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    v = c & 0x0F;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    v = c & 0x07;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    unsigned char t = b(i + k);
    if (k == 1 ? (t < lo || t > hi) : (t < 0x80 || t > 0xBF)) return 0;
    v = (v << 6) | (t & 0x3F);
  }
  if (cp) *cp = v;
  return n;
}

bool IsCp932Lead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character that starts at s[i] when walking the text.
size_t StepAt(std::string_view s, size_t i, Encoding enc) {
  if (enc == Encoding::Utf8) {
    size_t n = Utf8SequenceAt(s, i);
    return n ? n : 1;
  }
  if (IsCp932Lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) return 2;
  return 1;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// One conversion descriptor per thread and direction: iconv_open is far too
// slow for the drawing path, and a descriptor must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }

 private:
  iconv_t cd_;
};

// "CP932", not "SHIFT_JIS": only the former keeps 0x5C a backslash like the Windows code page.
Converter& Cp932ToUtf16() {
  thread_local Converter c("UTF-16LE", "CP932");
  return c;
}

Converter& Utf8ToCp932() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

std::u16string DecodeCp932(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  const size_t n = bytes.size();
  Converter& conv = Cp932ToUtf16();
  char buf[512];
  while (i < n) {
    // ASCII maps to itself in CP932; only the other runs go through iconv.
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    size_t end = i;
    while (end < n && static_cast<unsigned char>(bytes[end]) >= 0x80) ++end;
    // A trail byte may be ASCII (0x40..0x7E): give iconv the byte after the run too.
    if (end < n) ++end;
    if (!conv.ok()) {
      for (; i < end; ++i) out.push_back(Replacement);
      continue;
    }
    iconv_t cd = conv.get();
    char* in = const_cast<char*>(bytes.data() + i);
    size_t inLeft = end - i;
    while (inLeft > 0) {
      char* o = buf;
      size_t oLeft = sizeof buf;
      size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
      int err = errno;
      for (char* p = buf; p + 1 < o; p += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                            (static_cast<unsigned char>(p[1]) << 8)));
      if (r != static_cast<size_t>(-1)) break;
      if (err == E2BIG) continue;
      // EILSEQ or EINVAL (a lead byte without its trail): one replacement, skip one byte.
      out.push_back(Replacement);
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    i = end;
  }
  return out;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp;
    size_t len = Utf8SequenceAt(bytes, i, &cp);
    if (len == 0) {
      out.push_back(Replacement);
      ++i;
    } else {
      AppendUtf16(out, cp);
      i += len;
    }
  }
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    // Plain ASCII eight bytes at a time: most text is ASCII.
    if (i + 8 <= bytes.size()) {
      uint64_t w;
      std::memcpy(&w, bytes.data() + i, 8);
      if ((w & 0x8080808080808080ull) == 0) {
        i += 8;
        continue;
      }
    }
    size_t n = Utf8SequenceAt(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

Encoding ResolveEncoding(std::string_view bytes, Encoding hint) {
  if (hint != Encoding::Auto) return hint;
  return IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
}

bool IsLeadByteAt(std::string_view text, size_t pos, Encoding enc) {
  if (pos >= text.size()) return false;
  enc = ResolveEncoding(text, enc);
  size_t i = 0;
  while (i < pos) i += StepAt(text, i, enc);
  return i == pos && StepAt(text, pos, enc) > 1;
}

bool IsLeadByte(unsigned char c, Encoding enc) {
  if (enc == Encoding::Utf8) return c >= 0xC2 && c <= 0xF4;
  return IsCp932Lead(c);
}

int CharLength(unsigned char c, Encoding enc) {
  if (enc == Encoding::Utf8) {
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 1;
  }
  return IsCp932Lead(c) ? 2 : 1;
}

bool HasMultiByte(std::string_view text, Encoding enc) {
  enc = ResolveEncoding(text, enc);
  for (size_t i = 0; i < text.size();) {
    size_t n = StepAt(text, i, enc);
    if (n > 1) return true;
    i += n;
  }
  return false;
}

std::u16string DecodeToUtf16(std::string_view bytes, Encoding enc) {
  if (ResolveEncoding(bytes, enc) == Encoding::Utf8) return DecodeUtf8(bytes);
  return DecodeCp932(bytes);
}

std::string DecodeToUtf8(std::string_view bytes, Encoding enc) {
  enc = ResolveEncoding(bytes, enc);
  if (enc == Encoding::Utf8 && IsValidUtf8(bytes)) return std::string(bytes);
  std::u16string u = DecodeToUtf16(bytes, enc);
  std::string out;
  out.reserve(u.size() * 3);
  for (size_t i = 0; i < u.size(); ++i) {
    char32_t cp = u[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < u.size() && u[i + 1] >= 0xDC00 &&
        u[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string EncodeCp932(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  Converter& conv = Utf8ToCp932();
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    size_t len = Utf8SequenceAt(utf8, i);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    char buf[8];
    char* in = const_cast<char*>(utf8.data() + i);
    size_t inLeft = len;
    char* o = buf;
    size_t oLeft = sizeof buf;
    if (conv.ok() && iconv(conv.get(), &in, &inLeft, &o, &oLeft) != static_cast<size_t>(-1) &&
        inLeft == 0)
      out.append(buf, static_cast<size_t>(o - buf));
    else
      out.push_back('?');
    i += len;
  }
  return out;
}

}  // namespace quib
