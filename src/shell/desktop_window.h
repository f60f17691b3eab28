#pragma once
// TDesktopWindow: the thin Qt shell of a saver run. It owns the logic
// (SaverCore), feeds it the timer, the keys and the pointer, and shows
// BackBuffer with one copy per frame.
#include <QTimer>
#include <QWidget>
#include <memory>

#include "shell/saver_core.h"
#include "shell/shm_presenter.h"

namespace quib {

class TDesktopWindow final : public QWidget, public ShellServices {
  Q_OBJECT
 public:
  TDesktopWindow(Clock& clock, MediaPlayer& player, Mixer& mixer, const SaverSetup& setup,
                 unsigned long hostWindow);
  ~TDesktopWindow() override;

  SaverCore& Core() { return *core_; }
  // Puts the window up (full screen, or inside its host) and loads the song.
  void Start();
  // Ends the run from outside (a signal): the volume goes back as at any end.
  void EndNow();

  // ShellServices
  void StartFrameTimer() override;
  void StopFrameTimer() override;
  bool FrameTimerRunning() const override;
  void DrawFrameNow() override;
  void SetCaption(const std::string& text) override;
  void Beep() override;
  void RequestClose() override;

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void Timer1Timer();
  void CheckHostWindow();
  void GrabInput();
  // Shows the frame just composed: through shared memory when the server
  // allows it, otherwise through a Qt paint (now, or at the next event round).
  void ShowFrame(bool now);

  SaverSetup setup_;
  unsigned long hostWindow_ = 0;
  std::unique_ptr<SaverCore> core_;
  QTimer timer1_;
  QTimer hostWatch_;
  bool closingByUs_ = false;
  bool shown_ = false;
  bool firstFrameReported_ = false;
  ShmPresenter presenter_;
  bool presenterTried_ = false;
};

// The size of an X11 window as the server knows it; false when it does not exist.
bool X11WindowSize(unsigned long window, int& width, int& height);

}  // namespace quib
