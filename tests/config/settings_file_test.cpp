#include "config/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <sstream>

#include "platform/files.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

std::string FieldText(const Settings& s, const SettingKey& k) {
  switch (k.type) {
    case SettingType::Bool:
      return s.*k.boolField ? "1" : "0";
    case SettingType::Int:
      return std::to_string(s.*k.intField);
    case SettingType::String:
      return s.*k.textField;
  }
  return {};
}

std::string Field(const Settings& s, const char* key) {
  const SettingKey* k = FindSettingKey(key);
  EXPECT_NE(k, nullptr) << key;
  return k ? FieldText(s, *k) : std::string();
}

struct ReadCase {
  const char* ini;
  const char* key;
  const char* saver;   // what the saver reads
  const char* dialog;  // what the dialog reads
};

class SettingsReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(SettingsReadTest, ReadsValueOrDefault) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Write("QUIBKARAOKE.ini", c.ini);
  EXPECT_EQ(Field(ReadSaverSettings(path), c.key), c.saver) << c.ini;
  EXPECT_EQ(Field(ReadDialogSettings(path), c.key), c.dialog) << c.ini;
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsReadTest,
    testing::Values(ReadCase{"[Option]\nVolume=0x32\n", "Volume", "50", "50"},
                    ReadCase{"[Option]\nVolume=0X1e\n", "Volume", "30", "30"},
                    ReadCase{"[Option]\nVolume=$1F\n", "Volume", "31", "31"},
                    ReadCase{"[Option]\nVolume=abc\n", "Volume", "20", "20"},
                    ReadCase{"[Option]\nVolume=0x\n", "Volume", "20", "20"},
                    ReadCase{"[Option]\nVolume=\n", "Volume", "20", "20"},
                    ReadCase{"[Effect]\niTextTiming=-300\n", "iTextTiming", "-300", "-300"},
                    ReadCase{"[Option]\nUseBGM=2\n", "UseBGM", "1", "1"},
                    ReadCase{"[Option]\nUseMessage=0\n", "UseMessage", "0", "0"},
                    ReadCase{"[Option]\nUseMessage=yes\n", "UseMessage", "0", "1"},
                    ReadCase{"[Setting]\nStopOnKey=0\n", "StopOnKey", "0", "0"},
                    // A key in the wrong section is not the key.
                    ReadCase{"[Setting]\nWipeStyle=0\n", "WipeStyle", "1", "0"},
                    ReadCase{"[Option]\nbFRepeat=1\n", "bFRepeat", "1", "1"},
                    ReadCase{"[Option]\nPassword=ABC 12\n", "Password", "ABC 12", "ABC 12"},
                    ReadCase{"", "Password", "", "M.LYMO"},
                    // The two hand-set keys belong to the saver only.
                    ReadCase{"[Setting]\nObject=5\n", "Object", "5", "200"},
                    ReadCase{"[Transp]\nbTransA=5\n", "bTransA", "5", "5"}));

TEST(SettingsFile, LongStringsAreCut) {
  TempDir dir;
  const std::string path =
      dir.Write("QUIBKARAOKE.ini", "[Option]\nBGM=" + std::string(3000, 'a') + "\n");
  EXPECT_EQ(ReadSaverSettings(path).BGM, std::string(2047, 'a'));
}

TEST(SettingsFile, EmptyOrMissingFileGivesEachSetOfDefaults) {
  TempDir dir;
  const std::string empty = dir.Write("empty.ini", "");
  const std::string missing = dir.File("missing.ini");
  const Settings saver = SaverDefaults(), dialog = DialogDefaults(), plain{};
  for (const std::string& path : {empty, missing}) {
    const Settings readSaver = ReadSaverSettings(path), readDialog = ReadDialogSettings(path);
    for (const SettingKey& k : SettingsTable()) {
      // The struct's own initial values are the saver's defaults too.
      EXPECT_EQ(FieldText(plain, k), FieldText(saver, k)) << k.key;
      EXPECT_EQ(FieldText(readSaver, k), FieldText(saver, k)) << k.key;
      if (k.dialogKey) {
        EXPECT_EQ(FieldText(readDialog, k), FieldText(dialog, k)) << k.key;
      }
    }
  }
  EXPECT_FALSE(saver.UseMessage);
  EXPECT_TRUE(dialog.UseMessage);
  EXPECT_EQ(dialog.WipeStyle, 0);
  EXPECT_FALSE(dialog.bFRepeat);
  EXPECT_EQ(dialog.Password, "M.LYMO");
  EXPECT_FALSE(PathExists(missing));  // reading creates nothing
}

// Sections and keys of an INI text, in file order.
std::vector<std::string> KeysInOrder(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[') {
      section = line.substr(1, line.size() - 2);
    } else if (auto eq = line.find('='); eq != std::string::npos) {
      out.push_back(section + "." + line.substr(0, eq));
    }
  }
  return out;
}

