#pragma once
// The key codes the logic works in: the desktop's virtual-key numbering,
// where letters and digits of the main row are their upper-case character
// codes. The shell turns toolkit key events into these (shell/key_mapping.h).

namespace quib {

constexpr int VkBack = 0x08;
constexpr int VkReturn = 0x0D;
constexpr int VkShift = 0x10;
constexpr int VkControl = 0x11;
constexpr int VkMenu = 0x12;  // Alt
constexpr int VkEscape = 0x1B;
constexpr int VkSpace = 0x20;
constexpr int VkLeft = 0x25;
constexpr int VkUp = 0x26;
constexpr int VkRight = 0x27;
constexpr int VkDown = 0x28;

// Main-row digits and letters: their character codes.
constexpr int Vk0 = 0x30;
constexpr int Vk4 = 0x34;
constexpr int Vk6 = 0x36;
constexpr int Vk9 = 0x39;
constexpr int VkA = 0x41;
constexpr int VkD = 0x44;
constexpr int VkI = 0x49;
constexpr int VkL = 0x4C;
constexpr int VkN = 0x4E;
constexpr int VkP = 0x50;
constexpr int VkQ = 0x51;
constexpr int VkS = 0x53;
constexpr int VkT = 0x54;
constexpr int VkZ = 0x5A;

constexpr int VkNumpad0 = 0x60;
constexpr int VkNumpad4 = 0x64;
constexpr int VkNumpad6 = 0x66;
constexpr int VkNumpad9 = 0x69;
constexpr int VkDecimal = 0x6E;  // the numpad's period

constexpr int VkF1 = 0x70;
constexpr int VkF6 = 0x75;
constexpr int VkF9 = 0x78;
constexpr int VkF12 = 0x7B;

constexpr int VkOemPeriod = 0xBE;

constexpr bool IsMainRowDigit(int key) {
  return key >= Vk0 && key <= Vk9;
}
constexpr bool IsLetter(int key) {
  return key >= VkA && key <= VkZ;
}
constexpr bool IsNumpadDigit(int key) {
  return key >= VkNumpad0 && key <= VkNumpad9;
}

}  // namespace quib
