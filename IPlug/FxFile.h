#pragma once
#include <cstdint>
#include <vector>

#include "IPlug/ByteChunk.h"
#include "IPlug/TextBuffer.h"

namespace iplug {

// The VST 2 program (FXP) and bank (FXB) file containers. Every header field is a big-endian
// 32-bit integer; program names take a 28-byte field. Two forms of each:
//
//   chunk program      "CcnK", inner size + 60, "FPCh", 1, unique ID, version, parameter count,
//                      name, inner size, inner data
//   chunk bank         "CcnK", inner size + 160, "FBCh", 2, unique ID, version, slot count,
//                      current slot, 124 zero bytes, inner size, inner data
//   parameter program  "CcnK", 0, "FxCk", 1, unique ID, version, parameter count, name, then
//                      one big-endian float per parameter (its normalised value)
//   parameter bank     "CcnK", 0, "FxBk", 2, unique ID, version, slot count, current slot,
//                      124 zero bytes, then one parameter program per slot
//
// The inner data of the chunk forms starts with the little-endian int32s 0x70666674 ("tffp")
// and 0x00010000 in front of the plug-in's own bytes. The version field holds the plug-in
// version in decimal (major * 10000 + minor * 100 + patch).
//
// Files come from other hosts and other sessions, so parsing trusts nothing: every size is
// checked against the file's own length before any byte behind it is looked at. Other hosts
// count the byte size without its own 8 bytes of magic and size field; that reading is
// accepted as well.
class FxFile {
public:
  static constexpr int kNameBytes = 28;
  static constexpr int kChunkProgramHeader = 60;
  static constexpr int kChunkBankHeader = 160;
  static constexpr int kParamProgramHeader = 56;
  static constexpr int kParamBankHeader = 156;
  static constexpr int kBankFutureBytes = 124;
  static constexpr uint32_t kInnerMarker = 0x70666674;  // "tffp" in little-endian bytes
  static constexpr uint32_t kInnerVersion = 0x00010000;

  // A parsed program: for the chunk form the plug-in's bytes (after the "tffp" prefix, when
  // there is one), for the parameter form the normalised values. Points into the parsed bytes.
  struct Program {
    bool chunkForm = false;
    int32_t uniqueID = 0;
    int32_t version = 0;
    int32_t numParams = 0;
    char name[kNameBytes + 1] = {};
    const uint8_t* chunk = nullptr;
    int chunkSize = 0;
    std::vector<float> values;
  };

  struct Bank {
    bool chunkForm = false;
    int32_t uniqueID = 0;
    int32_t version = 0;
    int32_t numPrograms = 0;
    int32_t currentProgram = 0;
    const uint8_t* chunk = nullptr;  // chunk form
    int chunkSize = 0;
    std::vector<Program> programs;   // parameter form
  };

  // False with a reason when the bytes are not exactly one well-formed program or bank.
  static bool ParseProgram(const uint8_t* data, int size, Program& out, TextBuffer* why);
  static bool ParseBank(const uint8_t* data, int size, Bank& out, TextBuffer* why);

  // Header fields in the order they are written; the name is cut to 27 bytes and padded.
  struct Header {
    int32_t uniqueID = 0;
    int32_t version = 0;
    int32_t count = 0;    // parameters of a program, slots of a bank
    int32_t current = 0;  // banks: the current slot
    const char* name = "";  // programs
  };

  // Appends a complete chunk-form program or bank around the plug-in's bytes.
  static bool AppendChunkProgram(ByteChunk& out, const Header& header, const ByteChunk& state);
  static bool AppendChunkBank(ByteChunk& out, const Header& header, const ByteChunk& presets);
  // Appends a parameter-form program (header.count values) or a bank header (the programs
  // follow, one AppendParamProgram each).
  static bool AppendParamProgram(ByteChunk& out, const Header& header, const float* values);
  static bool AppendParamBankHeader(ByteChunk& out, const Header& header);
};

}  // namespace iplug
