#include "input/time_edit.h"

#include <string>

#include "config/settings_file.h"
#include "lyrics/lyrics_format.h"
#include "platform/files.h"
#include "platform/media_player.h"
#include "sound/music_playback.h"

namespace quib {

namespace {

constexpr const char* ZeroTag = "[00:00:00]";

// Takes off a leading "[...]" group, the way a mark replaces an older one.
// Only a group at the very start counts: a "]" further into a line is
// lyric text and must reach the saved file unchanged.
std::string WithoutLeadingTag(const std::string& line) {
  if (line.empty() || line[0] != '[') return line;
  size_t close = line.find(']');
  if (close == std::string::npos) return line;
  return line.substr(close + 1);
}

int RecordingTime(SaverContext& ctx) {
  // The position of MIDI music is not read back from the player; the frame
  // loop counts it instead.
  if (ctx.playback.IsMidi || !ctx.player) return ctx.playback.PlayPosition;
  return ctx.player->Position();
}

}  // namespace

void PrepareTimeEdit(SaverContext& ctx) {
  LyricState& lyrics = ctx.lyrics;
  lyrics.LineTimes.assign(1, ZeroTag);
  if (!lyrics.LyricLines.empty())
    lyrics.LyricLines[0] = ZeroTag + WithoutLeadingTag(lyrics.LyricLines[0]);
  // Timing by ear needs the line at full size and the words on the music's own clock.
  ctx.settings.iFSizePer = 100;
  ctx.settings.iTextTiming = 0;
}

void MarkNextLine(SaverContext& ctx) {
  std::vector<std::string>& lines = ctx.lyrics.LyricLines;
  const int next = ctx.CurrentLine + 1;
  // Before the first frame no line is current yet, and line 0 is fixed at 0:
  // a mark then would land on the wrong line. The final empty line is no lyric.
  if (ctx.CurrentLine < 0 || next + 1 >= static_cast<int>(lines.size())) return;
  const int t = RecordingTime(ctx);
  const std::string tag = FormatTimeTag(t < 0 ? 0 : t);
  lines[next] = tag + WithoutLeadingTag(lines[next]);
  ctx.lyrics.LineTimes.push_back(tag);
}

void UnmarkLine(SaverContext& ctx) {
  if (!ctx.RewindArmed || ctx.playback.IsMidi) return;
  ctx.RewindArmed = false;
  std::vector<std::string>& lines = ctx.lyrics.LyricLines;
  if (ctx.CurrentLine >= 1 && ctx.CurrentLine < static_cast<int>(lines.size())) {
    lines[ctx.CurrentLine] = WithoutLeadingTag(lines[ctx.CurrentLine]);
    if (!ctx.lyrics.LineTimes.empty()) ctx.lyrics.LineTimes.pop_back();
    --ctx.CurrentLine;
    PlayFrom(ctx, ParseTimeTag(lines[ctx.CurrentLine]));
  } else if (ctx.CurrentLine == 0) {
    PlayFrom(ctx, 0);
  }
}

std::string TimeEditBackupName(const std::string& lyricsPath) {
  const std::string folder = FolderPart(lyricsPath);
  const std::string name = FileNamePart(lyricsPath);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return folder + name + "_org";
  return folder + name.substr(0, dot) + "_org" + name.substr(dot);
}

bool SaveTimedLyrics(SaverContext& ctx) {
  const std::string& path = ctx.settings.MESSAGE;
  if (path.empty()) return false;
  const std::string backup = TimeEditBackupName(path);
  // The backup is a copy rather than the renamed file, so the lyrics file
  // stays in place until the new one replaces it in one step. A lyrics file
  // that has vanished has nothing left to keep.
  if (!PathExists(backup) && PathExists(path) && !CopyFileBytes(path, backup)) {
    ctx.message.MessageText = WriteRefusedText(backup);
    return false;
  }
  std::vector<std::string> lines = ctx.lyrics.LyricLines;
  if (!lines.empty()) lines.pop_back();  // the end marker is no line of the file
  if (!WriteTextLines(path, lines)) {
    ctx.message.MessageText = WriteRefusedText(path);
    return false;
  }
  if (ctx.shell) ctx.shell->Beep();
  return true;
}

}  // namespace quib
