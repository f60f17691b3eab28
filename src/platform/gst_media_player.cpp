#include "platform/gst_media_player.h"

#include <gst/gst.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

namespace quib {

namespace {

// Opening a file must not hold the saver for long: a file that has not
// prerolled by then counts as failed.
constexpr gint64 OpenTimeoutNs = 10 * GST_SECOND;
// fluidsynth's own default gain leaves General MIDI songs far quieter than
// other music; this brings a typical song to a comparable level.
constexpr double MidiSynthGain = 1.0;
// playbin's flags: audio only, so a file with a picture or video track never
// needs a video output.
constexpr guint PlayFlagAudio = 0x2;

// Error codes of our own for failures that carry no GStreamer error.
enum : int {
  ErrorNone = 0,
  ErrorNoGStreamer = 1,
  ErrorTimeout = 2,
  ErrorNoAudio = 3,
  ErrorNoFile = 4,
  ErrorNoPlaybin = 5,
};

bool InitGStreamer(std::string& message) {
  static std::once_flag once;
  static bool ok = false;
  static std::string failure;
  std::call_once(once, [] {
    GError* err = nullptr;
    ok = gst_init_check(nullptr, nullptr, &err);
    if (!ok) failure = err ? err->message : "GStreamer could not be initialised.";
    if (err) g_error_free(err);
  });
  message = failure;
  return ok;
}

int CodeOf(const GError* err) {
  // Distinct per domain so that the code alone tells resource, stream and
  // core failures apart; never 0.
  int base = 900;
  if (err->domain == GST_RESOURCE_ERROR)
    base = 100;
  else if (err->domain == GST_STREAM_ERROR)
    base = 200;
  else if (err->domain == GST_CORE_ERROR)
    base = 300;
  else if (err->domain == GST_LIBRARY_ERROR)
    base = 400;
  return base + std::max(err->code, 0);
}

std::string LowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

int NsToMs(gint64 ns) {
  return static_cast<int>(std::clamp<gint64>(ns / GST_MSECOND, 0, INT32_MAX));
}

void OnElementSetup(GstElement*, GstElement* element, gpointer) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (!factory) return;
  if (std::strcmp(GST_OBJECT_NAME(factory), "fluiddec") == 0)
    g_object_set(element, "synth-gain", MidiSynthGain, nullptr);
}

}  // namespace

namespace {

struct MpegFrame {
  int version = 0;  // 1, 2 or 25 (2.5)
  int layer = 0;    // 1..3
  int sampleRate = 0;
  int samples = 0;  // per frame
  int bytes = 0;    // whole frame with its header
  bool mono = false;
};

bool ParseMpegHeader(const unsigned char* h, MpegFrame& f) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  const int v = (h[1] >> 3) & 3, l = (h[1] >> 1) & 3;
  const int br = (h[2] >> 4) & 15, sr = (h[2] >> 2) & 3, pad = (h[2] >> 1) & 1;
  // Free-format (bitrate 0) frames have no computable size; such a file is
  // left to the decoder's own estimate.
  if (v == 1 || l == 0 || br == 0 || br == 15 || sr == 3) return false;
  static const int Kbps[2][3][15] = {
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static const int Rates[3] = {44100, 48000, 32000};
  f.version = v == 3 ? 1 : (v == 2 ? 2 : 25);
  f.layer = 4 - l;
  f.sampleRate = Rates[sr] / (f.version == 1 ? 1 : (f.version == 2 ? 2 : 4));
  const int bitrate = Kbps[f.version == 1 ? 0 : 1][f.layer - 1][br] * 1000;
  f.mono = ((h[3] >> 6) & 3) == 3;
  if (f.layer == 1) {
    f.samples = 384;
    f.bytes = (12 * bitrate / f.sampleRate + pad) * 4;
  } else if (f.layer == 2 || f.version == 1) {
    f.samples = 1152;
    f.bytes = 144 * bitrate / f.sampleRate + pad;
  } else {
    f.samples = 576;
    f.bytes = 72 * bitrate / f.sampleRate + pad;
  }
  return f.bytes > 4;
}

// A Xing/Info or VBRI frame describes the stream and holds no sound.
bool IsInfoFrame(const unsigned char* frame, const MpegFrame& f) {
  const int sideInfo = f.version == 1 ? (f.mono ? 17 : 32) : (f.mono ? 9 : 17);
  auto tagAt = [&](int off, const char* tag) {
    return off + 4 <= f.bytes && std::memcmp(frame + off, tag, 4) == 0;
  };
  return f.layer == 3 &&
         (tagAt(4 + sideInfo, "Xing") || tagAt(4 + sideInfo, "Info") || tagAt(36, "VBRI"));
}

}  // namespace

