#include "sound/master_volume.h"

#include <gtest/gtest.h>

#include "platform/mixer.h"

namespace quib {
namespace {

TEST(MasterVolumeTest, ReadingRoundsAndWritingTruncates) {
  struct Case {
    uint32_t minRaw, maxRaw, raw;
    int percent;
    uint32_t writtenBack;
  } cases[] = {
      {0, 65535, 30000, 46, 30146},
      {0, 65535, 65535, 100, 65535},
      {0, 65535, 0, 0, 0},
      {0, 200, 1, 1, 2},  // 0.5 % rounds up
      {100, 300, 150, 25, 150},
      {0, 65536, 70000, 100, 65536},  // beyond the range reads as its end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    FakeMixer mixer;
    mixer.minRaw = c.minRaw;
    mixer.maxRaw = c.maxRaw;
    mixer.raw = c.raw;
    MasterVolume volume(mixer);
    int percent = -1;
    ASSERT_TRUE(volume.GetMasterVolume(percent));
    EXPECT_EQ(percent, c.percent);
    ASSERT_TRUE(volume.SetMasterVolume(percent));
    EXPECT_EQ(mixer.raw, c.writtenBack);
  }
}

TEST(MasterVolumeTest, StepsOnTheGridOfFive) {
  struct Case {
    int from;
    bool up;
    int to;
  } cases[] = {{47, true, 50}, {47, false, 40}, {100, true, 100},
               {3, false, 0},  {3, true, 5},    {0, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    FakeMixer mixer;
    mixer.maxRaw = 100;
    mixer.raw = static_cast<uint32_t>(c.from);
    MasterVolume volume(mixer);
    MessageLine msg;
    EXPECT_EQ(volume.StepMasterVolume(c.up, msg), c.to);
    EXPECT_EQ(mixer.raw, static_cast<uint32_t>(c.to));
    EXPECT_EQ(msg.MessageText, "Master Volume : " + std::to_string(c.to));
  }
}

TEST(MasterVolumeTest, WithoutAControlEverythingFailsQuietly) {
  struct Case {
    const char* what;
    bool present;
    uint32_t maxRaw;
  } cases[] = {{"no mixer", false, 65535}, {"empty range", true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeMixer mixer;
    mixer.present = c.present;
    mixer.maxRaw = c.maxRaw;
    mixer.raw = 0;
    MasterVolume volume(mixer);
    int percent = 77;
    EXPECT_FALSE(volume.GetMasterVolume(percent));
    EXPECT_EQ(percent, 77);
    MessageLine msg;
    EXPECT_EQ(volume.StepMasterVolume(true, msg), -1);
    EXPECT_EQ(msg.MessageText, "");
    EXPECT_EQ(mixer.writeCount, 0);
  }
}

TEST(MasterVolumeTest, PercentagesOutsideTheRangeAreClamped) {
  FakeMixer mixer;
  mixer.minRaw = 10;
  mixer.maxRaw = 1010;
  MasterVolume volume(mixer);
  ASSERT_TRUE(volume.SetMasterVolume(150));
  EXPECT_EQ(mixer.raw, 1010u);
  ASSERT_TRUE(volume.SetMasterVolume(-5));
  EXPECT_EQ(mixer.raw, 10u);
}

TEST(MasterVolumeTest, OpensOnceAndAgainAfterClosing) {
  FakeMixer mixer;
  MasterVolume volume(mixer);
  int percent = 0;
  volume.GetMasterVolume(percent);
  volume.SetMasterVolume(30);
  EXPECT_EQ(mixer.openCount, 1);
  volume.CloseMixer();
  EXPECT_EQ(mixer.closeCount, 1);
  volume.CloseMixer();  // closing a closed mixer is harmless
  EXPECT_EQ(mixer.closeCount, 1);
  volume.GetMasterVolume(percent);
  EXPECT_EQ(mixer.openCount, 2);
}

}  // namespace
}  // namespace quib
