#include "lyrics/lyrics_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "lyrics/lyric_text.h"
#include "platform/files.h"

namespace quib {

namespace {

constexpr int64_t IntMax = std::numeric_limits<int>::max();
constexpr int64_t IntMin = std::numeric_limits<int>::min();

int ClampToInt(int64_t v) {
  return static_cast<int>(std::clamp(v, IntMin, IntMax));
}

bool IsScanSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// One "%d" of a scanf pattern: white space, an optional sign, digits.
// Saturates instead of overflowing.
bool ScanInt(std::string_view s, size_t& i, int64_t& value) {
  while (i < s.size() && IsScanSpace(s[i])) ++i;
  size_t j = i;
  bool negative = false;
  if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
  if (j >= s.size() || s[j] < '0' || s[j] > '9') return false;
  int64_t v = 0;
  for (; j < s.size() && s[j] >= '0' && s[j] <= '9'; ++j)
    v = std::min<int64_t>(v * 10 + (s[j] - '0'), IntMax);
  value = negative ? -v : v;
  i = j;
  return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A decimal number with optional surrounding blanks, as a finite float.
bool ReadFloat(std::string_view s, float& value) {
  while (!s.empty() && IsScanSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsScanSpace(s.back())) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return false;
  // from_chars would also take "inf" and "nan"; a ratio is digits.
  char first = s.front() == '-' && s.size() > 1 ? s[1] : s.front();
  if (!(first >= '0' && first <= '9') && first != '.') return false;
  float v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string FormatTimeTag64(int64_t ms) {
  // The interpolation keeps times within the int range; clamp for safety
  // of the format arithmetic all the same.
  int t = ClampToInt(ms);
  char buf[48];
  std::snprintf(buf, sizeof buf, "[%02d:%02d:%02d]", (t / 1000) / 60, (t / 1000) % 60,
                (t / 10) % 100);
  return buf;
}

bool ContainsChar(std::string_view rest, char c, Encoding enc) {
  return lyric_text::FindChar(rest, c, 0, enc) != std::string_view::npos;
}

}  // namespace

int ParseTimeTag(std::string_view tag) {
  int64_t field[3] = {0, 0, 0};
  size_t i = 0;
  if (i < tag.size() && tag[i] == '[') {
    ++i;
    for (int f = 0; f < 3; ++f) {
      if (f > 0) {
        if (i >= tag.size() || tag[i] != ':') break;
        ++i;
      }
      if (!ScanInt(tag, i, field[f])) break;
    }
  }
  return ClampToInt(field[0] * 60000 + field[1] * 1000 + field[2] * 10);
}

std::string FormatTimeTag(int ms) {
  return FormatTimeTag64(ms);
}

bool BeginsWithTimeTag(std::string_view line) {
  return line.size() >= 10 && line[0] == '[' && line[9] == ']';
}

int ClassifyLyrics(const std::vector<std::string>& lines, Encoding enc) {
  if (enc == Encoding::Auto) {
    enc = Encoding::Utf8;
    for (const auto& l : lines) {
      if (!IsValidUtf8(l)) {
        enc = Encoding::Cp932;
        break;
      }
    }
  }
  const int64_t third = static_cast<int64_t>(lines.size()) / 3;
  int64_t a = 0, b = 0, c = 0;
  for (const auto& l : lines) {
    std::string_view rest = std::string_view(l).substr(std::min<size_t>(1, l.size()), 256);
    if (ContainsChar(rest, ']', enc)) ++a;
    if (ContainsChar(rest, '[', enc)) ++b;
    if (ContainsChar(rest, '\\', enc)) ++c;
  }
  int type = kTagPlain;
  if (a > third) {
    type = kTagTime;
    if (b > third) type = kTagKaraoke;
    if (c > third) type = kTagUkagaka;
  }
  return type;
}

float ReadTimeRatio(const std::vector<std::string>& lines) {
  for (const auto& l : lines) {
    size_t eq = l.find('=');
    if (eq == std::string::npos) continue;
    std::string_view line(l);
    if (!EqualsNoCase(line.substr(0, eq), "@TimeRatio")) continue;
    float ratio = 1.0f;
    // A value that does not read leaves the words in step with the music.
    if (!ReadFloat(line.substr(eq + 1), ratio)) ratio = 1.0f;
    return ratio;
  }
  return 1.0f;
}

void DropNonLyricLines(std::vector<std::string>& lines, int tagType) {
  if (tagType >= kTagTime) {
    std::erase_if(lines, [](const std::string& l) {
      return l.empty() || l[0] == '@' || StartsWith(l, "//") || StartsWith(l, "--------");
    });
  }
  lines.emplace_back();
}

std::vector<std::string> BuildLineTimes(const std::vector<std::string>& lines, bool musicOpened,
                                        int songLength) {
  std::vector<std::string> times;
  times.reserve(lines.size());
  const int64_t last = static_cast<int64_t>(lines.size()) - 1;
  int64_t q = -1;
  int64_t p = 0;
  for (int64_t r = 0; r <= last; ++r) {
    const std::string& line = lines[static_cast<size_t>(r)];
    if (!BeginsWithTimeTag(line) && r != last) continue;
    int64_t t = ParseTimeTag(line);
    if (r == last && !(!line.empty() && line[0] == '[' && line.find(']') != std::string::npos)) {
      t = musicOpened ? songLength : std::min<int64_t>((r - q) * 3000 + p, IntMax);
    }
    for (int64_t k = q + 1; k <= r; ++k) {
      int64_t v;
      if (k == r) {
        v = t;
      } else if (q >= 0) {
        v = ((t - p) / (r - q)) * (k - q) + p;
      } else {
        v = ((t - p) / r) * k + p;
      }
      times.push_back(FormatTimeTag64(v));
    }
    p = t;
    q = r;
  }
  return times;
}

bool ReadLyricsFile(const std::string& path, std::vector<std::string>& lines, Encoding& enc) {
  lines.clear();
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  SplitLyricsText(bytes, lines, enc);
  return true;
}

void SplitLyricsText(std::string_view bytes, std::vector<std::string>& lines, Encoding& enc) {
  lines.clear();
  enc = IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
  size_t start = 0;
  // Editors that mark UTF-8 with a byte order mark would otherwise hide the
  // first line's leading tag behind it.
  if (enc == Encoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF")) start = 3;
  const size_t n = bytes.size();
  for (size_t i = start; i < n; ++i) {
    char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(bytes.substr(start, i - start));
    if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(bytes.substr(start));
}

}  // namespace quib
