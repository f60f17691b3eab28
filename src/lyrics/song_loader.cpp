#include "lyrics/song_loader.h"

#include <algorithm>

#include "config/setting_model.h"
#include "config/settings_file.h"
#include "lyrics/lyrics_format.h"
#include "platform/files.h"
#include "platform/media_player.h"
#include "platform/profile.h"
#include "sound/music_playback.h"

namespace quib {

namespace {

constexpr const char* MusicExtensions[] = {".wma", ".mp2", ".mp3", ".wav", ".mid", ".ogg"};

void SortNoCase(std::vector<std::string>& list) {
  std::sort(list.begin(), list.end(),
            [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
}

int IndexNoCase(const std::vector<std::string>& list, const std::string& item) {
  for (size_t i = 0; i < list.size(); ++i)
    if (CompareNoCase(list[i], item) == 0) return static_cast<int>(i);
  return -1;
}

}  // namespace

bool IsMusicFile(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return std::find(std::begin(MusicExtensions), std::end(MusicExtensions), ext) !=
         std::end(MusicExtensions);
}

std::string AboutText() {
  return "QUIB KARAOKE SCREENSAVER 1.0|"
         "Sing along with your idle desktop.|"
         "Made for the Linux desktop by the QUIB karaoke team.|"
         "|"
         "Push [Enter] for Quick reference.";
}

std::string SongCaption(const std::string& bgm) {
  return "QUIB KARAOKE PLAYER - " + FileNamePart(bgm);
}

void ScanImages(const std::string& folder, std::vector<std::string>& out) {
  out.clear();
  std::vector<std::string> names;
  if (!ListFolder(folder, "*.jpg", names)) return;
  // The folder is used as stored; one that already ends in "/" gives a
  // doubled separator, which file access takes as one.
  for (const std::string& name : names) out.push_back(folder + "/" + name);
  SortNoCase(out);
}

bool ListMusicFiles(const std::string& folder, std::vector<std::string>& out) {
  out.clear();
  std::vector<std::string> names;
  if (!ListFolder(folder, "*.*", names)) return false;
  for (const std::string& name : names)
    if (IsMusicFile(name)) out.push_back(folder + name);
  SortNoCase(out);
  return true;
}

SongLoader::SongLoader(SaverContext& ctx, TimeEditPreparation prepareTimeEdit)
    : ctx_(ctx), prepareTimeEdit_(std::move(prepareTimeEdit)) {}

std::string SongLoader::PickSong(int step) {
  const std::string& bgm = ctx_.settings.BGM;
  // Built on first use in a run; files added to the folder later are not seen.
  if (IndexNoCase(ctx_.MusicFiles, bgm) < 0 && !ListMusicFiles(FolderPart(bgm), ctx_.MusicFiles))
    return {};
  const int count = static_cast<int>(ctx_.MusicFiles.size());
  // A current song that is not a catalogue entry and is alone in its folder
  // leaves nothing to pick.
  if (count == 0) return {};
  int i = IndexNoCase(ctx_.MusicFiles, bgm) + step;
  if (i < 0) i = count - 1;
  if (i >= count) i = 0;
  return ctx_.MusicFiles[static_cast<size_t>(i)];
}

bool SongLoader::SelectSong(const std::string& path) {
  if (!IsMusicFile(path) || !PathExists(path) || !ctx_.dialog) return false;

  ctx_.dialog->SetPresetBGM(path);
  ctx_.dialog->Button1Click();
  ctx_.dialog->SetPresetBGM("");
  if (!ctx_.dialog->BGMAccepted()) return false;

  ctx_.settings.BGM = path;
  std::string error;
  if (ctx_.dialog->BitBtn1Click(error)) {
    ReloadLyricSettings();
  } else {
    // The file could not take the new song's settings; the song is switched
    // all the same, with the lyrics the dialog found for it, and the refusal
    // is shown once the song runs.
    if (auto* model = dynamic_cast<SettingModel*>(ctx_.dialog)) {
      const Settings chosen = model->ToSettings();
      ctx_.settings.UseMessage = chosen.UseMessage;
      ctx_.settings.MESSAGE = chosen.MESSAGE;
      ctx_.settings.UseMessage = ctx_.settings.UseMessage && PathExists(ctx_.settings.MESSAGE);
      ctx_.settings.UseBGM = ctx_.settings.UseBGM && PathExists(ctx_.settings.BGM);
      ctx_.settings.UseGaz = ctx_.settings.UseGaz && PathExists(ctx_.settings.Images);
    } else {
      ReloadLyricSettings();
    }
  }
  LoadSong();
  if (!error.empty()) ctx_.message.MessageText = error;
  return true;
}

void SongLoader::ReloadLyricSettings() {
  Settings& s = ctx_.settings;
  const std::string path = ctx_.settingsPath.empty() ? SettingsFilePath() : ctx_.settingsPath;
  Profile profile(path);
  const Settings defaults = SaverDefaults();
  ReadSettingKey(profile, *FindSettingKey("UseMessage"), s, defaults);
  ReadSettingKey(profile, *FindSettingKey("MESSAGE"), s, defaults);
  if (!PathExists(s.BGM)) s.UseBGM = false;
  if (!PathExists(s.MESSAGE)) s.UseMessage = false;
  if (!PathExists(s.Images)) s.UseGaz = false;
}

void SongLoader::LoadSong() {
  Settings& s = ctx_.settings;
  if (ctx_.shell) ctx_.shell->StopFrameTimer();

  ctx_.message.MessageText = AboutText();
  ctx_.message.MessageTime = 15000;

  // The new lyric state is built aside and put in place whole, so that no
  // frame (nor a key that draws one) ever sees lines without their times.
  LyricState next;
  if (s.UseMessage && !ReadLyricsFile(s.MESSAGE, next.LyricLines, next.encoding)) {
    s.UseMessage = false;
    next.LyricLines.clear();
  }

  if (s.UseGaz && !s.Images.empty()) ScanImages(s.Images, ctx_.ImageFiles);

  if (ctx_.player && ctx_.player->IsPlaying()) {
    ctx_.player->Stop();
    ctx_.player->Close();
  }

  ctx_.CurrentLine = -1;
  ctx_.playback.PlayPosition = 0;
  ctx_.ImageIndex = 0;
  ctx_.ImageTime = 0;

  ctx_.playback.IsMidi = LowerExtension(s.BGM) == ".mid";

  bool musicOpened = false;
  if (s.UseBGM && !s.BGM.empty()) {
    if (ctx_.shell) ctx_.shell->SetCaption(SongCaption(s.BGM));
    OpenMusic(ctx_);
    musicOpened = s.UseBGM;
  }

  next.TimeRatio = 1.0f;
  next.LyricTagType = 0;
  if (s.UseMessage) {
    next.TimeRatio = ReadTimeRatio(next.LyricLines);
    next.LyricTagType = ClassifyLyrics(next.LyricLines);
    DropNonLyricLines(next.LyricLines, next.LyricTagType);
  }
  next.LineTimes = BuildLineTimes(next.LyricLines, musicOpened, ctx_.playback.SongLength);
  ctx_.lyrics = std::move(next);

  if (s.TimeTag && prepareTimeEdit_) prepareTimeEdit_(ctx_);

  ctx_.CurrentLine = -1;
  if (s.UseBGM) StartMusic(ctx_);
  ctx_.LastTick = 0;
  if (ctx_.shell) ctx_.shell->StartFrameTimer();
}

}  // namespace quib
