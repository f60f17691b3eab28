#include "shell/run_mode.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace quib {

bool ParseWindowId(const std::string& text, bool allowHex, unsigned long& id) {
  if (text.empty()) return false;
  int base = 10;
  size_t start = 0;
  if (allowHex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    start = 2;
  }
  for (size_t i = start; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (base == 10 ? !std::isdigit(c) : !std::isxdigit(c)) return false;
  }
  errno = 0;
  unsigned long long v = std::strtoull(text.c_str() + start, nullptr, base);
  if (errno != 0 || v == 0 || v > 0xFFFFFFFFull) return false;
  id = static_cast<unsigned long>(v);
  return true;
}

namespace {

// The screen-saver daemon's own switches: with any of them the daemon is
// starting us as a display mode.
bool IsDaemonSwitch(const std::string& a) {
  return a == "-root" || a == "--root" || a == "-window-id" || a == "--window-id";
}

}  // namespace

RunModeDecision DecideRunMode(const std::vector<std::string>& args,
                              const std::string& xscreensaverWindow) {
  RunModeDecision d;
  const size_t argc = args.size();

  // Started by the screen-saver daemon: its window in the environment and
  // no switch of our own.
  if (!xscreensaverWindow.empty()) {
    bool ownSwitch = false;
    std::string windowArg;
    for (size_t i = 1; i < argc; ++i) {
      if (IsDaemonSwitch(args[i])) {
        if ((args[i] == "-window-id" || args[i] == "--window-id") && i + 1 < argc)
          windowArg = args[++i];
      } else if (!args[i].empty() && (args[i][0] == '/' || args[i][0] == '-')) {
        ownSwitch = true;
      }
    }
    unsigned long id = 0;
    bool named = !windowArg.empty() ? ParseWindowId(windowArg, true, id)
                                    : ParseWindowId(xscreensaverWindow, true, id);
    if (!ownSwitch && named) {
      d.mode = RunMode::Saver;
      d.previewParent = id;
      d.xscreensaverWindow = true;
      return d;
    }
  }

  if (argc < 2 || args[1].empty() || (args[1][0] != '-' && args[1][0] != '/')) {
    d.mode = RunMode::Configure;
    return d;
  }
  char letter = args[1].size() >= 2
                    ? static_cast<char>(std::tolower(static_cast<unsigned char>(args[1][1])))
                    : '\0';
  switch (letter) {
    case 's':
      d.mode = RunMode::Saver;
      return d;
    case 'c':
      d.mode = RunMode::Configure;
      return d;
    case 'a':
      d.mode = RunMode::ChangePassword;
      return d;
    case 'p': {
      unsigned long id = 0;
      // The window must be a separate argument, and a number: anything else
      // cannot name a host window.
      if (argc < 3 || !ParseWindowId(args[2], false, id)) {
        d.exit = true;
        d.exitCode = -1;
        return d;
      }
      d.mode = RunMode::Preview;
      d.previewParent = id;
      return d;
    }
    default:
      d.exit = true;
      d.exitCode = -1;
      return d;
  }
}

}  // namespace quib
