#include "shell/saver_core.h"

#include <cstdlib>

#include "config/per_song_settings.h"
#include "config/settings_file.h"
#include "input/time_edit.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/media_player.h"

namespace quib {

namespace {

constexpr int MouseMoveThreshold = 64;

}  // namespace

SaverCore::SaverCore(Clock& clock, MediaPlayer& player, Mixer& mixer, ShellServices& shell)
    : volume_(mixer) {
  ctx_.clock = &clock;
  ctx_.player = &player;
  ctx_.volume = &volume_;
  ctx_.shell = &shell;
}

SaverCore::~SaverCore() {
  FormDestroy();
}

int SaverCore::SeasonOf(int month, int day) {
  int mmdd = month * 100 + day;
  if (mmdd >= 1223 && mmdd <= 1225) return 4;
  if (mmdd == 101) return 1;
  return 0;
}

void SaverCore::FormCreate(const SaverSetup& setup) {
  setup_ = setup;
  ctx_.runMode = setup.mode;
  ctx_.settingsPath = setup.settingsPath;

  Settings& s = ctx_.settings;
  s = ReadSaverSettings(setup.settingsPath);

  if (!PathExists(s.BGM)) s.UseBGM = false;
  if (!PathExists(s.MESSAGE)) s.UseMessage = false;
  if (!PathExists(s.Images)) s.UseGaz = false;

  if (s.UseBGM) ApplyPerSongSettings(s);

  ctx_.StartCursorPos = setup.cursor;

  if (setup.mode == RunMode::Preview) {
    s.StopOnKey = false;
    s.StopOnMouseMove = false;
    s.StopOnMouseClick = false;
    s.UseBGM = false;
    s.UseGaz = false;
    s.TimeTag = false;
  }
  if (setup.daemonWindow) {
    // The daemon ends us and owns the keyboard; one copy plays the music.
    s.StopOnKey = false;
    s.StopOnMouseMove = false;
    s.StopOnMouseClick = false;
    s.TimeTag = false;
    s.UsePass = false;
    if (setup.musicTakenElsewhere) s.UseBGM = false;
  }

  PrepareMascot(setup.width);
  ctx_.banner.LoadImageFile(":/banner.png");

  if (s.SetVolume) {
    int saved = 0;
    if (volume_.GetMasterVolume(saved)) {
      ctx_.SavedVolume = saved;
      savedVolumeKnown_ = true;
    }
    volume_.SetMasterVolume(s.Volume);
  }

  LocalDate today = ctx_.clock->Today();
  int mmdd = today.month * 100 + today.day;
  caption_ = std::to_string(mmdd);
  ctx_.shell->SetCaption(caption_);
  ctx_.Season = setup.mode == RunMode::Preview ? 0 : SeasonOf(today.month, today.day);

  // The hidden settings dialog: the song switch goes through its music
  // choice and its OK, so a switch saves the settings exactly as the dialog would.
  if (setup.mode == RunMode::Saver) {
    dialog_ = std::make_unique<SettingModel>(setup.settingsPath);
    dialog_->FormCreate();
    ctx_.dialog = dialog_.get();
  }
  songs_ = std::make_unique<SongLoader>(ctx_, PrepareTimeEdit);
  ctx_.songs = songs_.get();
  keys_ = std::make_unique<KeyCommands>(ctx_);
}

void SaverCore::PrepareMascot(int width) {
  std::string custom = FolderPart(ctx_.settings.Images) + "quib.bmp";
  if (ctx_.settings.Images.empty()) custom = "quib.bmp";
  Canvas picture;
  if (PathExists(custom) && picture.LoadImageFile(custom) && picture.Width() > 0) {
    ctx_.mascot = std::move(picture);
    return;
  }
  // An unreadable "quib.bmp" keeps the built-in sprite.
  Canvas sprite;
  int side = width / 20;
  if (!sprite.LoadImageFile(":/mascot.png") || side <= 0) {
    ctx_.mascot = Canvas(side > 0 ? side : 1, side > 0 ? side : 1);
    return;
  }
  Canvas scaled(side, side);
  scaled.StretchFrom(0, 0, side, side, sprite, 0, 0, sprite.Width(), sprite.Height());
  ctx_.mascot = std::move(scaled);
}

void SaverCore::FormShow() {
  if (songs_) songs_->LoadSong();
}

bool SaverCore::Timer1Timer(int W, int H, Point cursor) {
  return frames_.Timer1Timer(ctx_, W, H, cursor);
}

void SaverCore::FormMouseUp() {
  if (ctx_.settings.StopOnMouseClick) ctx_.shell->RequestClose();
}

void SaverCore::FormMouseMove(Point p) {
  int dx = std::abs(p.x - ctx_.StartCursorPos.x);
  int dy = std::abs(p.y - ctx_.StartCursorPos.y);
  if ((dx > MouseMoveThreshold || dy > MouseMoveThreshold) && ctx_.settings.StopOnMouseMove &&
      !ctx_.settings.TimeTag)
    ctx_.shell->RequestClose();
}

void SaverCore::FormKeyDown(int virtualKey, bool ctrl) {
  if (setup_.daemonWindow) return;
  if (keys_) keys_->FormKeyDown(virtualKey, ctrl);
}

bool SaverCore::FormCloseQuery() {
  if (!ctx_.settings.UsePass || ctx_.runMode != RunMode::Saver) return true;
  if (ctx_.password.PasswordOK) return true;
  ctx_.password.PasswordMode = true;
  ctx_.message.MessageText = "Please, enter password to escape.";
  return false;
}

void SaverCore::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (ctx_.player && ctx_.player->IsOpen()) {
    ctx_.player->Stop();
    ctx_.player->Close();
  }
  if (ctx_.settings.SetVolume) {
    // Without a reading at start there is nothing to put back: writing the
    // initial 0 would mute the desktop.
    if (savedVolumeKnown_) volume_.SetMasterVolume(ctx_.SavedVolume);
    volume_.CloseMixer();
  }
}

}  // namespace quib
