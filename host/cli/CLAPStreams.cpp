#include "host/cli/CLAPStreams.h"

#include <algorithm>
#include <cstring>

namespace tbhost {

CLAPWriteStream::CLAPWriteStream(std::vector<uint8_t>& bytes, size_t piece) : mBytes(bytes), mPiece(piece) {
  mStream.ctx = this;
  mStream.write = &Write;
}

int64_t CLAPWriteStream::Write(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
  auto* self = static_cast<CLAPWriteStream*>(stream->ctx);
  if (!buffer && size > 0) return -1;
  const uint64_t n = self->mPiece > 0 ? std::min<uint64_t>(size, self->mPiece) : size;
  const auto* from = static_cast<const uint8_t*>(buffer);
  self->mBytes.insert(self->mBytes.end(), from, from + n);
  return static_cast<int64_t>(n);
}

CLAPReadStream::CLAPReadStream(const uint8_t* bytes, size_t size, size_t piece)
: mBytes(bytes), mSize(size), mPiece(piece) {
  mStream.ctx = this;
  mStream.read = &Read;
}

int64_t CLAPReadStream::Read(const clap_istream_t* stream, void* buffer, uint64_t size) {
  auto* self = static_cast<CLAPReadStream*>(stream->ctx);
  if (!buffer && size > 0) return -1;
  uint64_t n = std::min<uint64_t>(size, self->mSize - self->mPos);
  if (self->mPiece > 0) n = std::min<uint64_t>(n, self->mPiece);
  if (n > 0) std::memcpy(buffer, self->mBytes + self->mPos, static_cast<size_t>(n));
  self->mPos += static_cast<size_t>(n);
  return static_cast<int64_t>(n);  // 0 at the end of the stream
}

}  // namespace tbhost