TEST(SettingsFile, WriterWritesTheDialogKeysInItsOrderIntoAPrivateFile) {
  TempDir dir;
  const std::string path = dir.File("conf/QUIBKARAOKE.ini");  // folder made on demand
  std::string error = "stale";
  ASSERT_TRUE(WriteSettings(path, DialogDefaults(), error));
  EXPECT_EQ(error, "");
  const std::vector<std::string> expected = {"Setting.StopOnKey",
                                             "Setting.StopOnMouseMove",
                                             "Setting.StopOnMouseClick",
                                             "Option.UseBGM",
                                             "Option.BGM",
                                             "Option.UseMessage",
                                             "Option.MESSAGE",
                                             "Option.UseAutoPitch",
                                             "Option.UseGaz",
                                             "Option.Images",
                                             "Option.Debug",
                                             "Option.TimeTag",
                                             "Option.WipeStyle",
                                             "Option.GazStyle",
                                             "Option.SetVolume",
                                             "Option.Volume",
                                             "Option.TextBack",
                                             "Option.MonoChro",
                                             "Option.UsePass",
                                             "Option.bFRepeat",
                                             "Option.Password",
                                             "Effect.iNoiseT",
                                             "Effect.iNoiseC",
                                             "Effect.bFontSP",
                                             "Effect.sFontNM",
                                             "Effect.bFontBL",
                                             "Effect.bFontIT",
                                             "Effect.bFontUL",
                                             "Effect.iFSizePer",
                                             "Effect.iTextTiming",
                                             "Effect.iBackT",
                                             "Transp.bTransB",
                                             "Transp.bTransA",
                                             "Karaoke.bTimeForce",
                                             "Karaoke.bNoKaraoke"};
  // The last three [Option] keys join their section, which comes second.
  EXPECT_EQ(KeysInOrder(test::ReadAll(path)), expected);
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  const Settings back = ReadDialogSettings(path);
  for (const SettingKey& k : SettingsTable())
    if (k.dialogKey) {
      EXPECT_EQ(FieldText(back, k), FieldText(DialogDefaults(), k)) << k.key;
    }
}

TEST(SettingsFile, WriterKeepsHandSetKeysAndOtherSections) {
  TempDir dir;
  const std::string path = dir.Write("QUIBKARAOKE.ini", "[Setting]\nSpeed=7\n[Mine]\nx=y\n");
  std::string error;
  ASSERT_TRUE(WriteSettings(path, DialogDefaults(), error));
  const std::string text = test::ReadAll(path);
  EXPECT_NE(text.find("Speed=7"), std::string::npos);
  EXPECT_NE(text.find("[Mine]"), std::string::npos);
  EXPECT_EQ(ReadSaverSettings(path).Speed, 7);
}

TEST(SettingsFile, RefusedWriteReportsTheFileAndWritesNothing) {
  TempDir dir;
  // A folder in the path that is a plain file: refused even for root.
  dir.Write("blocker", "not a folder");
  const std::string path = dir.File("blocker/QUIBKARAOKE.ini");
  std::string error;
  EXPECT_FALSE(WriteSettings(path, DialogDefaults(), error));
  EXPECT_EQ(error, path + " に書き込めません");
  EXPECT_EQ(test::ReadAll(dir.File("blocker")), "not a folder");
}

TEST(SettingsFile, ValueWithALineBreakIsRefusedRatherThanSplitIntoKeys) {
  TempDir dir;
  const std::string path = dir.File("QUIBKARAOKE.ini");
  Settings values = DialogDefaults();
  values.BGM = "/m/a\n[Option]\nUsePass=1\r.mp3";
  std::string error;
  EXPECT_FALSE(WriteSettings(path, values, error));
  EXPECT_EQ(error, path + " に書き込めません");
  EXPECT_FALSE(ReadSaverSettings(path).UsePass);
  EXPECT_EQ(test::ReadAll(path).find("UsePass"), std::string::npos);
}

class EnvGuard {
 public:
  explicit EnvGuard(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v;
  }
  ~EnvGuard() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  void Set(const char* value) {
    if (value)
      setenv(name_, value, 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(SettingsFile, PathFollowsTheUsersConfigFolder) {
  EnvGuard xdg("XDG_CONFIG_HOME"), home("HOME");
  home.Set("/home/someone");
  struct Case {
    const char* xdg;
    const char* expected;
  } cases[] = {
      {"/xdg/conf", "/xdg/conf/QUIBKARAOKE.ini"},
      {nullptr, "/home/someone/.config/QUIBKARAOKE.ini"},
      {"", "/home/someone/.config/QUIBKARAOKE.ini"},
      {"relative/conf", "/home/someone/.config/QUIBKARAOKE.ini"},
  };
  for (const Case& c : cases) {
    xdg.Set(c.xdg);
    EXPECT_EQ(SettingsFilePath(), c.expected) << (c.xdg ? c.xdg : "(unset)");
  }
}

}  // namespace
}  // namespace quib
