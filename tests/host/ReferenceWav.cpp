#include "host/ReferenceWav.h"

#include <cstring>

namespace hosttest {
namespace {

void Put(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t Get(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return v;
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> ReferenceWav::Encode() const {
  std::vector<uint8_t> fmt;
  const uint16_t block = static_cast<uint16_t>(channels * containerBits / 8);
  Put(fmt, formatTag, 2);
  Put(fmt, channels, 2);
  Put(fmt, sampleRate, 4);
  Put(fmt, sampleRate * block, 4);
  Put(fmt, block, 2);
  if (formatTag == 0xFFFE) {
    Put(fmt, containerBits, 2);
    Put(fmt, 22, 2);
    Put(fmt, validBits, 2);
    Put(fmt, channelMask, 4);
    const uint8_t guid[16] = {static_cast<uint8_t>(subFormat), 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), guid, guid + 16);
  } else {
    Put(fmt, validBits, 2);
    if (formatTag != 1) Put(fmt, 0, 2);
  }

  std::vector<uint8_t> data;
  const int bytes = containerBits / 8;
  if (IsFloat()) {
    for (double d : floats) {
      if (bytes == 4) {
        const float f = static_cast<float>(d);
        uint32_t v;
        std::memcpy(&v, &f, 4);
        Put(data, v, 4);
      } else {
        uint64_t v;
        std::memcpy(&v, &d, 8);
        Put(data, v, 8);
      }
    }
  } else {
    for (int64_t q : ints) {
      // Samples sit left-justified in their container; 8-bit samples are unsigned.
      const int64_t shifted = q * (int64_t{1} << (containerBits - validBits));
      Put(data, bytes == 1 ? static_cast<uint64_t>(shifted + 128) : static_cast<uint64_t>(shifted), bytes);
    }
  }

  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put(out, 0, 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put(out, fmt.size(), 4);
  out.insert(out.end(), fmt.begin(), fmt.end());
  if (hasFact) {
    PutTag(out, "fact");
    Put(out, 4, 4);
    Put(out, static_cast<uint64_t>(Frames()), 4);
  }
  PutTag(out, "data");
  Put(out, data.size(), 4);
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);
  const uint64_t riffSize = out.size() - 8;
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
  return out;
}

bool ReferenceWav::Decode(const std::vector<uint8_t>& bytes, ReferenceWav& out, std::string& why) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4)) {
    why = "no RIFF WAVE header";
    return false;
  }
  if (Get(bytes.data() + 4, 4) != bytes.size() - 8) {
    why = "RIFF size " + std::to_string(Get(bytes.data() + 4, 4)) + " for " + std::to_string(bytes.size()) + " bytes";
    return false;
  }
  out = ReferenceWav{};
  bool haveFmt = false;
  for (size_t pos = 12; pos + 8 <= bytes.size();) {
    const uint8_t* ck = bytes.data() + pos;
    const size_t size = static_cast<size_t>(Get(ck + 4, 4));
    const uint8_t* body = ck + 8;
    if (pos + 8 + size > bytes.size()) {
      why = "chunk overruns the file";
      return false;
    }
    if (!std::memcmp(ck, "fmt ", 4)) {
      out.formatTag = static_cast<uint16_t>(Get(body, 2));
      out.channels = static_cast<uint16_t>(Get(body + 2, 2));
      out.sampleRate = static_cast<uint32_t>(Get(body + 4, 4));
      const uint16_t block = static_cast<uint16_t>(Get(body + 12, 2));
      out.validBits = static_cast<uint16_t>(Get(body + 14, 2));
      out.containerBits = static_cast<uint16_t>(block / out.channels * 8);
      out.subFormat = out.formatTag;
      if (out.formatTag == 0xFFFE) {
        out.containerBits = out.validBits;
        out.validBits = static_cast<uint16_t>(Get(body + 18, 2));
        out.channelMask = static_cast<uint32_t>(Get(body + 20, 4));
        out.subFormat = static_cast<uint16_t>(Get(body + 24, 2));
      }
      haveFmt = true;
    } else if (!std::memcmp(ck, "fact", 4)) {
      out.hasFact = true;
    } else if (!std::memcmp(ck, "data", 4)) {
      if (!haveFmt) {
        why = "data before fmt";
        return false;
      }
      const int n = out.containerBits / 8;
      for (size_t i = 0; i + n <= size; i += n) {
        const uint64_t raw = Get(body + i, n);
        if (out.IsFloat()) {
          if (n == 4) {
            float f;
            const uint32_t v = static_cast<uint32_t>(raw);
            std::memcpy(&f, &v, 4);
            out.floats.push_back(f);
          } else {
            double d;
            std::memcpy(&d, &raw, 8);
            out.floats.push_back(d);
          }
        } else {
          int64_t v = n == 1 ? static_cast<int64_t>(raw) - 128 : static_cast<int64_t>(raw);
          if (n > 1 && (raw >> (8 * n - 1))) v -= int64_t{1} << (8 * n);  // sign extension
          out.ints.push_back(v / (int64_t{1} << (out.containerBits - out.validBits)));
        }
      }
    }
    pos += 8 + size + (size % 2);
  }
  if (!haveFmt) why = "no fmt chunk";
  return haveFmt;
}

}  // namespace hosttest
