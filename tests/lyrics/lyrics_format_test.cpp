#include "lyrics/lyrics_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace quib {
namespace {

using Lines = std::vector<std::string>;

TEST(TimeTag, ReadsWithTheScanPattern) {
  struct Case {
    const char* tag;
    int ms;
  } cases[] = {
      {"[00:00:00]", 0},    {"[01:02:03]", 62030},
      {"[1:2:3]", 62030},  // not 10 bytes, still read by the pattern
      {"[05]", 300000},    // stops after the minutes
      {"[00:xx:50]", 0},   // a field that does not read ends the reading
      {"[00:07:xx]", 7000}, {"[-1:00:00]", -60000},
      {"abc", 0},           {"[99999999:00:00]", 2147483647},  // clamped, no overflow
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTimeTag(c.tag), c.ms) << c.tag;
}

TEST(TimeTag, WritesTheCanonicalForm) {
  struct Case {
    int ms;
    const char* tag;
  } cases[] = {
      {0, "[00:00:00]"},      {4500, "[00:04:50]"},     {62039, "[01:02:03]"},
      {599990, "[09:59:99]"}, {6000000, "[100:00:00]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatTimeTag(c.ms), c.tag) << c.ms;
    EXPECT_EQ(ParseTimeTag(FormatTimeTag(c.ms)), c.ms / 10 * 10) << c.ms;
  }
}

// n lines, the first k of which carry text after their first byte.
Lines Numbered(int n, int k, const std::string& withTag) {
  Lines lines;
  for (int i = 0; i < n; ++i) lines.push_back(i < k ? withTag : "plain words");
  return lines;
}

TEST(ClassifyLyrics, CountsAgainstOneThirdOfTheLines) {
  struct Case {
    const char* name;
    Lines lines;
    int type;
  } cases[] = {
      {"3 of 9 closing brackets", Numbered(9, 3, "[00:01:00]a"), kTagPlain},
      {"4 of 9 closing brackets", Numbered(9, 4, "[00:01:00]a"), kTagTime},
      {"1 of 2", Numbered(2, 1, "[00:01:00]a"), kTagTime},
      {"karaoke", Numbered(9, 4, "[00:01:00]a[00:02:00]"), kTagKaraoke},
      {"ukagaka wins over karaoke", Numbered(9, 4, "[00:01:00]a\\w5[00:02:00]"), kTagUkagaka},
      {"only brackets open", Numbered(9, 9, "x[x\\"), kTagPlain},
      {"the first byte does not count", Numbered(2, 2, "]abc"), kTagPlain},
      {"beyond byte 257 does not count", Numbered(2, 2, "x" + std::string(256, 'a') + "]"),
       kTagPlain},
      {"byte 257 counts", Numbered(2, 2, "x" + std::string(255, 'a') + "]"), kTagTime},
      // The "]" is the second byte of a Shift-JIS character (0x81 0x5D), not a tag.
      {"trail byte", Numbered(2, 2, "x\x81]"), kTagPlain},
      {"no lines", Lines{}, kTagPlain},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyLyrics(c.lines), c.type) << c.name;
}

TEST(ReadTimeRatio, TakesTheFirstDirective) {
  struct Case {
    Lines lines;
    float ratio;
  } cases[] = {
      {{"[00:01:00]a"}, 1.0f},
      {{"x", "@TimeRatio=1.5"}, 1.5f},
      {{"@timeratio= 0.5 "}, 0.5f},
      {{"@TimeRatio=2", "@TimeRatio=3"}, 2.0f},
      {{"@TimeRatio=abc", "@TimeRatio=3"}, 1.0f},
      {{"@TimeRatio =2"}, 1.0f},
      {{"@TimeRatio=1e999"}, 1.0f},
      {{"@TimeRatio=nan"}, 1.0f},
      {{"@TimeRatio="}, 1.0f},
  };
  for (const auto& c : cases) EXPECT_FLOAT_EQ(ReadTimeRatio(c.lines), c.ratio) << c.lines[0];
}

TEST(DropNonLyricLines, DropsOnlyInTaggedFilesAndEndsWithAnEmptyLine) {
  const Lines file = {"[00:01:00]a", "", "@TimeRatio=1", "", "// note", "--------", "b", "---"};
  struct Case {
    int type;
    Lines expected;
  } cases[] = {
      {kTagPlain, {"[00:01:00]a", "", "@TimeRatio=1", "", "// note", "--------", "b", "---", ""}},
      {kTagTime, {"[00:01:00]a", "b", "---", ""}},
      {kTagUkagaka, {"[00:01:00]a", "b", "---", ""}},
  };
  for (const auto& c : cases) {
    Lines lines = file;
    DropNonLyricLines(lines, c.type);
    EXPECT_EQ(lines, c.expected) << c.type;
  }
}

TEST(BuildLineTimes, AnchorsAndInterpolation) {
  Lines sevenBack = {"[00:10:00]a", "x", "x", "x", "x", "x", "x", "[00:00:00]z"};
  Lines sevenOn = {"[00:00:00]a", "x", "x", "x", "x", "x", "x", "[00:10:00]z", ""};
  struct Case {
    const char* name;
    Lines lines;
    bool music;
    int length;
    Lines times;
  } cases[] = {
      {"plain without music", {"a", "b", ""}, false, 0, {"[00:00:00]", "[00:04:50]", "[00:09:00]"}},
      {"to the song's end",
       {"[00:10:00]a", "b", "c", ""},
       true,
       40000,
       {"[00:10:00]", "[00:20:00]", "[00:30:00]", "[00:40:00]"}},
      {"before the first anchor",
       {"a", "b", "[00:09:00]c", ""},
       false,
       0,
       {"[00:00:00]", "[00:04:50]", "[00:09:00]", "[00:12:00]"}},
      {"last line tagged wins over music",
       {"a", "[00:05:00]"},
       true,
       40000,
       {"[00:00:00]", "[00:05:00]"}},
      {"one empty line", {""}, false, 0, {"[00:03:00]"}},
      {"no lines", {}, false, 0, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BuildLineTimes(c.lines, c.music, c.length), c.times) << c.name;
  }
  // Division before multiplication: 10000 div 7 = 1428, times 6 is 8568.
  EXPECT_EQ(BuildLineTimes(sevenOn, false, 0)[6], "[00:08:56]");
  // Truncation toward zero: -10000 div 7 = -1428, so 10000 - 8568 = 1432.
  EXPECT_EQ(BuildLineTimes(sevenBack, false, 0)[6], "[00:01:43]");
}

TEST(ReadLyricsFile, SplitsLinesAndDecidesTheEncodingOnce) {
  struct Case {
    const char* name;
    std::string bytes;
    Lines lines;
    Encoding enc;
  } cases[] = {
      {"mixed line ends", "a\r\nb\nc\rd", {"a", "b", "c", "d"}, Encoding::Utf8},
      {"final line end", "a\r\n", {"a"}, Encoding::Utf8},
      {"empty lines kept", "a\n\n\r\n", {"a", "", ""}, Encoding::Utf8},
      {"empty file", "", {}, Encoding::Utf8},
      // "あ" in UTF-8, then in Shift-JIS.
      {"utf-8", "\xE3\x81\x82\n", {"\xE3\x81\x82"}, Encoding::Utf8},
      {"shift-jis", "\x82\xA0\r\n", {"\x82\xA0"}, Encoding::Cp932},
      {"byte order mark", "\xEF\xBB\xBF[00:01:00]a\n", {"[00:01:00]a"}, Encoding::Utf8},
      // One line that is not UTF-8 makes the whole file Shift-JIS.
      {"mixed", "\xE3\x81\x82\n\x82\xA0\n", {"\xE3\x81\x82", "\x82\xA0"}, Encoding::Cp932},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    Lines lines = {"stale"};
    Encoding enc = Encoding::Auto;
    ASSERT_TRUE(ReadLyricsFile(dir.Write("l.txt", c.bytes), lines, enc)) << c.name;
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(enc, c.enc) << c.name;
  }
  Lines lines;
  Encoding enc = Encoding::Auto;
  EXPECT_FALSE(ReadLyricsFile(dir.File("missing.txt"), lines, enc));
  EXPECT_FALSE(ReadLyricsFile(dir.path(), lines, enc));
}

}  // namespace
}  // namespace quib