namespace {

// Reads a file front to back through a window, so that a long song is
// never held in memory whole. Pointers stay valid until the next call.
class ByteWindow {
 public:
  explicit ByteWindow(const std::string& path) : in_(path, std::ios::binary) {}
  bool good() const { return static_cast<bool>(in_); }
  // Bytes [pos, pos + len), or null when the file ends before (or pos lies behind).
  const unsigned char* At(uint64_t pos, size_t len) {
    if (pos < base_) return nullptr;
    if (pos + len <= base_ + buf_.size()) return buf_.data() + (pos - base_);
    if (eof_) return nullptr;
    if (pos >= base_ + buf_.size()) {
      buf_.clear();
      in_.seekg(static_cast<std::streamoff>(pos));
    } else {
      buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(pos - base_));
    }
    base_ = pos;
    const size_t have = buf_.size();
    const size_t want = std::max(len, WindowBytes);
    buf_.resize(want);
    in_.read(reinterpret_cast<char*>(buf_.data() + have),
             static_cast<std::streamsize>(want - have));
    const auto got = static_cast<size_t>(std::max<std::streamsize>(in_.gcount(), 0));
    buf_.resize(have + got);
    if (have + got < want) eof_ = true;
    return len <= buf_.size() ? buf_.data() : nullptr;
  }

 private:
  static constexpr size_t WindowBytes = 1 << 20;
  std::ifstream in_;
  std::vector<unsigned char> buf_;
  uint64_t base_ = 0;
  bool eof_ = false;
};

// The largest MPEG audio frame (layer II, 160 kbit/s at 8 kHz) and the next
// header after it.
constexpr size_t FrameLookahead = 2881 + 4;
// How far into the file, after its tags, the first frame may start; a file
// whose sound does not begin there is not MPEG audio under another name.
constexpr uint64_t FirstFrameWithin = 64 * 1024;

}  // namespace

bool MpegAudioLengthMs(const std::string& path, int64_t& ms) {
  ByteWindow file(path);
  if (!file.good()) return false;
  uint64_t pos = 0;
  // ID3v2 tags (possibly several) in front; their size is syncsafe.
  while (const unsigned char* t = file.At(pos, 10)) {
    if (std::memcmp(t, "ID3", 3) != 0) break;
    const uint64_t body = (uint64_t(t[6] & 0x7F) << 21) | (uint64_t(t[7] & 0x7F) << 14) |
                          (uint64_t(t[8] & 0x7F) << 7) | uint64_t(t[9] & 0x7F);
    pos += 10 + body + ((t[5] & 0x10) ? 10 : 0);
  }
  const uint64_t firstLimit = pos + FirstFrameWithin;
  MpegFrame first;
  bool haveFirst = false;
  int64_t samples = 0;
  for (const unsigned char* h; (h = file.At(pos, 4)) != nullptr;) {
    MpegFrame f;
    bool ok = ParseMpegHeader(h, f);
    if (ok && haveFirst)
      ok = f.version == first.version && f.layer == first.layer && f.sampleRate == first.sampleRate;
    // The whole frame and, unless it is the last, the next header.
    const unsigned char* frame = ok ? file.At(pos, size_t(f.bytes) + 4) : nullptr;
    const bool last = ok && !frame;
    if (last) frame = file.At(pos, size_t(f.bytes));
    ok = ok && frame;
    if (ok && !haveFirst && !last) {
      // A stream's first frame is followed by another, so a stray sync
      // pattern in other data does not pass for MPEG audio.
      MpegFrame second;
      ok = ParseMpegHeader(frame + f.bytes, second);
    }
    if (!ok) {
      // Garbage between frames is skipped a byte at a time; a file whose
      // sound does not start near its beginning is not MPEG audio at all.
      if (!haveFirst && pos >= firstLimit) return false;
      ++pos;
      continue;
    }
    if (!haveFirst) {
      first = f;
      haveFirst = true;
      if (IsInfoFrame(frame, f)) {
        pos += uint64_t(f.bytes);
        continue;
      }
    }
    samples += f.samples;
    pos += uint64_t(f.bytes);
  }
  if (!haveFirst || samples == 0) return false;
  ms = samples * 1000 / first.sampleRate;
  return true;
}

AudioOutput AudioOutputFromEnvironment() {
  const char* v = std::getenv("QUIB_AUDIO_OUTPUT");
  if (v && std::strcmp(v, "null") == 0) return AudioOutput::Null;
  return AudioOutput::Auto;
}

