#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/password_input.h"
#include "input/virtual_keys.h"
#include "input_fakes.h"

namespace quib {
namespace {

using test::Rig;

// The saver with the password on, after a close request opened the entry.
struct Guarded : Rig {
  explicit Guarded(const std::string& password) {
    ctx.settings.UsePass = true;
    ctx.settings.Password = password;
    EXPECT_FALSE(PasswordCloseQuery(ctx));
  }
  void Type(const std::vector<int>& keys) {
    for (int k : keys) Press(k);
  }
  const std::string& Input() const { return ctx.password.PasswordInput; }
};

TEST(Password, CloseRequestOpensTheEntryOnlyInTheGuardedSaver) {
  struct Case {
    RunMode mode;
    bool usePass;
    bool mayClose;
  };
  for (const Case& c : {Case{RunMode::Saver, true, false}, Case{RunMode::Saver, false, true},
                        Case{RunMode::Preview, true, true}, Case{RunMode::Configure, true, true}}) {
    SaverContext ctx;
    ctx.runMode = c.mode;
    ctx.settings.UsePass = c.usePass;
    EXPECT_EQ(PasswordCloseQuery(ctx), c.mayClose);
    EXPECT_EQ(ctx.password.PasswordMode, !c.mayClose);
    EXPECT_EQ(ctx.message.MessageText, c.mayClose ? "" : "Please, enter password to escape.");
  }
}

struct EntryCase {
  const char* name;
  std::string password;
  std::vector<int> keys;  // typed before Enter
  bool accepted;
};

class PasswordCheck : public testing::TestWithParam<EntryCase> {};

TEST_P(PasswordCheck, EnterChecksTheTrimmedInput) {
  const EntryCase& c = GetParam();
  Guarded g(c.password);
  g.Type(c.keys);
  g.Press(VkReturn);
  EXPECT_EQ(g.ctx.password.PasswordOK, c.accepted);
  EXPECT_EQ(g.shell.closeRequests, c.accepted ? 1 : 0);
  if (c.accepted) {
    EXPECT_TRUE(PasswordCloseQuery(g.ctx));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, PasswordCheck,
    testing::Values(
        // Letter keys give the same code with Shift or without.
        EntryCase{"Letters", "SING", {VkS, VkI, VkN, VkP, VkBack, 'G'}, true},
        EntryCase{"SpacesAround", "AB", {VkSpace, VkA, 'B', VkSpace, VkSpace}, true},
        EntryCase{"InnerSpaceKept", "A B", {VkA, VkSpace, 'B'}, true},
        EntryCase{"NumpadAndPeriod", "M.12", {'M', VkOemPeriod, VkNumpad0 + 1, '2'}, true},
        EntryCase{"NumpadPeriodTypesNothing", "M.", {'M', VkDecimal, VkOemPeriod}, true},
        EntryCase{"CaseMatters", "sing", {VkS, VkI, VkN, 'G'}, false},
        EntryCase{"Prefix", "SINGER", {VkS, VkI, VkN, 'G'}, false},
        EntryCase{"OtherKeysTypeNothing", "AB", {VkA, VkF1, VkLeft, 0, 'B'}, true},
        EntryCase{"EmptyPassword", "", {}, true},
        EntryCase{"EmptyPasswordAllSpaces", "", {VkSpace, VkSpace}, true},
        EntryCase{"EmptyPasswordNotEmptyInput", "", {VkA}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Password, WrongTriesAreCountedForTheWholeRun) {
  Guarded g("OK");
  g.Type({VkA, VkReturn});
  EXPECT_EQ(g.Message(), "Password incorrect. (1)");
  EXPECT_EQ(g.Input(), "A");  // left as typed
  EXPECT_TRUE(g.ctx.password.PasswordMode);
  g.Press(VkEscape);
  EXPECT_FALSE(PasswordCloseQuery(g.ctx));
  g.Type({'B', VkReturn});
  EXPECT_EQ(g.Message(), "Password incorrect. (2)");
  EXPECT_EQ(g.shell.closeRequests, 0);
}

TEST(Password, InputHoldsAtMostTwentyOneBytes) {
  Guarded g(std::string(20, 'A'));
  for (int i = 0; i < 25; ++i) g.Press(VkA);
  EXPECT_EQ(g.Input(), std::string(21, 'A'));
  g.Press(VkBack);
  EXPECT_EQ(g.Input(), std::string(20, 'A'));
  g.Press(VkReturn);
  EXPECT_TRUE(g.ctx.password.PasswordOK);
}

TEST(Password, EscEmptiesTheInputAndTheSaverGoesOn) {
  Guarded g("OK");
  g.Type({VkA, 'B'});
  g.Press(VkEscape);
  EXPECT_FALSE(g.ctx.password.PasswordMode);
  EXPECT_EQ(g.Input(), "");
  EXPECT_EQ(g.shell.closeRequests, 0);

  g.Press(VkQ);  // a stop key asks to close again: the window shows the prompt anew
  EXPECT_EQ(g.shell.closeRequests, 1);
  EXPECT_FALSE(PasswordCloseQuery(g.ctx));
  EXPECT_TRUE(g.ctx.password.PasswordMode);
  EXPECT_EQ(g.Input(), "");
}

}  // namespace
}  // namespace quib
