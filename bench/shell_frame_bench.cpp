// Whole frames of the real frame loop, offscreen, on a manual clock: how long
// one core takes to compose each scene, at full HD and at 4K.
//   build/bench/bench_shell_frame_bench [frames]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "lyrics/lyrics_format.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/media_player.h"
#include "render/frame_loop.h"

using namespace quib;

// The sprite lives in the shell library's resources.
static void InitResources() {
  Q_INIT_RESOURCE(resources);
}

namespace {

class NullShell : public ShellServices {
 public:
  void StartFrameTimer() override {}
  void StopFrameTimer() override {}
  bool FrameTimerRunning() const override { return true; }
  void DrawFrameNow() override {}
  void SetCaption(const std::string&) override {}
  void Beep() override {}
  void RequestClose() override {}
};

std::vector<std::string> MakePictures(const std::string& dir) {
  std::filesystem::create_directories(dir);
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) {
    QImage img(1600, 1200, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 1600, 1200);
    g.setColorAt(0, QColor::fromHsv(i * 80, 200, 255));
    g.setColorAt(1, QColor::fromHsv(i * 80 + 120, 255, 80));
    p.fillRect(img.rect(), g);
    for (int k = 0; k < 400; ++k)
      p.fillRect((k * 97) % 1600, (k * 61) % 1200, 40, 40,
                 QColor::fromHsv((k * 13) % 360, 180, 200));
    p.end();
    std::string f = dir + "/pic" + std::to_string(i) + ".jpg";
    img.save(QString::fromStdString(f), "JPG", 85);
    files.push_back(f);
  }
  return files;
}

// Forty two-byte characters sung piece by piece over eight seconds.
void MakeKaraokeLyrics(LyricState& l) {
  const char* kana = "\xE3\x81\x82";  // あ in UTF-8
  l.LyricLines.clear();
  for (int line = 0; line < 20; ++line) {
    int start = line * 8000;
    std::string s = FormatTimeTag(start);
    for (int k = 0; k < 40; ++k) {
      s += kana;
      if (k % 4 == 3) s += FormatTimeTag(start + (k + 1) * 190);
    }
    l.LyricLines.push_back(s);
  }
  l.LyricLines.push_back("");
  l.LineTimes = BuildLineTimes(l.LyricLines, true, 20 * 8000);
  l.LyricTagType = 3;
  l.encoding = Encoding::Utf8;
}

struct Scene {
  const char* name;
  std::function<void(SaverContext&)> set;
};

void Base(SaverContext& c) {
  c.settings = Settings{};
  c.settings.UseBGM = false;
  c.settings.UseMessage = false;
  c.settings.UseGaz = false;
  c.settings.iBackT = 0;
  c.settings.iNoiseT = 0;
  c.ShowObject = false;
  c.ShowNextLine = true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InitResources();
  InstallFontSubstitutions();
  int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::string dir = std::filesystem::temp_directory_path().string() + "/quib-bench-pictures";
  std::vector<std::string> pictures = MakePictures(dir);

  auto lyricsOn = [](SaverContext& c) {
    c.settings.UseMessage = true;
    MakeKaraokeLyrics(c.lyrics);
  };
  auto picturesOn = [&](SaverContext& c, int style, int alpha) {
    c.settings.UseGaz = true;
    c.settings.GazStyle = style;
    c.settings.bTransA = alpha;
    c.ImageFiles = pictures;
  };
  const Scene scenes[] = {
      {"ripple+crossfade50+digital+mascots",
       [&](SaverContext& c) {
         c.settings.iBackT = 4;
         picturesOn(c, 5, 50);
         c.settings.iNoiseT = 2;
         c.ShowObject = true;
       }},
      {"spaceflight+scroll",
       [&](SaverContext& c) {
         c.settings.iBackT = 2;
         picturesOn(c, 2, 100);
       }},
      {"laser+tiles+cinema",
       [&](SaverContext& c) {
         c.settings.iBackT = 3;
         picturesOn(c, 3, 100);
         c.settings.iNoiseT = 1;
       }},
      {"lyrics (karaoke line + next line)", [&](SaverContext& c) { lyricsOn(c); }},
      {"everything on",
       [&](SaverContext& c) {
         c.settings.iBackT = 4;
         picturesOn(c, 5, 50);
         c.settings.iNoiseT = 2;
         c.ShowObject = true;
         lyricsOn(c);
         c.settings.Debug = true;
         c.message.MessageText = "Master Volume : 40|NextMessage : 1|TextBack : 2";
       }},
  };
  const int sizes[][2] = {{1920, 1080}, {3840, 2160}};

  std::printf("%-36s %10s %10s %10s %8s\n", "scene", "size", "median ms", "p99 ms", "fps");
  for (const Scene& scene : scenes) {
    for (auto& sz : sizes) {
      ManualClock clock;
      clock.tick = 1000;
      FakeMediaPlayer player;
      NullShell shell;
      SaverContext ctx;
      ctx.clock = &clock;
      ctx.player = &player;
      ctx.shell = &shell;
      Base(ctx);
      scene.set(ctx);
      Canvas sprite(51, 51);
      ctx.mascot = std::move(sprite);
      ctx.mascot.LoadImageFile(":/mascot.png");
      FrameLoop loop;
      loop.Timer1Timer(ctx, sz[0], sz[1], Point{});
      std::vector<double> ms;
      ms.reserve(frames);
      for (int i = 0; i < frames; ++i) {
        clock.Advance(15);
        auto t0 = std::chrono::steady_clock::now();
        loop.Timer1Timer(ctx, sz[0], sz[1], Point{});
        loop.BackBuffer.Bits();  // everything drawn, as the window would need it
        auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      }
      std::sort(ms.begin(), ms.end());
      double median = ms[ms.size() / 2];
      double p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
      char size[32];
      std::snprintf(size, sizeof size, "%dx%d", sz[0], sz[1]);
      std::printf("%-36s %10s %10.2f %10.2f %8.0f\n", scene.name, size, median, p99,
                  1000.0 / median);
      std::fflush(stdout);
    }
  }
  return 0;
}
