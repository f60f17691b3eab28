#include "lyrics/song_loader.h"

#include <gtest/gtest.h>

#include "config/setting_model.h"
#include "config/settings_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/media_player.h"
#include "platform/profile.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

class FakeShell final : public ShellServices {
 public:
  bool running = false;
  int starts = 0, stops = 0;
  std::string caption;
  void StartFrameTimer() override {
    running = true;
    ++starts;
  }
  void StopFrameTimer() override {
    running = false;
    ++stops;
  }
  bool FrameTimerRunning() const override { return running; }
  void DrawFrameNow() override {}
  void SetCaption(const std::string& text) override { caption = text; }
  void Beep() override {}
  void RequestClose() override {}
};

// A dialog that only counts what is asked of it.
class CountingDialog final : public SongSwitchDialog {
 public:
  int calls = 0;
  void SetPresetBGM(const std::string&) override { ++calls; }
  void Button1Click() override { ++calls; }
  bool BGMAccepted() const override { return true; }
  bool BitBtn1Click(std::string&) override {
    ++calls;
    return true;
  }
};

std::vector<std::string> Names(const std::vector<std::string>& paths) {
  std::vector<std::string> out;
  for (const std::string& p : paths) out.push_back(FileNamePart(p));
  return out;
}

struct CatalogueFolder {
  TempDir dir;
  SaverContext ctx;
  SongLoader songs{ctx};
  CatalogueFolder() {
    dir.Write("b.MP3", "");
    dir.Write("a.wav", "");
    dir.Write("c.txt", "");
  }
  std::string Pick(const std::string& current, int step) {
    ctx.settings.BGM = dir.File(current);
    return FileNamePart(songs.PickSong(step));
  }
};

TEST(Catalogue, HoldsTheFoldersMusicInNameOrder) {
  CatalogueFolder f;
  f.Pick("a.wav", 0);
  EXPECT_EQ(Names(f.ctx.MusicFiles), (std::vector<std::string>{"a.wav", "b.MP3"}));
  EXPECT_EQ(f.ctx.MusicFiles[0], f.dir.File("a.wav"));
}

TEST(Catalogue, PicksWrapAroundFromTheCurrentSong) {
  const struct {
    const char* current;
    int step;
    const char* picked;
  } cases[] = {
      {"a.wav", +1, "b.MP3"},
      {"b.MP3", +1, "a.wav"},
      {"a.wav", -1, "b.MP3"},
      {"b.MP3", -1, "a.wav"},
      {"a.wav", 0, "a.wav"},
      {"A.WAV", +1, "b.MP3"},
      // Not in the catalogue: first for +1, last for -1 and 0.
      {"c.txt", +1, "a.wav"},
      {"c.txt", -1, "b.MP3"},
      {"c.txt", 0, "b.MP3"},
  };
  for (const auto& c : cases) {
    CatalogueFolder f;
    EXPECT_EQ(f.Pick(c.current, c.step), c.picked) << c.current << " " << c.step;
  }
}

TEST(Catalogue, IsBuiltOnceWhileTheCurrentSongIsInIt) {
  CatalogueFolder f;
  f.Pick("a.wav", 0);
  f.dir.Write("0.mid", "");
  EXPECT_EQ(f.Pick("a.wav", -1), "b.MP3");
  // A song from outside rebuilds it, and then the new file is seen.
  EXPECT_EQ(f.Pick("c.txt", +1), "0.mid");
}

TEST(Catalogue, NothingToPickGivesAnEmptyPathThatIsRefused) {
  TempDir dir;
  dir.Write("only.txt", "");
  SaverContext ctx;
  CountingDialog dialog;
  ctx.dialog = &dialog;
  SongLoader songs(ctx);
  ctx.settings.BGM = dir.File("only.txt");
  EXPECT_EQ(songs.PickSong(+1), "");
  EXPECT_FALSE(songs.SelectSong(""));
  ctx.settings.BGM = dir.File("missing/x.mp3");
  EXPECT_EQ(songs.PickSong(+1), "");
  EXPECT_TRUE(ctx.MusicFiles.empty());
  EXPECT_EQ(dialog.calls, 0);
}

