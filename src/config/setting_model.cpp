#include "config/setting_model.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "config/settings_file.h"
#include "platform/files.h"

namespace quib {

namespace {

constexpr const char* GazStyleItems[] = {"センター",         "クロス",   "縦スクロール",
                                         "センター（拡散）", "スライド", "センター（透過）"};
constexpr const char* WipeItems[] = {"アップ", "サイド"};
constexpr const char* NoiseTypeItems[] = {"なし", "シネマ", "デジタル", "擬似インターレス"};
constexpr const char* NoiseColourItems[] = {"カラー", "ブラック", "ホワイト"};
constexpr const char* TextBackItems[] = {"なし", "網掛け", "塗りつぶし"};
constexpr const char* BackItems[] = {"なし", "（ランダム）", "宇宙飛行", "レーザー", "波紋"};
constexpr const char* OpacityItems[] = {" 0%（軽い）", "10%", "20%", "30%", "40%",
                                        "50%",         "60%", "70%", "80%", "90%"};

// A value outside the items selects nothing, as a list given a bad index does.
int ItemIndex(int value, std::span<const char* const> items) {
  return value >= 0 && value < static_cast<int>(items.size()) ? value : -1;
}

std::string TrimSpaces(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::span<const char* const> ComboBox1Items() {
  return GazStyleItems;
}
std::span<const char* const> ComboBox2Items() {
  return WipeItems;
}
std::span<const char* const> ComboBox3Items() {
  return NoiseTypeItems;
}
std::span<const char* const> ComboBox4Items() {
  return NoiseColourItems;
}
std::span<const char* const> ComboBox5Items() {
  return TextBackItems;
}
std::span<const char* const> ComboBox6Items() {
  return BackItems;
}
std::span<const char* const> ComboBox7Items() {
  return OpacityItems;
}

int ClampToSpin(int value, const SpinRange& range) {
  return std::clamp(value, range.minValue, range.maxValue);
}

int SpinEditValue(const std::string& text, const SpinRange& range) {
  const std::string trimmed = TrimSpaces(text);
  if (trimmed.empty()) return range.minValue;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(trimmed.c_str(), &end, 10);
  if (end == trimmed.c_str() || *end != '\0' || errno == ERANGE) return range.minValue;
  return static_cast<int>(std::clamp<long>(value, range.minValue, range.maxValue));
}

char Edit4KeyPress(char key) {
  if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
  const bool allowed = key == '\b' || key == '.' || key == ' ' || (key >= 'A' && key <= 'Z') ||
                       (key >= '0' && key <= '9');
  return allowed ? key : 0;
}

std::string FilterPasswordText(const std::string& text) {
  std::string out;
  for (char c : text) {
    char kept = Edit4KeyPress(c);
    if (kept != 0 && kept != '\b') out += kept;
    if (static_cast<int>(out.size()) == PasswordMaxLength) break;
  }
  return out;
}

SettingModel::SettingModel(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {}

void SettingModel::FormCreate() {
  const Settings s = ReadDialogSettings(settingsPath_);
  SettingControls& c = controls;
  c.CheckBox7 = s.SetVolume;
  c.CSpinEdit1 = ClampToSpin(s.Volume, CSpinEdit1Range);
  c.CheckBox6 = s.Debug;
  c.CheckBox5 = s.TimeTag;
  c.CheckKey = s.StopOnKey;
  c.MouseMove = s.StopOnMouseMove;
  c.MouseClick = s.StopOnMouseClick;
  c.CheckBox1 = s.UseBGM;
  c.CBoxRepeat = s.bFRepeat;
  c.CheckBox3 = s.UseAutoPitch;
  c.Edit1 = s.BGM;
  c.CheckBox2 = s.UseMessage;
  c.ComboBox2 = ItemIndex(s.WipeStyle, ComboBox2Items());
  c.Edit2 = s.MESSAGE;
  c.CheckBox4 = s.UseGaz;
  c.CheckBox13 = s.MonoChro;
  c.ComboBox1 = ItemIndex(s.GazStyle, ComboBox1Items());
  c.Edit3 = s.Images;
  c.ComboBox7 = ItemIndex(10 - s.bTransA / 10, ComboBox7Items());
  c.CheckBox14 = s.bTransB != 0;
  c.ComboBox3 = ItemIndex(s.iNoiseT, ComboBox3Items());
  c.ComboBox4 = ItemIndex(s.iNoiseC, ComboBox4Items());
  c.CSpinEdit3 = ClampToSpin(s.iTextTiming, CSpinEdit3Range);
  c.CheckBox9 = s.bFontBL;
  c.CheckBox10 = s.bFontIT;
  c.CheckBox11 = s.bFontUL;
  c.CSpinEdit2 = ClampToSpin(s.iFSizePer, CSpinEdit2Range);
  c.CheckBox8 = s.bFontSP;
  c.FNComboBox1 = s.sFontNM;
  c.ComboBox5 = ItemIndex(s.TextBack, ComboBox5Items());
  c.ComboBox6 = ItemIndex(s.iBackT, ComboBox6Items());
  c.CBTime = s.bTimeForce;
  c.CBNoKara = s.bNoKaraoke;
  c.CheckBox12 = s.UsePass;
  c.Edit4 = s.Password;
  OpenDialog1InitialDir = FolderPart(c.Edit1);
  OpenDialog2InitialDir = FolderPart(c.Edit2);
}

Settings SettingModel::ToSettings() const {
  const SettingControls& c = controls;
  Settings s = SaverDefaults();
  s.SetVolume = c.CheckBox7;
  s.Volume = c.CSpinEdit1;
  s.Debug = c.CheckBox6;
  s.TimeTag = c.CheckBox5;
  s.StopOnKey = c.CheckKey;
  s.StopOnMouseMove = c.MouseMove;
  s.StopOnMouseClick = c.MouseClick;
  s.UseBGM = c.CheckBox1;
  s.bFRepeat = c.CBoxRepeat;
  s.UseAutoPitch = c.CheckBox3;
  s.BGM = c.Edit1;
  s.UseMessage = c.CheckBox2;
  s.WipeStyle = c.ComboBox2;
  s.MESSAGE = c.Edit2;
  s.UseGaz = c.CheckBox4;
  s.MonoChro = c.CheckBox13;
  s.GazStyle = c.ComboBox1;
  s.Images = c.Edit3;
  s.bTransA = 100 - 10 * c.ComboBox7;
  s.bTransB = c.CheckBox14 ? 1 : 0;
  s.iNoiseT = c.ComboBox3;
  s.iNoiseC = c.ComboBox4;
  s.iTextTiming = c.CSpinEdit3;
  s.bFontBL = c.CheckBox9;
  s.bFontIT = c.CheckBox10;
  s.bFontUL = c.CheckBox11;
  s.iFSizePer = c.CSpinEdit2;
  s.bFontSP = c.CheckBox8;
  s.sFontNM = c.FNComboBox1;
  s.TextBack = c.ComboBox5;
  s.iBackT = c.ComboBox6;
  s.bTimeForce = c.CBTime;
  s.bNoKaraoke = c.CBNoKara;
  s.UsePass = c.CheckBox12;
  s.Password = TrimSpaces(c.Edit4);
  return s;
}

bool SettingModel::BitBtn1Click(std::string& error) {
  return WriteSettings(settingsPath_, ToSettings(), error);
}

void SettingModel::Button1Click() {
  SettingControls& c = controls;
  // Noted before anything changes: whether the lyrics and pictures belonged
  // to the old song's folder decides whether they follow the new song.
  const std::string oldFolder = FolderPart(c.Edit1);
  const bool lyricsBesideOld = FolderPart(c.Edit2) == oldFolder;
  const bool picturesUnderOld = c.Edit3.substr(0, oldFolder.size()) == oldFolder;

  std::string chosen;
  if (PresetBGM.empty()) {
    bgmAccepted_ = ExecuteOpenDialog1 && ExecuteOpenDialog1(chosen) && !chosen.empty();
  } else {
    chosen = PresetBGM;
    bgmAccepted_ = true;
  }
  if (!bgmAccepted_) return;

  if (lyricsBesideOld) c.CheckBox2 = false;
  if (picturesUnderOld) c.CheckBox4 = false;

  c.CheckBox1 = true;
  c.Edit1 = chosen;
  const std::string folder = FolderPart(chosen);
  OpenDialog2InitialDir = folder;

  const std::string stem = ChangeExtension(chosen, "");
  std::string lyrics;
  if (PathExists(stem + ".txt")) lyrics = stem + ".txt";
  if (PathExists(stem + "_t.txt")) lyrics = stem + "_t.txt";
  if (!lyrics.empty()) {
    c.CheckBox2 = true;
    c.Edit2 = lyrics;
  }

  const std::string pictures = folder + "qkaraimg/";
  if (PathExists(pictures)) {
    c.CheckBox4 = true;
    c.Edit3 = pictures;
  }
}

void SettingModel::Button2Click() {
  std::string chosen;
  if (!ExecuteOpenDialog2 || !ExecuteOpenDialog2(chosen) || chosen.empty()) return;
  controls.CheckBox2 = true;
  controls.Edit2 = chosen;
}

void SettingModel::Button3Click() {
  std::string chosen;
  if (!BrowseForFolder || !BrowseForFolder(chosen) || chosen.empty()) return;
  controls.CheckBox4 = true;
  controls.Edit3 = chosen;
}

}  // namespace quib
