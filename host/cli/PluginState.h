#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tbhost {

// A plug-in's state the way a host keeps it in a session: what kind of state it is, and its
// bytes exactly as the plug-in gave them. A plug-in takes back only a state of its own format.
struct PluginState {
  std::string format;
  std::vector<uint8_t> bytes;
};

// The format of a state kept as one chunk: its identifier as FourCharText gives it.
std::string ChunkFormat(uint32_t chunkID);
// The chunk identifier of a state in ChunkFormat; false for a state of any other format.
bool ChunkIDOf(const std::string& format, uint32_t& chunkID);

// "'TLK1'" for printable codes, the hexadecimal value otherwise.
std::string FourCharText(uint32_t code);

}  // namespace tbhost
