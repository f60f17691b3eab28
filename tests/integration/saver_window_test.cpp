// The built program, started for real under a private Xvfb.
#include <gtest/gtest.h>
#include <signal.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <sstream>

#include "integration/x_session.h"
#include "support/test_support.h"

namespace quib::test {
namespace {

using namespace std::chrono_literals;

std::map<std::string, std::string> SaverEnv(const std::string& display, const std::string& config) {
  return {{"DISPLAY", display},
          {"QT_QPA_PLATFORM", "xcb"},
          {"XDG_CONFIG_HOME", config},
          {"QUIB_AUDIO_OUTPUT", "null"},
          {"WAYLAND_DISPLAY", "<unset>"}};
}

std::vector<unsigned long> WindowsOfPid(const std::string& display, int pid) {
  std::string out = RunCapture({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)},
                               {{"DISPLAY", display}});
  std::vector<unsigned long> ids;
  std::istringstream in(out);
  unsigned long id;
  while (in >> id) ids.push_back(id);
  return ids;
}

bool Geometry(const std::string& display, unsigned long id, int& w, int& h) {
  std::string out =
      RunCapture({"xdotool", "getwindowgeometry", std::to_string(id)}, {{"DISPLAY", display}});
  size_t g = out.find("Geometry: ");
  if (g == std::string::npos) return false;
  return std::sscanf(out.c_str() + g, "Geometry: %dx%d", &w, &h) == 2;
}

TEST(SaverProgram, ExitCodesWithoutAWindow) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {{{"/x"}, 255}, {{"/p:123456"}, 255}, {{"/p"}, 255}, {{"/p", "12ab"}, 255}};
  for (const Case& c : cases) {
    std::vector<std::string> argv{QUIB_EXE};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    Process p(argv, {{"DISPLAY", "<unset>"}});
    auto st = p.Wait(30s);
    ASSERT_TRUE(st.has_value());
    EXPECT_EQ(*st, c.status) << c.args[0];
  }
}

TEST(SaverProgram, PasswordChangeShowsItsMessageAndEndsWithZero) {
  Xvfb x(800, 600);
  ASSERT_TRUE(x.ok());
  TempDir config;
  Process p({QUIB_EXE, "/a"}, SaverEnv(x.display(), config.path()));
  std::vector<unsigned long> windows;
  ASSERT_TRUE(WaitFor(
      [&] {
        windows = WindowsOfPid(x.display(), p.pid());
        return !windows.empty();
      },
      60s));
  bool ended = WaitFor(
      [&] {
        RunCapture({"xdotool", "key", "--window", std::to_string(windows[0]), "Return"},
                   {{"DISPLAY", x.display()}});
        return p.Wait(1s).has_value();
      },
      60s);
  ASSERT_TRUE(ended);
  EXPECT_EQ(*p.Wait(1s), 0);
}

TEST(SaverProgram, WithoutADisplayItSaysSoInsteadOfAborting) {
  TempDir dir;
  int status = -1;
  Process p({QUIB_EXE, "/s"}, {{"DISPLAY", "<unset>"},
                               {"WAYLAND_DISPLAY", "<unset>"},
                               {"QT_QPA_PLATFORM", "<unset>"},
                               {"XDG_CONFIG_HOME", dir.path()}});
  auto st = p.Wait(30s);
  ASSERT_TRUE(st.has_value());
  status = *st;
  EXPECT_EQ(status, 1);
}

TEST(SaverProgram, SaverCoversTheScreenAndEscEndsIt) {
  Xvfb x(1024, 768);
  ASSERT_TRUE(x.ok());
  TempDir config;
  Process saver({QUIB_EXE, "/s"}, SaverEnv(x.display(), config.path()));
  std::vector<unsigned long> windows;
  ASSERT_TRUE(WaitFor(
      [&] {
        windows = WindowsOfPid(x.display(), saver.pid());
        return !windows.empty();
      },
      60s));
  int w = 0, h = 0;
  bool full = WaitFor(
      [&] { return Geometry(x.display(), windows[0], w, h) && w == 1024 && h == 768; }, 30s);
  EXPECT_TRUE(full) << w << "x" << h;
  // Let the song load and frames run, then Esc through the keyboard grab.
  ASSERT_TRUE(saver.Running());
  bool ended = WaitFor(
      [&] {
        RunCapture({"xdotool", "key", "Escape"}, {{"DISPLAY", x.display()}});
        return saver.Wait(1s).has_value();
      },
      60s);
  ASSERT_TRUE(ended);
  EXPECT_EQ(*saver.Wait(1s), 0);
}