TEST(SelectSong, RefusesOtherFilesAndVanishedOnes) {
  TempDir dir;
  SaverContext ctx;
  CountingDialog dialog;
  FakeShell shell;
  ctx.dialog = &dialog;
  ctx.shell = &shell;
  SongLoader songs(ctx);
  for (const std::string& path :
       {dir.Write("words.txt", ""), dir.File("gone.mp3"), dir.Write("noext", "")})
    EXPECT_FALSE(songs.SelectSong(path)) << path;
  EXPECT_EQ(dialog.calls, 0);
  EXPECT_EQ(shell.starts, 0);
}

struct Saver {
  TempDir dir;
  FakeShell shell;
  FakeMediaPlayer player;
  ManualClock clock;
  SaverContext ctx;
  SongLoader songs{ctx};
  Saver() {
    ctx.clock = &clock;
    ctx.shell = &shell;
    ctx.player = &player;
    ctx.settingsPath = dir.File("QUIBKARAOKE.ini");
    player.length = 90000;
  }
};

TEST(LoadSong, PutsTheAboutTextUpAndRunsTheTimer) {
  Saver s;
  s.ctx.message.MessageText = "old";
  s.ctx.LastTick = 1234;
  s.ctx.CurrentLine = 7;
  s.songs.LoadSong();
  EXPECT_EQ(s.ctx.message.MessageText, AboutText());
  EXPECT_EQ(s.ctx.message.MessageTime, 15000);
  // Three credit lines, an empty line and the hint.
  const std::string about = AboutText();
  std::vector<std::string> lines(1);
  for (char c : about) {
    if (c == '|') {
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  ASSERT_EQ(lines.size(), 5u);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(lines[i].empty());
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Push [Enter] for Quick reference.");
  EXPECT_EQ(s.shell.stops, 1);
  EXPECT_TRUE(s.shell.running);
  EXPECT_EQ(s.ctx.LastTick, 0);
  EXPECT_EQ(s.ctx.CurrentLine, -1);
  EXPECT_EQ(s.player.openCount, 0);  // no music configured
}

TEST(LoadSong, UnreadableLyricsTurnTheTextOff) {
  Saver s;
  s.ctx.settings.UseMessage = true;
  s.ctx.settings.MESSAGE = s.dir.File("missing.txt");
  s.ctx.lyrics.LyricTagType = 2;
  s.songs.LoadSong();
  EXPECT_FALSE(s.ctx.settings.UseMessage);
  EXPECT_EQ(s.ctx.lyrics.LyricTagType, 0);
  EXPECT_TRUE(s.ctx.lyrics.LyricLines.empty());
}

TEST(LoadSong, MusicThatFailsToOpenPutsTheErrorUp) {
  Saver s;
  s.ctx.settings.UseBGM = true;
  s.ctx.settings.BGM = s.dir.Write("song.mp3", "garbage");
  s.player.failOpen = true;
  s.songs.LoadSong();
  EXPECT_FALSE(s.ctx.settings.UseBGM);
  EXPECT_EQ(s.ctx.message.MessageText, s.player.failMessage);
  EXPECT_FALSE(s.player.playing);
  EXPECT_TRUE(s.shell.running);
}

TEST(LoadSong, OpensAndStartsTheMusicWithItsLyrics) {
  Saver s;
  s.ctx.settings.UseBGM = true;
  s.ctx.settings.BGM = s.dir.Write("song.mp3", "");
  s.ctx.settings.UseMessage = true;
  s.ctx.settings.MESSAGE = s.dir.Write("song.txt", "first line\nsecond line\n");
  s.songs.LoadSong();
  EXPECT_EQ(s.shell.caption, "QUIB KARAOKE PLAYER - song.mp3");
  EXPECT_EQ(s.player.fileName, s.ctx.settings.BGM);
  EXPECT_TRUE(s.player.playing);
  EXPECT_EQ(s.ctx.playback.SongLength, 90000);
  EXPECT_FALSE(s.ctx.playback.IsMidi);
  EXPECT_NE(s.ctx.lyrics.LyricTagType, 0);
  ASSERT_FALSE(s.ctx.lyrics.LyricLines.empty());
  EXPECT_EQ(s.ctx.lyrics.LyricLines.back(), "");
  EXPECT_EQ(s.ctx.lyrics.LineTimes.size(), s.ctx.lyrics.LyricLines.size());
}

// A player that looks at the saver while the music is being opened, when a
// key may still draw a frame.
class WatchingPlayer final : public MediaPlayer {
 public:
  FakeMediaPlayer inner;
  const SaverContext* ctx = nullptr;
  bool consistent = true, timerStopped = true;
  void SetFileName(const std::string& p) override { inner.SetFileName(p); }
  const std::string& FileName() const override { return inner.FileName(); }
  void Open() override {
    consistent = consistent && ctx->lyrics.LyricLines.size() == ctx->lyrics.LineTimes.size();
    timerStopped = timerStopped && !ctx->shell->FrameTimerRunning();
    inner.Open();
  }
  void Close() override { inner.Close(); }
  void Play() override { inner.Play(); }
  void PlayFrom(int ms) override { inner.PlayFrom(ms); }
  void Stop() override { inner.Stop(); }
  int Length() override { return 60000; }
  int Position() override { return inner.Position(); }
  void Seek(int ms) override { inner.Seek(ms); }
  bool IsPlaying() override { return inner.IsPlaying(); }
  bool IsOpen() const override { return inner.IsOpen(); }
  int Error() const override { return inner.Error(); }
  std::string ErrorMessage() const override { return inner.ErrorMessage(); }
};

TEST(LoadSong, NoFrameSeesHalfBuiltLyrics) {
  Saver s;
  WatchingPlayer player;
  player.ctx = &s.ctx;
  s.ctx.player = &player;
  s.ctx.settings.UseBGM = true;
  s.ctx.settings.UseMessage = true;
  s.ctx.settings.BGM = s.dir.Write("a.mp3", "");
  s.ctx.settings.MESSAGE = s.dir.Write("a.txt", "one\ntwo\nthree\n");
  s.songs.LoadSong();
  s.ctx.settings.BGM = s.dir.Write("b.mp3", "");
  s.ctx.settings.MESSAGE = s.dir.Write("b.txt", "four\nfive\n");
  s.songs.LoadSong();
  EXPECT_EQ(player.inner.openCount, 2);
  EXPECT_TRUE(player.consistent);
  EXPECT_TRUE(player.timerStopped);
}

TEST(LoadSong, TimeEditIsPreparedOnTheLoadedLyrics) {
  Saver s;
  size_t linesSeen = 0;
  SongLoader songs(s.ctx, [&](SaverContext& ctx) { linesSeen = ctx.lyrics.LyricLines.size(); });
  s.ctx.settings.TimeTag = true;
  s.ctx.settings.UseMessage = true;
  s.ctx.settings.MESSAGE = s.dir.Write("a.txt", "one\ntwo\n");
  songs.LoadSong();
  EXPECT_GT(linesSeen, 0u);
  EXPECT_EQ(linesSeen, s.ctx.lyrics.LyricLines.size());
}

TEST(SelectSong, SwitchesThroughTheDialogAndSavesTheSettings) {
  Saver s;
  const std::string song = s.dir.Write("m/song.mid", "");
  const std::string lyrics = s.dir.Write("m/song_t.txt", "la la\n");
  s.dir.Write("m/qkaraimg/p.jpg", "");
  SettingModel dialog(s.ctx.settingsPath);
  dialog.FormCreate();
  s.ctx.dialog = &dialog;
  s.ctx.settings.UseBGM = true;
  s.ctx.settings.BGM = s.dir.Write("old/old.mp3", "");

  ASSERT_TRUE(s.songs.SelectSong(song));
  EXPECT_EQ(dialog.PresetBGM, "");
  const Settings file = ReadSaverSettings(s.ctx.settingsPath);
  EXPECT_EQ(file.BGM, song);
  EXPECT_EQ(file.MESSAGE, lyrics);
  EXPECT_EQ(file.Password, "M.LYMO");
  EXPECT_TRUE(s.ctx.settings.UseMessage);
  EXPECT_EQ(s.ctx.settings.MESSAGE, lyrics);
  EXPECT_EQ(s.ctx.settings.BGM, song);
  EXPECT_TRUE(s.ctx.playback.IsMidi);
  EXPECT_EQ(s.player.fileName, song);
  EXPECT_TRUE(s.shell.running);
  EXPECT_EQ(s.ctx.message.MessageText, AboutText());
}

TEST(SelectSong, RefusedSettingsWriteStillSwitchesAndSaysSo) {
  Saver s;
  s.dir.Write("blocker", "");
  s.ctx.settingsPath = s.dir.File("blocker/QUIBKARAOKE.ini");
  const std::string song = s.dir.Write("m/song.mp3", "");
  const std::string lyrics = s.dir.Write("m/song.txt", "la la\n");
  SettingModel dialog(s.ctx.settingsPath);
  dialog.FormCreate();
  s.ctx.dialog = &dialog;
  s.ctx.settings.UseBGM = true;

  ASSERT_TRUE(s.songs.SelectSong(song));
  EXPECT_EQ(s.ctx.message.MessageText, s.ctx.settingsPath + " に書き込めません");
  EXPECT_EQ(s.ctx.settings.MESSAGE, lyrics);
  EXPECT_TRUE(s.ctx.settings.UseMessage);
  EXPECT_TRUE(s.player.playing);
  EXPECT_TRUE(s.shell.running);
}

TEST(ReloadLyricSettings, RereadsTheLyricsAndChecksEveryPath) {
  Saver s;
  const std::string lyrics = s.dir.Write("l.txt", "");
  s.dir.Write("QUIBKARAOKE.ini", "[Option]\nUseMessage=1\nMESSAGE=" + lyrics + "\nUseGaz=0\n");
  s.ctx.settings.UseBGM = s.ctx.settings.UseGaz = true;
  s.ctx.settings.BGM = s.dir.File("gone.mp3");
  s.ctx.settings.Images = s.dir.File("nopics");
  s.songs.ReloadLyricSettings();
  EXPECT_TRUE(s.ctx.settings.UseMessage);
  EXPECT_EQ(s.ctx.settings.MESSAGE, lyrics);
  EXPECT_FALSE(s.ctx.settings.UseBGM);
  EXPECT_FALSE(s.ctx.settings.UseGaz);

  s.dir.Write("QUIBKARAOKE.ini", "[Option]\nUseMessage=1\nMESSAGE=" + s.dir.File("x.txt") + "\n");
  s.songs.ReloadLyricSettings();
  EXPECT_FALSE(s.ctx.settings.UseMessage);
}

TEST(ScanImages, ListsTheJpegsOfTheFolderInNameOrder) {
  TempDir dir;
  dir.Write("p/b.jpg", "");
  dir.Write("p/A.JPG", "");
  dir.Write("p/c.png", "");
  std::vector<std::string> images = {"stale"};
  ScanImages(dir.File("p"), images);
  EXPECT_EQ(images, (std::vector<std::string>{dir.File("p/A.JPG"), dir.File("p/b.jpg")}));
  ScanImages(dir.File("p/"), images);
  EXPECT_EQ(images.front(), dir.File("p//A.JPG"));
  ScanImages(dir.File("none"), images);
  EXPECT_TRUE(images.empty());
}

TEST(MusicFiles, AreKnownByTheirExtension) {
  for (const char* yes : {"a.wma", "a.MP2", "a.mp3", "a.Wav", "a.mid", "a.ogg", "/x.y/a.mp3"})
    EXPECT_TRUE(IsMusicFile(yes)) << yes;
  for (const char* no : {"a.txt", "a.midi", "mp3", "a.mp3.bak", "/x.mp3/a", ""})
    EXPECT_FALSE(IsMusicFile(no)) << no;
}

}  // namespace
}  // namespace quib
