#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/PluginState.h"

namespace tbhost {

// A plug-in state saved as a file, as a host keeps it in its session. A state of ChunkFormat
// (the AAX module's, the plug-in linked in) is the file
//   bytes 0..7    "AAXCHUNK"
//   bytes 8..11   the chunk identifier, its four characters in order ("TLK1")
//   bytes 12..15  the number of data bytes n, unsigned, little-endian
//   bytes 16..    the n data bytes, exactly as the plug-in produced them; nothing follows.
// A state of any other format (an LV2 bundle's) is the file
//   bytes 0..7    "PLUGSTAT"
//   bytes 8..11   the length f of the format's text, unsigned, little-endian
//   bytes 12..15  the number of data bytes n, unsigned, little-endian
//   then the f bytes of the format (UTF-8), then the n data bytes; nothing follows.
class StateFile {
public:
  static constexpr char kMagic[9] = "AAXCHUNK";
  static constexpr char kOtherMagic[9] = "PLUGSTAT";
  static constexpr size_t kHeaderSize = 16;

  // Main thread. False with `error` set when the file cannot be written completely; a
  // failed write leaves no file.
  static bool Write(const std::string& path, const PluginState& state, std::string& error);
  // Main thread. False with `error` set when the file cannot be read or is not a saved chunk
  // (wrong header, a size that disagrees with the file, no data).
  static bool Read(const std::string& path, PluginState& state, std::string& error);

  static bool Encode(const PluginState& state, std::vector<uint8_t>& bytes, std::string& error);
  static bool Decode(const std::vector<uint8_t>& bytes, PluginState& state, std::string& error);

private:
  static bool DecodeOther(const std::vector<uint8_t>& bytes, PluginState& state, std::string& error);
};

}  // namespace tbhost
