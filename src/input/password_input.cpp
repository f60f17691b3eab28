#include "input/password_input.h"

#include <string>
#include <string_view>

#include "input/virtual_keys.h"

namespace quib {

namespace {

// One more byte than the settings dialog lets into a password, so a
// too-long entry is visibly wrong rather than silently cut to a match.
constexpr size_t MaxInputBytes = 21;

std::string_view TrimControlAndSpace(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The character a key types into the entry, or 0 when it types none.
char TypedCharacter(int key) {
  if (IsMainRowDigit(key) || IsLetter(key)) return static_cast<char>(key);
  if (IsNumpadDigit(key)) return static_cast<char>('0' + (key - VkNumpad0));
  if (key == VkOemPeriod) return '.';
  if (key == VkSpace) return ' ';
  return 0;
}

}  // namespace

bool PasswordGuardsClose(const SaverContext& ctx) {
  return ctx.runMode == RunMode::Saver && ctx.settings.UsePass;
}

bool PasswordCloseQuery(SaverContext& ctx) {
  if (!PasswordGuardsClose(ctx) || ctx.password.PasswordOK) return true;
  ctx.password.PasswordMode = true;
  ctx.message.MessageText = "Please, enter password to escape.";
  return false;
}

void PasswordKeyDown(SaverContext& ctx, int key) {
  PasswordEntry& entry = ctx.password;
  if (char c = TypedCharacter(key)) {
    if (entry.PasswordInput.size() < MaxInputBytes) entry.PasswordInput += c;
    return;
  }
  switch (key) {
    case VkBack:
      if (!entry.PasswordInput.empty()) entry.PasswordInput.pop_back();
      return;
    case VkEscape:
      entry.PasswordMode = false;
      entry.PasswordInput.clear();
      return;
    case VkReturn:
      if (TrimControlAndSpace(entry.PasswordInput) == ctx.settings.Password) {
        entry.PasswordOK = true;
        if (ctx.shell) ctx.shell->RequestClose();
      } else {
        ++entry.FailCount;
        ctx.message.MessageText = "Password incorrect. (" + std::to_string(entry.FailCount) + ")";
      }
      return;
    default:
      return;
  }
}

}  // namespace quib
