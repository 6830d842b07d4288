#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "host/cli/WaveFormat.h"

namespace tbhost {

// Where the samples of a RIFF WAVE file lie and how they are stored.
struct RiffWaveLayout {
  WaveFormat format;
  int64_t dataOffset = 0;  // byte position of the first sample
  int64_t frames = 0;      // whole frames of the data chunk that the file really holds
  // Whole frames the data chunk's header declares: more than `frames` when the file was cut
  // short. Equal to `frames` when the header leaves the length open (a size of 0xFFFFFFFF, as
  // writers that stream and cannot seek back leave it).
  int64_t headerFrames = 0;
};

// Finds the layout of a RIFF WAVE file by walking its chunks as the system's multimedia file
// functions do: the first RIFF chunk of form "WAVE" at the top level, the first "fmt " chunk
// inside it, then the first "data" chunk after that; chunks are padded to even sizes. The
// bytes come through a function, so the Windows reader (multimedia file I/O) and the fuzzing
// and tests (memory) run the same parser. Any thread; nothing is shared.
class RiffWaveParser {
public:
  // Reads up to `bytes` bytes at `offset` into `out`; returns how many it read (0 past the
  // end, negative on a read error).
  using ReadAt = std::function<int64_t(int64_t offset, void* out, int64_t bytes)>;

  // False with `error` set ("not a RIFF WAVE file ...", "no format chunk", ...).
  static bool Parse(const ReadAt& read, int64_t fileSize, RiffWaveLayout& out, std::string& error);
  // The same over bytes in memory.
  static bool Parse(const uint8_t* bytes, int64_t size, RiffWaveLayout& out, std::string& error);
};

}  // namespace tbhost
