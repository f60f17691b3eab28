#include "shell/desktop_window.h"

#include <xcb/xcb.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "shell/key_mapping.h"

namespace quib {

namespace {

// A key the logic has no code for still counts as "a key" for the stop rule.
constexpr int UnmappedKey = 0xE8;

xcb_connection_t* XcbConnection() {
  if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
    return x11->connection();
  return nullptr;
}

// The program benchmark asks when the first frame reached the screen.
void ReportFirstFrame() {
  const char* path = std::getenv("QUIB_FIRST_FRAME_FILE");
  if (!path || !*path) return;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);  // the clock of /proc/uptime
  if (FILE* f = std::fopen(path, "w")) {
    std::fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
    std::fclose(f);
  }
}

}  // namespace

bool X11WindowSize(unsigned long window, int& width, int& height) {
  xcb_connection_t* c = XcbConnection();
  if (!c) return false;
  xcb_generic_error_t* err = nullptr;
  xcb_get_geometry_reply_t* g =
      xcb_get_geometry_reply(c, xcb_get_geometry(c, static_cast<xcb_drawable_t>(window)), &err);
  if (err) free(err);
  if (!g) return false;
  width = g->width;
  height = g->height;
  free(g);
  return true;
}

TDesktopWindow::TDesktopWindow(Clock& clock, MediaPlayer& player, Mixer& mixer,
                               const SaverSetup& setup, unsigned long hostWindow)
    : setup_(setup), hostWindow_(hostWindow) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  if (hostWindow_ == 0) {
    // A screen saver covers everything and takes input itself: no window
    // manager frames, moves or closes it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::X11BypassWindowManagerHint);
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    setup_.width = screen.width();
    setup_.height = screen.height();
    setGeometry(screen);
    setCursor(Qt::BlankCursor);
  } else {
    int w = 0, h = 0;
    X11WindowSize(hostWindow_, w, h);
    setup_.width = w;
    setup_.height = h;
  }
  QPoint p = QCursor::pos();
  setup_.cursor = Point{p.x(), p.y()};

  core_ = std::make_unique<SaverCore>(clock, player, mixer, *this);
  core_->FormCreate(setup_);

  timer1_.setTimerType(Qt::PreciseTimer);
  timer1_.setInterval(15);
  connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TDesktopWindow::~TDesktopWindow() {
  timer1_.stop();
  core_->FormDestroy();
}

void TDesktopWindow::Start() {
  if (hostWindow_ != 0) {
    // Live inside the host's window, at its size; end when it goes.
    create();
    QWindow* host = QWindow::fromWinId(static_cast<WId>(hostWindow_));
    windowHandle()->setParent(host);
    setGeometry(0, 0, setup_.width, setup_.height);
    hostWatch_.setInterval(500);
    connect(&hostWatch_, &QTimer::timeout, this, [this] { CheckHostWindow(); });
    hostWatch_.start();
    show();
  } else {
    show();
    raise();
    activateWindow();
  }
}

void TDesktopWindow::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (shown_) return;
  shown_ = true;
  if (hostWindow_ == 0) GrabInput();
  // Let the window appear before a MIDI start may block the thread.
  QTimer::singleShot(0, this, [this] { core_->FormShow(); });
}

void TDesktopWindow::GrabInput() {
  setFocus(Qt::OtherFocusReason);
  grabKeyboard();
  grabMouse(Qt::BlankCursor);
}

void TDesktopWindow::CheckHostWindow() {
  int w = 0, h = 0;
  if (!X11WindowSize(hostWindow_, w, h)) {
    // The host took its window away: the preview is over.
    QCoreApplication::exit(0);
    return;
  }
  if (w != width() || h != height()) resize(w, h);
}

void TDesktopWindow::Timer1Timer() {
  QPoint p = QCursor::pos();
  if (core_->Timer1Timer(width(), height(), Point{p.x(), p.y()})) ShowFrame(false);
}

void TDesktopWindow::ShowFrame(bool now) {
  Canvas& back = core_->frames().BackBuffer;
  if (!presenterTried_ && isVisible()) {
    presenterTried_ = true;
    presenter_.Init(winId());
  }
  if (presenter_.Ready() && presenter_.Adopt(back) && presenter_.Present(back)) {
    if (!firstFrameReported_) {
      firstFrameReported_ = true;
      ReportFirstFrame();
    }
    return;
  }
  if (now)
    repaint();
  else
    update();
}

void TDesktopWindow::paintEvent(QPaintEvent*) {
  const Canvas& back = core_->frames().BackBuffer;
  if (!firstFrameReported_ && back.Width() > 0) {
    firstFrameReported_ = true;
    ReportFirstFrame();
  }
  QPainter painter(this);
  if (back.Width() <= 0 || back.Height() <= 0) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  // Wrap the frame's pixels without a copy.
  QImage frame(reinterpret_cast<const uchar*>(back.Bits()), back.Width(), back.Height(),
               back.BytesPerLine(), QImage::Format_RGB32);
  painter.drawImage(0, 0, frame);
}

void TDesktopWindow::keyPressEvent(QKeyEvent* e) {
  int vk = VirtualKeyFromQt(e->key(), e->modifiers());
  if (vk == 0) vk = UnmappedKey;
  core_->FormKeyDown(vk, CtrlHeld(e->modifiers()));
}

void TDesktopWindow::mouseMoveEvent(QMouseEvent* e) {
  QPointF g = e->globalPosition();
  core_->FormMouseMove(Point{static_cast<int>(g.x()), static_cast<int>(g.y())});
}

void TDesktopWindow::mouseReleaseEvent(QMouseEvent*) {
  core_->FormMouseUp();
}

void TDesktopWindow::closeEvent(QCloseEvent* e) {
  // Only our own close requests count: the window manager's is dropped.
  if (!closingByUs_ || !core_->FormCloseQuery()) {
    e->ignore();
    return;
  }
  timer1_.stop();
  e->accept();
  QCoreApplication::exit(0);
}

void TDesktopWindow::EndNow() {
  timer1_.stop();
  core_->FormDestroy();
  QCoreApplication::exit(0);
}

void TDesktopWindow::StartFrameTimer() {
  timer1_.start();
}
void TDesktopWindow::StopFrameTimer() {
  timer1_.stop();
}
bool TDesktopWindow::FrameTimerRunning() const {
  return timer1_.isActive();
}

void TDesktopWindow::DrawFrameNow() {
  QPoint p = QCursor::pos();
  if (core_->Timer1Timer(width(), height(), Point{p.x(), p.y()})) ShowFrame(true);
}

void TDesktopWindow::SetCaption(const std::string& text) {
  setWindowTitle(QString::fromUtf8(text.c_str()));
}

void TDesktopWindow::Beep() {
  QApplication::beep();
}

void TDesktopWindow::RequestClose() {
  closingByUs_ = true;
  close();
  closingByUs_ = false;
}

}  // namespace quib
