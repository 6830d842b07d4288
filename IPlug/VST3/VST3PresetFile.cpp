#include "IPlug/VST3/VST3PresetFile.h"

#include <cstring>

namespace iplug {
namespace {

void PutBytes(std::vector<uint8_t>& out, const void* data, size_t n) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + n);
}

template <typename T>
void PutLE(std::vector<uint8_t>& out, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<uint8_t>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFF));
}

template <typename T>
bool GetLE(const std::vector<uint8_t>& in, uint64_t at, T& value) {
  if (at > in.size() || in.size() - at < sizeof(T)) return false;
  uint64_t v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(in[at + i]) << (8 * i);
  value = static_cast<T>(v);
  return true;
}

}  // namespace

std::vector<uint8_t> VST3PresetFile::Write() const {
  std::vector<uint8_t> out;
  PutBytes(out, "VST3", 4);
  PutLE<int32_t>(out, 1);
  std::string id = mClassID;
  id.resize(kClassIDChars, '0');
  PutBytes(out, id.data(), kClassIDChars);
  const size_t listOffsetAt = out.size();
  PutLE<int64_t>(out, 0);
  struct Entry {
    const char* id;
    uint64_t offset, size;
  };
  std::vector<Entry> entries;
  entries.push_back({"Comp", out.size(), mComponentState.size()});
  PutBytes(out, mComponentState.data(), mComponentState.size());
  if (!mControllerState.empty()) {
    entries.push_back({"Cont", out.size(), mControllerState.size()});
    PutBytes(out, mControllerState.data(), mControllerState.size());
  }
  const uint64_t listOffset = out.size();
  for (int i = 0; i < 8; ++i) out[listOffsetAt + static_cast<size_t>(i)] = static_cast<uint8_t>((listOffset >> (8 * i)) & 0xFF);
  PutBytes(out, "List", 4);
  PutLE<int32_t>(out, static_cast<int32_t>(entries.size()));
  for (const Entry& e : entries) {
    PutBytes(out, e.id, 4);
    PutLE<int64_t>(out, static_cast<int64_t>(e.offset));
    PutLE<int64_t>(out, static_cast<int64_t>(e.size));
  }
  return out;
}

bool VST3PresetFile::Parse(const std::vector<uint8_t>& bytes) {
  int32_t version = 0;
  uint64_t listOffset = 0;
  if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), "VST3", 4) != 0 || !GetLE(bytes, 4, version) ||
      !GetLE(bytes, 40, listOffset))
    return false;
  int32_t count = 0;
  if (listOffset > bytes.size() - 8 || std::memcmp(bytes.data() + listOffset, "List", 4) != 0 ||
      !GetLE(bytes, listOffset + 4, count) || count < 0 || count > 64)
    return false;
  std::vector<uint8_t> component, controller;
  bool haveComponent = false;
  for (int32_t i = 0; i < count; ++i) {
    const uint64_t at = listOffset + 8 + static_cast<uint64_t>(i) * 20;
    uint64_t offset = 0, size = 0;
    if (!GetLE(bytes, at + 4, offset) || !GetLE(bytes, at + 12, size)) return false;
    if (offset > bytes.size() || size > bytes.size() - offset) return false;
    const auto* begin = bytes.data() + offset;
    if (std::memcmp(bytes.data() + at, "Comp", 4) == 0) {
      component.assign(begin, begin + size);
      haveComponent = true;
    } else if (std::memcmp(bytes.data() + at, "Cont", 4) == 0) {
      controller.assign(begin, begin + size);
    }
  }
  if (!haveComponent) return false;
  mClassID.assign(reinterpret_cast<const char*>(bytes.data()) + 8, kClassIDChars);
  mComponentState = std::move(component);
  mControllerState = std::move(controller);
  return true;
}

}  // namespace iplug
