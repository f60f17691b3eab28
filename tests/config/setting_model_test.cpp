#include "config/setting_model.h"

#include <gtest/gtest.h>

#include "config/settings_file.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::TempDir;

std::string Expand(const std::string& text, const std::string& dir) {
  std::string out = text;
  for (size_t p; (p = out.find("{d}")) != std::string::npos;) out.replace(p, 3, dir);
  return out;
}

struct ChoiceCase {
  const char* name;
  std::vector<const char*> files;  // made under the temporary folder
  const char* oldMusic;
  const char* oldLyrics;
  const char* oldPictures;
  const char* chosen;
  const char* lyrics;    // Edit2 afterwards
  const char* pictures;  // Edit3 afterwards
  bool useMessage;       // CheckBox2 afterwards (both boxes start ticked)
  bool useGaz;           // CheckBox4 afterwards
};

class MusicChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(MusicChoiceTest, DerivesLyricsAndPictures) {
  const ChoiceCase& c = GetParam();
  TempDir dir;
  const std::string& d = dir.path();
  for (const char* f : c.files) dir.Write(f, "");
  SettingModel model(dir.File("QUIBKARAOKE.ini"));
  model.controls.Edit1 = Expand(c.oldMusic, d);
  model.controls.Edit2 = Expand(c.oldLyrics, d);
  model.controls.Edit3 = Expand(c.oldPictures, d);
  model.controls.CheckBox2 = model.controls.CheckBox4 = true;

  model.SetPresetBGM(Expand(c.chosen, d));
  model.Button1Click();

