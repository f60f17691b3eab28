#include "input/time_edit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "input/virtual_keys.h"
#include "input_fakes.h"
#include "lyrics/song_loader.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::ReadAll;
using test::Rig;
using test::TempDir;

using Lines = std::vector<std::string>;

// A running time-edit session on the lines given, right after the first
// frame: line 0 current and its edit box drawn.
struct Session : Rig {
  explicit Session(Lines lines, const std::string& lyricsPath = "/lyrics/song.txt") {
    ctx.settings.TimeTag = true;
    ctx.settings.UseBGM = true;
    ctx.settings.UseMessage = true;
    ctx.settings.MESSAGE = lyricsPath;
    ctx.settings.iFSizePer = 150;
    ctx.settings.iTextTiming = 300;
    ctx.lyrics.LyricLines = std::move(lines);
    ctx.lyrics.LyricLines.push_back("");  // what loading appends
    PrepareTimeEdit(ctx);
    player.playing = true;
    FrameDrawn();
  }
  // What the lyric step of a frame does in this mode: move on to the line
  // whose time has been recorded, then draw the edit box.
  void FrameDrawn() {
    while (ctx.CurrentLine + 1 < static_cast<int>(ctx.lyrics.LineTimes.size())) ++ctx.CurrentLine;
    ctx.RewindArmed = true;
  }
  void SpaceAt(int ms) {
    player.position = ms;
    Press(VkSpace);
  }
  const Lines& LyricLines() const { return ctx.lyrics.LyricLines; }
  const Lines& LineTimes() const { return ctx.lyrics.LineTimes; }
};

TEST(TimeEdit, PreparingStartsTheFirstLineAtZero) {
  struct Case {
    std::string first, expected;
  };
  for (const Case& c : {Case{"a", "[00:00:00]a"}, Case{"[00:03:00]a", "[00:00:00]a"},
                        Case{"x]y", "[00:00:00]x]y"}, Case{"", "[00:00:00]"}}) {
    Session s({c.first, "b"});
    EXPECT_EQ(s.LyricLines()[0], c.expected) << c.first;
    EXPECT_EQ(s.LineTimes(), Lines{"[00:00:00]"});
  }
  Session s({"a"});
  EXPECT_EQ(s.ctx.settings.iFSizePer, 100);
  EXPECT_EQ(s.ctx.settings.iTextTiming, 0);

  SaverContext empty;
  PrepareTimeEdit(empty);
  EXPECT_TRUE(empty.lyrics.LyricLines.empty());
  EXPECT_EQ(empty.lyrics.LineTimes, Lines{"[00:00:00]"});
}

TEST(TimeEdit, SpaceStampsTheNextLine) {
  Session s({"a", "[00:07:00]b", "c"});
  s.SpaceAt(5230);
  EXPECT_EQ(s.LyricLines()[1], "[00:05:23]b");  // the older tag is replaced
  EXPECT_EQ(s.LineTimes(), (Lines{"[00:00:00]", "[00:05:23]"}));
  s.FrameDrawn();
  EXPECT_EQ(s.ctx.CurrentLine, 1);

  s.SpaceAt(65432);
  s.FrameDrawn();
  EXPECT_EQ(s.LyricLines()[2], "[01:05:43]c");
  s.SpaceAt(70000);  // the third line is the last lyric: nothing follows it
  EXPECT_EQ(s.LineTimes().size(), 3u);
  EXPECT_EQ(s.LyricLines().back(), "");
}

TEST(TimeEdit, MidiIsTimedOnTheFrameClock) {
  Session s({"a", "b"});
  s.ctx.playback.IsMidi = true;
  s.ctx.playback.PlayPosition = 1234;
  s.SpaceAt(9999);
  EXPECT_EQ(s.LyricLines()[1], "[00:01:23]b");

  s.FrameDrawn();
  s.Press(VkBack);  // the position of MIDI music cannot be set back
  EXPECT_EQ(s.LyricLines()[1], "[00:01:23]b");
  EXPECT_TRUE(s.ctx.RewindArmed);
  EXPECT_EQ(s.player.lastStart, -1);
}

TEST(TimeEdit, SpaceBeforeTheFirstFrameRecordsNothing) {
  Session s({"a", "b"});
  s.ctx.CurrentLine = -1;  // as loading leaves it
  s.SpaceAt(500);
  EXPECT_EQ(s.LyricLines()[0], "[00:00:00]a");
  EXPECT_EQ(s.LyricLines()[1], "b");
  EXPECT_EQ(s.LineTimes().size(), 1u);
}

TEST(TimeEdit, BackspaceTakesTheMarkBackOncePerFrame) {
  Session s({"a", "b", "c"});
  s.SpaceAt(5230);
  s.FrameDrawn();
  s.SpaceAt(8000);
  s.FrameDrawn();
  ASSERT_EQ(s.ctx.CurrentLine, 2);

  s.Press(VkBack);
  s.Press(VkBack);  // same frame: ignored
  EXPECT_EQ(s.ctx.CurrentLine, 1);
  EXPECT_EQ(s.LyricLines()[2], "c");
  EXPECT_EQ(s.LineTimes(), (Lines{"[00:00:00]", "[00:05:23]"}));
  EXPECT_EQ(s.player.lastStart, 5230);

  s.FrameDrawn();
  s.Press(VkBack);
  EXPECT_EQ(s.ctx.CurrentLine, 0);
  EXPECT_EQ(s.LyricLines()[1], "b");
  EXPECT_EQ(s.LineTimes(), Lines{"[00:00:00]"});
  EXPECT_EQ(s.player.lastStart, 0);

  s.FrameDrawn();
  s.player.position = 3000;
  s.Press(VkBack);  // on the first line: only back to the start
  EXPECT_EQ(s.ctx.CurrentLine, 0);
  EXPECT_EQ(s.LyricLines()[0], "[00:00:00]a");
  EXPECT_EQ(s.player.position, 0);
}

