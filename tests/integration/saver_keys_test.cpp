// The running saver answering real key presses under a private Xvfb:
// exports, the time-edit mode, the escape password and folder play.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <thread>

#include "integration/x_session.h"
#include "support/test_support.h"

namespace quib::test {
namespace {

using namespace std::chrono_literals;

// A quiet sine tone as a plain PCM WAV file.
void WriteWav(const std::string& path, int ms) {
  const int rate = 8000;
  const uint32_t samples = static_cast<uint32_t>(rate) * ms / 1000;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out << "RIFF";
  u32(36 + samples * 2);
  out << "WAVEfmt ";
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out << "data";
  u32(samples * 2);
  for (uint32_t i = 0; i < samples; ++i)
    u16(static_cast<uint16_t>(static_cast<int16_t>(3000 * std::sin(i * 0.2))));
}

struct SaverRun {
  SaverRun(const std::string& ini) : x(1024, 768) {
    config = std::make_unique<TempDir>();
    settings = config->Write("QUIBKARAOKE.ini", ini);
  }
  void Start() {
    saver = Process({QUIB_EXE, "/s"}, {{"DISPLAY", x.display()},
                                       {"QT_QPA_PLATFORM", "xcb"},
                                       {"XDG_CONFIG_HOME", config->path()},
                                       {"QUIB_AUDIO_OUTPUT", "null"},
                                       {"WAYLAND_DISPLAY", "<unset>"}});
    ASSERT_TRUE(WaitFor(
        [&] {
          std::string out = RunCapture(
              {"xdotool", "search", "--onlyvisible", "--pid", std::to_string(saver.pid())},
              {{"DISPLAY", x.display()}});
          return !out.empty();
        },
        60s));
  }
  void Key(const std::string& keys) {
    std::vector<std::string> argv{"xdotool", "key", "--delay", "30"};
    std::istringstream in(keys);
    std::string k;
    while (in >> k) argv.push_back(k);
    RunCapture(argv, {{"DISPLAY", x.display()}});
  }
  Xvfb x;
  std::unique_ptr<TempDir> config;
  std::string settings;
  Process saver;
};

std::string SongIni(const std::string& bgm, const std::string& lyrics, const std::string& more) {
  return "[Option]\nUseBGM=1\nBGM=" + bgm + "\nUseMessage=1\nMESSAGE=" + lyrics + "\nbFRepeat=0\n" +
         more;
}

TEST(SaverKeys, CtrlPWritesThePlainExportBesideTheMusic) {
  TempDir songs;
  std::string wav = songs.File("song.wav");
  WriteWav(wav, 20000);
  std::string lyrics =
      songs.Write("song_t.txt", "[00:01:00]Hel[00:01:50]lo\\w5!\r\n[00:03:00]two\r\n");
  SaverRun run(SongIni(wav, lyrics, ""));
  run.Start();
  // Pressed again until the song has loaded its lyrics.
  std::string plain = songs.File("song_plain.txt");
  EXPECT_TRUE(WaitFor(
      [&] {
        run.Key("ctrl+p");
        return WaitFor([&] { return ReadAll(plain) == "Hello!\r\ntwo\r\n\r\n"; }, 1s);
      },
      60s))
      << ReadAll(plain);
  EXPECT_TRUE(run.saver.Running());
  run.Key("Escape");
  auto st = run.saver.Wait(30s);
  ASSERT_TRUE(st.has_value());
  EXPECT_EQ(*st, 0);
}

int TagAt(const std::string& text, size_t line) {
  std::istringstream in(text);
  std::string l;
  for (size_t i = 0; std::getline(in, l); ++i)
    if (i == line) {
      int m = 0, s = 0, c = 0;
      if (std::sscanf(l.c_str(), "[%d:%d:%d]", &m, &s, &c) == 3)
        return m * 60000 + s * 1000 + c * 10;
      return -1;
    }
  return -1;
}

TEST(SaverKeys, TimeEditSessionWritesTagsAsFarApartAsTheSpacesAndKeepsTheOriginal) {
  TempDir songs;
  std::string wav = songs.File("song.wav");
  WriteWav(wav, 30000);
  const std::string original = "first\r\nsecond\r\nthird\r\n";
  std::string lyrics = songs.Write("song.txt", original);
  SaverRun run(SongIni(wav, lyrics, "TimeTag=1\n"));
  run.Start();
  // A mark made before the song's first frame records nothing, so mark and
  // save until the save shows the mark; that Space is the first one.
  auto t1 = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor(
      [&] {
        const std::string before = ReadAll(lyrics);
        t1 = std::chrono::steady_clock::now();
        run.Key("space F6");
        // An unchanged file means this Space recorded nothing (or F6 is still coming).
        WaitFor([&] { return ReadAll(lyrics) != before; }, 10s);
        return TagAt(ReadAll(lyrics), 1) >= 0;
      },
      60s))
      << ReadAll(lyrics);
  std::this_thread::sleep_for(1500ms);  // the gap being measured, not a wait for a condition
  auto t2 = std::chrono::steady_clock::now();
  run.Key("space F6");
  std::string backup = songs.File("song_org.txt");
  ASSERT_TRUE(WaitFor([&] { return TagAt(ReadAll(lyrics), 2) >= 0; }, 30s)) << ReadAll(lyrics);
  EXPECT_EQ(ReadAll(backup), original);
  std::string timed = ReadAll(lyrics);
  EXPECT_EQ(TagAt(timed, 0), 0);
  int gap = TagAt(timed, 2) - TagAt(timed, 1);
  int wall =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(t2 - t1).count());
  EXPECT_NEAR(gap, wall, 300) << timed;
  EXPECT_GT(TagAt(timed, 1), 0);
  run.Key("Escape");
  ASSERT_TRUE(run.saver.Wait(30s).has_value());
}

TEST(SaverKeys, PasswordRunEndsOnlyOnTheRightPassword) {
  SaverRun run("[Option]\nUsePass=1\nPassword=AB1\n");
  run.Start();
  run.Key("Escape");
  run.Key("z z Return");
  RunCapture({"xdotool", "mousemove", "900", "700", "click", "1"}, {{"DISPLAY", run.x.display()}});
  // Nothing so far may end it; give it time to misbehave.
  EXPECT_FALSE(run.saver.Wait(2s).has_value()) << "ended without the password";
  // The wrong text stays typed; take it back and type the right one.
  run.Key("BackSpace BackSpace a shift+b 1 Return");
  auto st = run.saver.Wait(30s);
  ASSERT_TRUE(st.has_value()) << "the right password did not end it";
  EXPECT_EQ(*st, 0);
}

TEST(SaverKeys, FolderPlayMovesToTheNextSongAndRewritesTheSettings) {
  TempDir songs;
  std::string a = songs.File("a.wav"), b = songs.File("b.wav");
  WriteWav(a, 2000);
  WriteWav(b, 20000);
  SaverRun run("[Option]\nUseBGM=1\nBGM=" + a + "\nbFRepeat=1\n");
  run.Start();
  // The switch writes every key the dialog holds, one after another; the
  // password is the last of them.
  bool moved = WaitFor(
      [&] {
        const std::string ini = ReadAll(run.settings);
        return ini.find("BGM=" + b) != std::string::npos &&
               ini.find("Password=M.LYMO") != std::string::npos;
      },
      60s);
  EXPECT_TRUE(moved) << ReadAll(run.settings);
  EXPECT_TRUE(run.saver.Running());
  run.Key("Escape");
  ASSERT_TRUE(run.saver.Wait(30s).has_value());
}

}  // namespace
}  // namespace quib::test
