#include "host/cli/WaveFormat.h"

#include <cstring>

namespace tbhost {
namespace {

// The sub-format GUID of an extensible header is the format tag followed by this fixed tail.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::string Hex4(unsigned v) {
  static const char* digits = "0123456789abcdef";
  std::string s = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) s += digits[(v >> shift) & 0xF];
  return s;
}

bool CheckEncoding(const WaveFormat& f, std::string& error) {
  if (f.mChannels == 0 || f.mSampleRate == 0) {
    error = "the WAVE header has no channels or no sample rate";
    return false;
  }
  if (f.mSubFormatTag == WaveFormat::kTagFloat) {
    if (f.mContainerBits != 32 && f.mContainerBits != 64) {
      error = "unsupported WAVE float size of " + std::to_string(f.mContainerBits) + " bits";
      return false;
    }
  } else if (f.mSubFormatTag == WaveFormat::kTagPcm) {
    if (f.mContainerBits != 8 && f.mContainerBits != 16 && f.mContainerBits != 24 && f.mContainerBits != 32) {
      error = "unsupported WAVE PCM sample size of " + std::to_string(f.mContainerBits) + " bits";
      return false;
    }
  } else {
    error = "unsupported WAVE encoding (format tag " + Hex4(f.mSubFormatTag) + "); PCM and IEEE float are read";
    return false;
  }
  if (f.mValidBits == 0 || f.mValidBits > f.mContainerBits || (f.IsFloat() && f.mValidBits != f.mContainerBits)) {
    error = "inconsistent WAVE header: " + std::to_string(f.mValidBits) + " valid bits in " +
            std::to_string(f.mContainerBits) + "-bit samples";
    return false;
  }
  if (f.mBlockAlign != f.mChannels * f.BytesPerSample()) {
    error = "inconsistent WAVE header: block alignment " + std::to_string(f.mBlockAlign) + " for " +
            std::to_string(f.mChannels) + " channels of " + std::to_string(f.mContainerBits) + " bits";
    return false;
  }
  return true;
}

}  // namespace

bool WaveFormat::Parse(const uint8_t* bytes, size_t size, WaveFormat& out, std::string& error) {
  if (size < 16) {
    error = "the WAVE format chunk is too short";
    return false;
  }
  WaveFormat f;
  f.mFormatTag = Get16(bytes);
  f.mChannels = Get16(bytes + 2);
  f.mSampleRate = Get32(bytes + 4);
  f.mBlockAlign = Get16(bytes + 12);
  const uint16_t bitsPerSample = Get16(bytes + 14);
  if (f.mFormatTag == kTagExtensible) {
    if (size < 40 || Get16(bytes + 16) < 22) {
      error = "the extensible WAVE format chunk is too short";
      return false;
    }
    f.mContainerBits = bitsPerSample;
    f.mValidBits = Get16(bytes + 18);
    if (f.mValidBits == 0) f.mValidBits = bitsPerSample;
    f.mChannelMask = Get32(bytes + 20);
    if (std::memcmp(bytes + 26, kGuidTail, sizeof kGuidTail) != 0) {
      error = "unsupported extensible WAVE sub-format";
      return false;
    }
    f.mSubFormatTag = Get16(bytes + 24);
  } else {
    // A plain header may state fewer bits than the container holds (20 bits in 3 bytes).
    f.mSubFormatTag = f.mFormatTag;
    f.mValidBits = bitsPerSample;
    f.mContainerBits = f.mChannels ? static_cast<uint16_t>(f.mBlockAlign / f.mChannels * 8) : 0;
  }
  if (!CheckEncoding(f, error)) return false;
  out = f;
  return true;
}

bool WaveFormat::FromAudioFormat(const AudioFileFormat& format, WaveFormat& out, std::string& error) {
  WaveFormat f;
  if (format.channels < 1 || format.channels > 0xFFFF || format.sampleRate < 1) {
    error = "cannot write a WAVE file of " + std::to_string(format.channels) + " channels at " +
            std::to_string(format.sampleRate) + " Hz";
    return false;
  }
  f.mChannels = static_cast<uint16_t>(format.channels);
  f.mSampleRate = static_cast<uint32_t>(format.sampleRate);
  f.mSubFormatTag = format.kind == SampleKind::kFloat ? kTagFloat : kTagPcm;
  f.mValidBits = static_cast<uint16_t>(format.bits);
  f.mContainerBits = static_cast<uint16_t>(format.containerBits ? format.containerBits : (format.bits + 7) / 8 * 8);
  f.mFormatTag = format.extensible ? kTagExtensible : f.mSubFormatTag;
  f.mChannelMask = format.channelMask;
  f.mBlockAlign = static_cast<uint16_t>(f.mChannels * f.BytesPerSample());
  if (format.kind == SampleKind::kOther || !CheckEncoding(f, error)) {
    if (format.kind == SampleKind::kOther) error = "cannot write this encoding to a WAVE file";
    return false;
  }
  out = f;
  return true;
}

std::vector<uint8_t> WaveFormat::Serialise() const {
  std::vector<uint8_t> out;
  Put16(out, mFormatTag);
  Put16(out, mChannels);
  Put32(out, mSampleRate);
  Put32(out, mSampleRate * mBlockAlign);
  Put16(out, mBlockAlign);
  if (mFormatTag == kTagExtensible) {
    Put16(out, mContainerBits);
    Put16(out, 22);
    Put16(out, mValidBits);
    Put32(out, mChannelMask);
    Put16(out, mSubFormatTag);
    out.insert(out.end(), kGuidTail, kGuidTail + sizeof kGuidTail);
  } else if (mFormatTag == kTagPcm) {
    Put16(out, mValidBits);
  } else {
    Put16(out, mValidBits);
    Put16(out, 0);  // cbSize: the non-PCM header carries its (empty) extension size
  }
  return out;
}

AudioFileFormat WaveFormat::ToAudioFormat() const {
  AudioFileFormat f;
  f.sampleRate = static_cast<int32_t>(mSampleRate);
  f.channels = mChannels;
  f.kind = IsFloat() ? SampleKind::kFloat : SampleKind::kInteger;
  f.bits = mValidBits;
  f.nativeFormat = mFormatTag;
  f.containerBits = mContainerBits;
  f.extensible = mFormatTag == kTagExtensible;
  f.channelMask = mChannelMask;
  std::string encoding = IsFloat() ? std::to_string(mValidBits) + "-bit float"
                                   : std::to_string(mValidBits) + "-bit PCM";
  if (mValidBits != mContainerBits) encoding += " in " + std::to_string(mContainerBits) + "-bit samples";
  f.description = std::string(f.extensible ? "WAV (extensible), " : "WAV, ") + encoding;
  return f;
}

}  // namespace tbhost
