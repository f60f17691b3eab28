#pragma once
#include <string>

namespace quib {

struct PasswordEntry {
  bool PasswordMode = false;  // the prompt is up and takes every key
  std::string PasswordInput;  // as typed
  bool PasswordOK = false;    // the right password was given
  int FailCount = 0;          // wrong tries so far
};

}  // namespace quib
