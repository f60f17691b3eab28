#include "input/key_commands.h"

#include <string>
#include <vector>

#include "config/per_song_settings.h"
#include "input/password_input.h"
#include "input/time_edit.h"
#include "input/virtual_keys.h"
#include "lyrics/exports.h"
#include "platform/files.h"
#include "platform/media_player.h"
#include "sound/master_volume.h"
#include "sound/music_playback.h"

namespace quib {

namespace {

// The play list keeps the current song on screen: from the top while it is
// among the first entries, otherwise as the last of this many lines.
constexpr int PlayListLines = 21;

std::string OnOff(bool b) {
  return b ? "1" : "0";
}

int IndexOfSong(const std::vector<std::string>& files, const std::string& bgm) {
  for (size_t i = 0; i < files.size(); ++i)
    if (CompareNoCase(files[i], bgm) == 0) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::string QuickReferenceText() {
  return std::string("D : DebugMode|N : NextMessage Disp|T : TextBack|") +
         "S : SceneStyle|Z : NoiseType| I : ImageDspType||" + "UP/DOWN : Volume|ESC : Escape||" +
         "Left/Right : Select|L : PlayList||" +
         "CTRL + F9 : Save this music setting|CTRL + P : Make plain text|" +
         "CTRL + S : Make Safe text||" + "CTRL + Cursor : Fastforward & Rewind";
}

std::string PlayListText(const std::vector<std::string>& musicFiles, const std::string& bgm) {
  const int count = static_cast<int>(musicFiles.size());
  const int current = IndexOfSong(musicFiles, bgm);
  const int first = current > PlayListLines - 1 ? current - (PlayListLines - 1) : 0;
  std::string text = "[" + std::to_string(current + 1) + "/" + std::to_string(count) + "]|";
  for (int i = first; i < count && i < first + PlayListLines; ++i) {
    text += i == current ? "> " : "    ";
    text += FileNamePart(musicFiles[i]);
    text += "|";
  }
  return text;
}

KeyCommands::KeyCommands(SaverContext& ctx) : ctx_(ctx) {}

void KeyCommands::FormKeyDown(int key, bool ctrl) {
  if (ctx_.password.PasswordMode) {
    PasswordKeyDown(ctx_, key);
    return;
  }
  // The press of Ctrl itself is a Ctrl chord, whatever the modifier state
  // said at that moment: it must not end the saver.
  if (key == VkControl) ctrl = true;

  Settings& s = ctx_.settings;
  std::string& message = ctx_.message.MessageText;
  switch (key) {
    case VkReturn:
      message = QuickReferenceText();
      ctx_.message.MessageTime = 10000;
      return;
    case VkD:
      s.Debug = !s.Debug;
      message = "DebugMode : " + OnOff(s.Debug);
      return;
    case VkN:
      ctx_.ShowNextLine = !ctx_.ShowNextLine;
      message = "NextMessage : " + OnOff(ctx_.ShowNextLine);
      return;
    case VkT:
      s.TextBack = (s.TextBack + 1) % 4;
      message = "TextBack : " + std::to_string(s.TextBack);
      return;
    case VkZ:
      s.iNoiseT = (s.iNoiseT + 1) % 4;
      message = "NoiseType : " + std::to_string(s.iNoiseT);
      return;
    case VkI:
      s.GazStyle = (s.GazStyle + 1) % 6;
      message = "ImageDspType : " + std::to_string(s.GazStyle);
      return;
    case VkL:
      ShowPlayList();
      return;
    case Vk4:
    case VkNumpad4:
      StepSong(-1);
      return;
    case Vk6:
    case VkNumpad6:
      StepSong(+1);
      return;
    case VkUp:
    case VkDown:
      if (ctx_.volume) ctx_.volume->StepMasterVolume(key == VkUp, ctx_.message);
      return;
    default:
      break;
  }
  if (!ctrl) {
    switch (key) {
      case VkP:
        ctx_.ShowObject = !ctx_.ShowObject;
        message = "QuibObject : " + OnOff(ctx_.ShowObject);
        return;
      case VkS:
        s.iBackT = (s.iBackT + 1) % 5;
        message = "SceneStyle : " + std::to_string(s.iBackT);
        return;
      case VkLeft:
        StepSong(-1);
        return;
      case VkRight:
        StepSong(+1);
        return;
      default:
        break;
    }
  } else {
    switch (key) {
      case VkLeft:
      case VkRight:
        // Both seek steps look at the player's state themselves and draw
        // their frame; with the music stopped they do nothing.
        if (ctx_.player && ctx_.player->IsPlaying()) {
          if (key == VkLeft)
            Rewind(ctx_);
          else
            FastForward(ctx_);
        }
        return;
      case VkF9:
        if (s.UseBGM) SavePerSongSettings(ctx_);
        return;
      case VkP:
        if (s.UseMessage) ExportPlainText(ctx_);
        return;
      case VkS:
        if (s.UseMessage) ExportSafeText(ctx_);
        return;
      default:
        break;
    }
  }
  CloseOrTimeEdit(key, ctrl);
}

void KeyCommands::StepSong(int step) {
  if (!ctx_.settings.UseBGM) return;
  if (ctx_.songs) {
    std::string picked = ctx_.songs->PickSong(step);
    // An unreadable folder picks nothing; the song that plays stays the
    // current one rather than leaving the saver without a music file.
    if (!picked.empty()) {
      if (ctx_.shell) ctx_.shell->StopFrameTimer();
      if (ctx_.player) ctx_.player->Stop();
      ctx_.settings.BGM = picked;
      ctx_.songs->SelectSong(picked);
    }
  }
  ShowPlayList();
}

void KeyCommands::ShowPlayList() {
  if (ctx_.songs) ctx_.songs->PickSong(0);  // builds the catalogue when the song is not in it
  ctx_.message.MessageText = PlayListText(ctx_.MusicFiles, ctx_.settings.BGM);
  if (ctx_.shell) ctx_.shell->DrawFrameNow();
}

void KeyCommands::CloseOrTimeEdit(int key, bool ctrl) {
  const Settings& s = ctx_.settings;
  if (key == VkEscape) {
    if (ctx_.shell) ctx_.shell->RequestClose();
    return;
  }
  if (!s.TimeTag) {
    if (s.StopOnKey && !ctrl && ctx_.shell) ctx_.shell->RequestClose();
    return;
  }
  if (!s.UseBGM || !s.UseMessage) return;
  switch (key) {
    case VkSpace:
      MarkNextLine(ctx_);
      return;
    case VkBack:
      UnmarkLine(ctx_);
      return;
    case VkF6:
      SaveTimedLyrics(ctx_);
      return;
    default:
      return;
  }
}

}  // namespace quib
