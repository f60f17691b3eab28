#pragma once
// The command line decides the run mode once, before any window exists.
#include <string>
#include <vector>

#include "shell/saver_context.h"

namespace quib {

struct RunModeDecision {
  bool exit = false;  // end at once with exitCode
  int exitCode = 0;
  RunMode mode = RunMode::Configure;
  unsigned long previewParent = 0;  // X11 window id, Preview only
  bool xscreensaverWindow = false;  // drawing into a window named by XSCREENSAVER_WINDOW
};

// args[0] is the program. xscreensaverWindow is the value of the
// XSCREENSAVER_WINDOW environment variable (empty when unset).
RunModeDecision DecideRunMode(const std::vector<std::string>& args,
                              const std::string& xscreensaverWindow = "");

// A window id in decimal, or in hexadecimal after "0x"; false for anything else.
bool ParseWindowId(const std::string& text, bool allowHex, unsigned long& id);

}  // namespace quib
