// Real media through the silent output: these run in real time, so every
// wait is for a condition with a generous bound, and the files are short.
#include "platform/gst_media_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <thread>

#include "media_fixtures.h"
#include "support/test_support.h"

namespace quib {
namespace {

using Ms = std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

struct Format {
  const char* name;
  const char* file;
  const char* encoder;  // empty: the MIDI file
};

const Format Formats[] = {
    {"wav", "tone.wav", "wavenc"},
    {"mp3_cbr_no_header", "cbr.mp3", "lamemp3enc target=bitrate bitrate=128 cbr=true"},
    {"mp3_vbr_no_header", "vbr.mp3", "lamemp3enc target=quality quality=4"},
    {"mp3_with_header", "xing.mp3", "lamemp3enc target=quality quality=4 ! xingmux"},
    {"mp2", "tone.mp2", "avenc_mp2"},
    {"mp2_twolame", "two.MP2", "twolamemp2enc"},
    {"ogg", "tone.ogg", "vorbisenc ! oggmux"},
    {"wma", "tone.wma", "avenc_wmav2 ! asfmux"},
    {"mid", "notes.mid", ""},
};

void PrintTo(const Format& f, std::ostream* os) {
  *os << f.name;
}

constexpr double ToneSeconds = 2.0;

class MediaFiles {
 public:
  static MediaFiles& Get() {
    static MediaFiles files;
    return files;
  }
  std::string Path(const Format& f) const { return dir_.File(f.file); }
  std::string error;

 private:
  MediaFiles() {
    for (const Format& f : Formats) {
      if (*f.encoder == '\0') {
        dir_.Write(f.file, test::TwoNoteMidi());
      } else if (!test::MakeTone(dir_.File(f.file), f.encoder, ToneSeconds)) {
        error += std::string(f.file) + " ";
      }
    }
  }
  test::TempDir dir_;
};

// The frame-less first frame of an MPEG audio file that carries the length.
bool HasLengthHeader(const std::string& bytes) {
  const std::string head = bytes.substr(0, 256);
  return head.find("Xing") != std::string::npos || head.find("Info") != std::string::npos ||
         head.find("VBRI") != std::string::npos;
}

template <class Pred>
bool WaitFor(Pred pred, Ms bound) {
  const auto end = SteadyClock::now() + bound;
  while (!pred()) {
    if (SteadyClock::now() > end) return false;
    std::this_thread::sleep_for(Ms(5));
  }
  return true;
}

class PlayerFormatTest : public ::testing::TestWithParam<Format> {};

TEST_P(PlayerFormatTest, OpensWithTrueLengthAndPlaysInRealTime) {
  const Format& f = GetParam();
  MediaFiles& files = MediaFiles::Get();
  ASSERT_EQ(files.error, "") << "fixtures failed to encode";
  const std::string path = files.Path(f);
  if (std::strstr(f.name, "no_header")) {
    ASSERT_FALSE(HasLengthHeader(test::ReadAll(path)));
  }
  if (std::strstr(f.name, "with_header")) {
    ASSERT_TRUE(HasLengthHeader(test::ReadAll(path)));
  }

  GstMediaPlayer player(AudioOutput::Null);
  player.SetFileName(path);
  player.Open();
  ASSERT_EQ(player.Error(), 0) << player.ErrorMessage();
  ASSERT_TRUE(player.IsOpen());
  const int length = player.Length();
  // MIDI plays its notes for exactly two seconds; every other file is as
  // long as the sound its decoder gives.
  const double truth = *f.encoder ? test::DecodedLengthMs(path) : 2000.0;
  ASSERT_GT(truth, 0);
  EXPECT_NEAR(length, truth, 5.0);
  EXPECT_FALSE(player.IsPlaying());

  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.IsPlaying(); }, Ms(5000)));
  const auto t0 = SteadyClock::now();
  const int p0 = player.Position();
  int last = p0;
  for (int i = 0; i < 40; ++i) {
    std::this_thread::sleep_for(Ms(15));
    const int p = player.Position();
    ASSERT_GE(p, last) << "position ran backwards";
    last = p;
  }
  const auto wall = std::chrono::duration_cast<Ms>(SteadyClock::now() - t0).count();
  EXPECT_NEAR(player.Position() - p0, wall, 40);

  // Near the end: the stream ends on its own and the player stops there.
  player.PlayFrom(length - 300);
  EXPECT_GE(player.Position(), length - 300);
  ASSERT_TRUE(WaitFor([&] { return !player.IsPlaying(); }, Ms(5000)));
  EXPECT_EQ(player.Position(), length);

  // Playing from the end starts over; stopping keeps the position.
  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.IsPlaying(); }, Ms(5000)));
  EXPECT_LT(player.Position(), 500);
  player.Stop();
  const int stoppedAt = player.Position();
  std::this_thread::sleep_for(Ms(150));
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_NEAR(player.Position(), stoppedAt, 1);
  player.Close();
  EXPECT_FALSE(player.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerFormatTest, ::testing::ValuesIn(Formats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerTest, SeekKeepsTheTargetAndNeverRunsBackwards) {
  GstMediaPlayer player(AudioOutput::Null);
  player.SetFileName(MediaFiles::Get().Path(Formats[6]));  // ogg: a seek that has to decode
  player.Open();
  ASSERT_EQ(player.Error(), 0) << player.ErrorMessage();
  player.PlayFrom(1200);
  // Straight after the request, before the seek has completed.
  EXPECT_EQ(player.Position(), 1200);
  ASSERT_TRUE(WaitFor([&] { return player.IsPlaying(); }, Ms(5000)));
  int last = 1200;
  for (int i = 0; i < 20; ++i) {
    const int p = player.Position();
    ASSERT_GE(p, last);
    last = p;
    std::this_thread::sleep_for(Ms(10));
  }
  player.PlayFrom(200);  // a step back is a seek, not a clock running backwards
  EXPECT_EQ(player.Position(), 200);
  ASSERT_TRUE(WaitFor([&] { return player.IsPlaying(); }, Ms(5000)));
  EXPECT_LT(player.Position(), 600);
}

TEST(PlayerTest, FilesThatCannotPlayFailToOpenWithAText) {
  test::TempDir dir;
  struct Case {
    const char* what;
    std::string path;
  } cases[] = {
      {"garbage", dir.Write("noise.mp3", std::string(4096, '\x5A'))},
      {"empty", dir.Write("empty.wav", "")},
      {"text named as MIDI", dir.Write("words.mid", "MThd but nothing else")},
      {"missing", dir.File("gone.ogg")},
      {"no name", ""},
  };
  GstMediaPlayer player(AudioOutput::Null);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto t0 = SteadyClock::now();
    player.SetFileName(c.path);
    player.Open();
    EXPECT_LT(SteadyClock::now() - t0, std::chrono::seconds(11));
    EXPECT_NE(player.Error(), 0);
    EXPECT_NE(player.ErrorMessage(), "");
    EXPECT_FALSE(player.IsOpen());
    player.Play();  // harmless on a failed file
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.Position(), 0);
  }
  // The player is still good for the next file.
  player.SetFileName(MediaFiles::Get().Path(Formats[0]));
  player.Open();
  EXPECT_EQ(player.Error(), 0) << player.ErrorMessage();
}

