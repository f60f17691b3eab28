// The mapping lives in the shell library, which this test binary does not
// link (it brings the whole window); its one Qt-only file is built in here.
#include "shell/key_mapping.cpp"

#include <gtest/gtest.h>

namespace quib {
namespace {

struct MappingCase {
  int qtKey;
  Qt::KeyboardModifiers mods;
  int vk;
};

TEST(KeyMapping, QtKeysToVirtualKeys) {
  const Qt::KeyboardModifiers none;
  const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
  for (const MappingCase& c : {
           MappingCase{Qt::Key_A, none, VkA},
           MappingCase{Qt::Key_Z, Qt::ShiftModifier, VkZ},
           MappingCase{Qt::Key_P, Qt::ControlModifier, VkP},
           MappingCase{Qt::Key_0, none, Vk0},
           MappingCase{Qt::Key_9, none, Vk9},
           MappingCase{Qt::Key_4, pad, VkNumpad4},
           MappingCase{Qt::Key_0, pad, VkNumpad0},
           MappingCase{Qt::Key_F1, none, VkF1},
           MappingCase{Qt::Key_F6, none, VkF6},
           MappingCase{Qt::Key_F9, Qt::ControlModifier, VkF9},
           MappingCase{Qt::Key_F12, none, VkF12},
           MappingCase{Qt::Key_Left, none, VkLeft},
           MappingCase{Qt::Key_Up, none, VkUp},
           MappingCase{Qt::Key_Right, pad, VkRight},
           MappingCase{Qt::Key_Down, none, VkDown},
           MappingCase{Qt::Key_Return, none, VkReturn},
           MappingCase{Qt::Key_Enter, pad, VkReturn},
           MappingCase{Qt::Key_Space, none, VkSpace},
           MappingCase{Qt::Key_Backspace, none, VkBack},
           MappingCase{Qt::Key_Escape, none, VkEscape},
           MappingCase{Qt::Key_Period, none, VkOemPeriod},
           MappingCase{Qt::Key_Period, pad, VkDecimal},
           MappingCase{Qt::Key_Control, Qt::ControlModifier, VkControl},
           MappingCase{Qt::Key_Comma, none, 0},
           MappingCase{Qt::Key_Exclam, Qt::ShiftModifier, 0},
           MappingCase{Qt::Key_F13, none, 0},
       }) {
    EXPECT_EQ(VirtualKeyFromQt(c.qtKey, c.mods), c.vk) << std::hex << c.qtKey;
  }
}

TEST(KeyMapping, OnlyCtrlCountsAsCtrl) {
  EXPECT_TRUE(CtrlHeld(Qt::ControlModifier | Qt::ShiftModifier));
  EXPECT_FALSE(CtrlHeld(Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier));
}

}  // namespace
}  // namespace quib
