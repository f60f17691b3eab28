#pragma once
// The current song: the catalogue of music files in its folder, switching
// to another file through the settings dialog's music choice, and loading a
// song (about text, lyrics, pictures, music, frame timer).
#include <functional>
#include <string>
#include <vector>

#include "shell/saver_context.h"

namespace quib {

// Extension (lower-cased) is one of .wma .mp2 .mp3 .wav .mid .ogg.
bool IsMusicFile(const std::string& path);

// The three credit lines, an empty line and the quick-reference hint, "|"-joined.
std::string AboutText();

// Window caption while a song plays: "QUIB KARAOKE PLAYER - " + file name.
std::string SongCaption(const std::string& bgm);

// Fills out with folder + "/" + name for each "*.jpg" of folder, sorted
// without regard to case. Empty when the folder cannot be read.
void ScanImages(const std::string& folder, std::vector<std::string>& out);

// Music files of a folder (folder ends in "/"), sorted without regard to
// case. False when the folder cannot be listed.
bool ListMusicFiles(const std::string& folder, std::vector<std::string>& out);

// Step 12 of a load with the time-edit mode on. The time-edit code lives in
// a library that builds on this one, so whoever owns both hands it in.
using TimeEditPreparation = std::function<void(SaverContext&)>;

class SongLoader : public SongSwitcher {
 public:
  // ctx.dialog must be set before SelectSong is used; prepareTimeEdit is
  // PrepareTimeEdit of input/time_edit.h in the program.
  explicit SongLoader(SaverContext& ctx, TimeEditPreparation prepareTimeEdit = nullptr);

  // The catalogue entry step (-1, 0, +1) from the current BGM, wrapping
  // around; empty when the folder cannot be listed or holds no music file.
  std::string PickSong(int step) override;
  // Makes path the current song through the hidden dialog, saves the
  // settings and loads it. False (nothing changed) for a non-music or missing file.
  bool SelectSong(const std::string& path) override;
  // UseMessage and MESSAGE again from the settings file, then the file checks.
  void ReloadLyricSettings();
  // Rebuilds the lyric state, opens and starts the music, restarts the frame timer.
  void LoadSong();

 private:
  SaverContext& ctx_;
  TimeEditPreparation prepareTimeEdit_;
};

}  // namespace quib