struct GstMediaPlayer::Impl {
  AudioOutput output;
  std::string fileName;
  GstElement* pipeline = nullptr;
  GstBus* bus = nullptr;
  bool open = false;
  bool wantPlaying = false;
  bool atEnd = false;
  int length = 0;
  int error = ErrorNone;
  std::string errorMessage;
  // While a flushing seek is on its way the position query fails or lags;
  // the target stands in for it until the seek has completed.
  bool seekPending = false;
  int lastPosition = 0;

  void SetError(int code, std::string text) {
    error = code;
    errorMessage = std::move(text);
  }

  void Teardown() {
    if (pipeline) {
      gst_element_set_state(pipeline, GST_STATE_NULL);
      gst_object_unref(pipeline);
      pipeline = nullptr;
    }
    if (bus) {
      gst_object_unref(bus);
      bus = nullptr;
    }
    open = wantPlaying = atEnd = seekPending = false;
    length = lastPosition = 0;
  }

  bool Build() {
    pipeline = gst_element_factory_make("playbin", nullptr);
    if (!pipeline) return false;
    GstElement* sink = nullptr;
    if (output == AudioOutput::Null) {
      sink = gst_element_factory_make("fakesink", nullptr);
      if (sink) g_object_set(sink, "sync", TRUE, nullptr);
    } else {
      sink = gst_element_factory_make("autoaudiosink", nullptr);
    }
    if (!sink) return false;
    g_object_set(pipeline, "audio-sink", sink, "flags", PlayFlagAudio, nullptr);
    g_signal_connect(pipeline, "element-setup", G_CALLBACK(OnElementSetup), nullptr);
    bus = gst_element_get_bus(pipeline);
    return true;
  }

  // Takes the news off the bus without waiting. The end of the stream and a
  // failure during play both leave the player stopped at the end, so that
  // the song-end check sees the song finish instead of a clock that stalls.
  void Pump() {
    if (!bus) return;
    while (GstMessage* msg = gst_bus_pop(bus)) {
      switch (GST_MESSAGE_TYPE(msg)) {
        case GST_MESSAGE_EOS:
          ReachEnd();
          break;
        case GST_MESSAGE_ERROR: {
          GError* err = nullptr;
          gst_message_parse_error(msg, &err, nullptr);
          if (err) {
            SetError(CodeOf(err), err->message);
            g_error_free(err);
          }
          ReachEnd();
          break;
        }
        case GST_MESSAGE_ASYNC_DONE:
          seekPending = false;
          break;
        default:
          break;
      }
      gst_message_unref(msg);
    }
  }

  void ReachEnd() {
    atEnd = true;
    wantPlaying = false;
    seekPending = false;
    lastPosition = length;
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
  }

  int QueryPosition() {
    Pump();
    if (!open) return 0;
    if (atEnd) return length;
    if (seekPending) return lastPosition;
    gint64 pos = 0;
    if (!gst_element_query_position(pipeline, GST_FORMAT_TIME, &pos)) return lastPosition;
    int ms = std::min(NsToMs(pos), length);
    // The clock may report a hair behind the last value (a sink's latency
    // settling); the lyrics must never step back, so keep the larger.
    if (ms < lastPosition && wantPlaying) ms = lastPosition;
    lastPosition = ms;
    return ms;
  }

  // The length as soon as the file is open. MPEG audio files without a
  // length header give none (or a bitrate guess) until they have played a
  // while, so they are measured by counting their frames.
  int MeasureLength() {
    const std::string ext = LowerExtension(fileName);
    if (ext == ".mp3" || ext == ".mp2") {
      int64_t ms = 0;
      if (MpegAudioLengthMs(fileName, ms))
        return static_cast<int>(std::min<int64_t>(ms, INT32_MAX));
    }
    gint64 dur = 0;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &dur) && dur > 0) return NsToMs(dur);
    return 0;
  }

  void DoSeek(int ms) {
    ms = std::clamp(ms, 0, length);
    atEnd = false;
    lastPosition = ms;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    seekPending = gst_element_seek_simple(pipeline, GST_FORMAT_TIME, flags, ms * GST_MSECOND);
  }
};

GstMediaPlayer::GstMediaPlayer(AudioOutput output) : d_(std::make_unique<Impl>()) {
  d_->output = output;
}

GstMediaPlayer::~GstMediaPlayer() {
  d_->Teardown();
}

void GstMediaPlayer::SetFileName(const std::string& path) {
  d_->fileName = path;
}
const std::string& GstMediaPlayer::FileName() const {
  return d_->fileName;
}

