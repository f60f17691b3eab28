// How closely the player's position follows the wall clock while playing,
// and how long a file takes from Open to sound, per format. Plays through
// the silent real-time output, so it needs no sound card.
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/gst_media_player.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Format {
  const char* ext;
  const char* encoder;
};
const Format Formats[] = {
    {"wav", "wavenc"},
    {"mp3", "lamemp3enc target=bitrate bitrate=128 cbr=true"},
    {"mp2", "avenc_mp2"},
    {"ogg", "vorbisenc ! oggmux"},
    {"wma", "avenc_wmav2 ! asfmux"},
    {"mid", nullptr},
};

const fs::path& Folder() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("quib_sound_bench_" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// A tone of the given length, encoded once per run.
std::string Fixture(const Format& f, int seconds) {
  const fs::path path = Folder() / ("tone" + std::to_string(seconds) + "." + f.ext);
  if (fs::exists(path)) return path.string();
  if (!f.encoder) {
    // One note held for the whole time at 120 bpm, 480 ticks a beat.
    const unsigned ticks = static_cast<unsigned>(seconds) * 960;
    std::string track = std::string("\x00\xC0\x00\x00\x90\x3C\x64", 7);
    track += char(0x80 | ((ticks >> 14) & 0x7F));
    track += char(0x80 | ((ticks >> 7) & 0x7F));
    track += char(ticks & 0x7F);
    track += std::string("\x80\x3C\x40\x00\xFF\x2F\x00", 7);
    std::string midi("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
    const auto n = static_cast<unsigned>(track.size());
    midi += std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + track;
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(midi.data(), 1, midi.size(), out);
    std::fclose(out);
    return path.string();
  }
  gst_init(nullptr, nullptr);
  const std::string desc =
      "audiotestsrc wave=sine samplesperbuffer=441 num-buffers=" + std::to_string(seconds * 100) +
      " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " + f.encoder +
      " ! filesink location=\"" + path.string() + "\"";
  GstElement* p = gst_parse_launch(desc.c_str(), nullptr);
  gst_element_set_state(p, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(p);
  GstMessage* m = gst_bus_timed_pop_filtered(
      bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  if (m) gst_message_unref(m);
  gst_object_unref(bus);
  gst_element_set_state(p, GST_STATE_NULL);
  gst_object_unref(p);
  return path.string();
}

double Quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(std::min<double>(v.size() - 1, std::floor(q * v.size())))];
}

// Reported position against elapsed wall time, sampled every 15 ms (a
// frame) for 5 s of steady play.
void BM_PositionAgainstWallClock(benchmark::State& state) {
  const Format& f = Formats[state.range(0)];
  const std::string path = Fixture(f, 6);
  std::vector<double> drift, steps;
  for (auto _ : state) {
    quib::GstMediaPlayer player(quib::AudioOutput::Null);
    player.SetFileName(path);
    player.Open();
    if (player.Error() != 0) {
      state.SkipWithError(player.ErrorMessage().c_str());
      return;
    }
    player.Play();
    // Start measuring once the position moves: from then on it should keep pace.
    const int p0 = player.Position();
    while (player.Position() == p0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const auto t0 = SteadyClock::now();
    const int start = player.Position();
    int last = start;
    auto next = t0;
    for (int i = 0; i < 333; ++i) {
      next += std::chrono::milliseconds(15);
      std::this_thread::sleep_until(next);
      const int p = player.Position();
      const double wall =
          std::chrono::duration<double, std::milli>(SteadyClock::now() - t0).count();
      drift.push_back(std::abs((p - start) - wall));
      steps.push_back(p - last);
      last = p;
    }
  }
  state.counters["drift_median_ms"] = Quantile(drift, 0.5);
  state.counters["drift_p99_ms"] = Quantile(drift, 0.99);
  state.counters["drift_max_ms"] = Quantile(drift, 1.0);
  state.counters["step_min_ms"] = steps.empty() ? 0 : *std::min_element(steps.begin(), steps.end());
  state.counters["step_max_ms"] = steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end());
  state.SetLabel(f.ext);
}

// From Open to the position moving: what the song load costs before the
// music is heard.
void BM_OpenToPlaying(benchmark::State& state) {
  const Format& f = Formats[state.range(0)];
  const std::string path = Fixture(f, 3);
  std::vector<double> opens;
  for (auto _ : state) {
    quib::GstMediaPlayer player(quib::AudioOutput::Null);
    player.SetFileName(path);
    const auto t0 = SteadyClock::now();
    player.Open();
    const auto t1 = SteadyClock::now();
    if (player.Error() != 0) {
      state.SkipWithError(player.ErrorMessage().c_str());
      return;
    }
    player.Play();
    while (player.Position() <= 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const auto t2 = SteadyClock::now();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t0).count());
    opens.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  state.counters["open_ms"] = Quantile(opens, 0.5);
  state.SetLabel(f.ext);
}

BENCHMARK(BM_PositionAgainstWallClock)
    ->DenseRange(0, 5)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToPlaying)
    ->DenseRange(0, 5)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QUIB_AUDIO_OUTPUT", "null", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  return 0;
}
