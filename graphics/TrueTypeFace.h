#pragma once
#include <cstdint>
#include <string>

namespace igraphics {

// One face of TrueType or OpenType bytes (a single font, or one face of a "ttcf"
// collection): its table directory, the names that identify it and the style bits of its
// header. Every offset and length read from the bytes is checked against their size, so a
// damaged font gives empty names and missing tables, never a read outside the bytes.
// Nothing here owns the bytes. Any thread.
class TrueTypeFace {
public:
  // macStyle bits of the "head" table.
  enum EStyle { kBold = 1, kItalic = 2, kUnderline = 4 };
  enum ENameID { kFamilyName = 1, kStyleName = 2 };

  struct Table {
    const unsigned char* mData = nullptr;
    uint32_t mSize = 0;
  };

  // 1 for a single font, the collection's face count for "ttcf", 0 for anything else.
  static int NFaces(const void* data, int size);
  // The first face with "head", "name" and "hhea" tables, or -1.
  static int FindDrawableFace(const void* data, int size);
  // Faces are examined from 0: the first whose style name is not empty and equals style (any
  // non-empty style name when style is empty or null) is the result. A face without "head",
  // "name" and "hhea" tables, or the end of the faces, ends the search with -1.
  static int FindFaceWithStyle(const void* data, int size, const char* style);

  // A face index outside the bytes gives a face without tables.
  TrueTypeFace(const void* data, int size, int faceIdx);

  // A missing (or damaged) table has no data.
  Table FindTable(const char* tag) const;
  // "head", "name" and "hhea" are present: what text drawing needs.
  bool IsDrawable() const;
  // A name entry as UTF-8: the Windows Unicode entry in US English first, then any Windows
  // Unicode entry, then a Unicode-platform entry, then a Macintosh Roman entry (non-ASCII
  // bytes there become U+FFFD). "" when there is none.
  std::string Name(int nameID) const;
  std::string FamilyName() const { return Name(kFamilyName); }
  std::string StyleName() const { return Name(kStyleName); }
  // The kBold, kItalic and kUnderline bits of the header; 0 without a readable header.
  int StyleBits() const;

private:
  const unsigned char* mData;
  uint32_t mSize;
  uint32_t mDirectory = 0;  // offset of the face's table directory
  int mNTables = 0;
};

}  // namespace igraphics