void GstMediaPlayer::Open() {
  Impl& d = *d_;
  d.Teardown();
  d.SetError(ErrorNone, {});
  std::string initFailure;
  if (!InitGStreamer(initFailure)) {
    d.SetError(ErrorNoGStreamer, initFailure);
    return;
  }
  if (d.fileName.empty()) {
    d.SetError(ErrorNoFile, "No file name given.");
    return;
  }
  if (!d.Build()) {
    d.Teardown();
    d.SetError(ErrorNoPlaybin, "The GStreamer playback elements are not installed.");
    return;
  }
  GError* uriErr = nullptr;
  gchar* uri = gst_filename_to_uri(d.fileName.c_str(), &uriErr);
  if (!uri) {
    d.SetError(ErrorNoFile, uriErr ? uriErr->message : "Invalid file name.");
    if (uriErr) g_error_free(uriErr);
    d.Teardown();
    return;
  }
  g_object_set(d.pipeline, "uri", uri, nullptr);
  g_free(uri);

  gst_element_set_state(d.pipeline, GST_STATE_PAUSED);
  // Preroll: the file is ready when the pipeline has completed its change to
  // paused; anything else within the time limit is the failure to report.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::nanoseconds(OpenTimeoutNs);
  bool ready = false;
  while (!ready && d.error == ErrorNone) {
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) {
      d.SetError(ErrorTimeout, "The file did not become ready to play in time.");
      break;
    }
    GstMessage* msg = gst_bus_timed_pop_filtered(
        d.bus, static_cast<GstClockTime>(left),
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
    if (!msg) continue;
    if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
      GError* err = nullptr;
      gst_message_parse_error(msg, &err, nullptr);
      d.SetError(err ? CodeOf(err) : ErrorNoAudio,
                 err ? err->message : "The file could not be played.");
      if (err) g_error_free(err);
    } else {
      // An EOS before preroll is a file without any sound in it; treat it
      // like a preroll so that its length (0) decides.
      ready = true;
    }
    gst_message_unref(msg);
  }
  if (ready) {
    gint audioStreams = 0;
    g_object_get(d.pipeline, "n-audio", &audioStreams, nullptr);
    if (audioStreams <= 0) d.SetError(ErrorNoAudio, "The file holds no sound.");
  }
  if (d.error != ErrorNone) {
    const int code = d.error;
    const std::string text = d.errorMessage;
    d.Teardown();
    d.SetError(code, text);
    return;
  }
  d.open = true;
  d.length = d.MeasureLength();
  d.Pump();
}

void GstMediaPlayer::Close() {
  d_->Teardown();
}

void GstMediaPlayer::Play() {
  Impl& d = *d_;
  if (!d.open) return;
  d.Pump();
  // Playing from the end starts the song over, as the desktop's players do.
  if (d.atEnd) d.DoSeek(0);
  d.wantPlaying = true;
  gst_element_set_state(d.pipeline, GST_STATE_PLAYING);
}

void GstMediaPlayer::PlayFrom(int startMs) {
  if (!d_->open) return;
  d_->Pump();
  d_->DoSeek(startMs);
  Play();
}

void GstMediaPlayer::Stop() {
  Impl& d = *d_;
  if (!d.open) return;
  d.Pump();
  d.wantPlaying = false;
  gst_element_set_state(d.pipeline, GST_STATE_PAUSED);
}

int GstMediaPlayer::Length() {
  return d_->length;
}

int GstMediaPlayer::Position() {
  return d_->QueryPosition();
}

void GstMediaPlayer::Seek(int ms) {
  if (!d_->open) return;
  d_->Pump();
  d_->DoSeek(ms);
}

bool GstMediaPlayer::IsPlaying() {
  Impl& d = *d_;
  d.Pump();
  if (!d.open || !d.wantPlaying || d.atEnd) return false;
  // A play request counts from the moment it is made, as it does with the
  // desktop's players: right after a seek the pipeline is still on its way
  // to playing, and the seek keys must not fall dead meanwhile.
  GstState current = GST_STATE_NULL, pending = GST_STATE_VOID_PENDING;
  if (gst_element_get_state(d.pipeline, &current, &pending, 0) == GST_STATE_CHANGE_FAILURE)
    return false;
  return current == GST_STATE_PLAYING || pending == GST_STATE_PLAYING;
}

bool GstMediaPlayer::IsOpen() const {
  return d_->open;
}
int GstMediaPlayer::Error() const {
  return d_->error;
}
std::string GstMediaPlayer::ErrorMessage() const {
  return d_->errorMessage;
}

std::unique_ptr<MediaPlayer> CreateMediaPlayer() {
  return std::make_unique<GstMediaPlayer>(AudioOutputFromEnvironment());
}

}  // namespace quib
