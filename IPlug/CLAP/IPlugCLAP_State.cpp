#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "IPlug/CLAP/IPlugCLAP.h"

// The plug-in's state through a host's streams. The bytes, little-endian:
//
//   0   int32   the plug-in's unique id      (a stream of another plug-in is refused)
//   4   int32   the manufacturer's id
//   8   uint32  flags: bit 0 the host-bypass parameter is on; the other bits are 0
//   12  uint32  n, the length of the state
//   16  n bytes the complete state (the product's SerializeState)
//
// and nothing after it. The host-bypass parameter is the binding's, not the product's, so it
// travels beside the state: a CLAP host keeps no parameter values of its own. Parsing trusts nothing: a stream that
// ends early, runs on past the state, names another plug-in or holds a state the plug-in cannot read whole is refused,
// and then nothing changes (ApplyState restores what it began to change). The host may move the bytes in pieces of any
// size; both directions loop until everything has passed.
namespace iplug {
namespace {

constexpr int kHeaderBytes = 16;
constexpr uint32_t kFlagHostBypass = 1u;
// Larger than any state of this plug-in by far; a stream claiming more is not one of ours.
constexpr uint32_t kMaxStateBytes = 16u << 20;

static_assert(std::endian::native == std::endian::little, "the state's header is little-endian");

bool WriteAll(const clap_ostream_t& stream, const uint8_t* data, int64_t size) {
  while (size > 0) {
    const int64_t written = stream.write(&stream, data, static_cast<uint64_t>(size));
    if (written <= 0 || written > size) return false;
    data += written;
    size -= written;
  }
  return true;
}

// Reads exactly `size` bytes; false when the stream ends or fails first.
bool ReadAll(const clap_istream_t& stream, uint8_t* data, int64_t size) {
  while (size > 0) {
    const int64_t got = stream.read(&stream, data, static_cast<uint64_t>(size));
    if (got <= 0 || got > size) return false;
    data += got;
    size -= got;
  }
  return true;
}

bool AtEnd(const clap_istream_t& stream) {
  uint8_t extra = 0;
  return stream.read(&stream, &extra, 1) == 0;
}

template <typename T>
T ReadField(const uint8_t* header, int offset) {
  T value;
  std::memcpy(&value, header + offset, sizeof value);
  return value;
}

}  // namespace

bool IPlugCLAP::SaveState(const clap_ostream_t& stream) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!stream.write) return false;
  ByteChunk state;
  if (!SerializeState(state) || static_cast<uint32_t>(state.Size()) > kMaxStateBytes) return false;
  uint8_t header[kHeaderBytes];
  const int32_t uniqueID = GetUniqueID();
  const int32_t mfrID = GetMfrID();
  const uint32_t flags = mHostBypass.load(std::memory_order_relaxed) ? kFlagHostBypass : 0u;
  const uint32_t size = static_cast<uint32_t>(state.Size());
  std::memcpy(header, &uniqueID, 4);
  std::memcpy(header + 4, &mfrID, 4);
  std::memcpy(header + 8, &flags, 4);
  std::memcpy(header + 12, &size, 4);
  return WriteAll(stream, header, kHeaderBytes) && WriteAll(stream, state.Data(), state.Size());
}

bool IPlugCLAP::LoadState(const clap_istream_t& stream) {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!stream.read) return false;
  uint8_t header[kHeaderBytes];
  if (!ReadAll(stream, header, kHeaderBytes)) return false;
  if (ReadField<int32_t>(header, 0) != GetUniqueID() || ReadField<int32_t>(header, 4) != GetMfrID()) return false;
  const uint32_t flags = ReadField<uint32_t>(header, 8);
  const uint32_t size = ReadField<uint32_t>(header, 12);
  if ((flags & ~kFlagHostBypass) != 0 || size > kMaxStateBytes) return false;
  std::vector<uint8_t> state(size);
  if (!ReadAll(stream, state.data(), size) || !AtEnd(stream)) return false;
  if (!ApplyState(state.data(), static_cast<int>(size))) return false;
  mHostBypass.store((flags & kFlagHostBypass) != 0, std::memory_order_relaxed);
  OnStateRestored();
  return true;
}

}  // namespace iplug
