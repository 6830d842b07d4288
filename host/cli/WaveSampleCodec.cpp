#include "host/cli/WaveSampleCodec.h"

#include <cstring>

#include "host/cli/SampleConversion.h"

namespace tbhost {
namespace {

int32_t ReadLeftJustified(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  if (bytes == 1) return static_cast<int32_t>(static_cast<uint32_t>(p[0] ^ 0x80u) << 24);
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * (4 - bytes + i));
  return static_cast<int32_t>(v);
}

void WriteLeftJustified(int32_t value, uint8_t* p, int bytes) {
  const uint32_t v = static_cast<uint32_t>(value);
  if (bytes == 1) {
    p[0] = static_cast<uint8_t>((v >> 24) ^ 0x80u);
    return;
  }
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (4 - bytes + i)));
}

}  // namespace

void WaveSampleCodec::Decode(const uint8_t* bytes, int64_t samples, float* out) const {
  const int size = mFormat.BytesPerSample();
  for (int64_t i = 0; i < samples; ++i, bytes += size) {
    if (mFormat.IsFloat() && size == 4) {
      uint32_t v = ReadLeftJustified(bytes, 4);
      float f;
      std::memcpy(&f, &v, sizeof f);
      out[i] = f;
    } else if (mFormat.IsFloat()) {
      const uint64_t v = (static_cast<uint64_t>(static_cast<uint32_t>(ReadLeftJustified(bytes + 4, 4))) << 32) |
                         static_cast<uint32_t>(ReadLeftJustified(bytes, 4));
      double d;
      std::memcpy(&d, &v, sizeof d);
      out[i] = static_cast<float>(d);
    } else {
      out[i] = IntegerSampleToFloat(ReadLeftJustified(bytes, size));
    }
  }
}

int64_t WaveSampleCodec::Encode(const float* in, int64_t samples, uint8_t* bytes) const {
  const int size = mFormat.BytesPerSample();
  int64_t clipped = 0;
  for (int64_t i = 0; i < samples; ++i, bytes += size) {
    if (mFormat.IsFloat() && size == 4) {
      uint32_t v;
      std::memcpy(&v, &in[i], sizeof v);
      WriteLeftJustified(static_cast<int32_t>(v), bytes, 4);
    } else if (mFormat.IsFloat()) {
      const double d = in[i];
      uint64_t v;
      std::memcpy(&v, &d, sizeof v);
      WriteLeftJustified(static_cast<int32_t>(static_cast<uint32_t>(v)), bytes, 4);
      WriteLeftJustified(static_cast<int32_t>(static_cast<uint32_t>(v >> 32)), bytes + 4, 4);
    } else {
      bool clip = false;
      WriteLeftJustified(FloatToLeftJustified(in[i], mFormat.mValidBits, clip), bytes, size);
      clipped += clip ? 1 : 0;
    }
  }
  return clipped;
}

}  // namespace tbhost
