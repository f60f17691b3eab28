#include "lyrics/line_ops.h"

#include <algorithm>
#include <cstdint>

#include "lyrics/lyric_text.h"

namespace quib {

namespace {

constexpr Colour DefaultLyricColour = 0xFFFFFF;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return c - 'a' + 10;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Step 1 of the stripping: leading time tag and karaoke tags, up to the
// first bracket pair that is not a 10-byte tag. Every "[" and "]" before
// the point reached has been removed, so searching on from there finds
// what a search from the start of the shortened line would find.
void StripTimeTags(std::string_view line, Encoding enc, std::string& out) {
  size_t cur = 0;
  for (;;) {
    size_t open = lyric_text::FindChar(line, '[', cur, enc);
    if (open == std::string_view::npos) break;
    size_t close = lyric_text::FindChar(line, ']', cur, enc);
    if (close == std::string_view::npos || close != open + 9) break;
    out.append(line.substr(cur, open - cur));
    cur = open + 10;
  }
  out.append(line.substr(cur));
}

// Step 2: backslash tags, by the lengths their shapes give.
void StripBackslashTags(std::string_view line, Encoding enc, std::string& out) {
  size_t cur = 0;
  const auto is = [&](size_t pos, char c) { return pos < line.size() && line[pos] == c; };
  for (;;) {
    size_t p = lyric_text::FindChar(line, '\\', cur, enc);
    if (p == std::string_view::npos) break;
    out.append(line.substr(cur, p - cur));
    size_t u = is(p + 1, '_') ? 1 : 0;
    size_t length = 2;
    if (is(p + u + 1, 'w')) length = 3;
    if (is(p + u + 4, ']')) length = 5;
    if (is(p + u + 5, ']')) length = 6;
    if (is(p + u + 6, ']')) length = 7;
    if (is(p + u + 7, ']')) length = 8;
    size_t end = std::min(line.size(), p + length + u);
    // A tag must not end inside a multi-byte character: a backslash before
    // "あ" would take its first byte and leave a broken character behind.
    for (size_t i = p; i < end;) {
      size_t step = lyric_text::CharLengthAt(line, i, enc);
      if (i + step > end) {
        end = std::max(i, p + 1);
        break;
      }
      i += step;
    }
    cur = end;
  }
  out.append(line.substr(cur));
}

// Reads bracket content as a decimal integer as it arrives, so the frame's
// split never has to keep the content itself.
class DecimalReader {
 public:
  void Reset() { *this = DecimalReader(); }
  void Push(char c) {
    if (bad_) return;
    if (count_++ == 0 && (c == '+' || c == '-')) {
      negative_ = c == '-';
      return;
    }
    if (!IsDigit(c)) {
      bad_ = true;
      return;
    }
    digits_ = true;
    value_ = value_ * 10 + (c - '0');
    if (value_ > int64_t{2147483648}) bad_ = true;
  }
  // The value; 0 when the content does not read as an int.
  int64_t Value() const {
    if (bad_ || !digits_) return 0;
    int64_t v = negative_ ? -value_ : value_;
    return v > 2147483647 ? 0 : v;
  }

 private:
  int64_t value_ = 0;
  size_t count_ = 0;
  bool negative_ = false;
  bool digits_ = false;
  bool bad_ = false;
};

// Running times are sums of waits from the file; keep them far from
// overflow while staying exact for any real song.
constexpr int64_t TimeLimit = int64_t{1} << 40;
int64_t ClampTime(int64_t t) {
  return std::clamp(t, -TimeLimit, TimeLimit);
}

int TwoDigitField(const char* p) {
  return lyric_text::DecimalOrZero(std::string_view(p, 2));
}

size_t ShownCharLength(std::string_view s, size_t i, Encoding enc) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = 1;
  if (enc == Encoding::Utf8) {
    n = static_cast<size_t>(CharLength(c, Encoding::Utf8));
  } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF)) {
    n = 2;
  }
  return std::min(n, s.size() - i);
}

}  // namespace

Colour TakeColourTag(std::string& line) {
  int m = 0;
  size_t open = 0;
  char digits[6];
  int count = 0;
  bool complete = false;
  for (size_t i = 0; i < line.size() && !complete; ++i) {
    char c = line[i];
    if (c == '[') {
      // Every "[" starts a tag afresh: counting it into a tag already under
      // way would accept "[#1[2345]" and delete text after it.
      m = 1;
      open = i;
      count = 0;
    } else if (c == '#' && m == 1) {
      m = 2;
    } else if (IsHexDigit(c) && m >= 2) {
      ++m;
      if (count < 6) digits[count] = c;
      ++count;
    } else if (c == ']' && m == 8) {
      complete = true;
    } else {
      m = 0;
      count = 0;
    }
  }
  if (!complete) return DefaultLyricColour;
  // RRGGBB in the file; the platform colour keeps red in the low byte.
  Colour r = static_cast<Colour>(HexValue(digits[0]) * 16 + HexValue(digits[1]));
  Colour g = static_cast<Colour>(HexValue(digits[2]) * 16 + HexValue(digits[3]));
  Colour b = static_cast<Colour>(HexValue(digits[4]) * 16 + HexValue(digits[5]));
  line.erase(open, 9);
  return r | (g << 8) | (b << 16);
}

