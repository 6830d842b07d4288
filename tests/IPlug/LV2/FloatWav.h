#pragma once
#include <string>

#include "IPlug/LV2/LilvRig.h"

namespace lv2test {

// The 32-bit float WAVE files the LV2 tests hand to tollenbrook-host and Ardour and read back:
// one vector per channel.
void WriteFloatWav(const std::string& path, const Channels& ch, int sampleRate);
// The file's channels, or none when it is no float WAVE file.
Channels ReadFloatWav(const std::string& path);
// The largest sample difference between two renders; infinity when their shapes differ.
double MaxDifference(const Channels& a, const Channels& b);

}  // namespace lv2test