TEST(TimeEdit, KeysNeedMusicAndLyrics) {
  for (int off = 0; off < 2; ++off) {
    Session s({"a", "b"});
    (off == 0 ? s.ctx.settings.UseBGM : s.ctx.settings.UseMessage) = false;
    s.SpaceAt(1000);
    EXPECT_EQ(s.LyricLines()[1], "b");
    EXPECT_EQ(s.shell.closeRequests, 0);
  }
}

TEST(TimeEdit, F6KeepsTheFirstBackupAndRewritesTheLyrics) {
  TempDir dir;
  const std::string path = dir.Write("song.txt", "a\r\nb\r\n");
  Session s({"a", "b"}, path);
  s.SpaceAt(5230);
  s.Press(VkF6);
  EXPECT_EQ(ReadAll(dir.File("song_org.txt")), "a\r\nb\r\n");
  EXPECT_EQ(ReadAll(path), "[00:00:00]a\r\n[00:05:23]b\r\n");
  EXPECT_EQ(s.LyricLines().size(), 3u);  // the end marker is back
  EXPECT_EQ(s.shell.beeps, 1);
  EXPECT_EQ(s.Message(), "");

  s.FrameDrawn();
  s.Press(VkBack);
  s.Press(VkF6);
  EXPECT_EQ(ReadAll(dir.File("song_org.txt")), "a\r\nb\r\n");
  EXPECT_EQ(ReadAll(path), "[00:00:00]a\r\nb\r\n");
  EXPECT_EQ(s.shell.beeps, 2);
}

TEST(TimeEdit, BackupName) {
  EXPECT_EQ(TimeEditBackupName("/l/song_t.txt"), "/l/song_t_org.txt");
  EXPECT_EQ(TimeEditBackupName("/l.d/lyrics"), "/l.d/lyrics_org");
  EXPECT_EQ(TimeEditBackupName("/l/a.b.txt"), "/l/a.b_org.txt");
}

// Marks a folder immutable (even root cannot add to it) while it lives.
class ImmutableFolder {
 public:
  explicit ImmutableFolder(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return;
    flags |= FS_IMMUTABLE_FL;
    ok_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ~ImmutableFolder() {
    if (ok_) {
      int flags = 0;
      ::ioctl(fd_, FS_IOC_GETFLAGS, &flags);
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
    }
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return ok_; }

 private:
  int fd_ = -1;
  bool ok_ = false;
};

TEST(TimeEditFailures, NoBackupNoOverwrite) {
  // The lyrics file is reached through a link from a folder that takes no
  // new file, so the backup cannot be made there while the file itself
  // could still be rewritten.
  TempDir dir;
  const std::string real = dir.Write("store/real.txt", "a\r\nb\r\n");
  std::filesystem::create_directories(dir.File("shown"));
  const std::string path = dir.File("shown/song.txt");
  std::filesystem::create_symlink(real, path);
  Session s({"a", "b"}, path);
  s.SpaceAt(5230);

  ImmutableFolder guard(dir.File("shown"));
  if (!guard.ok()) GTEST_SKIP() << "this file system cannot make a folder immutable";
  s.Press(VkF6);
  EXPECT_EQ(ReadAll(real), "a\r\nb\r\n");
  EXPECT_FALSE(PathExists(dir.File("shown/song_org.txt")));
  EXPECT_NE(s.Message().find("song_org.txt"), std::string::npos);
  EXPECT_EQ(s.shell.beeps, 0);
  EXPECT_EQ(s.LyricLines().size(), 3u);
}

TEST(TimeEditFailures, RefusedWriteAfterTheBackupIsReported) {
  TempDir dir;
  const std::string path = dir.Write("song.txt", "a\r\nb\r\n");
  ::chmod(path.c_str(), 0444);  // read-only: refused even to root
  Session s({"a", "b"}, path);
  s.SpaceAt(5230);
  EXPECT_FALSE(SaveTimedLyrics(s.ctx));
  EXPECT_EQ(ReadAll(path), "a\r\nb\r\n");
  EXPECT_EQ(ReadAll(dir.File("song_org.txt")), "a\r\nb\r\n");
  EXPECT_NE(s.Message().find(path), std::string::npos);
  EXPECT_EQ(s.shell.beeps, 0);
}

TEST(TimeEditLoad, LoadingAPlainFilePreparesTheRecording) {
  TempDir dir;
  Rig rig;
  Settings& s = rig.ctx.settings;
  s.TimeTag = true;
  s.UseMessage = true;
  s.MESSAGE = dir.Write("song.txt", "a\r\nb\r\nc\r\n");
  s.iTextTiming = 500;
  SongLoader loader(rig.ctx, PrepareTimeEdit);
  loader.LoadSong();
  EXPECT_EQ(rig.ctx.lyrics.LyricLines, (Lines{"[00:00:00]a", "b", "c", ""}));
  EXPECT_EQ(rig.ctx.lyrics.LineTimes, Lines{"[00:00:00]"});
  EXPECT_EQ(s.iTextTiming, 0);
}

}  // namespace
}  // namespace quib
