#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/SavedChunk.h"

namespace tbhost {

// A plug-in state saved as a file, the chunk a host keeps in its session. The file is
//   bytes 0..7    "AAXCHUNK"
//   bytes 8..11   the chunk identifier, its four characters in order ("TLK1")
//   bytes 12..15  the number of data bytes n, unsigned, little-endian
//   bytes 16..    the n data bytes, exactly as the plug-in produced them; nothing follows.
class StateFile {
public:
  static constexpr char kMagic[9] = "AAXCHUNK";
  static constexpr size_t kHeaderSize = 16;

  // Main thread. False with `error` set when the file cannot be written completely; a
  // failed write leaves no file.
  static bool Write(const std::string& path, const SavedChunk& chunk, std::string& error);
  // Main thread. False with `error` set when the file cannot be read or is not a saved chunk
  // (wrong header, a size that disagrees with the file, no data).
  static bool Read(const std::string& path, SavedChunk& chunk, std::string& error);

  static std::vector<uint8_t> Encode(const SavedChunk& chunk);
  static bool Decode(const std::vector<uint8_t>& bytes, SavedChunk& chunk, std::string& error);
};

}  // namespace tbhost
