// The real back ends on whatever this machine has: they must work with a
// sound card and fail quietly without one.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "media_fixtures.h"
#include "platform/alsa_mixer.h"
#include "platform/gst_media_player.h"
#include "sound/master_volume.h"
#include "support/test_support.h"

namespace quib {
namespace {

TEST(AudioDeviceTest, MissingMixerFailsQuietly) {
  SilenceAudioLibraryNoise();
  AlsaMixer mixer("quib-no-such-device");
  MasterVolume volume(mixer);
  testing::internal::CaptureStderr();
  int percent = -1;
  EXPECT_FALSE(volume.GetMasterVolume(percent));
  EXPECT_FALSE(volume.SetMasterVolume(50));
  MessageLine msg;
  EXPECT_EQ(volume.StepMasterVolume(true, msg), -1);
  volume.CloseMixer();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(msg.MessageText, "");
}

TEST(AudioDeviceTest, DefaultMixerReadsBackWhatItWrites) {
  SilenceAudioLibraryNoise();
  AlsaMixer mixer;
  MasterVolume volume(mixer);
  int before = -1;
  if (!volume.GetMasterVolume(before)) GTEST_SKIP() << "no master volume on this machine";
  // Writing a value read from the grid lands on the same percentage.
  ASSERT_TRUE(volume.SetMasterVolume(before));
  int after = -1;
  ASSERT_TRUE(volume.GetMasterVolume(after));
  EXPECT_EQ(after, before);
  volume.CloseMixer();
}

TEST(AudioDeviceTest, DesktopOutputPlaysOrFailsWithoutNoise) {
  SilenceAudioLibraryNoise();
  test::TempDir dir;
  const std::string path = dir.File("tone.wav");
  ASSERT_TRUE(test::MakeTone(path, "wavenc", 0.5));
  testing::internal::CaptureStderr();
  {
    GstMediaPlayer player(AudioOutput::Auto);
    player.SetFileName(path);
    player.Open();
    if (player.Error() == 0) {
      player.Play();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      player.Stop();
    } else {
      EXPECT_NE(player.ErrorMessage(), "");
    }
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace quib
