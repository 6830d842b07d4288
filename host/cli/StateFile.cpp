#include "host/cli/StateFile.h"

#include <cstring>

#include "host/cli/WholeFile.h"

namespace tbhost {

namespace {
// A state is a few hundred bytes; anything beyond this is not one of ours.
constexpr uint64_t kMaxFileSize = 64u << 20;

void PutU32LE(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetU32LE(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
}  // namespace

std::vector<uint8_t> StateFile::Encode(const SavedChunk& chunk) {
  std::vector<uint8_t> bytes(kMagic, kMagic + 8);
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(chunk.chunkID >> shift));
  PutU32LE(bytes, static_cast<uint32_t>(chunk.data.size()));
  bytes.insert(bytes.end(), chunk.data.begin(), chunk.data.end());
  return bytes;
}

bool StateFile::Decode(const std::vector<uint8_t>& bytes, SavedChunk& chunk, std::string& error) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 8) != 0) {
    error = "is not a saved plug-in state (it does not start with AAXCHUNK)";
    return false;
  }
  const uint32_t id = static_cast<uint32_t>(bytes[8]) << 24 | static_cast<uint32_t>(bytes[9]) << 16 |
                      static_cast<uint32_t>(bytes[10]) << 8 | static_cast<uint32_t>(bytes[11]);
  const uint32_t size = GetU32LE(bytes.data() + 12);
  const uint64_t held = bytes.size() - kHeaderSize;
  if (size != held) {
    error = "is damaged: its header announces " + std::to_string(size) + " bytes of state but it holds " +
            std::to_string(held);
    return false;
  }
  if (size == 0) {
    error = "holds an empty state";
    return false;
  }
  chunk.chunkID = id;
  chunk.data.assign(bytes.begin() + kHeaderSize, bytes.end());
  return true;
}

bool StateFile::Write(const std::string& path, const SavedChunk& chunk, std::string& error) {
  const std::vector<uint8_t> bytes = Encode(chunk);
  return WholeFile::Write(path, bytes.data(), bytes.size(), error);
}

bool StateFile::Read(const std::string& path, SavedChunk& chunk, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!WholeFile::Read(path, "state", kMaxFileSize, bytes, error)) return false;
  std::string why;
  if (!Decode(bytes, chunk, why)) {
    error = "state " + path + " " + why;
    return false;
  }
  return true;
}

}  // namespace tbhost
