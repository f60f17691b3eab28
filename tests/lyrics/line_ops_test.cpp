#include "lyrics/line_ops.h"

#include <gtest/gtest.h>

#include <string>

namespace quib {
namespace {

TEST(TakeColourTag, TakesTheFirstCompleteTag) {
  struct Case {
    const char* line;
    Colour colour;
    const char* rest;
  } cases[] = {
      {"[#FF8000]red", 0x000080FF, "red"},
      {"plain", 0xFFFFFF, "plain"},
      {"[#12:456]x", 0xFFFFFF, "[#12:456]x"},
      {"a[#0000ff]b[#FF0000]", 0xFF0000, "ab[#FF0000]"},
      {"[00:01:00][#00FF00]a", 0x00FF00, "[00:01:00]a"},
      {"[#FF80001]x", 0xFFFFFF, "[#FF80001]x"},  // seven digits
      {"[#FF800]x", 0xFFFFFF, "[#FF800]x"},
      // A "[" inside a tag starts a new one; it never deletes the text after it.
      {"[#1[2345]xyz", 0xFFFFFF, "[#1[2345]xyz"},
      {"[[#00FF00]x", 0x00FF00, "[x"},
  };
  for (const auto& c : cases) {
    std::string line = c.line;
    EXPECT_EQ(TakeColourTag(line), c.colour) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST(StripLyricTags, RemovesTimeKaraokeAndBackslashTags) {
  struct Case {
    const char* line;
    Encoding enc;
    const char* shown;
    const char* keepTime;
  } cases[] = {
      {"[00:01:00]Hel[00:01:50]lo\\w5!", Encoding::Utf8, "Hello!", "[00:01:00]Hello!"},
      {"\\_w[500]a\\s[10]b\\n", Encoding::Utf8, "ab", "ab"},
      {"[00:05:00]\\h\\s[0]Hi", Encoding::Utf8, "Hi", "[00:05:00]Hi"},
      {"[1:2:3]x", Encoding::Utf8, "[1:2:3]x", "[1:2:3]x"},
      {"\\_q\\e\\", Encoding::Utf8, "", ""},
      // Time tags end at the first pair that is not one; a colour tag is such a pair.
      {"[00:01:00]a[1:2]b[00:02:00]c", Encoding::Utf8, "a[1:2]b[00:02:00]c",
       "[00:01:00]a[1:2]b[00:02:00]c"},
      {"[00:01:00][#FF0000]a[00:02:00]b", Encoding::Utf8, "[#FF0000]a[00:02:00]b",
       "[00:01:00][#FF0000]a[00:02:00]b"},
      // "ソ" (0x83 0x5C): its second byte is a backslash, not a tag.
      {"[00:01:00]\x83\x5C\\n", Encoding::Cp932, "\x83\x5C", "[00:01:00]\x83\x5C"},
      // "ー" (0x81 0x5B): its second byte is a "[", so there is no tag to remove.
      {"\x81\x5B"
       "00:01:00]x",
       Encoding::Cp932,
       "\x81\x5B"
       "00:01:00]x",
       "\x81\x5B"
       "00:01:00]x"},
      // A backslash before "あ" (0x82 0xA0) or "é" (0xC3 0xA9) goes alone.
      {"a\\\x82\xA0", Encoding::Cp932, "a\x82\xA0", "a\x82\xA0"},
      {"\\_\xC3\xA9", Encoding::Utf8, "\xC3\xA9", "\xC3\xA9"},
      // "あ" in UTF-8 inside karaoke tags.
      {"[00:01:00]\xE3\x81\x82[00:02:00]\\n", Encoding::Auto, "\xE3\x81\x82",
       "[00:01:00]\xE3\x81\x82"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StripLyricTags(c.line, c.enc), c.shown) << c.line;
    EXPECT_EQ(StripLyricTagsKeepTime(c.line, c.enc), c.keepTime) << c.line;
  }
}

TEST(SplitKaraokeLine, SplitsAtTheClock) {
  const char* hello = "[00:01:00]Hel[00:01:50]lo[00:02:00]";
  struct Case {
    const char* line;
    int clock;
    int next;
    Encoding enc;
    const char* upTo;
    const char* done;
    const char* rest;
    int progress;
  } cases[] = {
      {hello, 1200, 5000, Encoding::Utf8, "Hel", "", "lo", 4000},
      {hello, 1700, 5000, Encoding::Utf8, "Hello", "Hel", "", 4000},
      {hello, 2100, 5000, Encoding::Utf8, "Hello", "Hello", "", 500},
      {hello, 2100, 2100, Encoding::Utf8, "Hello", "Hello", "", 10000},
      {hello, 2100, 1900, Encoding::Utf8, "Hello", "Hello", "", 0},
      {hello, 900, 5000, Encoding::Utf8, "Hel", "", "lo", 0},  // before the line starts
      {"[00:01:00]Hi\\w5 there", 1100, 5000, Encoding::Utf8, "Hi", "", " there", 3333},
      // After the last wait only the rest wipes, uncapped: 700 * 15000 / 2700.
      {"[00:01:00]Hi\\w5 there", 2000, 4000, Encoding::Utf8, "Hi there", "Hi", "", 3888},
      // Waits in a row: the piece starts at the last of them.
      {"[00:01:00]a\\w5\\w5b", 1400, 5000, Encoding::Utf8, "a", "", "b", 3333},
      {"[00:01:00]ab\\_w[500]cd", 1250, 5000, Encoding::Utf8, "ab", "", "cd", 5000},
      {"[00:01:00]ab\\_w[x]cd\\_w[500]", 1250, 5000, Encoding::Utf8, "abcd", "ab", "", 5000},
      {"[00:01:00]\\s[0]ab\\e", 1250, 5000, Encoding::Utf8, "ab", "", "", 1250},
      {"hello", 1000, 5000, Encoding::Utf8, "", "", "hello", 0},
      {"  [00:01:00]ab \t", 1500, 5000, Encoding::Utf8, "ab", "", "", 0},
      {"[00:01:00]ab[cd", 1500, 5000, Encoding::Utf8, "ab", "", "", 0},
      {"[00:01:00]a[xx:01:50]b", 1200, 5000, Encoding::Utf8, "a", "", "b", 4000},
      // "ソ" (0x83 0x5C) before a karaoke tag: its second byte starts no name.
      {"[00:01:00]\x83\x5C[00:02:00]x", 1500, 5000, Encoding::Cp932, "\x83\x5C", "", "x", 5000},
      // "あ", "い" in UTF-8.
      {"[00:01:00]\xE3\x81\x82[00:02:00]\xE3\x81\x84", 1500, 5000, Encoding::Auto, "\xE3\x81\x82",
       "", "\xE3\x81\x84", 5000},
  };
  KaraokeSplit split;
  for (const auto& c : cases) {
    // One record across the calls, as the frame loop keeps it.
    SplitKaraokeLine(c.clock, c.line, c.next, c.enc, split);
    EXPECT_EQ(split.UpToCurrent, c.upTo) << c.line << " @" << c.clock;
    EXPECT_EQ(split.DoneText, c.done) << c.line << " @" << c.clock;
    EXPECT_EQ(split.RestText, c.rest) << c.line << " @" << c.clock;
    EXPECT_EQ(split.PieceProgress, c.progress) << c.line << " @" << c.clock;
  }
}

}  // namespace
}  // namespace quib