TEST(MpegAudioLengthTest, TagsAndGarbageAroundTheFramesDoNotCount) {
  const std::string plain = test::ReadAll(MediaFiles::Get().Path(Formats[1]));
  int64_t expected = 0;
  test::TempDir dir;
  ASSERT_TRUE(MpegAudioLengthMs(dir.Write("plain.mp3", plain), expected));
  const std::string id3v2 = std::string("ID3\x04\0\0\0\0\x01\x00", 10) + std::string(128, '\0');
  const std::string id3v1 = "TAG" + std::string(125, ' ');
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"tag in front", id3v2 + plain},
      {"tag at the end", plain + id3v1},
      {"junk between frames", plain.substr(0, 4180) + std::string(37, '\xFF') + plain.substr(4180)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int64_t ms = 0;
    ASSERT_TRUE(MpegAudioLengthMs(dir.Write("case.mp3", c.bytes), ms));
    EXPECT_EQ(ms, expected);
  }
  int64_t ms = 0;
  // A frame cut short at the end is not played.
  ASSERT_TRUE(MpegAudioLengthMs(dir.Write("cut.mp3", plain.substr(0, plain.size() - 100)), ms));
  EXPECT_NEAR(ms, expected - 1152 * 1000 / 44100, 1);
  EXPECT_FALSE(MpegAudioLengthMs(dir.Write("text.mp3", std::string(2000, 'a')), ms));
  std::string strays;
  for (int i = 0; i < 500; ++i) strays += std::string("some text \xFF\xFB\x90\x64 ");
  EXPECT_FALSE(MpegAudioLengthMs(dir.Write("strays.mp3", strays), ms));
  EXPECT_FALSE(MpegAudioLengthMs(dir.File("missing.mp3"), ms));
}

}  // namespace
}  // namespace quib
