#include "config/settings_file.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "platform/profile.h"

namespace quib {

namespace {

constexpr SettingKey Bool(const char* section, const char* key, bool Settings::*field, bool saver,
                          bool dialog) {
  return {.section = section,
          .key = key,
          .type = SettingType::Bool,
          .boolField = field,
          .intField = nullptr,
          .textField = nullptr,
          .saverDefault = saver ? 1 : 0,
          .dialogDefault = dialog ? 1 : 0,
          .saverText = nullptr,
          .dialogText = nullptr,
          .dialogKey = true,
          .minValue = 0,
          .maxValue = 1};
}
constexpr SettingKey Int(const char* section, const char* key, int Settings::*field, int saver,
                         int dialog, int minValue, int maxValue, bool dialogKey = true) {
  return {.section = section,
          .key = key,
          .type = SettingType::Int,
          .boolField = nullptr,
          .intField = field,
          .textField = nullptr,
          .saverDefault = saver,
          .dialogDefault = dialog,
          .saverText = nullptr,
          .dialogText = nullptr,
          .dialogKey = dialogKey,
          .minValue = minValue,
          .maxValue = maxValue};
}
constexpr SettingKey Text(const char* section, const char* key, std::string Settings::*field,
                          const char* saver, const char* dialog) {
  return {.section = section,
          .key = key,
          .type = SettingType::String,
          .boolField = nullptr,
          .intField = nullptr,
          .textField = field,
          .saverDefault = 0,
          .dialogDefault = 0,
          .saverText = saver,
          .dialogText = dialog,
          .dialogKey = true,
          .minValue = 0,
          .maxValue = 0};
}

constexpr int AnyInt = 0x7fffffff;

// The writer's order. Where the dialog's default is not mentioned it is the saver's.
constexpr std::array<SettingKey, 37> Table = {{
    Int("Setting", "Speed", &Settings::Speed, 0, 0, -AnyInt, AnyInt, false),
    Int("Setting", "Object", &Settings::Object, 200, 200, -AnyInt, AnyInt, false),
    Bool("Setting", "StopOnKey", &Settings::StopOnKey, true, true),
    Bool("Setting", "StopOnMouseMove", &Settings::StopOnMouseMove, true, true),
    Bool("Setting", "StopOnMouseClick", &Settings::StopOnMouseClick, true, true),
    Bool("Option", "UseBGM", &Settings::UseBGM, false, false),
    Text("Option", "BGM", &Settings::BGM, "", ""),
    Bool("Option", "UseMessage", &Settings::UseMessage, false, true),
    Text("Option", "MESSAGE", &Settings::MESSAGE, "", ""),
    Bool("Option", "UseAutoPitch", &Settings::UseAutoPitch, true, true),
    Bool("Option", "UseGaz", &Settings::UseGaz, false, false),
    Text("Option", "Images", &Settings::Images, "", ""),
    Bool("Option", "Debug", &Settings::Debug, false, false),
    Bool("Option", "TimeTag", &Settings::TimeTag, false, false),
    Int("Option", "WipeStyle", &Settings::WipeStyle, 1, 0, 0, 1),
    Int("Option", "GazStyle", &Settings::GazStyle, 0, 0, 0, 5),
    Bool("Option", "SetVolume", &Settings::SetVolume, false, false),
    Int("Option", "Volume", &Settings::Volume, 20, 20, 1, 100),
    Int("Option", "TextBack", &Settings::TextBack, 0, 0, 0, 2),
    Bool("Option", "MonoChro", &Settings::MonoChro, false, false),
    Int("Effect", "iNoiseT", &Settings::iNoiseT, 0, 0, 0, 3),
    Int("Effect", "iNoiseC", &Settings::iNoiseC, 0, 0, 0, 2),
    Bool("Effect", "bFontSP", &Settings::bFontSP, false, false),
    Text("Effect", "sFontNM", &Settings::sFontNM, "", ""),
    Bool("Effect", "bFontBL", &Settings::bFontBL, true, true),
    Bool("Effect", "bFontIT", &Settings::bFontIT, false, false),
    Bool("Effect", "bFontUL", &Settings::bFontUL, false, false),
    Int("Effect", "iFSizePer", &Settings::iFSizePer, 100, 100, 50, 200),
    Int("Effect", "iTextTiming", &Settings::iTextTiming, 0, 0, -2000, 2000),
    Int("Effect", "iBackT", &Settings::iBackT, 1, 1, 0, 4),
    Int("Transp", "bTransB", &Settings::bTransB, 0, 0, 0, 1),
    Int("Transp", "bTransA", &Settings::bTransA, 100, 100, 10, 100),
    Bool("Karaoke", "bTimeForce", &Settings::bTimeForce, true, true),
    Bool("Karaoke", "bNoKaraoke", &Settings::bNoKaraoke, false, false),
    Bool("Option", "UsePass", &Settings::UsePass, false, false),
    Bool("Option", "bFRepeat", &Settings::bFRepeat, true, false),
    Text("Option", "Password", &Settings::Password, "", "M.LYMO"),
}};

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

Settings DefaultsOf(bool dialog) {
  Settings s;
  for (const SettingKey& k : Table) {
    switch (k.type) {
      case SettingType::Bool:
        s.*k.boolField = (dialog ? k.dialogDefault : k.saverDefault) != 0;
        break;
      case SettingType::Int:
        s.*k.intField = dialog ? k.dialogDefault : k.saverDefault;
        break;
      case SettingType::String:
        s.*k.textField = dialog ? k.dialogText : k.saverText;
        break;
    }
  }
  return s;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return ".";
}

}  // namespace

std::string SettingsFilePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // Relative values are to be ignored, so a saver started from another
  // working folder still finds the same file.
  std::string folder = (xdg && xdg[0] == '/') ? std::string(xdg) : HomeFolder() + "/.config";
  return folder + "/" + SettingsFileName;
}

