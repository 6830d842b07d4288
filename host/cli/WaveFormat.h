#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/AudioFileFormat.h"

namespace tbhost {

// The "fmt " chunk of a RIFF WAVE file: PCM (tag 1), IEEE float (tag 3) and the extensible
// header (tag 0xFFFE) whose sub-format names one of the two. Little-endian bytes in and out.
class WaveFormat {
public:
  static constexpr uint16_t kTagPcm = 1;
  static constexpr uint16_t kTagFloat = 3;
  static constexpr uint16_t kTagExtensible = 0xFFFE;

  uint16_t mFormatTag = kTagPcm;
  uint16_t mSubFormatTag = kTagPcm;  // the encoding: the tag itself, or the extensible sub-format
  uint16_t mChannels = 0;
  uint32_t mSampleRate = 0;
  uint16_t mBlockAlign = 0;
  uint16_t mContainerBits = 0;       // wBitsPerSample
  uint16_t mValidBits = 0;           // significant bits of a sample
  uint32_t mChannelMask = 0;

  // False with `error` set for encodings other than integer PCM of 8, 16, 24 or 32-bit
  // containers and 32/64-bit float, or for inconsistent sizes.
  static bool Parse(const uint8_t* bytes, size_t size, WaveFormat& out, std::string& error);
  // False with `error` set when `format` cannot be stored in a WAVE file.
  static bool FromAudioFormat(const AudioFileFormat& format, WaveFormat& out, std::string& error);

  std::vector<uint8_t> Serialise() const;
  AudioFileFormat ToAudioFormat() const;  // frames left at 0
  bool IsFloat() const { return mSubFormatTag == kTagFloat; }
  int BytesPerSample() const { return mContainerBits / 8; }
};

}  // namespace tbhost
