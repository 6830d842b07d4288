#pragma once
#include <cstdint>
#include <string>

namespace tbhost {

// How the samples of a file are stored. Integer samples are quantised to `bits`; the file
// reader and writer convert them to and from the host's single-precision buffers.
enum class SampleKind { kInteger, kFloat, kOther };

// What a render needs to know about a file, and what it needs to write one just like it.
struct AudioFileFormat {
  int32_t sampleRate = 0;
  int32_t channels = 0;
  int64_t frames = 0;        // frames the file holds: what a render reads
  // Frames the file's header promises, where the back end reads it from a header that gives
  // a length; above `frames` when the file was cut short, 0 when unknown.
  int64_t headerFrames = 0;
  SampleKind kind = SampleKind::kInteger;
  int32_t bits = 16;  // significant bits of an integer sample; 32 or 64 for floats; 0 for other encodings

  // The back end's own description of container and encoding (libsndfile's format code, or the
  // RIFF WAVE layout below). 0 asks for a plain RIFF WAVE file with `kind` and `bits`.
  int32_t nativeFormat = 0;
  int32_t containerBits = 0;   // bits a WAVE sample occupies (bits rounded up to whole bytes when 0)
  bool extensible = false;     // WAVE_FORMAT_EXTENSIBLE header
  uint32_t channelMask = 0;    // speaker positions of an extensible header

  std::string description;     // "WAV, 24-bit PCM", for messages

  static AudioFileFormat Wav(int32_t sampleRate, int32_t channels, SampleKind kind, int32_t bits) {
    AudioFileFormat f;
    f.sampleRate = sampleRate;
    f.channels = channels;
    f.kind = kind;
    f.bits = bits;
    return f;
  }
};

}  // namespace tbhost