std::span<const SettingKey> SettingsTable() {
  return Table;
}

const SettingKey* FindSettingKey(std::string_view key) {
  for (const SettingKey& k : Table)
    if (SameNoCase(k.key, key)) return &k;
  return nullptr;
}

Settings SaverDefaults() {
  return DefaultsOf(false);
}
Settings DialogDefaults() {
  return DefaultsOf(true);
}

void ReadSettingKey(const Profile& profile, const SettingKey& key, Settings& out,
                    const Settings& defaults) {
  switch (key.type) {
    case SettingType::Bool:
      // Read as a number, so "2" counts as on and "abc" as the default.
      out.*key.boolField =
          profile.ReadInteger(key.section, key.key, defaults.*key.boolField ? 1 : 0) != 0;
      break;
    case SettingType::Int:
      out.*key.intField = profile.ReadInteger(key.section, key.key, defaults.*key.intField);
      break;
    case SettingType::String:
      out.*key.textField = profile.ReadString(key.section, key.key, defaults.*key.textField);
      break;
  }
}

bool WriteSettingKey(Profile& profile, const SettingKey& key, const Settings& values) {
  switch (key.type) {
    case SettingType::Bool:
      return profile.WriteBool(key.section, key.key, values.*key.boolField);
    case SettingType::Int:
      return profile.WriteInteger(key.section, key.key, values.*key.intField);
    case SettingType::String: {
      // A line break would end the value and start lines of its own, so a
      // file named "a\n[Option]\nUsePass=1.mp3" could set other keys. Such a
      // value cannot be stored; the write is refused instead.
      const std::string& text = values.*key.textField;
      if (text.find_first_of("\r\n") != std::string::npos) return false;
      return profile.WriteString(key.section, key.key, text);
    }
  }
  return false;
}

Settings ReadSaverSettings(const std::string& path) {
  const Settings defaults = SaverDefaults();
  Settings s = defaults;
  Profile profile(path);
  for (const SettingKey& k : Table) ReadSettingKey(profile, k, s, defaults);
  return s;
}

Settings ReadDialogSettings(const std::string& path) {
  const Settings defaults = DialogDefaults();
  Settings s = SaverDefaults();
  Profile profile(path);
  for (const SettingKey& k : Table)
    if (k.dialogKey) ReadSettingKey(profile, k, s, defaults);
  return s;
}

bool WriteSettings(const std::string& path, const Settings& values, std::string& error) {
  // A fresh account has no ~/.config yet; the folder holds a password file,
  // so it is made private.
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
    if (std::filesystem::create_directories(folder, ec))
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
  }
  Profile profile(path, 0600);
  for (const SettingKey& k : Table) {
    if (!k.dialogKey) continue;
    if (!WriteSettingKey(profile, k, values)) {
      error = WriteRefusedText(path);
      return false;
    }
  }
  error.clear();
  return true;
}

std::string WriteRefusedText(const std::string& path) {
  return path + " に書き込めません";
}

}  // namespace quib
