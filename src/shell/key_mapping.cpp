#include "shell/key_mapping.h"

#include "input/virtual_keys.h"

namespace quib {

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods) {
  const bool keypad = mods.testFlag(Qt::KeypadModifier);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
    return keypad ? VkNumpad0 + (qtKey - Qt::Key_0) : Vk0 + (qtKey - Qt::Key_0);
  // Qt names letter keys by their capital whatever the Shift state.
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return VkA + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return VkF1 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VkReturn;
    case Qt::Key_Space:
      return VkSpace;
    case Qt::Key_Backspace:
      return VkBack;
    case Qt::Key_Escape:
      return VkEscape;
    case Qt::Key_Left:
      return VkLeft;
    case Qt::Key_Up:
      return VkUp;
    case Qt::Key_Right:
      return VkRight;
    case Qt::Key_Down:
      return VkDown;
    case Qt::Key_Period:
      return keypad ? VkDecimal : VkOemPeriod;
    case Qt::Key_Shift:
      return VkShift;
    case Qt::Key_Control:
      return VkControl;
    case Qt::Key_Alt:
      return VkMenu;
    default:
      return 0;
  }
}

bool CtrlHeld(Qt::KeyboardModifiers mods) {
  return mods.testFlag(Qt::ControlModifier);
}

}  // namespace quib
