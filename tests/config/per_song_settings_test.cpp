#include "config/per_song_settings.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/profile.h"
#include "shell/saver_context.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

Settings Playing(const std::string& bgm) {
  Settings s;
  s.UseBGM = true;
  s.BGM = bgm;
  s.TextBack = 2;
  s.iNoiseT = 1;
  s.iNoiseC = 2;
  s.iBackT = 3;
  return s;
}

TEST(PerSongSettings, PathReplacesOrAppendsTheExtension) {
  EXPECT_EQ(PerSongSettingsPath("/m/song.mp3"), "/m/song.qka");
  EXPECT_EQ(PerSongSettingsPath("/m/song.wav"), "/m/song.qka");
  EXPECT_EQ(PerSongSettingsPath("/m.d/song"), "/m.d/song.qka");
}

TEST(PerSongSettings, OnlyTheKeysInTheFileChange) {
  TempDir dir;
  const std::string bgm = dir.Write("song.mp3", "");
  dir.Write("song.qka", "[Effect]\niBackT=4\n");
  Settings s = Playing(bgm);
  ApplyPerSongSettings(s);
  EXPECT_EQ(s.iBackT, 4);
  EXPECT_EQ(s.TextBack, 2);
  EXPECT_EQ(s.iNoiseT, 1);
  EXPECT_EQ(s.iNoiseC, 2);
  EXPECT_FALSE(s.UsePass);
}

TEST(PerSongSettings, FileCanTurnThePasswordOn) {
  TempDir dir;
  const std::string bgm = dir.Write("song.mp3", "");
  dir.Write("song.qka", "[Option]\nUsePass=1\nPassword=SING\nTextBack=1\n");
  Settings s = Playing(bgm);
  ApplyPerSongSettings(s);
  EXPECT_TRUE(s.UsePass);
  EXPECT_EQ(s.Password, "SING");
  EXPECT_EQ(s.TextBack, 1);
}

TEST(PerSongSettings, NotReadWithoutMusic) {
  TempDir dir;
  const std::string bgm = dir.Write("song.mp3", "");
  dir.Write("song.qka", "[Effect]\niBackT=4\n");
  Settings s = Playing(bgm);
  s.UseBGM = false;
  ApplyPerSongSettings(s);
  EXPECT_EQ(s.iBackT, 3);
}

TEST(PerSongSettings, SaveWritesTheCurrentEffectsAndKeepsOtherKeys) {
  TempDir dir;
  const std::string bgm = dir.Write("song.mp3", "");
  const std::string qka = dir.Write("song.qka", "[Option]\nUsePass=1\nTextBack=0\n[Other]\nx=y\n");
  SaverContext ctx;
  ctx.settings = Playing(bgm);
  SavePerSongSettings(ctx);
  EXPECT_EQ(ctx.message.MessageText, "\"song.qka\" save completed.");

  Profile back(qka);
  EXPECT_EQ(back.ReadInteger("Option", "TextBack", -1), 2);
  EXPECT_EQ(back.ReadInteger("Effect", "iNoiseT", -1), 1);
  EXPECT_EQ(back.ReadInteger("Effect", "iNoiseC", -1), 2);
  EXPECT_EQ(back.ReadInteger("Effect", "iBackT", -1), 3);
  EXPECT_EQ(back.ReadInteger("Option", "UsePass", -1), 1);
  EXPECT_EQ(back.ReadString("Other", "x", ""), "y");

  // What was saved is what the next start with this song shows.
  Settings next = Playing(bgm);
  next.TextBack = next.iNoiseT = next.iNoiseC = next.iBackT = 0;
  ApplyPerSongSettings(next);
  EXPECT_EQ(next.TextBack, 2);
  EXPECT_EQ(next.iBackT, 3);
}

TEST(PerSongSettings, SaveDoesNothingWithoutMusic) {
  TempDir dir;
  SaverContext ctx;
  ctx.settings = Playing(dir.File("song.mp3"));
  ctx.settings.UseBGM = false;
  ctx.message.MessageText = "before";
  SavePerSongSettings(ctx);
  EXPECT_EQ(ctx.message.MessageText, "before");
  EXPECT_FALSE(PathExists(dir.File("song.qka")));
}

TEST(PerSongSettings, RefusedSaveSaysSoOnTheMessageLine) {
  TempDir dir;
  // The per-song name is taken by a folder, so the file cannot be written.
  dir.Write("song.qka/keep", "");
  SaverContext ctx;
  ctx.settings = Playing(dir.File("song.mp3"));
  SavePerSongSettings(ctx);
  EXPECT_EQ(ctx.message.MessageText, dir.File("song.qka") + " に書き込めません");
}

}  // namespace
}  // namespace quib
