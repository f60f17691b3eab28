// Frames of the lyric layer and overlays as pictures, to look at after a
// change of the text drawing. Not run by default:
//   test_render_text --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
// writes them to the build tree's tmp/text_shots; the wipe styles also to docs/.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "lyrics/lyrics_format.h"
#include "render/lyrics_display.h"
#include "render/overlays.h"
#include "shell/saver_context.h"

namespace quib {
namespace {

constexpr int kW = 960, kH = 540;

FrameValues Frame() {
  FrameValues f;
  f.W = kW;
  f.H = kH;
  f.u = kW / 48;
  f.v = kH / 64;
  f.dt = 15;
  return f;
}

// A night-blue backdrop with a few soft rings, so fades and outlines show against something.
void Backdrop(Canvas& c) {
  c.SetBrushStyle(BrushStyle::Solid);
  for (int y = 0; y < kH; ++y) {
    c.SetBrushColour(RGB(10, 10 + y / 12, 40 + y / 6));
    c.FillRect(0, y, kW, y + 1);
  }
  c.SetBrushStyle(BrushStyle::Clear);
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenWidth(2);
  for (int i = 0; i < 6; ++i) {
    c.SetPenColour(RGB(60 + 20 * i, 40, 120));
    const int r = 40 + 35 * i;
    c.Ellipse(kW / 3 - r, kH / 3 - r, kW / 3 + r, kH / 3 + r);
  }
}

struct Scene {
  const char* name;
  std::vector<std::string> lines;
  std::vector<int> starts;
  int tagType;
  Encoding enc;
  int wipeStyle;
  int clock;
  bool debug = false;
  std::string message = {};
  bool password = false;
};

const std::string kKaraokeJa =
    "[00:10:00]夜[00:10:40]空[00:10:80]に[00:11:20]光[00:11:60]る[00:12:00]星[00:12:40]を[00:12:80]"
    "数[00:13:20]え[00:13:60]て[00:14:00]";
const std::string kKaraokeEn =
    "[00:10:00]Shi[00:10:40]ning [00:10:80]stars [00:11:60]a[00:12:00]bove [00:12:80]the "
    "[00:13:20]town[00:14:00]";

TEST(DISABLED_Screenshots, LyricFrames) {
  const std::string out = std::string(QUIB_TEST_TMP) + "/text_shots";
  std::filesystem::create_directories(out);
  const std::vector<Scene> scenes = {
      {"wipe_side",
       {"[#FFD040]" + kKaraokeJa, "次の行はここに", "end"},
       {10000, 14500, 18000, 22000},
       kTagKaraoke,
       Encoding::Utf8,
       1,
       11450},
      {"wipe_up",
       {kKaraokeEn, "[#80FF80]the next line waits below", "end"},
       {10000, 14500, 18000, 22000},
       kTagKaraoke,
       Encoding::Utf8,
       0,
       12200},
      {"wipe_up_fading_in",
       {"before", kKaraokeEn, "next"},
       {0, 10000, 14500, 18000},
       kTagKaraoke,
       Encoding::Utf8,
       0,
       9700},
      {"time_tag",
       {"[00:10:00]A time-tagged line follows its time", "next one"},
       {10000, 14000, 18000},
       kTagTime,
       Encoding::Utf8,
       1,
       11500},
      {"plain",
       {"Plain text, no wipe at all", "second plain line"},
       {0, 3000, 6000},
       kTagPlain,
       Encoding::Utf8,
       1,
       1000},
      {"sjis_debug",
       {EncodeCp932("[00:10:00]シフトJISの歌詞[00:12:00]です[00:14:00]"), EncodeCp932("次の行"),
        ""},
       {10000, 14500, 18000, 22000},
       kTagKaraoke,
       Encoding::Cp932,
       1,
       11800,
       true,
       "Master Volume : 40|曲：夜空の星|Push [Enter] for Quick reference."},
      {"password",
       {kKaraokeEn, "next"},
       {10000, 14500, 18000},
       kTagKaraoke,
       Encoding::Utf8,
       1,
       12500,
       false,
       "",
       true},
  };
  for (const Scene& s : scenes) {
    SaverContext ctx;
    ctx.settings.UseMessage = true;
    ctx.settings.WipeStyle = s.wipeStyle;
    ctx.settings.Debug = s.debug;
    ctx.settings.BGM = "/home/user/Music/夜空の星.mp3";
    ctx.lyrics.LyricLines = s.lines;
    ctx.lyrics.LyricLines.push_back("");
    for (int t : s.starts) ctx.lyrics.LineTimes.push_back(FormatTimeTag(t));
    ctx.lyrics.LyricTagType = s.tagType;
    ctx.lyrics.encoding = s.enc;
    ctx.playback.SongLength = 245000;
    ctx.playback.PlayPosition = s.clock;
    ctx.message.MessageText = s.message;
    ctx.password.PasswordMode = s.password;
    ctx.password.PasswordInput = "secret";
    ctx.CurrentLine = 0;

    Canvas back(kW, kH);
    LyricsDisplay lyrics;
    Overlays overlays;
    for (int i = 0; i < 3; ++i) {  // settle the line index
      Backdrop(back);
      lyrics.DrawLyricLines(back, Frame(), ctx, s.clock);
      overlays.DrawOverlays(back, Frame(), ctx, lyrics, s.clock);
    }
    EXPECT_TRUE(back.SavePng(out + "/" + s.name + ".png"));
    // The current line four times enlarged, to see where the edge cuts.
    const Point p = lyrics.Frame().linePos;
    const int zw = std::min(lyrics.Frame().lineWidth + 8, 240), zh = 60;
    Canvas zoom(zw * 4, zh * 4);
    zoom.StretchFrom(0, 0, zw * 4, zh * 4, back, p.x - 4, p.y - 8, zw, zh);
    EXPECT_TRUE(zoom.SavePng(out + "/" + s.name + "_zoom.png"));
    if (std::string(s.name) == "wipe_side" || std::string(s.name) == "wipe_up") {
      EXPECT_TRUE(back.SavePng(std::string(QUIB_SOURCE_DIR) + "/docs/" + s.name + ".png"));
    }
  }
}

}  // namespace
}  // namespace quib
