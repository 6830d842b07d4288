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

bool StateFile::Encode(const PluginState& state, std::vector<uint8_t>& bytes, std::string& error) {
  if (state.format.size() > kMaxFileSize || state.bytes.size() > kMaxFileSize) {
    error = "the plug-in's state is too large for a state file";
    return false;
  }
  uint32_t chunkID = 0;
  if (!ChunkIDOf(state.format, chunkID)) {
    bytes.assign(kOtherMagic, kOtherMagic + 8);
    PutU32LE(bytes, static_cast<uint32_t>(state.format.size()));
    PutU32LE(bytes, static_cast<uint32_t>(state.bytes.size()));
    bytes.insert(bytes.end(), state.format.begin(), state.format.end());
    bytes.insert(bytes.end(), state.bytes.begin(), state.bytes.end());
    return true;
  }
  bytes.assign(kMagic, kMagic + 8);
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(chunkID >> shift));
  PutU32LE(bytes, static_cast<uint32_t>(state.bytes.size()));
  bytes.insert(bytes.end(), state.bytes.begin(), state.bytes.end());
  return true;
}

bool StateFile::Decode(const std::vector<uint8_t>& bytes, PluginState& state, std::string& error) {
  if (bytes.size() >= kHeaderSize && std::memcmp(bytes.data(), kOtherMagic, 8) == 0) return DecodeOther(bytes, state, error);
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
  state.format = ChunkFormat(id);
  state.bytes.assign(bytes.begin() + kHeaderSize, bytes.end());
  return true;
}

bool StateFile::DecodeOther(const std::vector<uint8_t>& bytes, PluginState& state, std::string& error) {
  const uint64_t formatSize = GetU32LE(bytes.data() + 8);
  const uint64_t size = GetU32LE(bytes.data() + 12);
  const uint64_t held = bytes.size() - kHeaderSize;
  if (formatSize + size != held || formatSize == 0) {
    error = "is damaged: its header announces " + std::to_string(formatSize) + " bytes of format and " +
            std::to_string(size) + " bytes of state but it holds " + std::to_string(held);
    return false;
  }
  if (size == 0) {
    error = "holds an empty state";
    return false;
  }
  const auto format = bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize);
  state.format.assign(format, format + static_cast<std::ptrdiff_t>(formatSize));
  state.bytes.assign(format + static_cast<std::ptrdiff_t>(formatSize), bytes.end());
  return true;
}

bool StateFile::Write(const std::string& path, const PluginState& state, std::string& error) {
  std::vector<uint8_t> bytes;
  return Encode(state, bytes, error) && WholeFile::Write(path, bytes.data(), bytes.size(), error);
}

bool StateFile::Read(const std::string& path, PluginState& state, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!WholeFile::Read(path, "state", kMaxFileSize, bytes, error)) return false;
  std::string why;
  if (!Decode(bytes, state, why)) {
    error = "state " + path + " " + why;
    return false;
  }
  return true;
}

}  // namespace tbhost
