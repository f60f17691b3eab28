#pragma once
// The operations the saver uses of its media component. One file at a time.
// Called from the UI thread only. Failures are reported through Error()
// (0 = none) and ErrorMessage(); nothing throws.
#include <string>

namespace quib {

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  virtual void SetFileName(const std::string& path) = 0;
  virtual const std::string& FileName() const = 0;
  // Synchronous: returns when the file is ready to play or has failed (bounded in time).
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual void Play() = 0;                 // from the current position
  virtual void PlayFrom(int startMs) = 0;  // from a start position
  virtual void Stop() = 0;                 // pause, keeping the position
  virtual int Length() = 0;                // ms, true length once open
  virtual int Position() = 0;              // ms, fresh on every call, never backwards while playing
  virtual void Seek(int ms) = 0;           // position without changing play/stop
  virtual bool IsPlaying() = 0;            // false once the end of the stream was reached
  virtual bool IsOpen() const = 0;
  virtual int Error() const = 0;  // of the last operation; 0 = none
  virtual std::string ErrorMessage() const = 0;
};

// A scripted player for logic tests: position and length are what the test sets.
class FakeMediaPlayer final : public MediaPlayer {
 public:
  std::string fileName;
  bool open = false;
  bool playing = false;
  int length = 0;
  int position = 0;
  int error = 0;
  std::string errorMessage;
  bool failOpen = false;  // next Open fails with failMessage
  std::string failMessage = "Could not determine type of stream.";
  int openCount = 0, closeCount = 0, playCount = 0, stopCount = 0;
  int lastStart = -1;

  void SetFileName(const std::string& p) override { fileName = p; }
  const std::string& FileName() const override { return fileName; }
  void Open() override {
    ++openCount;
    if (failOpen) {
      open = false;
      error = 1;
      errorMessage = failMessage;
    } else {
      open = true;
      error = 0;
      errorMessage.clear();
      position = 0;
    }
  }
  void Close() override {
    ++closeCount;
    open = false;
    playing = false;
  }
  void Play() override {
    ++playCount;
    if (open) playing = true;
  }
  void PlayFrom(int ms) override {
    lastStart = ms;
    position = ms;
    Play();
  }
  void Stop() override {
    ++stopCount;
    playing = false;
  }
  int Length() override { return length; }
  int Position() override { return position; }
  void Seek(int ms) override { position = ms; }
  bool IsPlaying() override { return playing; }
  bool IsOpen() const override { return open; }
  int Error() const override { return error; }
  std::string ErrorMessage() const override { return errorMessage; }
};

}  // namespace quib