  EXPECT_TRUE(model.BGMAccepted());
  EXPECT_TRUE(model.controls.CheckBox1);
  EXPECT_EQ(model.controls.Edit1, Expand(c.chosen, d));
  EXPECT_EQ(model.controls.Edit2, Expand(c.lyrics, d));
  EXPECT_EQ(model.controls.Edit3, Expand(c.pictures, d));
  EXPECT_EQ(model.controls.CheckBox2, c.useMessage);
  EXPECT_EQ(model.controls.CheckBox4, c.useGaz);
  EXPECT_EQ(model.OpenDialog2InitialDir, FolderPart(Expand(c.chosen, d)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MusicChoiceTest,
    testing::Values(ChoiceCase{"TimedLyricsWinAndPictureFolderFound",
                               {"m/song.mp3", "m/song.txt", "m/song_t.txt", "m/qkaraimg/a.jpg"},
                               "{d}/o/old.mp3",
                               "{d}/x/old.txt",
                               "{d}/y/",
                               "{d}/m/song.mp3",
                               "{d}/m/song_t.txt",
                               "{d}/m/qkaraimg/",
                               true,
                               true},
                    ChoiceCase{"PlainLyrics",
                               {"m/song.mp3", "m/song.txt"},
                               "{d}/o/old.mp3",
                               "{d}/x/old.txt",
                               "{d}/y/",
                               "{d}/m/song.mp3",
                               "{d}/m/song.txt",
                               "{d}/y/",
                               true,
                               true},
                    ChoiceCase{"OldSongsFilesAreDropped",
                               {"m/song.mp3"},
                               "{d}/o/old.mp3",
                               "{d}/o/old.txt",
                               "{d}/o/qkaraimg/",
                               "{d}/m/song.mp3",
                               "{d}/o/old.txt",
                               "{d}/o/qkaraimg/",
                               false,
                               false},
                    ChoiceCase{"FilesElsewhereStay",
                               {"m/song.mp3"},
                               "{d}/o/old.mp3",
                               "{d}/x/old.txt",
                               "{d}/y",
                               "{d}/m/song.mp3",
                               "{d}/x/old.txt",
                               "{d}/y",
                               true,
                               true},
                    ChoiceCase{"FolderComparisonIsCaseSensitive",
                               {"m/song.mp3"},
                               "{d}/O/old.mp3",
                               "{d}/o/old.txt",
                               "{d}/o/pics",
                               "{d}/m/song.mp3",
                               "{d}/o/old.txt",
                               "{d}/o/pics",
                               true,
                               true},
                    // No old music: no folder, so every picture folder counts as under it.
                    ChoiceCase{"EmptyOldMusicKeepsLyricsWithAFolder",
                               {"m/song.mp3"},
                               "",
                               "{d}/x/old.txt",
                               "{d}/y",
                               "{d}/m/song.mp3",
                               "{d}/x/old.txt",
                               "{d}/y",
                               true,
                               false},
                    ChoiceCase{"EmptyOldMusicDropsLyricsWithoutAFolder",
                               {"m/song.mp3"},
                               "",
                               "old.txt",
                               "",
                               "{d}/m/song.mp3",
                               "old.txt",
                               "",
                               false,
                               false},
                    ChoiceCase{"EmptyOldMusicStillFindsThePictures",
                               {"m/song.mp3", "m/qkaraimg/a.jpg"},
                               "",
                               "",
                               "",
                               "{d}/m/song.mp3",
                               "",
                               "{d}/m/qkaraimg/",
                               false,
                               true}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

TEST(MusicChoice, CancelledChooserChangesNothing) {
  TempDir dir;
  SettingModel model(dir.File("QUIBKARAOKE.ini"));
  model.controls.Edit1 = "/o/old.mp3";
  model.controls.Edit2 = "/o/old.txt";
  model.controls.CheckBox2 = true;
  model.Button1Click();  // no chooser at all, as in the hidden dialog
  EXPECT_FALSE(model.BGMAccepted());
  model.ExecuteOpenDialog1 = [](std::string&) { return false; };
  model.Button1Click();
  EXPECT_FALSE(model.BGMAccepted());
  EXPECT_EQ(model.controls.Edit1, "/o/old.mp3");
  EXPECT_TRUE(model.controls.CheckBox2);
  EXPECT_FALSE(model.controls.CheckBox1);
}

TEST(MusicChoice, ChooserIsUsedWithoutAPreset) {
  TempDir dir;
  const std::string song = dir.Write("song.wav", "");
  dir.Write("song.txt", "");
  SettingModel model(dir.File("QUIBKARAOKE.ini"));
  model.ExecuteOpenDialog1 = [&](std::string& path) {
    path = song;
    return true;
  };
  model.Button1Click();
  EXPECT_TRUE(model.BGMAccepted());
  EXPECT_EQ(model.controls.Edit1, song);
  EXPECT_EQ(model.controls.Edit2, dir.File("song.txt"));
}

TEST(LyricsAndFolderChoice, TickTheirBoxOnlyWhenSomethingWasChosen) {
  SettingModel model("unused.ini");
  model.Button2Click();
  model.Button3Click();
  EXPECT_FALSE(model.controls.CheckBox2);
  EXPECT_FALSE(model.controls.CheckBox4);
  model.ExecuteOpenDialog2 = [](std::string& p) {
    p = "/l/words.txt";
    return true;
  };
  model.BrowseForFolder = [](std::string& p) {
    p = "/pics";
    return true;
  };
  model.Button2Click();
  model.Button3Click();
  EXPECT_TRUE(model.controls.CheckBox2);
  EXPECT_EQ(model.controls.Edit2, "/l/words.txt");
  EXPECT_TRUE(model.controls.CheckBox4);
  EXPECT_EQ(model.controls.Edit3, "/pics");
}

struct RoundTrip {
  const char* ini;
  const char* key;
  int written;
};

class LoadSaveTest : public testing::TestWithParam<RoundTrip> {};

// What the file holds, through the controls, to what OK writes.
TEST_P(LoadSaveTest, ControlsConvertTheValue) {
  const RoundTrip& c = GetParam();
  TempDir dir;
  SettingModel model(dir.Write("QUIBKARAOKE.ini", c.ini));
  model.FormCreate();
  const Settings s = model.ToSettings();
  const SettingKey* k = FindSettingKey(c.key);
  ASSERT_NE(k, nullptr);
  const int value = k->type == SettingType::Bool ? (s.*k->boolField ? 1 : 0) : s.*k->intField;
  EXPECT_EQ(value, c.written) << c.ini;
}

INSTANTIATE_TEST_SUITE_P(
    Values, LoadSaveTest,
    testing::Values(RoundTrip{"[Transp]\nbTransA=5\n", "bTransA", 110},
                    RoundTrip{"[Transp]\nbTransA=30\n", "bTransA", 30},
                    RoundTrip{"[Transp]\nbTransA=35\n", "bTransA", 30},
                    RoundTrip{"[Transp]\nbTransA=200\n", "bTransA", 110},
                    RoundTrip{"[Transp]\nbTransB=2\n", "bTransB", 1},
                    RoundTrip{"[Option]\nVolume=0x32\n", "Volume", 50},
                    RoundTrip{"[Option]\nVolume=500\n", "Volume", 100},
                    RoundTrip{"[Option]\nVolume=0\n", "Volume", 1},
                    RoundTrip{"[Effect]\niFSizePer=10\n", "iFSizePer", 50},
                    RoundTrip{"[Effect]\niTextTiming=-9000\n", "iTextTiming", -2000},
                    RoundTrip{"[Option]\nGazStyle=9\n", "GazStyle", -1},
                    RoundTrip{"[Option]\nTextBack=3\n", "TextBack", -1},
                    RoundTrip{"[Effect]\niBackT=4\n", "iBackT", 4}, RoundTrip{"", "WipeStyle", 0},
                    RoundTrip{"", "UseMessage", 1},
                    RoundTrip{"[Option]\nUseAutoPitch=0\n", "UseAutoPitch", 0}));

TEST(LoadSave, PasswordIsTrimmedAndDefaulted) {
  TempDir dir;
  SettingModel model(dir.Write("QUIBKARAOKE.ini", "[Option]\nPassword=  AB C \n"));
  model.FormCreate();
  model.controls.Edit4 = "  AB C  ";
  EXPECT_EQ(model.ToSettings().Password, "AB C");
  SettingModel empty(dir.File("none.ini"));
  empty.FormCreate();
  EXPECT_EQ(empty.controls.Edit4, "M.LYMO");
}

TEST(LoadSave, InitialFoldersFollowThePaths) {
  TempDir dir;
  SettingModel model(dir.Write("QUIBKARAOKE.ini", "[Option]\nBGM=/m/a.mp3\nMESSAGE=/l/a.txt\n"));
  model.FormCreate();
  EXPECT_EQ(model.OpenDialog1InitialDir, "/m/");
  EXPECT_EQ(model.OpenDialog2InitialDir, "/l/");
}

TEST(PasswordFilter, KeepsCapitalsDigitsStopAndSpace) {
  const struct {
    char in, out;
  } keys[] = {{'a', 'A'}, {'z', 'Z'},   {'Q', 'Q'}, {'0', '0'}, {'9', '9'}, {'.', '.'},
              {' ', ' '}, {'\b', '\b'}, {'!', 0},   {'-', 0},   {'@', 0},   {'[', 0},
              {'`', 0},   {'{', 0},     {'\t', 0},  {'\xe3', 0}};
  for (const auto& k : keys) EXPECT_EQ(Edit4KeyPress(k.in), k.out) << int(k.in);
  EXPECT_EQ(FilterPasswordText("ab-c!d 1."), "ABCD 1.");
  EXPECT_EQ(FilterPasswordText(std::string(25, 'x')), std::string(20, 'X'));
}

TEST(SpinEdit, TextBecomesANumberInRange) {
  const struct {
    const char* text;
    int value;
  } cases[] = {{"", 1},      {"abc", 1}, {"42", 42}, {" 42 ", 42},
               {"150", 100}, {"-5", 1},  {"12x", 1}, {"99999999999999999999", 1}};
  for (const auto& c : cases) EXPECT_EQ(SpinEditValue(c.text, CSpinEdit1Range), c.value) << c.text;
  EXPECT_EQ(SpinEditValue("", CSpinEdit2Range), 50);
  EXPECT_EQ(SpinEditValue("", CSpinEdit3Range), -2000);
}

}  // namespace
}  // namespace quib
