#include "sound/music_playback.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/clock.h"
#include "platform/media_player.h"

namespace quib {

namespace {

constexpr int SeekStepMs = 2000;
constexpr int SeekEndMarginMs = 1000;

// "[mm:ss:cc]" read the way the time tags are read everywhere ("[%d:%d:%d]");
// false when the tag does not hold three numbers.
bool TagToMs(const std::string& tag, int& ms) {
  int m = 0, s = 0, c = 0;
  if (std::sscanf(tag.c_str(), "[%d:%d:%d]", &m, &s, &c) != 3) return false;
  const long long total = m * 60000LL + s * 1000LL + c * 10LL;
  ms = static_cast<int>(std::clamp<long long>(total, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
  return true;
}

// The file name without its folder and without its last 4 bytes (the extension).
std::string SongTitle(const std::string& path) {
  const auto slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name.resize(name.size() >= 4 ? name.size() - 4 : 0);
  return name;
}

bool Playing(SaverContext& ctx) {
  return ctx.player && ctx.player->IsPlaying();
}

}  // namespace

int LyricClockAt(int playPosition, float timeRatio, int textTiming) {
  const double v = std::trunc(static_cast<double>(playPosition) * timeRatio - textTiming);
  if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (v >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

void OpenMusic(SaverContext& ctx) {
  if (!ctx.player) {
    ctx.settings.UseBGM = false;
    return;
  }
  MediaPlayer& player = *ctx.player;
  player.SetFileName(ctx.settings.BGM);
  player.Open();
  if (player.Error() != 0) {
    ctx.settings.UseBGM = false;
    ctx.message.MessageText = player.ErrorMessage();
    return;
  }
  ctx.playback.SongLength = player.Length();
}

void WaitForPlayback(SaverContext& ctx) {
  if (!ctx.player) return;
  for (int waits = 0; !ctx.player->IsPlaying() && waits < 100; ++waits) {
    if (ctx.clock) ctx.clock->Sleep(100);
  }
}

void StartMusic(SaverContext& ctx) {
  if (!ctx.player) return;
  ctx.player->Play();
  if (ctx.playback.IsMidi) {
    WaitForPlayback(ctx);
    ctx.playback.PlayPosition = 0;
  }
}

void PlayFrom(SaverContext& ctx, int ms) {
  if (!ctx.player) return;
  ctx.player->Stop();
  ctx.player->PlayFrom(ms);
  if (ctx.playback.IsMidi) {
    WaitForPlayback(ctx);
    ctx.playback.PlayPosition = ctx.player->Position();
  }
}

void UpdatePlayPosition(SaverContext& ctx, int elapsed) {
  PlaybackState& pb = ctx.playback;
  if (ctx.settings.UseBGM) {
    if (pb.IsMidi || !ctx.player)
      pb.PlayPosition += elapsed;
    else
      pb.PlayPosition = ctx.player->Position();
  } else if (ctx.settings.UseMessage) {
    int end = 0;
    if (!ctx.lyrics.LineTimes.empty() && TagToMs(ctx.lyrics.LineTimes.back(), end))
      pb.SongLength = end;
    pb.PlayPosition += elapsed;
  }
  pb.LyricClock = LyricClockAt(pb.PlayPosition, ctx.lyrics.TimeRatio, ctx.settings.iTextTiming);
}

void CheckSongEnd(SaverContext& ctx) {
  PlaybackState& pb = ctx.playback;
  if (ctx.settings.TimeTag || pb.PlayPosition / 10 < pb.SongLength / 10) return;
  pb.PlayPosition = 0;
  ctx.CurrentLine = 0;
  if (!ctx.settings.UseBGM) return;
  if (ctx.settings.bFRepeat) {
    if (ctx.shell) ctx.shell->StopFrameTimer();
    if (ctx.player) ctx.player->Stop();
    if (!ctx.songs) return;
    const std::string next = ctx.songs->PickSong(+1);
    // A folder that cannot be searched gives no next song; keeping the current
    // BGM leaves the song keys something to step from.
    if (!next.empty()) ctx.settings.BGM = next;
    ctx.songs->SelectSong(ctx.settings.BGM);
    ctx.message.MessageText = SongTitle(ctx.settings.BGM);
  } else if (ctx.player) {
    ctx.player->Stop();
    ctx.player->Seek(0);
    ctx.player->Play();
  }
}

namespace {

void SeekBy(SaverContext& ctx, int step) {
  MediaPlayer& player = *ctx.player;
  int p = player.Position() + step;
  p = std::max(p, 0);
  p = std::min(p, player.Length() - SeekEndMarginMs);
  // A song shorter than the margin would otherwise be asked to start before 0.
  p = std::max(p, 0);
  PlayFrom(ctx, p);
  if (ctx.shell) ctx.shell->DrawFrameNow();
}

}  // namespace

void FastForward(SaverContext& ctx) {
  if (!Playing(ctx)) return;
  ctx.message.MessageText = "Fastforward!";
  SeekBy(ctx, SeekStepMs);
}

void Rewind(SaverContext& ctx) {
  if (!Playing(ctx) || ctx.playback.IsMidi) return;
  ctx.message.MessageText = "Rewind!";
  SeekBy(ctx, -SeekStepMs);
}

}  // namespace quib