struct HostWindow {
  explicit HostWindow(const std::string& display, int w, int h) {
    conn = xcb_connect(display.c_str(), nullptr);
    const xcb_setup_t* setup = xcb_get_setup(conn);
    xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    id = xcb_generate_id(conn);
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, id, screen->root, 10, 10,
                      static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(conn, id);
    xcb_flush(conn);
  }
  ~HostWindow() {
    Destroy();
    xcb_disconnect(conn);
  }
  void Destroy() {
    if (!id) return;
    xcb_destroy_window(conn, id);
    xcb_flush(conn);
    id = 0;
  }
  std::vector<xcb_window_t> Children() {
    std::vector<xcb_window_t> out;
    xcb_query_tree_reply_t* r = xcb_query_tree_reply(conn, xcb_query_tree(conn, id), nullptr);
    if (!r) return out;
    xcb_window_t* c = xcb_query_tree_children(r);
    for (int i = 0; i < xcb_query_tree_children_length(r); ++i) out.push_back(c[i]);
    free(r);
    return out;
  }
  bool Size(xcb_window_t w, int& width, int& height) {
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
    if (!g) return false;
    width = g->width;
    height = g->height;
    free(g);
    return true;
  }
  xcb_connection_t* conn = nullptr;
  xcb_window_t id = 0;
};

TEST(SaverProgram, PreviewLivesInItsHostWindowAndEndsWithIt) {
  Xvfb x(800, 600);
  ASSERT_TRUE(x.ok());
  TempDir config;
  HostWindow host(x.display(), 320, 240);
  Process preview({QUIB_EXE, "/p", std::to_string(host.id)}, SaverEnv(x.display(), config.path()));

  int w = 0, h = 0;
  bool embedded = WaitFor(
      [&] {
        for (xcb_window_t c : host.Children())
          if (host.Size(c, w, h) && w == 320 && h == 240) return true;
        return false;
      },
      60s);
  EXPECT_TRUE(embedded) << w << "x" << h;

  // Only one preview at a time: the second ends at once with 255.
  Process second({QUIB_EXE, "/p", std::to_string(host.id)}, SaverEnv(x.display(), config.path()));
  auto st = second.Wait(30s);
  ASSERT_TRUE(st.has_value());
  EXPECT_EQ(*st, 255);
  EXPECT_TRUE(preview.Running());

  host.Destroy();
  auto end = preview.Wait(30s);
  ASSERT_TRUE(end.has_value()) << "preview outlived its host window";
  EXPECT_EQ(*end, 0);
}

TEST(SaverProgram, DisplayModeDrawsIntoTheDaemonsWindowAndEndsOnSigterm) {
  Xvfb x(800, 600);
  ASSERT_TRUE(x.ok());
  TempDir config;
  HostWindow host(x.display(), 400, 300);
  char id[32];
  std::snprintf(id, sizeof id, "0x%x", host.id);
  auto env = SaverEnv(x.display(), config.path());
  env["XSCREENSAVER_WINDOW"] = id;
  Process mode({QUIB_EXE, "-root"}, env);
  int w = 0, h = 0;
  bool embedded = WaitFor(
      [&] {
        for (xcb_window_t c : host.Children())
          if (host.Size(c, w, h) && w == 400 && h == 300) return true;
        return false;
      },
      60s);
  EXPECT_TRUE(embedded) << w << "x" << h;
  mode.Signal(SIGTERM);
  auto end = mode.Wait(30s);
  ASSERT_TRUE(end.has_value());
  EXPECT_EQ(*end, 0);
}

}  // namespace
}  // namespace quib::test
