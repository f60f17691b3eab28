// The karaoke split runs once per frame for the current line; a song load
// reads, classifies and times a whole file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lyrics/line_ops.h"
#include "lyrics/lyric_state.h"
#include "lyrics/lyrics_format.h"

namespace {

// A karaoke line of 120 bytes: ten pieces, each a tag and a word.
std::string KaraokeLine() {
  std::string line = "[00:01:00]";
  for (int i = 0; line.size() + 10 + 1 <= 120; ++i) {
    char tag[32];
    std::snprintf(tag, sizeof tag, "[00:%02d:%02d]", 1 + i / 2, (i % 2) * 50);
    line += i % 3 ? "a" : "la";
    line += tag;
  }
  line.resize(120, 'x');
  return line;
}

void BM_SplitKaraokeLine(benchmark::State& state) {
  const std::string line = KaraokeLine();
  quib::KaraokeSplit split;
  int clock = 1000;
  for (auto _ : state) {
    quib::SplitKaraokeLine(clock, line, 9000, quib::Encoding::Utf8, split);
    benchmark::DoNotOptimize(split.PieceProgress);
    clock = clock >= 8000 ? 1000 : clock + 15;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 120);
}
BENCHMARK(BM_SplitKaraokeLine);

void BM_LoadLyricsFile(benchmark::State& state) {
  std::string path = "/tmp/lyrics_bench_500.txt";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      state.SkipWithError("cannot write the lyrics file");
      return;
    }
    std::fputs("@TimeRatio=1.0\r\n// made for the benchmark\r\n", f);
    for (int i = 0; i < 500; ++i) {
      int t = i * 3000;
      std::fprintf(f, "[%02d:%02d:00]words of line %d [%02d:%02d:50]and more\r\n", t / 60000,
                   (t / 1000) % 60, i, t / 60000, (t / 1000) % 60);
    }
    std::fclose(f);
  }
  for (auto _ : state) {
    std::vector<std::string> lines;
    quib::Encoding enc;
    quib::ReadLyricsFile(path, lines, enc);
    float ratio = quib::ReadTimeRatio(lines);
    int type = quib::ClassifyLyrics(lines, enc);
    quib::DropNonLyricLines(lines, type);
    std::vector<std::string> times = quib::BuildLineTimes(lines, true, 1500000);
    benchmark::DoNotOptimize(ratio);
    benchmark::DoNotOptimize(times.data());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadLyricsFile);

}  // namespace

BENCHMARK_MAIN();
