#include "config/per_song_settings.h"

#include "config/settings_file.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "shell/saver_context.h"

namespace quib {

namespace {

// Read at start, in this order; the first four are also what Ctrl+F9 keeps.
constexpr const char* ReadKeys[] = {"TextBack", "iNoiseT", "iNoiseC",
                                    "iBackT",   "UsePass", "Password"};
constexpr int SavedKeyCount = 4;

}  // namespace

std::string PerSongSettingsPath(const std::string& bgm) {
  return ChangeExtension(bgm, ".qka");
}

void ApplyPerSongSettings(Settings& s) {
  if (!s.UseBGM || s.BGM.empty()) return;
  const std::string path = PerSongSettingsPath(s.BGM);
  if (!PathExists(path)) return;
  Profile profile(path);
  // The values in force are the defaults, so a key the file lacks changes nothing.
  const Settings current = s;
  for (const char* name : ReadKeys) ReadSettingKey(profile, *FindSettingKey(name), s, current);
}

void SavePerSongSettings(SaverContext& ctx) {
  const Settings& s = ctx.settings;
  if (!s.UseBGM) return;
  const std::string path = PerSongSettingsPath(s.BGM);
  // The per-song file holds no secret unless someone adds one by hand.
  Profile profile(path, 0644);
  for (int i = 0; i < SavedKeyCount; ++i) {
    if (!WriteSettingKey(profile, *FindSettingKey(ReadKeys[i]), s)) {
      ctx.message.MessageText = WriteRefusedText(path);
      return;
    }
  }
  ctx.message.MessageText = "\"" + FileNamePart(path) + "\" save completed.";
}

}  // namespace quib
