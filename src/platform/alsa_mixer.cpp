#include "platform/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdlib>
#include <utility>

namespace quib {

namespace {

snd_mixer_t* H(void* p) {
  return static_cast<snd_mixer_t*>(p);
}
snd_mixer_elem_t* E(void* p) {
  return static_cast<snd_mixer_elem_t*>(p);
}

void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void SilenceAudioLibraryNoise() {
  // Without a sound device alsa-lib reports every failed probe on stderr, and
  // the OpenAL and JACK outputs that the automatic output tries do the same;
  // none of it concerns the user of a screen saver. A user's own settings of
  // these variables win.
  snd_lib_error_set_handler(QuietAlsaError);
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  setenv("JACK_NO_START_SERVER", "1", 0);
}

AlsaMixer::AlsaMixer(std::string device, std::string element)
    : device_(std::move(device)), element_(std::move(element)) {}

AlsaMixer::~AlsaMixer() {
  Close();
}

bool AlsaMixer::Open() {
  if (handle_) return true;
  snd_mixer_t* h = nullptr;
  if (snd_mixer_open(&h, 0) < 0 || !h) return false;
  if (snd_mixer_attach(h, device_.c_str()) < 0 ||
      snd_mixer_selem_register(h, nullptr, nullptr) < 0 || snd_mixer_load(h) < 0) {
    snd_mixer_close(h);
    return false;
  }
  handle_ = h;
  return true;
}

bool AlsaMixer::FindVolumeControl(uint32_t& minRaw, uint32_t& maxRaw) {
  if (!handle_ && !Open()) return false;
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, element_.c_str());
  snd_mixer_elem_t* elem = snd_mixer_find_selem(H(handle_), id);
  if (!elem || !snd_mixer_selem_has_playback_volume(elem)) return false;
  long mn = 0, mx = 0;
  if (snd_mixer_selem_get_playback_volume_range(elem, &mn, &mx) < 0) return false;
  elem_ = elem;
  min_ = mn;
  // Raw values are offsets from the element's minimum, which ALSA allows to
  // be negative; a reversed range comes out empty and so unreadable.
  minRaw = 0;
  maxRaw = mx > mn ? static_cast<uint32_t>(mx - mn) : 0;
  max_ = mn + static_cast<long>(maxRaw);
  return true;
}

bool AlsaMixer::ReadRaw(uint32_t& raw) {
  if (!elem_) return false;
  // Pick up changes other programs made since the last call.
  snd_mixer_handle_events(H(handle_));
  long v = 0;
  if (snd_mixer_selem_get_playback_volume(E(elem_), SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
    return false;
  if (v < min_) v = min_;
  if (v > max_) v = max_;
  raw = static_cast<uint32_t>(v - min_);
  return true;
}

bool AlsaMixer::WriteRaw(uint32_t raw) {
  if (!elem_) return false;
  const long v = min_ + static_cast<long>(raw);
  return snd_mixer_selem_set_playback_volume_all(E(elem_), v > max_ ? max_ : v) >= 0;
}

void AlsaMixer::Close() {
  if (handle_) snd_mixer_close(H(handle_));
  handle_ = nullptr;
  elem_ = nullptr;
}

}  // namespace quib
