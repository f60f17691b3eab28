#include "lyrics/exports.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "shell/saver_context.h"
#include "support/test_support.h"

namespace quib {
namespace {

TEST(ShortenText, CutsWithoutSplittingACharacter) {
  struct Case {
    const char* text;
    int n;
    Encoding enc;
    const char* shortened;
  } cases[] = {
      {"[00:01:00]Hello", 12, Encoding::Cp932, "[00:01:00]He.."},
      {"[00:01:00]Hi", 12, Encoding::Cp932, "[00:01:00]Hi"},
      {"abc", 2, Encoding::Cp932, "ab.."},
      {"", 2, Encoding::Cp932, ""},
      {"x", 0, Encoding::Cp932, "x"},
      {"abc", 0, Encoding::Cp932, ".."},
      // "あ" (0x82 0xA0) after the tag is kept whole.
      {"[00:01:00]\x82\xA0"
       "abc",
       12, Encoding::Cp932, "[00:01:00]\x82\xA0.."},
      // "a" then "あ": byte 12 starts the character, so it goes.
      {"[00:01:00]a\x82\xA0", 12, Encoding::Cp932, "[00:01:00]a.."},
      // "亜亜" (0x88 0x9F): byte 2 is a trail byte that looks like a lead byte.
      {"\x88\x9F\x88\x9F", 2, Encoding::Cp932, "\x88\x9F.."},
      {"\x88\x9F\x88\x9F", 3, Encoding::Cp932, "\x88\x9F.."},
      // "é" (0xC3 0xA9) in UTF-8, first or second.
      {"[00:01:00]\xC3\xA9"
       "a",
       12, Encoding::Utf8, "[00:01:00]\xC3\xA9.."},
      {"[00:01:00]a\xC3\xA9", 12, Encoding::Utf8, "[00:01:00]a.."},
      // "あ" in UTF-8 is three bytes: the cut stays at a character boundary.
      {"[00:01:00]\xE3\x81\x82"
       "a",
       12, Encoding::Auto, "[00:01:00].."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortenText(c.text, c.n, c.enc), c.shortened) << c.text << " " << c.n;
  }
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.settings.UseMessage = true;
    ctx_.settings.BGM = dir_.File("song.mp3");
    ctx_.lyrics.LyricLines = {"[00:01:00]Hel[00:01:50]lo\\w5!", "[00:02:00]Hi", "abc", "x", ""};
    ctx_.lyrics.encoding = Encoding::Utf8;
  }
  test::TempDir dir_;
  SaverContext ctx_;
};

TEST_F(ExportTest, WritesBesideTheMusicFile) {
  struct Case {
    bool (*exporter)(SaverContext&);
    const char* name;
    const char* bytes;
  } cases[] = {
      {ExportPlainText, "song_plain.txt", "Hello!\r\nHi\r\nabc\r\nx\r\n\r\n"},
      {ExportSafeText, "song_safe.txt", "[00:01:00]He..\r\n[00:02:00]Hi\r\nab..\r\nx\r\n\r\n"},
  };
  // The lyrics file's name plays no part in the export's.
  ctx_.settings.MESSAGE = dir_.File("other_t.txt");
  for (const auto& c : cases) {
    ctx_.message.MessageText.clear();
    ASSERT_TRUE(c.exporter(ctx_)) << c.name;
    EXPECT_EQ(test::ReadAll(dir_.File(c.name)), c.bytes);
    EXPECT_EQ(ctx_.message.MessageText, std::string("\"") + c.name + "\" save completed.");
  }
}

TEST_F(ExportTest, SafeExportOfShiftJisKeepsWholeCharacters) {
  // "[00:01:00]あいう", "[00:01:00]aあ": one character, or one byte, after the tag.
  ctx_.lyrics.LyricLines = {"[00:01:00]\x82\xA0\x82\xA2\x82\xA4", "[00:01:00]a\x82\xA0", ""};
  ctx_.lyrics.encoding = Encoding::Cp932;
  ASSERT_TRUE(ExportSafeText(ctx_));
  EXPECT_EQ(test::ReadAll(dir_.File("song_safe.txt")),
            "[00:01:00]\x82\xA0..\r\n[00:01:00]a..\r\n\r\n");
}

TEST_F(ExportTest, AFailedWriteLeavesNoFileAndNoNotice) {
  struct Case {
    const char* name;
    bool (*exporter)(SaverContext&);
  } cases[] = {{"plain", ExportPlainText}, {"safe", ExportSafeText}};
  for (const auto& c : cases) {
    ctx_.settings.BGM = dir_.File("missing/song.mp3");
    ctx_.message.MessageText.clear();
    EXPECT_FALSE(c.exporter(ctx_)) << c.name;
    EXPECT_EQ(ctx_.message.MessageText,
              ChangeExtension(ctx_.settings.BGM, std::string("_") + c.name + ".txt") +
                  " に書き込めません");
    std::vector<std::string> left;
    ASSERT_TRUE(ListFolder(dir_.path(), "*", left));
    EXPECT_TRUE(left.empty()) << c.name;

    // No music file: nowhere beside it to write.
    ctx_.settings.BGM.clear();
    EXPECT_FALSE(c.exporter(ctx_)) << c.name;
    EXPECT_NE(ctx_.message.MessageText.find("に書き込めません"), std::string::npos);

    // Lyrics off: nothing at all.
    ctx_.settings.BGM = dir_.File("song.mp3");
    ctx_.settings.UseMessage = false;
    ctx_.message.MessageText.clear();
    EXPECT_FALSE(c.exporter(ctx_)) << c.name;
    EXPECT_EQ(ctx_.message.MessageText, "");
    EXPECT_FALSE(PathExists(ChangeExtension(ctx_.settings.BGM, "_plain.txt")));
    ctx_.settings.UseMessage = true;
  }
}

}  // namespace
}  // namespace quib
