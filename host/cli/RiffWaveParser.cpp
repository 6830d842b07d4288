#include "host/cli/RiffWaveParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tbhost {
namespace {

constexpr int64_t kHeaderBytes = 8;
constexpr size_t kMaxFormatBytes = 256;
constexpr int64_t kOpenLength = 0xFFFFFFFF;

struct ChunkHeader {
  char id[4] = {};
  int64_t size = 0;
  int64_t dataOffset = 0;  // position of the chunk's first data byte
};

bool ReadHeader(const RiffWaveParser::ReadAt& read, int64_t offset, ChunkHeader& out) {
  uint8_t bytes[kHeaderBytes];
  if (read(offset, bytes, kHeaderBytes) != kHeaderBytes) return false;
  std::memcpy(out.id, bytes, 4);
  out.size = static_cast<int64_t>(bytes[4]) | (static_cast<int64_t>(bytes[5]) << 8) |
             (static_cast<int64_t>(bytes[6]) << 16) | (static_cast<int64_t>(bytes[7]) << 24);
  out.dataOffset = offset + kHeaderBytes;
  return true;
}

bool Is(const ChunkHeader& header, const char* id) { return std::memcmp(header.id, id, 4) == 0; }

// The next chunk after `header`, past its data and its pad byte.
int64_t After(const ChunkHeader& header) { return header.dataOffset + header.size + (header.size & 1); }

// The first chunk called `id` between `from` and `end`.
bool FindChunk(const RiffWaveParser::ReadAt& read, int64_t from, int64_t end, const char* id, ChunkHeader& out) {
  for (int64_t at = from; at + kHeaderBytes <= end; at = After(out)) {
    if (!ReadHeader(read, at, out)) return false;
    if (Is(out, id)) return true;
  }
  return false;
}

bool FindWaveForm(const RiffWaveParser::ReadAt& read, int64_t fileSize, ChunkHeader& out) {
  for (int64_t at = 0; at + kHeaderBytes <= fileSize; at = After(out)) {
    if (!ReadHeader(read, at, out)) return false;
    char form[4] = {};
    if (Is(out, "RIFF") && out.size >= 4 && read(out.dataOffset, form, 4) == 4 && std::memcmp(form, "WAVE", 4) == 0)
      return true;
  }
  return false;
}

}  // namespace

bool RiffWaveParser::Parse(const ReadAt& read, int64_t fileSize, RiffWaveLayout& out, std::string& error) {
  ChunkHeader riff;
  if (!FindWaveForm(read, fileSize, riff)) {
    error = "not a RIFF WAVE file (only WAVE files are read on Windows)";
    return false;
  }
  const int64_t riffEnd = std::min(riff.dataOffset + riff.size, fileSize);
  ChunkHeader fmt;
  if (!FindChunk(read, riff.dataOffset + 4, riffEnd, "fmt ", fmt)) {
    error = "no format chunk";
    return false;
  }
  std::vector<uint8_t> fmtBytes(static_cast<size_t>(std::min<int64_t>(fmt.size, kMaxFormatBytes)));
  if (read(fmt.dataOffset, fmtBytes.data(), static_cast<int64_t>(fmtBytes.size())) !=
      static_cast<int64_t>(fmtBytes.size())) {
    error = "truncated format chunk";
    return false;
  }
  if (!WaveFormat::Parse(fmtBytes.data(), fmtBytes.size(), out.format, error)) return false;
  ChunkHeader data;
  if (!FindChunk(read, After(fmt), riffEnd, "data", data)) {
    error = "no data chunk";
    return false;
  }
  out.dataOffset = data.dataOffset;
  const int64_t available = std::max<int64_t>(0, fileSize - data.dataOffset);
  out.frames = std::min(data.size, available) / out.format.mBlockAlign;
  out.headerFrames = data.size == kOpenLength ? out.frames : data.size / out.format.mBlockAlign;
  return true;
}

bool RiffWaveParser::Parse(const uint8_t* bytes, int64_t size, RiffWaveLayout& out, std::string& error) {
  const ReadAt read = [bytes, size](int64_t offset, void* to, int64_t n) -> int64_t {
    if (offset < 0 || offset >= size || n <= 0) return 0;
    const int64_t got = std::min(n, size - offset);
    std::memcpy(to, bytes + offset, static_cast<size_t>(got));
    return got;
  };
  return Parse(read, size, out, error);
}

}  // namespace tbhost
