#pragma once
// The media player on GStreamer's playbin. Pumped from the calls themselves
// (no GLib main loop is needed): Open waits on the bus with a timeout, and
// IsPlaying/Position look for the end of the stream and errors without blocking.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/media_player.h"

namespace quib {

enum class AudioOutput { Auto, Null };

// QUIB_AUDIO_OUTPUT: unset or "auto" = the desktop's default output, "null" =
// a silent output that keeps real-time pace.
AudioOutput AudioOutputFromEnvironment();

class GstMediaPlayer final : public MediaPlayer {
 public:
  explicit GstMediaPlayer(AudioOutput output = AudioOutputFromEnvironment());
  ~GstMediaPlayer() override;
  GstMediaPlayer(const GstMediaPlayer&) = delete;
  GstMediaPlayer& operator=(const GstMediaPlayer&) = delete;

  void SetFileName(const std::string& path) override;
  const std::string& FileName() const override;
  void Open() override;
  void Close() override;
  void Play() override;
  void PlayFrom(int startMs) override;
  void Stop() override;
  int Length() override;
  int Position() override;
  void Seek(int ms) override;
  bool IsPlaying() override;
  bool IsOpen() const override;
  int Error() const override;
  std::string ErrorMessage() const override;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

// The playing time of an MPEG audio file (.mp3, .mp2) from its frames, for
// files whose headers give no length. False when no frames are found.
bool MpegAudioLengthMs(const std::string& path, int64_t& ms);

// The player the saver uses, with the output chosen by QUIB_AUDIO_OUTPUT.
std::unique_ptr<MediaPlayer> CreateMediaPlayer();

}  // namespace quib
