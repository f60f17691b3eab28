#include "platform/profile.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace quib {

namespace {

constexpr size_t MaxValueBytes = 2047;  // the 2048-byte buffer of the profile functions

struct Line {
  size_t begin;  // first byte
  size_t end;    // one past the last byte before the line end
  size_t next;   // first byte of the next line
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t start = 0;
  // A UTF-8 byte order mark is not part of the first line's text.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
  const size_t n = text.size();
  for (size_t i = start; i < n; ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    size_t next = (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? i + 2 : i + 1;
    lines.push_back({start, i, next});
    start = next;
    i = next - 1;
  }
  if (start < n) lines.push_back({start, n, n});
  return lines;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

// The name of a "[name]" line, or false when the line is not a section header.
bool SectionName(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  size_t close = line.find(']');
  name = Trim(close == std::string_view::npos ? line : line.substr(0, close));
  return true;
}

// Key and raw value of a "key=value" line.
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

// Where a key stands in the text.
struct Location {
  bool sectionFound = false;
  size_t sectionLine = 0;  // index of the header line
  size_t lastContent = 0;  // index of the last non-blank line of the section (the header at least)
  bool keyFound = false;
  size_t keyLine = 0;
};

Location Find(std::string_view text, const std::vector<Line>& lines, std::string_view section,
              std::string_view key) {
  Location loc;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
    std::string_view name;
    if (SectionName(line, name)) {
      if (inSection) break;  // only the first section of that name counts
      if (EqualNoCase(name, Trim(section))) {
        inSection = true;
        loc.sectionFound = true;
        loc.sectionLine = loc.lastContent = i;
      }
      continue;
    }
    if (!inSection) continue;
    if (!Trim(line).empty()) loc.lastContent = i;
    std::string_view k, v;
    if (!loc.keyFound && KeyValue(line, k, v) && EqualNoCase(k, Trim(key))) {
      loc.keyFound = true;
      loc.keyLine = i;
    }
  }
  return loc;
}

std::string ReadFileOrEmpty(const std::string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) bytes.clear();
  return bytes;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Profile::Profile(std::string path, int newFileMode)
    : path_(std::move(path)), newFileMode_(newFileMode), text_(ReadFileOrEmpty(path_)) {}

void Profile::Reload() {
  text_ = ReadFileOrEmpty(path_);
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def) const {
  std::vector<Line> lines = SplitLines(text_);
  Location loc = Find(text_, lines, section, key);
  if (!loc.keyFound) return def;
  const Line& l = lines[loc.keyLine];
  std::string_view k, v;
  KeyValue(std::string_view(text_).substr(l.begin, l.end - l.begin), k, v);
  // The profile functions drop one pair of enclosing quotes.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  if (v.size() > MaxValueBytes) v = v.substr(0, MaxValueBytes);
  return std::string(v);
}

bool ParseProfileInteger(const std::string& text, int& value) {
  std::string_view s = Trim(text);
  // "0x1F" reads as hexadecimal only when it is longer than 2 characters.
  bool hex = false;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  bool negative = false;
  if (!hex && !s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (!hex && !s.empty() && s[0] == '$') {
    hex = true;
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  if (hex) {
    // Up to 32 bits, taken as a signed 32-bit value ("$FFFFFFFF" is -1).
    uint64_t v = 0;
    for (char c : s) {
      int d = HexDigit(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFull) return false;
    }
    uint32_t bits = static_cast<uint32_t>(v);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
    return true;
  }
  int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648ll) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

int Profile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  int v;
  return ParseProfileInteger(ReadString(section, key, std::string()), v) ? v : def;
}

bool Profile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
  // Start from the file as it is now, not from the copy: someone may have edited it.
  std::string text;
  if (!ReadFileBytes(path_, text)) {
    if (PathExists(path_)) return false;  // there but unreadable: never overwrite it blindly
    text.clear();
  }
  std::vector<Line> lines = SplitLines(text);
  // New lines take the file's own line end.
  std::string eol = "\r\n";
  if (!lines.empty() && lines[0].next > lines[0].end)
    eol = text.substr(lines[0].end, lines[0].next - lines[0].end);

  Location loc = Find(text, lines, section, key);
  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (loc.keyFound) {
    const Line& l = lines[loc.keyLine];
    size_t eq = text.find('=', l.begin);
    out.append(text, 0, eq + 1);
    out += value;
    out.append(text, l.end, std::string::npos);
  } else if (loc.sectionFound) {
    const Line& l = lines[loc.lastContent];
    out.append(text, 0, l.next);
    if (l.next == l.end) out += eol;  // the last line had no line end
    out += key + "=" + value + eol;
    out.append(text, l.next, std::string::npos);
  } else {
    out = text;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
    out += "[" + section + "]" + eol + key + "=" + value + eol;
  }
  if (!WriteFileAtomically(path_, out, newFileMode_)) return false;
  text_ = std::move(out);
  return true;
}

bool Profile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteBool(const std::string& section, const std::string& key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

}  // namespace quib
