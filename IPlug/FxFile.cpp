#include "IPlug/FxFile.h"

#include <cmath>
#include <cstring>

#include "IPlug/FourCharCode.h"
#include "IPlug/Utf8Cut.h"

namespace iplug {
namespace {

constexpr int32_t kCcnK = MakeFourCharCode("CcnK");
constexpr int32_t kFPCh = MakeFourCharCode("FPCh");
constexpr int32_t kFBCh = MakeFourCharCode("FBCh");
constexpr int32_t kFxCk = MakeFourCharCode("FxCk");
constexpr int32_t kFxBk = MakeFourCharCode("FxBk");

int32_t GetBE32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                              static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]));
}

uint32_t GetLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool Refuse(TextBuffer* why, const char* reason) {
  if (why) why->Set(reason);
  return false;
}

bool AppendBE32(ByteChunk& out, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  const int before = out.Size();
  return out.AppendBytes(bytes, 4) == before + 4;
}

bool AppendLE32(ByteChunk& out, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  const int before = out.Size();
  return out.AppendBytes(bytes, 4) == before + 4;
}

bool AppendZeros(ByteChunk& out, int n) {
  const uint8_t zeros[FxFile::kBankFutureBytes] = {};
  const int before = out.Size();
  return out.AppendBytes(zeros, n) == before + n;
}

bool AppendName(ByteChunk& out, const char* name) {
  // At most 27 bytes, so the field always holds a terminator for readers that expect one.
  char field[FxFile::kNameBytes] = {};
  CopyUtf8Cut(field, FxFile::kNameBytes, name);
  const int before = out.Size();
  return out.AppendBytes(field, FxFile::kNameBytes) == before + FxFile::kNameBytes;
}

bool AppendCommon(ByteChunk& out, int32_t byteSize, int32_t kind, int32_t formatVersion, const FxFile::Header& h) {
  return AppendBE32(out, static_cast<uint32_t>(kCcnK)) && AppendBE32(out, static_cast<uint32_t>(byteSize)) &&
         AppendBE32(out, static_cast<uint32_t>(kind)) && AppendBE32(out, static_cast<uint32_t>(formatVersion)) &&
         AppendBE32(out, static_cast<uint32_t>(h.uniqueID)) && AppendBE32(out, static_cast<uint32_t>(h.version)) &&
         AppendBE32(out, static_cast<uint32_t>(h.count));
}

// The inner data: the "tffp" prefix, then the plug-in's bytes.
bool AppendInner(ByteChunk& out, const ByteChunk& payload) {
  const int before = out.Size();
  return AppendBE32(out, static_cast<uint32_t>(payload.Size() + 8)) && AppendLE32(out, FxFile::kInnerMarker) &&
         AppendLE32(out, FxFile::kInnerVersion) &&
         (payload.Size() == 0 || out.AppendBytes(payload.Data(), payload.Size()) == before + 12 + payload.Size());
}

// The byte size field of a chunk form agrees with the file when it counts the whole file
// (as this framework writes it) or the file without magic and size (as other hosts do).
bool ByteSizeAgrees(int32_t byteSize, int64_t fileSize) { return byteSize == fileSize || byteSize == fileSize - 8; }

// The inner data without its "tffp" prefix, when it has one.
void SkipInnerPrefix(const uint8_t*& data, int& size) {
  if (size >= 8 && GetLE32(data) == FxFile::kInnerMarker) {
    data += 8;
    size -= 8;
  }
}

bool ParseInner(const uint8_t* data, int size, int header, const uint8_t*& inner, int& innerSize, TextBuffer* why) {
  const int32_t byteSize = GetBE32(data + 4);
  const int32_t declared = GetBE32(data + header - 4);
  if (declared < 0 || declared != static_cast<int64_t>(size) - header)
    return Refuse(why, declared > static_cast<int64_t>(size) - header ? "is truncated: its data size is larger than the file"
                                                                       : "is damaged: its data size disagrees with the file");
  if (!ByteSizeAgrees(byteSize, size)) return Refuse(why, "is damaged: its byte size disagrees with the file");
  inner = data + header;
  innerSize = declared;
  SkipInnerPrefix(inner, innerSize);
  return true;
}

}  // namespace

