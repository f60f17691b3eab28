#include "shell/app.h"

#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/setting_dialog.h"
#include "config/settings_file.h"
#include "platform/alsa_mixer.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/gst_media_player.h"
#include "shell/desktop_window.h"
#include "shell/run_mode.h"
#include "shell/single_instance.h"

// Resources live in a static library: they must be registered by hand.
static void InitResources() {
  Q_INIT_RESOURCE(resources);
}

namespace quib {

namespace {

const char* const SaverTitle = "QUIB KARAOKE SCREENSAVER";
const char* const SettingTitle = "QUIB Setting";
const char* const PreviewLockName = "MTX_QUIB KARAOKE SCREENSAVER";
// The screen-saver daemon starts one copy per monitor; the first plays the music.
const char* const DaemonMusicLockName = "QUIB KARAOKE MUSIC";

int signalPipe[2] = {-1, -1};

void OnTerminate(int) {
  char c = 1;
  ssize_t ignored = write(signalPipe[1], &c, 1);
  (void)ignored;
}

bool HaveDisplay() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

int StatusOf(int code) {
  return code & 0xFF;
}

int RunSaver(QApplication& app, const RunModeDecision& d) {
  SaverSetup setup;
  setup.mode = d.mode;
  setup.settingsPath = SettingsFilePath();
  setup.daemonWindow = d.xscreensaverWindow;

  static NamedLock musicLock(DaemonMusicLockName);
  if (d.xscreensaverWindow) setup.musicTakenElsewhere = !musicLock.TryAcquire();

  SystemClock clock;
  std::unique_ptr<MediaPlayer> player = CreateMediaPlayer();
  AlsaMixer mixer;
  TDesktopWindow window(clock, *player, mixer, setup, d.previewParent);

  // SIGTERM and SIGINT end the run the normal way, so the volume goes back.
  QSocketNotifier* notifier = nullptr;
  if (pipe(signalPipe) == 0) {
    notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
      char c;
      ssize_t ignored = read(signalPipe[0], &c, 1);
      (void)ignored;
      window.EndNow();
    });
    std::signal(SIGTERM, OnTerminate);
    std::signal(SIGINT, OnTerminate);
  }

  window.Start();
  int rc = app.exec();
  return rc;
}

}  // namespace

int RunApplication(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  const char* xs = std::getenv("XSCREENSAVER_WINDOW");
  RunModeDecision d = DecideRunMode(args, xs ? xs : "");
  if (d.exit) return StatusOf(d.exitCode);

  static NamedLock previewLock(PreviewLockName);
  if (d.mode == RunMode::Preview && !previewLock.TryAcquire()) return StatusOf(-1);

  if (!HaveDisplay()) {
    std::fprintf(stderr,
                 "quibkaraoke: there is no display to draw on (DISPLAY is not set); to try it "
                 "without one, run it under Xvfb: xvfb-run -a -s '-screen 0 1280x720x24' %s /s\n",
                 argc > 0 ? argv[0] : "quibkaraoke");
    return 1;
  }

  SilenceAudioLibraryNoise();
  QApplication app(argc, argv);
  InitResources();
  InstallFontSubstitutions();

  switch (d.mode) {
    case RunMode::ChangePassword:
      QMessageBox::information(nullptr, QString(),
                               QString::fromUtf8("パスワードは現在サポートしていません(^-^;)"));
      return 0;
    case RunMode::Configure: {
      QCoreApplication::setApplicationName(SettingTitle);
      TSetting dialog(SettingsFilePath());
      dialog.show();
      app.exec();
      return 0;
    }
    case RunMode::Saver:
      QCoreApplication::setApplicationName(SaverTitle);
      return RunSaver(app, d);
    case RunMode::Preview:
      return RunSaver(app, d);
  }
  return 0;
}

}  // namespace quib
