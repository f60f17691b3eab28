#pragma once
// The settings dialog without widgets: the value of every control, the load
// (FormCreate), the save (BitBtn1Click), the music, lyrics and picture folder
// choices and the password filter. The Qt dialog binds its widgets to this;
// the running saver uses it alone, hidden, for its song switches.
#include <functional>
#include <span>
#include <string>

#include "config/settings.h"
#include "shell/saver_context.h"

namespace quib {

// The values of the controls, named after the controls; the key each one
// edits is beside it. Drop-down lists hold the item index, -1 for none.
struct SettingControls {
  // frame "設定"
  bool CheckBox7 = false;  // SetVolume
  int CSpinEdit1 = 1;      // Volume
  bool CheckBox6 = false;  // Debug
  bool CheckBox5 = false;  // TimeTag
  // frame "停止条件"
  bool CheckKey = false;    // StopOnKey
  bool MouseMove = false;   // StopOnMouseMove
  bool MouseClick = false;  // StopOnMouseClick
  // page "動作オプション"
  bool CheckBox1 = false;   // UseBGM
  bool CBoxRepeat = false;  // bFRepeat
  bool CheckBox3 = false;   // UseAutoPitch (kept hidden, written back)
  std::string Edit1;        // BGM
  bool CheckBox2 = false;   // UseMessage
  int ComboBox2 = -1;       // WipeStyle
  std::string Edit2;        // MESSAGE
  bool CheckBox4 = false;   // UseGaz
  bool CheckBox13 = false;  // MonoChro
  int ComboBox1 = -1;       // GazStyle
  std::string Edit3;        // Images
  int ComboBox7 = -1;       // bTransA = 100 - 10 * index
  bool CheckBox14 = false;  // bTransB
  // page "エフェクトオプション"
  int ComboBox3 = -1;       // iNoiseT
  int ComboBox4 = -1;       // iNoiseC
  int CSpinEdit3 = -2000;   // iTextTiming
  bool CheckBox9 = false;   // bFontBL
  bool CheckBox10 = false;  // bFontIT
  bool CheckBox11 = false;  // bFontUL
  int CSpinEdit2 = 50;      // iFSizePer
  bool CheckBox8 = false;   // bFontSP
  std::string FNComboBox1;  // sFontNM
  int ComboBox5 = -1;       // TextBack
  int ComboBox6 = -1;       // iBackT
  // page "難しい設定"
  bool CBTime = false;    // bTimeForce
  bool CBNoKara = false;  // bNoKaraoke
  // page "パスワード"
  bool CheckBox12 = false;  // UsePass
  std::string Edit4;        // Password
};

struct SpinRange {
  int minValue;
  int maxValue;
  int step;
};
inline constexpr SpinRange CSpinEdit1Range{1, 100, 1};         // Volume
inline constexpr SpinRange CSpinEdit2Range{50, 200, 10};       // iFSizePer
inline constexpr SpinRange CSpinEdit3Range{-2000, 2000, 100};  // iTextTiming

// A spin edit's number from its text: clamped into the range; text that is
// not a number (an emptied edit) gives the minimum.
int SpinEditValue(const std::string& text, const SpinRange& range);
int ClampToSpin(int value, const SpinRange& range);

// The drop-down items, UTF-8, in item-index order.
std::span<const char* const> ComboBox1Items();  // GazStyle
std::span<const char* const> ComboBox2Items();  // WipeStyle
std::span<const char* const> ComboBox3Items();  // iNoiseT
std::span<const char* const> ComboBox4Items();  // iNoiseC
std::span<const char* const> ComboBox5Items();  // TextBack
std::span<const char* const> ComboBox6Items();  // iBackT
std::span<const char* const> ComboBox7Items();  // bTransA

inline constexpr int PasswordMaxLength = 20;

// One typed password character: a-z become capitals; anything but Backspace
// (8), ".", space, A-Z and 0-9 is dropped (returns 0).
char Edit4KeyPress(char key);
// A whole edited text through the same filter (for pasted text), cut to
// PasswordMaxLength.
std::string FilterPasswordText(const std::string& text);

class SettingModel final : public SongSwitchDialog {
 public:
  explicit SettingModel(std::string settingsPath);

  const std::string& SettingsPath() const { return settingsPath_; }

  SettingControls controls;
  std::string PresetBGM;
  std::string OpenDialog1InitialDir;  // folder of the music choice
  std::string OpenDialog2InitialDir;  // folder of the lyrics choice

  // The file and folder choosers, supplied by the Qt dialog. Each returns
  // true with the chosen path, false when cancelled. Unset choosers count as
  // cancelled, so the hidden model never waits for a user.
  std::function<bool(std::string& path)> ExecuteOpenDialog1;  // music file
  std::function<bool(std::string& path)> ExecuteOpenDialog2;  // lyrics file
  std::function<bool(std::string& path)> BrowseForFolder;     // picture folder

  // Loads every control from the settings file with the dialog defaults.
  void FormCreate();
  // The values OK writes, converted from the controls.
  Settings ToSettings() const;
  // OK: writes all 35 keys. False with the refusal text when a write failed.
  bool BitBtn1Click(std::string& error) override;
  // The music choice; with PresetBGM set no chooser is shown.
  void Button1Click() override;
  void Button2Click();  // lyrics file
  void Button3Click();  // picture folder

  void SetPresetBGM(const std::string& path) override { PresetBGM = path; }
  bool BGMAccepted() const override { return bgmAccepted_; }

 private:
  std::string settingsPath_;
  bool bgmAccepted_ = false;
};

}  // namespace quib