std::string StripLyricTags(std::string_view line, Encoding enc) {
  enc = lyric_text::Resolve(line, enc);
  std::string timeless;
  timeless.reserve(line.size());
  StripTimeTags(line, enc, timeless);
  std::string out;
  out.reserve(timeless.size());
  StripBackslashTags(timeless, enc, out);
  return out;
}

std::string StripLyricTagsKeepTime(std::string_view line, Encoding enc) {
  enc = lyric_text::Resolve(line, enc);
  if (lyric_text::FindChar(line, '[', 0, enc) == 0 &&
      lyric_text::FindChar(line, ']', 0, enc) == 9) {
    std::string out(line.substr(0, 10));
    out += StripLyricTags(line, enc);
    return out;
  }
  return StripLyricTags(line, enc);
}

void SplitKaraokeLine(int clock, std::string_view line, int nextStart, Encoding enc,
                      KaraokeSplit& out) {
  std::string& d = out.UpToCurrent;
  d.clear();
  out.DoneText.clear();
  out.RestText.clear();
  out.PieceProgress = 0;

  size_t begin = 0, end = line.size();
  while (begin < end && static_cast<unsigned char>(line[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(line[end - 1]) <= 0x20) --end;
  const std::string_view s = line.substr(begin, end - begin);
  if (!(s.size() >= 10 && s[0] == '[' && s[9] == ']')) {
    out.RestText.assign(s);
    return;
  }
  if (enc == Encoding::Auto) enc = ResolveEncoding(s);

  const int64_t t0 = int64_t{TwoDigitField(&s[1])} * 60000 + TwoDigitField(&s[4]) * 1000 +
                     TwoDigitField(&s[7]) * 10;
  int kind = 1;  // 1 untagged, 2 karaoke, 3 ukagaka, 4 waits
  int64_t r = t0, start = t0;
  size_t markLen = 0;  // G: always a prefix of D, so its length says it all
  size_t doneLen = 0;
  bool found = false;
  // The backslash name in force: only its length and first two bytes matter.
  size_t nameLen = 0;
  char name[2] = {0, 0};
  bool readingName = false;
  bool bracketOpen = false;
  size_t contentLen = 0;
  char head[8];
  DecimalReader contentNumber;

  const auto nameIs = [&](std::string_view n) {
    return nameLen == n.size() && name[0] == n[0] && (n.size() < 2 || name[1] == n[1]);
  };
  const auto mark = [&] {
    if (!found && clock < r) {
      found = true;
      if (start < r && start < clock) {
        int64_t p = (clock - start) * 10000 / (r - start);
        out.PieceProgress = (p < 0 || p > 10000) ? 0 : static_cast<int>(p);
      }
    }
    doneLen = markLen;
    if (markLen != d.size() && !found) {
      markLen = d.size();
      start = r;
    }
  };

  for (size_t i = 10; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\') {
      readingName = true;
      nameLen = 0;
    } else if (c == '[') {
      bracketOpen = true;
      contentLen = 0;
      contentNumber.Reset();
      readingName = false;
    } else if (c == ']' && bracketOpen) {
      if (nameLen > 0) {
        if (kind == 1) kind = 3;
        if (nameIs("_w")) r = ClampTime(r + contentNumber.Value());
      } else if (contentLen == 8) {
        if (kind == 1) kind = 2;
        r = int64_t{TwoDigitField(&head[0])} * 60000 + TwoDigitField(&head[3]) * 1000 +
            TwoDigitField(&head[6]) * 10;
      }
      bracketOpen = false;
      mark();
    } else if (bracketOpen) {
      if (contentLen < 8) head[contentLen] = c;
      ++contentLen;
      contentNumber.Push(c);
    } else if (readingName) {
      if (nameLen < 2) name[nameLen] = c;
      ++nameLen;
      if ((c >= 'a' && c <= 'z') || IsDigit(c)) readingName = false;
    } else if (IsDigit(c) && nameIs("w")) {
      nameLen = 0;
      if (kind == 1) kind = 4;
      r = ClampTime(r + (c - '0') * 60);
      if (i + 2 < s.size() && s[i + 1] == '\\' && s[i + 2] == 'w') {
        // Waits in a row hold the piece start until the last of them.
        start = r;
      } else {
        mark();
      }
    } else {
      // Shown text runs on until a byte that could start a tag; taking the
      // run at once keeps the per-frame split cheap.
      const bool waitName = nameIs("w");
      size_t j = i + ShownCharLength(s, i, enc);
      while (j < s.size() && s[j] != '\\' && s[j] != '[' && !(waitName && IsDigit(s[j]))) {
        j += ShownCharLength(s, j, enc);
      }
      (found ? out.RestText : d).append(s.substr(i, j - i));
      i = j - 1;
    }
  }

  if (!found) {
    if (kind < 2) {
      out.PieceProgress = 0;
    } else {
      // The piece after the last tag is what remains: what came before it
      // has been sung, for waits as for karaoke tags (the text before the
      // last wait would otherwise be wiped a second time).
      doneLen = markLen;
      int64_t span = int64_t{nextStart} - start;
      if (kind == 2 || kind == 3) span = std::min<int64_t>(span, 3000);
      int64_t p = span <= 0 ? 0 : (int64_t{clock} - start) * 15000 / span;
      // Only a line whose tags run backwards gets here before its start.
      out.PieceProgress = static_cast<int>(std::clamp<int64_t>(p, 0, 10000));
    }
  }
  out.DoneText.assign(d, 0, doneLen);
}

}  // namespace quib
