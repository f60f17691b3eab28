#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace quib {
namespace {

// "あ" in CP932 and in UTF-8.
const std::string SjisA = "\x82\xA0";
const std::string Utf8A = "\xE3\x81\x82";

TEST(CodePage, Utf8Validity) {
  struct Case {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain ascii text", true},
      {Utf8A, true},
      {"\xF0\x9F\x8E\xA4", true},   // U+1F3A4
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE3\x81", false},          // cut short
      {SjisA, false},
      {"abc\x83"
       "A",
       false},  // "ア" in CP932
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;
  EXPECT_EQ(ResolveEncoding(Utf8A), Encoding::Utf8);
  EXPECT_EQ(ResolveEncoding(SjisA), Encoding::Cp932);
  EXPECT_EQ(ResolveEncoding(SjisA, Encoding::Utf8), Encoding::Utf8);
}

TEST(CodePage, BackslashIsNotYen) {
  EXPECT_EQ(DecodeToUtf16("C:\\a", Encoding::Cp932), u"C:\\a");
  EXPECT_EQ(DecodeToUtf16("\x5C\x7E", Encoding::Cp932), u"\\~");
  // "ソ" is 0x83 0x5C: the 0x5C is a trail byte, not a backslash.
  EXPECT_EQ(DecodeToUtf16("\x83\x5C", Encoding::Cp932), u"\u30BD");
}

TEST(CodePage, DecodeTable) {
  struct Case {
    std::string bytes;
    Encoding enc;
    std::u16string text;
  } cases[] = {
      {SjisA + "x", Encoding::Auto, u"\u3042x"},
      {Utf8A + "x", Encoding::Auto, u"\u3042x"},
      {"\xB1", Encoding::Cp932, u"\uFF71"},      // half-width katakana
      {"\x81", Encoding::Cp932, u"\uFFFD"},      // lead byte at the end
      {"\x81 a", Encoding::Cp932, u"\uFFFD a"},  // lead byte before an invalid trail
      {"a\x80"
       "b",
       Encoding::Cp932, u"a\uFFFDb"},  // not a CP932 byte
      {"\xFD\xFE\xFF", Encoding::Cp932, u"\uFFFD\uFFFD\uFFFD"},
      {"\xE3\x81"
       "a",
       Encoding::Utf8, u"\uFFFD\uFFFDa"},  // forced UTF-8, broken
      {"\xF0\x9F\x8E\xA4", Encoding::Utf8, u"\U0001F3A4"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeToUtf16(c.bytes, c.enc), c.text) << c.bytes;
  // A long mixed text in one go (crosses the converter's buffer).
  std::string longSjis;
  std::u16string longText;
  for (int i = 0; i < 1000; ++i) {
    longSjis += SjisA +
                "\x83"
                "A" +
                "z";
    longText += u"\u3042\u30A2z";
  }
  EXPECT_EQ(DecodeToUtf16(longSjis), longText);
  std::string run;
  for (int i = 0; i < 1000; ++i) run += SjisA;
  EXPECT_EQ(DecodeToUtf16(run + "\x81"), std::u16string(1000, u'\u3042') + u"\uFFFD");
}

TEST(CodePage, AsciiMapsToItself) {
  std::string all;
  std::u16string expect;
  for (int c = 1; c < 0x80; ++c) {
    all.push_back(static_cast<char>(c));
    expect.push_back(static_cast<char16_t>(c));
  }
  all += "\x82\xA0";  // force CP932
  expect += u"\u3042";
  EXPECT_EQ(DecodeToUtf16(all, Encoding::Cp932), expect);
}

TEST(CodePage, Utf8RoundTrip) {
  EXPECT_EQ(DecodeToUtf8(SjisA + "\x83\x5C"), Utf8A + "\xE3\x82\xBD");
  EXPECT_EQ(DecodeToUtf8(Utf8A), Utf8A);
  EXPECT_EQ(EncodeCp932(Utf8A + "\\z"), SjisA + "\\z");
  EXPECT_EQ(EncodeCp932("\xF0\x9F\x8E\xA4"
                        "a"),
            "?a");  // not in CP932
  EXPECT_EQ(EncodeCp932("\xFF"), "?");
}

TEST(CodePage, LeadBytesWalkFromTheStart) {
  // "ア" 0x83 0x41, then 0x83 0x81 ("ψ"? any pair whose trail lies in the lead range), then "a".
  const std::string text =
      "\x83\x41\x83\x81"
      "a";
  struct Case {
    size_t pos;
    bool lead;
  } cases[] = {{0, true}, {1, false}, {2, true}, {3, false}, {4, false}, {5, false}};
  for (const auto& c : cases)
    EXPECT_EQ(IsLeadByteAt(text, c.pos, Encoding::Cp932), c.lead) << c.pos;
  // 0x81 at position 3 is a lead byte by itself, but a trail byte in context.
  EXPECT_TRUE(IsLeadByte(0x81, Encoding::Cp932));
  // A lead byte at the very end starts no character.
  EXPECT_FALSE(IsLeadByteAt("a\x81", 1, Encoding::Cp932));
  // UTF-8.
  const std::string u = "a" + Utf8A + "b";
  EXPECT_FALSE(IsLeadByteAt(u, 0, Encoding::Auto));
  EXPECT_TRUE(IsLeadByteAt(u, 1, Encoding::Auto));
  EXPECT_FALSE(IsLeadByteAt(u, 2, Encoding::Auto));
  EXPECT_FALSE(IsLeadByteAt(u, 4, Encoding::Auto));
}

TEST(CodePage, SingleByteTables) {
  struct Case {
    unsigned char c;
    bool sjisLead;
    int utf8Len;
  } cases[] = {{'A', false, 1},  {0x80, false, 1}, {0x81, true, 1},  {0x9F, true, 1},
               {0xA0, false, 1}, {0xC2, false, 2}, {0xDF, false, 2}, {0xE0, true, 3},
               {0xEF, true, 3},  {0xF0, true, 4},  {0xF4, true, 4},  {0xFC, true, 1},
               {0xFD, false, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsLeadByte(c.c, Encoding::Cp932), c.sjisLead) << int(c.c);
    EXPECT_EQ(CharLength(c.c, Encoding::Cp932), c.sjisLead ? 2 : 1) << int(c.c);
    EXPECT_EQ(CharLength(c.c, Encoding::Utf8), c.utf8Len) << int(c.c);
    EXPECT_EQ(IsLeadByte(c.c, Encoding::Utf8), c.utf8Len > 1) << int(c.c);
  }
}

TEST(CodePage, HasMultiByte) {
  EXPECT_FALSE(HasMultiByte("abc", Encoding::Auto));
  EXPECT_TRUE(HasMultiByte("a" + SjisA, Encoding::Auto));
  EXPECT_TRUE(HasMultiByte(Utf8A, Encoding::Auto));
  EXPECT_FALSE(HasMultiByte("\xB1\xB2", Encoding::Cp932));  // half-width katakana are single bytes
}

}  // namespace
}  // namespace quib
