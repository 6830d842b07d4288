#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "clap/stream.h"

namespace tbhost {

// The byte streams a CLAP plug-in saves its state into and loads it from, over a host's own
// bytes. Each call moves at most `piece` bytes, so a plug-in is seen to read and write in the
// pieces a host allows (a host may hand over less than asked on every call). The thread of the
// state call that uses them (the main thread).
class CLAPWriteStream {
public:
  // `piece` 0 takes any length at once.
  CLAPWriteStream(std::vector<uint8_t>& bytes, size_t piece);
  const clap_ostream_t* Get() const { return &mStream; }

private:
  static int64_t Write(const clap_ostream_t* stream, const void* buffer, uint64_t size);
  clap_ostream_t mStream{};
  std::vector<uint8_t>& mBytes;
  size_t mPiece;
};

class CLAPReadStream {
public:
  CLAPReadStream(const uint8_t* bytes, size_t size, size_t piece);
  const clap_istream_t* Get() const { return &mStream; }
  // Whether the plug-in read every byte there was.
  bool ReadAll() const { return mPos == mSize; }

private:
  static int64_t Read(const clap_istream_t* stream, void* buffer, uint64_t size);
  clap_istream_t mStream{};
  const uint8_t* mBytes;
  size_t mSize;
  size_t mPiece;
  size_t mPos = 0;
};

}  // namespace tbhost
