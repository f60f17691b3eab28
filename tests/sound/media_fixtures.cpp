#include "media_fixtures.h"

#include <gst/gst.h>

#include <cmath>

namespace quib::test {

namespace {

void EnsureGst() {
  static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
  (void)ok;
}

void CountBytes(GstElement*, GstBuffer* buffer, GstPad*, gpointer total) {
  *static_cast<guint64*>(total) += gst_buffer_get_size(buffer);
}

bool RunToEnd(GstElement* pipeline, std::string* error) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* msg = gst_bus_timed_pop_filtered(
      bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
  if (!ok && error) {
    *error = "timed out";
    if (msg) {
      GError* err = nullptr;
      gst_message_parse_error(msg, &err, nullptr);
      *error = err ? err->message : "error";
      if (err) g_error_free(err);
    }
  }
  if (msg) gst_message_unref(msg);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  return ok;
}

}  // namespace

bool RunPipeline(const std::string& description, std::string* error) {
  EnsureGst();
  GError* err = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &err);
  if (err) {
    if (error) *error = err->message;
    g_error_free(err);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  const bool ok = RunToEnd(pipeline, error);
  gst_object_unref(pipeline);
  return ok;
}

bool MakeTone(const std::string& path, const std::string& encoder, double seconds) {
  const int buffers = static_cast<int>(std::lround(seconds * 100));
  return RunPipeline(
      "audiotestsrc wave=sine freq=440 volume=0.5 samplesperbuffer=441 num-buffers=" +
      std::to_string(buffers) +
      " ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! audioconvert ! " + encoder +
      " ! filesink location=\"" + path + "\"");
}

std::string TwoNoteMidi() {
  const unsigned char track[] = {
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,              // 500000 us per quarter note
      0x00, 0xC0, 0x00,                                      // piano
      0x00, 0x90, 0x3C, 0x64, 0x87, 0x40, 0x80, 0x3C, 0x40,  // C4 for 960 ticks
      0x00, 0x90, 0x40, 0x64, 0x87, 0x40, 0x80, 0x40, 0x40,  // E4 for 960 ticks
      0x00, 0xFF, 0x2F, 0x00};
  std::string midi("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14);  // format 0, 1 track, 480 ticks
  midi += "MTrk";
  const auto n = static_cast<unsigned>(sizeof track);
  midi += std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
  midi.append(reinterpret_cast<const char*>(track), sizeof track);
  return midi;
}

double DecodedLengthMs(const std::string& path) {
  EnsureGst();
  GError* err = nullptr;
  GstElement* pipeline = gst_parse_launch(
      ("filesrc location=\"" + path +
       "\" ! decodebin ! audioconvert ! audioresample ! "
       "audio/x-raw,format=S16LE,rate=44100,channels=1 ! fakesink name=sink signal-handoffs=true")
          .c_str(),
      &err);
  if (err) {
    g_error_free(err);
    if (pipeline) gst_object_unref(pipeline);
    return -1;
  }
  guint64 bytes = 0;
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
  g_signal_connect(sink, "handoff", G_CALLBACK(CountBytes), &bytes);
  gst_object_unref(sink);
  const bool ok = RunToEnd(pipeline, nullptr);
  gst_object_unref(pipeline);
  return ok ? static_cast<double>(bytes) / 2.0 / 44.1 : -1;
}

}  // namespace quib::test
