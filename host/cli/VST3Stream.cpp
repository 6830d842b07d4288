#include "host/cli/VST3Stream.h"

#include <algorithm>
#include <cstring>

namespace tbhost {
namespace {

VST3Stream& Of(void* self) { return *static_cast<VST3Stream*>(self); }

v3_result V3_API Read(void* self, void* buffer, int32_t numBytes, int32_t* bytesRead) {
  VST3Stream& s = Of(self);
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return V3_INVALID_ARG;
  const int64_t left = static_cast<int64_t>(s.data.size()) - s.position;
  const auto n = static_cast<int32_t>(std::clamp<int64_t>(left, 0, numBytes));
  if (n > 0) std::memcpy(buffer, s.data.data() + s.position, static_cast<size_t>(n));
  s.position += n;
  if (bytesRead) *bytesRead = n;
  return V3_OK;
}

v3_result V3_API Write(void* self, void* buffer, int32_t numBytes, int32_t* bytesWritten) {
  VST3Stream& s = Of(self);
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return V3_INVALID_ARG;
  const auto end = static_cast<size_t>(s.position) + static_cast<size_t>(numBytes);
  if (end > s.data.size()) s.data.resize(end);
  if (numBytes > 0) std::memcpy(s.data.data() + s.position, buffer, static_cast<size_t>(numBytes));
  s.position += numBytes;
  if (bytesWritten) *bytesWritten = numBytes;
  return V3_OK;
}

v3_result V3_API Seek(void* self, int64_t pos, int32_t mode, int64_t* result) {
  VST3Stream& s = Of(self);
  const int64_t base = mode == V3_SEEK_SET ? 0 : mode == V3_SEEK_CUR ? s.position : static_cast<int64_t>(s.data.size());
  if (mode < V3_SEEK_SET || mode > V3_SEEK_END) return V3_INVALID_ARG;
  const int64_t to = base + pos;
  if (to < 0 || to > static_cast<int64_t>(s.data.size())) return V3_INVALID_ARG;
  s.position = to;
  if (result) *result = to;
  return V3_OK;
}

v3_result V3_API Tell(void* self, int64_t* pos) {
  if (!pos) return V3_INVALID_ARG;
  *pos = Of(self).position;
  return V3_OK;
}

}  // namespace

const VST3Stream::Table VST3Stream::kTable{VST3HostObject<VST3Stream>::kUnknown, {&Read, &Write, &Seek, &Tell}};

}  // namespace tbhost
