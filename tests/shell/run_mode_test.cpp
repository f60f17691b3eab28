#include "shell/run_mode.h"

#include <gtest/gtest.h>

namespace quib {
namespace {

struct ModeCase {
  std::vector<std::string> args;
  bool exit;
  int exitCode;
  RunMode mode;
  unsigned long parent;
};

TEST(RunMode, CommandLineTable) {
  const ModeCase cases[] = {
      {{"q"}, false, 0, RunMode::Configure, 0},
      {{"q", "x"}, false, 0, RunMode::Configure, 0},
      {{"q", "/c"}, false, 0, RunMode::Configure, 0},
      {{"q", "/c:123456"}, false, 0, RunMode::Configure, 0},
      {{"q", "-S"}, false, 0, RunMode::Saver, 0},
      {{"q", "/s"}, false, 0, RunMode::Saver, 0},
      {{"q", "/screensaver"}, false, 0, RunMode::Saver, 0},
      {{"q", "/a"}, false, 0, RunMode::ChangePassword, 0},
      {{"q", "/p", "123456"}, false, 0, RunMode::Preview, 123456},
      {{"q", "/P", "42"}, false, 0, RunMode::Preview, 42},
      {{"q", "/p:123456"}, true, -1, RunMode::Configure, 0},
      {{"q", "/p", "0x1c"}, true, -1, RunMode::Configure, 0},
      {{"q", "/p", "12ab"}, true, -1, RunMode::Configure, 0},
      {{"q", "/x"}, true, -1, RunMode::Configure, 0},
      {{"q", "/"}, true, -1, RunMode::Configure, 0},
  };
  for (const ModeCase& c : cases) {
    RunModeDecision d = DecideRunMode(c.args);
    SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "(none)");
    EXPECT_EQ(d.exit, c.exit);
    if (c.exit) {
      EXPECT_EQ(d.exitCode, c.exitCode);
      continue;
    }
    EXPECT_EQ(d.mode, c.mode);
    EXPECT_EQ(d.previewParent, c.parent);
  }
}

TEST(RunMode, DaemonWindowFromEnvironment) {
  // The daemon names its window in hex or decimal; our own switches win.
  RunModeDecision d = DecideRunMode({"q", "-root"}, "0x2a00007");
  EXPECT_FALSE(d.exit);
  EXPECT_TRUE(d.xscreensaverWindow);
  EXPECT_EQ(d.mode, RunMode::Saver);
  EXPECT_EQ(d.previewParent, 0x2a00007ul);

  d = DecideRunMode({"q"}, "1234");
  EXPECT_TRUE(d.xscreensaverWindow);
  EXPECT_EQ(d.previewParent, 1234ul);

  d = DecideRunMode({"q", "-window-id", "0x10"}, "0x2a00007");
  EXPECT_EQ(d.previewParent, 0x10ul);

  d = DecideRunMode({"q", "/c"}, "0x2a00007");
  EXPECT_FALSE(d.xscreensaverWindow);
  EXPECT_EQ(d.mode, RunMode::Configure);

  d = DecideRunMode({"q", "/s"}, "junk");
  EXPECT_FALSE(d.xscreensaverWindow);
  EXPECT_EQ(d.mode, RunMode::Saver);
}

}  // namespace
}  // namespace quib
