#pragma once
// "QUIBKARAOKE.ini": where it lives, every key with its section, type,
// defaults and range in one table, and the readers and the writer built on
// that table. The saver, the settings dialog, the song switch and the
// per-song file all go through here so that no key is spelt twice.
#include <span>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace quib {

class Profile;

inline constexpr const char* SettingsFileName = "QUIBKARAOKE.ini";

// $XDG_CONFIG_HOME/QUIBKARAOKE.ini, or $HOME/.config/QUIBKARAOKE.ini when
// XDG_CONFIG_HOME is unset, empty or not absolute.
std::string SettingsFilePath();

enum class SettingType { Bool, Int, String };

// One key of the file. Exactly one of the three field pointers is set, the
// one that matches type. Bools and ints keep their defaults in the int
// columns, strings in the text columns.
struct SettingKey {
  const char* section;
  const char* key;
  SettingType type;
  bool Settings::*boolField;
  int Settings::*intField;
  std::string Settings::*textField;
  int saverDefault;
  int dialogDefault;
  const char* saverText;
  const char* dialogText;
  bool dialogKey;  // read and written by the dialog (all but Speed and Object)
  int minValue;    // the values the dialog offers (informational for free-form keys)
  int maxValue;
};

// All 37 keys. The order is the writer's order; the two keys only ever set by
// hand come first and are never written.
std::span<const SettingKey> SettingsTable();
const SettingKey* FindSettingKey(std::string_view key);  // case-insensitive; null when unknown

Settings SaverDefaults();
Settings DialogDefaults();

// One key, with the value of the same field in defaults standing in for a
// missing or unreadable entry.
void ReadSettingKey(const Profile& profile, const SettingKey& key, Settings& out,
                    const Settings& defaults);
// One key from the field of values. False when the platform refused the
// write, or when a text holds a line break, which the file cannot store.
bool WriteSettingKey(Profile& profile, const SettingKey& key, const Settings& values);

// The saver's start: all 37 keys with the saver defaults.
Settings ReadSaverSettings(const std::string& path);
// The dialog's start: the 35 dialog keys with the dialog defaults (Speed and
// Object keep their saver defaults).
Settings ReadDialogSettings(const std::string& path);

// The 35 dialog keys in the writer's order, every one every time. Stops at
// the first refused key, leaving the keys after it unwritten, and gives the
// refusal text in error. Each key lands through a temporary file and a
// rename, so the file is never left half-written. New files get mode 0600
// (the file holds the escape password).
bool WriteSettings(const std::string& path, const Settings& values, std::string& error);

// "<path> に書き込めません"
std::string WriteRefusedText(const std::string& path);

}  // namespace quib
