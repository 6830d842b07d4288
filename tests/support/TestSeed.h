#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace testsupport {

// A fresh random seed, printed with the variable that replays it.
inline uint32_t TestSeed(const char* what, const char* replayVariable) {
  const char* replay = std::getenv(replayVariable);
  const uint32_t seed = replay ? static_cast<uint32_t>(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
  std::printf("%s: seed %u (set %s to replay)\n", what, seed, replayVariable);
  return seed;
}

}  // namespace testsupport
