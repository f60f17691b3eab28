#pragma once
// Toolkit key events to the virtual-key codes the logic works in.
#include <Qt>

namespace quib {

// The virtual-key code of a key event (input/virtual_keys.h); 0 for keys the
// logic has no use for. Letters give their upper-case code whatever Shift
// says; digits and Enter give the same code from the numpad's Enter, the
// numpad digits their own codes (told apart by Qt::KeypadModifier).
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods);

bool CtrlHeld(Qt::KeyboardModifiers mods);

}  // namespace quib
