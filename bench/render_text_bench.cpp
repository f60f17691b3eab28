// The text layers of one frame: the lyric step alone (current line of 40
// two-byte characters wiping, next line) and with the overlays (debug panel,
// a three-line message) at full HD and 4K. Reported: median time per frame.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lyrics/lyrics_format.h"
#include "render/lyrics_display.h"
#include "render/overlays.h"
#include "shell/saver_context.h"

namespace {

using namespace quib;

// 40 double-byte characters, one karaoke piece of 100 ms each, from 10 s.
std::string KaraokeLine() {
  const char* kana[] = {"あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ"};
  std::string line = FormatTimeTag(10000);
  for (int i = 0; i < 40; ++i) {
    line += kana[i % 10];
    line += FormatTimeTag(10100 + 100 * i);
  }
  return line;
}

void Setup(SaverContext& ctx, bool overlays) {
  ctx.settings.UseMessage = true;
  ctx.settings.WipeStyle = 1;
  ctx.settings.Debug = overlays;
  ctx.settings.BGM = "/home/user/Music/song.mp3";
  ctx.lyrics.LyricLines = {"[00:05:00]前の行", KaraokeLine(), "次の行も四十文字くらいの長さ", ""};
  ctx.lyrics.LineTimes = {"[00:05:00]", "[00:10:00]", "[00:14:30]", "[00:18:00]"};
  ctx.lyrics.LyricTagType = kTagKaraoke;
  ctx.lyrics.encoding = Encoding::Utf8;
  ctx.playback.SongLength = 245000;
  ctx.CurrentLine = 1;
}

void Compose(benchmark::State& state, bool overlays) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  SaverContext ctx;
  Setup(ctx, overlays);
  Canvas back(w, h);
  LyricsDisplay lyrics;
  Overlays over;
  FrameValues f;
  f.W = w;
  f.H = h;
  f.u = w / 48;
  f.v = h / 64;
  f.dt = 15;
  int clock = 10400;
  for (auto _ : state) {
    // Inside the line's steady part, so every frame wipes.
    clock = clock >= 13200 ? 10400 : clock + 15;
    ctx.playback.PlayPosition = clock;
    lyrics.DrawLyricLines(back, f, ctx, clock);
    if (overlays) {
      ctx.message.MessageText = "Master Volume : 40|曲：夜空の星|Push [Enter] for Quick reference.";
      ctx.message.MessageTime = 4000;
      over.DrawOverlays(back, f, ctx, lyrics, clock);
    }
    benchmark::DoNotOptimize(back.Pixel(w / 2, h - 5 * f.u));
  }
}

void BM_LyricLayer(benchmark::State& state) {
  Compose(state, false);
}
void BM_LyricLayerAndOverlays(benchmark::State& state) {
  Compose(state, true);
}

BENCHMARK(BM_LyricLayer)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LyricLayerAndOverlays)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application, never a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
