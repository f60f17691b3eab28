#pragma once
// The master volume control on ALSA's simple mixer: the "Master" element of
// the "default" device. Every failure is quiet (false).
#include <cstdint>
#include <string>

#include "platform/mixer.h"

namespace quib {

class AlsaMixer final : public Mixer {
 public:
  explicit AlsaMixer(std::string device = "default", std::string element = "Master");
  ~AlsaMixer() override;
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

  bool Open() override;
  bool FindVolumeControl(uint32_t& minRaw, uint32_t& maxRaw) override;
  bool ReadRaw(uint32_t& raw) override;
  bool WriteRaw(uint32_t raw) override;
  void Close() override;

 private:
  std::string device_, element_;
  void* handle_ = nullptr;  // snd_mixer_t*
  void* elem_ = nullptr;    // snd_mixer_elem_t*
  long min_ = 0, max_ = 0;  // the element's own range
};

// Keeps alsa-lib and the other audio libraries from printing to the terminal
// when no sound device exists. The shell calls it once at start.
void SilenceAudioLibraryNoise();

}  // namespace quib
