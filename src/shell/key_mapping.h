#pragma once
// Toolkit key events to the virtual-key codes the logic works in
// (input/virtual_keys.h).
#include <Qt>

namespace quib {

// Letters give their upper-case code whatever Shift says; the numpad's
// digits (Qt::KeypadModifier) their own codes, its Enter the same code as
// the main Enter. 0 for a key the logic has no name for: pass it on all the
// same, since any key press counts for the stop-on-key rule.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods);

bool CtrlHeld(Qt::KeyboardModifiers mods);

}  // namespace quib
