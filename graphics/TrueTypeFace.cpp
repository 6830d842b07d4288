#include "graphics/TrueTypeFace.h"

#include <cstring>

#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t Read32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// Whether [offset, offset + length) lies inside size bytes (no overflow on 32-bit sums).
bool Inside(uint64_t offset, uint64_t length, uint32_t size) { return offset + length <= size; }

uint32_t SizeOf(int size) { return size > 0 ? static_cast<uint32_t>(size) : 0; }

constexpr uint32_t kDirectoryHeader = 12;
constexpr uint32_t kDirectoryRecord = 16;
constexpr uint32_t kNameRecord = 12;
constexpr uint32_t kHeadMacStyle = 44;

enum EPlatform { kUnicodePlatform = 0, kMacintosh = 1, kWindows = 3 };
constexpr uint16_t kUSEnglish = 0x0409;

// Lower is better; -1 for entries whose encoding is not read.
int NamePreference(uint16_t platform, uint16_t encoding, uint16_t language) {
  if (platform == kWindows && (encoding == 0 || encoding == 1 || encoding == 10))
    return language == kUSEnglish ? 0 : 1;
  if (platform == kUnicodePlatform) return 2;
  if (platform == kMacintosh && encoding == 0) return 3;
  return -1;
}

std::string DecodeName(const unsigned char* bytes, uint32_t length, uint16_t platform) {
  std::u16string units;
  if (platform == kMacintosh) {
    for (uint32_t i = 0; i < length; ++i) units.push_back(bytes[i] < 0x80 ? bytes[i] : u'\xFFFD');
  } else {
    for (uint32_t i = 0; i + 1 < length; i += 2) units.push_back(static_cast<char16_t>(Read16(bytes + i)));
  }
  return ToUtf8(units.c_str(), static_cast<int>(units.size()));
}

}  // namespace

int TrueTypeFace::NFaces(const void* data, int size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  const uint32_t n = SizeOf(size);
  if (!bytes || n < kDirectoryHeader) return 0;
  if (std::memcmp(bytes, "ttcf", 4) != 0) return 1;
  const uint32_t count = Read32(bytes + 8);
  // Only the faces whose offsets lie inside the bytes can be examined.
  const uint32_t readable = (n - kDirectoryHeader) / 4;
  return static_cast<int>(count < readable ? count : readable);
}

int TrueTypeFace::FindDrawableFace(const void* data, int size) {
  const int n = NFaces(data, size);
  for (int face = 0; face < n; ++face)
    if (TrueTypeFace(data, size, face).IsDrawable()) return face;
  return -1;
}

int TrueTypeFace::FindFaceWithStyle(const void* data, int size, const char* style) {
  const std::string wanted = style ? style : "";
  const int n = NFaces(data, size);
  for (int face = 0; face < n; ++face) {
    const TrueTypeFace f(data, size, face);
    if (!f.IsDrawable()) return -1;
    const std::string name = f.StyleName();
    if (!name.empty() && (wanted.empty() || name == wanted)) return face;
  }
  return -1;
}

TrueTypeFace::TrueTypeFace(const void* data, int size, int faceIdx)
    : mData(static_cast<const unsigned char*>(data)), mSize(SizeOf(size)) {
  if (faceIdx < 0 || faceIdx >= NFaces(data, size)) return;
  uint32_t directory = 0;
  if (std::memcmp(mData, "ttcf", 4) == 0) directory = Read32(mData + kDirectoryHeader + 4u * faceIdx);
  if (!Inside(directory, kDirectoryHeader, mSize)) return;
  const int nTables = Read16(mData + directory + 4);
  if (!Inside(uint64_t{directory} + kDirectoryHeader, uint64_t{kDirectoryRecord} * nTables, mSize)) return;
  mDirectory = directory;
  mNTables = nTables;
}

TrueTypeFace::Table TrueTypeFace::FindTable(const char* tag) const {
  if (!tag || std::strlen(tag) != 4) return {};
  for (int i = 0; i < mNTables; ++i) {
    const unsigned char* record = mData + mDirectory + kDirectoryHeader + kDirectoryRecord * i;
    if (std::memcmp(record, tag, 4) != 0) continue;
    const uint32_t offset = Read32(record + 8);
    const uint32_t length = Read32(record + 12);
    if (!Inside(offset, length, mSize)) return {};
    return Table{mData + offset, length};
  }
  return {};
}

bool TrueTypeFace::IsDrawable() const {
  return FindTable("head").mData && FindTable("name").mData && FindTable("hhea").mData;
}

std::string TrueTypeFace::Name(int nameID) const {
  const Table name = FindTable("name");
  if (name.mSize < 6) return {};
  const uint32_t count = Read16(name.mData + 2);
  const uint32_t storage = Read16(name.mData + 4);
  int bestRank = -1;
  std::string best;
  for (uint32_t i = 0; i < count && Inside(6 + uint64_t{kNameRecord} * (i + 1), 0, name.mSize); ++i) {
    const unsigned char* record = name.mData + 6 + kNameRecord * i;
    if (Read16(record + 6) != nameID) continue;
    const uint16_t platform = Read16(record);
    const int rank = NamePreference(platform, Read16(record + 2), Read16(record + 4));
    if (rank < 0 || (bestRank >= 0 && rank >= bestRank)) continue;
    const uint32_t length = Read16(record + 8);
    const uint64_t offset = uint64_t{storage} + Read16(record + 10);
    if (!Inside(offset, length, name.mSize)) continue;
    std::string text = DecodeName(name.mData + offset, length, platform);
    if (text.empty()) continue;
    best = std::move(text);
    bestRank = rank;
  }
  return best;
}

int TrueTypeFace::StyleBits() const {
  const Table head = FindTable("head");
  if (head.mSize < kHeadMacStyle + 2) return 0;
  return Read16(head.mData + kHeadMacStyle) & (kBold | kItalic | kUnderline);
}

}  // namespace igraphics