bool FxFile::ParseProgram(const uint8_t* data, int size, Program& out, TextBuffer* why) {
  if (!data || size < 8 || GetBE32(data) != kCcnK) return Refuse(why, "is not a program file (no \"CcnK\" at its start)");
  if (size < kParamProgramHeader) return Refuse(why, "is truncated: its header is incomplete");
  const int32_t kind = GetBE32(data + 8);
  if (kind != kFPCh && kind != kFxCk) return Refuse(why, "is not a program file (neither \"FPCh\" nor \"FxCk\")");
  if (GetBE32(data + 12) != 1) return Refuse(why, "has a program format version other than 1");
  Program program;
  program.chunkForm = kind == kFPCh;
  program.uniqueID = GetBE32(data + 16);
  program.version = GetBE32(data + 20);
  program.numParams = GetBE32(data + 24);
  std::memcpy(program.name, data + 28, kNameBytes);
  program.name[kNameBytes] = '\0';
  if (program.chunkForm) {
    if (size < kChunkProgramHeader) return Refuse(why, "is truncated: its header is incomplete");
    if (!ParseInner(data, size, kChunkProgramHeader, program.chunk, program.chunkSize, why)) return false;
  } else {
    const int64_t expected = kParamProgramHeader + 4 * static_cast<int64_t>(program.numParams);
    if (program.numParams < 0 || expected != size)
      return Refuse(why, expected > size ? "is truncated: it holds fewer values than its parameter count"
                                         : "is damaged: its parameter count disagrees with the file");
    const int32_t byteSize = GetBE32(data + 4);
    if (byteSize != 0 && !ByteSizeAgrees(byteSize, size))
      return Refuse(why, "is damaged: its byte size disagrees with the file");
    program.values.resize(static_cast<size_t>(program.numParams));
    for (int i = 0; i < program.numParams; ++i) {
      const uint32_t bits = static_cast<uint32_t>(GetBE32(data + kParamProgramHeader + 4 * i));
      std::memcpy(&program.values[static_cast<size_t>(i)], &bits, sizeof bits);
      if (!std::isfinite(program.values[static_cast<size_t>(i)]))
        return Refuse(why, "is damaged: it holds a value that is not a number");
    }
  }
  out = std::move(program);
  return true;
}

bool FxFile::ParseBank(const uint8_t* data, int size, Bank& out, TextBuffer* why) {
  if (!data || size < 8 || GetBE32(data) != kCcnK) return Refuse(why, "is not a bank file (no \"CcnK\" at its start)");
  if (size < kParamBankHeader) return Refuse(why, "is truncated: its header is incomplete");
  const int32_t kind = GetBE32(data + 8);
  if (kind != kFBCh && kind != kFxBk) return Refuse(why, "is not a bank file (neither \"FBCh\" nor \"FxBk\")");
  Bank bank;
  bank.chunkForm = kind == kFBCh;
  bank.uniqueID = GetBE32(data + 16);
  bank.version = GetBE32(data + 20);
  bank.numPrograms = GetBE32(data + 24);
  bank.currentProgram = GetBE32(data + 28);
  if (bank.numPrograms < 0) return Refuse(why, "is damaged: its slot count is negative");
  if (bank.chunkForm) {
    if (size < kChunkBankHeader) return Refuse(why, "is truncated: its header is incomplete");
    if (!ParseInner(data, size, kChunkBankHeader, bank.chunk, bank.chunkSize, why)) return false;
  } else {
    const int32_t byteSize = GetBE32(data + 4);
    if (byteSize != 0 && !ByteSizeAgrees(byteSize, size))
      return Refuse(why, "is damaged: its byte size disagrees with the file");
    int pos = kParamBankHeader;
    for (int i = 0; i < bank.numPrograms; ++i) {
      // Each program's own count says how long it is; it must end inside the file.
      if (size - pos < kParamProgramHeader) return Refuse(why, "is truncated: it holds fewer programs than its slot count");
      const int64_t length = kParamProgramHeader + 4 * static_cast<int64_t>(GetBE32(data + pos + 24));
      if (length < kParamProgramHeader || length > size - pos)
        return Refuse(why, "is truncated: a program's values run past the end of the file");
      Program program;
      if (!ParseProgram(data + pos, static_cast<int>(length), program, why)) return false;
      if (program.chunkForm) return Refuse(why, "is damaged: a chunk program inside a parameter bank");
      bank.programs.push_back(std::move(program));
      pos += static_cast<int>(length);
    }
    if (pos != size) return Refuse(why, "is damaged: bytes follow its last program");
  }
  out = std::move(bank);
  return true;
}

bool FxFile::AppendChunkProgram(ByteChunk& out, const Header& header, const ByteChunk& state) {
  const int32_t innerSize = state.Size() + 8;
  return AppendCommon(out, innerSize + kChunkProgramHeader, kFPCh, 1, header) && AppendName(out, header.name) &&
         AppendInner(out, state);
}

bool FxFile::AppendChunkBank(ByteChunk& out, const Header& header, const ByteChunk& presets) {
  const int32_t innerSize = presets.Size() + 8;
  return AppendCommon(out, innerSize + kChunkBankHeader, kFBCh, 2, header) &&
         AppendBE32(out, static_cast<uint32_t>(header.current)) && AppendZeros(out, kBankFutureBytes) &&
         AppendInner(out, presets);
}

bool FxFile::AppendParamProgram(ByteChunk& out, const Header& header, const float* values) {
  if (!AppendCommon(out, 0, kFxCk, 1, header) || !AppendName(out, header.name)) return false;
  for (int i = 0; i < header.count; ++i) {
    uint32_t bits = 0;
    std::memcpy(&bits, &values[i], sizeof bits);
    if (!AppendBE32(out, bits)) return false;
  }
  return true;
}

bool FxFile::AppendParamBankHeader(ByteChunk& out, const Header& header) {
  return AppendCommon(out, 0, kFxBk, 2, header) && AppendBE32(out, static_cast<uint32_t>(header.current)) &&
         AppendZeros(out, kBankFutureBytes);
}

}  // namespace iplug
