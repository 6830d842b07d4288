#pragma once
#include <cstdint>

#include "IPlug/VST3/VST3Interfaces.h"

namespace iplug {

class IPlugVST3;
struct InstanceInfo;

// The bundle's two classes: their identifiers, each as the four 32-bit words hosts and
// moduleinfo.json write it in (32 hexadecimal digits). The bundle's build states them once.
struct VST3ClassIDs {
  uint32_t mComponent[4];
  uint32_t mController[4];
  // The product's factory, which makes the plug-in object of either class.
  IPlugVST3* (*mMakePlug)(const InstanceInfo& info);

  // The identifier in the byte order of the platform's interfaces (COM order on Windows).
  // COM order keeps the first word and the halves of the second little-endian.
  static void ToTUID(const uint32_t (&words)[4], v3_tuid out) {
    auto byte = [](uint32_t word, int shift) { return static_cast<uint8_t>((word >> shift) & 0xFF); };
    for (int w = 0; w < 4; ++w)
      for (int b = 0; b < 4; ++b) out[w * 4 + b] = byte(words[w], 24 - 8 * b);
#if V3_COM_COMPAT
    const uint32_t w0 = words[0], w1 = words[1];
    const uint8_t com[8] = {byte(w0, 0), byte(w0, 8), byte(w0, 16), byte(w0, 24),
                            byte(w1, 16), byte(w1, 24), byte(w1, 0), byte(w1, 8)};
    for (int i = 0; i < 8; ++i) out[i] = com[i];
#endif
  }
};

}  // namespace iplug
