// The picture layers of one frame, composed in the frame loop's order, at
// full HD and 4K:
//   ripple + cross-fade (style 5) at 50 % + digital noise + mascots
//   space flight + vertical scroll (style 2) at 80 %
//   laser + tiles (style 3) + cinema noise
// and the decoding of a 12-megapixel JPEG at the scale the slideshow picks.
// Reported: the per-frame median of the thread's CPU time (counter
// median_cpu_us, steadier than wall time on a shared machine) beside the
// mean; frames that start a picture cycle decode a picture and are the slow tail.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/jpeg.h"
#include "render/background_layer.h"
#include "render/mascot_layer.h"
#include "render/noise_layer.h"
#include "render/slideshow_layer.h"

namespace {

using namespace quib;

std::string g_dir;
std::vector<std::string> g_photos;  // 3000 x 2000
std::string g_big;                  // 4000 x 3000

// A photograph-like picture: smooth shapes with grain, which is what makes
// entropy decoding cost what it does on real photos.
void WritePhoto(const std::string& path, int w, int h, int seed) {
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, QColor::fromHsv(seed * 67 % 360, 180, 220));
  g.setColorAt(1, QColor::fromHsv((seed * 67 + 150) % 360, 200, 90));
  p.fillRect(img.rect(), g);
  QRandomGenerator rng(seed);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 60; ++i) {
    p.setBrush(QColor::fromHsv(rng.bounded(360), 120 + rng.bounded(120), 120 + rng.bounded(130)));
    p.drawEllipse(QPointF(rng.bounded(w), rng.bounded(h)), 20 + rng.bounded(w / 8),
                  20 + rng.bounded(h / 8));
  }
  p.end();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int n = static_cast<int>(rng.bounded(25)) - 12;
      const QRgb c = row[x];
      row[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                    std::clamp(qBlue(c) + n, 0, 255));
    }
  }
  img.save(QString::fromStdString(path), "JPG", 90);
}

void MakePictures() {
  char tmpl[] = "/tmp/quib_layers_bench_XXXXXX";
  g_dir = mkdtemp(tmpl);
  for (int i = 0; i < 4; ++i) {
    g_photos.push_back(g_dir + "/photo" + std::to_string(i) + ".jpg");
    WritePhoto(g_photos.back(), 3000, 2000, i + 1);
  }
  g_big = g_dir + "/big.jpg";
  WritePhoto(g_big, 4000, 3000, 9);
}

struct Scene {
  int backType;
  int style;
  int opacity;
  int noise;
  bool mascots;
};

struct Layers {
  SaverContext ctx;
  BackgroundLayer background;
  SlideshowLayer slideshow;
  MascotLayer mascots;
  NoiseLayer noise;
};

double ThreadCpuUs() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

void SetMedian(benchmark::State& state, std::vector<double>& frameUs) {
  if (frameUs.empty()) return;
  std::nth_element(frameUs.begin(), frameUs.begin() + frameUs.size() / 2, frameUs.end());
  state.counters["median_cpu_us"] = frameUs[frameUs.size() / 2];
}

void Compose(benchmark::State& state, const Scene& scene) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  Layers l;
  SaverContext& ctx = l.ctx;
  ctx.settings.iBackT = scene.backType;
  ctx.settings.UseGaz = true;
  ctx.settings.GazStyle = scene.style;
  ctx.settings.bTransA = scene.opacity;
  ctx.settings.iNoiseT = scene.noise;
  ctx.ShowObject = scene.mascots;
  ctx.ImageFiles = g_photos;
  ctx.mascot.SetSize(w / 20, w / 20);
  ctx.mascot.SetBrushColour(RGB(255, 0, 255));
  ctx.mascot.FillRect(0, 0, w / 20, w / 20);
  ctx.mascot.SetBrushColour(RGB(200, 210, 230));
  ctx.mascot.Ellipse(2, 2, w / 20 - 2, w / 20 - 2);
  ctx.banner.SetSize(200, 50);
  ctx.banner.SetBrushColour(RGB(40, 30, 120));
  ctx.banner.FillRect(0, 0, 200, 50);
  Canvas back(w, h);
  FrameValues f;
  f.W = w;
  f.H = h;
  f.u = w / 48;
  f.v = h / 64;
  f.dt = 15;
  f.now = 100000;
  std::vector<double> frameUs;
  frameUs.reserve(1 << 16);
  bool first = true;
  for (auto _ : state) {
    const double t0 = ThreadCpuUs();
    f.sizeChanged = first;
    first = false;
    f.now += f.dt;
    if (!SlideshowLayer::CoversScreen(ctx)) {
      back.SetBrushStyle(BrushStyle::Solid);
      back.SetBrushColour(0);
      back.FillRect(0, 0, w, h);
      l.mascots.DrawBanner(back, f, ctx);
      l.background.Draw(back, f, ctx);
    }
    back.SetBrushStyle(BrushStyle::Clear);
    l.slideshow.Draw(back, f, ctx);
    l.mascots.DrawMascots(back, f, ctx);
    l.noise.Draw(back, f, ctx);
    benchmark::DoNotOptimize(back.Pixel(w / 2, h / 2));
    if (frameUs.size() < frameUs.capacity()) frameUs.push_back(ThreadCpuUs() - t0);
  }
  SetMedian(state, frameUs);
}

void BM_RippleFadeDigitalMascots(benchmark::State& state) {
  Compose(state, {4, 5, 50, 2, true});
}
void BM_SpaceScroll(benchmark::State& state) {
  Compose(state, {2, 2, 80, 0, false});
}
void BM_LaserTilesCinema(benchmark::State& state) {
  Compose(state, {3, 3, 100, 1, false});
}

// One 12-megapixel picture decoded at the scale the slideshow picks for the
// screen with the given factor (x100 in range 2).
void BM_Decode12MP(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  const double factor = static_cast<double>(state.range(2)) / 100;
  JpegInfo info;
  if (!ReadJpegInfo(g_big, info)) {
    state.SkipWithError("no picture");
    return;
  }
  const int denom = FitJpegScale(info, w, h, factor);
  Canvas out;
  for (auto _ : state) benchmark::DoNotOptimize(DecodeJpeg(g_big, denom, false, out));
  state.counters["denom"] = denom;
  state.counters["out_w"] = out.Width();
}

#define FRAME_ARGS \
  Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)->Iterations(600)
BENCHMARK(BM_RippleFadeDigitalMascots)->FRAME_ARGS;
BENCHMARK(BM_SpaceScroll)->FRAME_ARGS;
BENCHMARK(BM_LaserTilesCinema)->FRAME_ARGS;
BENCHMARK(BM_Decode12MP)
    ->Args({1920, 1080, 70})
    ->Args({1920, 1080, 170})
    ->Args({3840, 2160, 70})
    ->Args({3840, 2160, 170})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  MakePictures();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(g_dir);
  return 0;
}
