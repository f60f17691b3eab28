#pragma once
// Music files for the real-media tests, made at run time with GStreamer so
// that no binary fixtures live in the tree.
#include <string>

namespace quib::test {

// Runs a gst-launch style pipeline to its end. False (with the reason) on an
// error or after 60 s.
bool RunPipeline(const std::string& description, std::string* error = nullptr);

// Encodes `seconds` of a 440 Hz tone (44.1 kHz stereo) through `encoder`
// ("wavenc", "lamemp3enc", ...) into path.
bool MakeTone(const std::string& path, const std::string& encoder, double seconds);

// A General MIDI file of two one-second piano notes at 120 bpm.
std::string TwoNoteMidi();

// Decodes the file completely and returns the length of the sound it gives
// in ms (-1 when it does not decode).
double DecodedLengthMs(const std::string& path);

}  // namespace quib::test
