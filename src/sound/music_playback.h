#pragma once
// The music of the current song and the lyric clock derived from it. All on
// the UI thread; the player, clock, shell and song switcher come from the
// context (any may be null where a caller does not need it).
#include "shell/saver_context.h"

namespace quib {

// Opens BGM and reads SongLength; on failure music is off for this song and
// the player's error text goes to the message line.
void OpenMusic(SaverContext& ctx);
// Starts the opened music (MIDI: waits for it to play, then counts from 0).
void StartMusic(SaverContext& ctx);
// Blocks until the player reports playing, at most 100 waits of 100 ms.
void WaitForPlayback(SaverContext& ctx);
// Restarts playing at ms.
void PlayFrom(SaverContext& ctx, int ms);
// One frame's step of PlayPosition and ctx.playback.LyricClock; elapsed is
// the frame's elapsed time in ms.
void UpdatePlayPosition(SaverContext& ctx, int elapsed);
// Detects the song end and loops the song or moves on to the next file.
void CheckSongEnd(SaverContext& ctx);
// Seek keys: 2 s forward or back while playing, then a frame at once.
void FastForward(SaverContext& ctx);
void Rewind(SaverContext& ctx);

// The lyric clock for a position: trunc(position * ratio - offset).
int LyricClockAt(int playPosition, float timeRatio, int textTiming);

}  // namespace quib
