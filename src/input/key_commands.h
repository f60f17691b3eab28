#pragma once
// The saver window's key-down handler: the password entry while it is up,
// the live commands, the time-edit keys and the stop-on-key rule.
#include <string>
#include <vector>

#include "shell/saver_context.h"

namespace quib {

class KeyCommands {
 public:
  explicit KeyCommands(SaverContext& ctx);

  // One key press: key is a virtual-key code (input/virtual_keys.h), ctrl
  // whether Ctrl is held. Other modifiers do not matter.
  void FormKeyDown(int key, bool ctrl);

 private:
  void StepSong(int step);
  void ShowPlayList();
  void CloseOrTimeEdit(int key, bool ctrl);

  SaverContext& ctx_;
};

// The Enter key's quick reference, "|" between its lines.
std::string QuickReferenceText();

// The play list message for the catalogue as it stands (at most 21 entries,
// the current song always among them). Does not build the catalogue.
std::string PlayListText(const std::vector<std::string>& musicFiles, const std::string& bgm);

}  // namespace quib
