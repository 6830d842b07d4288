#include "IPlug/VST3/VST3Stream.h"

namespace iplug {

bool VST3Stream::ReadAll(v3_bstream** stream, std::vector<uint8_t>& out) {
  out.clear();
  if (!stream) return false;
  constexpr int32_t kPiece = 4096;
  uint8_t piece[kPiece];
  for (;;) {
    int32_t got = 0;
    if (v3_cpp_obj(stream)->read(stream, piece, kPiece, &got) != V3_OK) return false;
    if (got <= 0) return true;
    if (got > kPiece || static_cast<int64_t>(out.size()) + got > kMaxStateBytes) return false;
    out.insert(out.end(), piece, piece + got);
  }
}

bool VST3Stream::WriteAll(v3_bstream** stream, const void* data, int size) {
  if (!stream || size < 0 || (!data && size > 0)) return false;
  const auto* at = static_cast<const uint8_t*>(data);
  while (size > 0) {
    int32_t written = 0;
    if (v3_cpp_obj(stream)->write(stream, const_cast<uint8_t*>(at), size, &written) != V3_OK || written <= 0) return false;
    written = written > size ? size : written;
    at += written;
    size -= written;
  }
  return true;
}

}  // namespace iplug
