#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "graphics/TrueTypeFace.h"

using namespace igraphics;

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<unsigned char>(v >> 8));
  b.push_back(static_cast<unsigned char>(v));
}

void Put32(Bytes& b, uint32_t v) {
  Put16(b, v >> 16);
  Put16(b, v & 0xFFFF);
}

void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<unsigned char>(v >> (24 - 8 * k));
}

struct NameEntry {
  uint16_t platform, encoding, language, nameID;
  Bytes text;
};

Bytes Utf16BE(const std::u16string& s) {
  Bytes b;
  for (char16_t c : s) Put16(b, c);
  return b;
}

NameEntry WinName(uint16_t nameID, const std::u16string& s, uint16_t language = 0x0409) {
  return {3, 1, language, nameID, Utf16BE(s)};
}

Bytes NameTable(const std::vector<NameEntry>& entries) {
  Bytes table;
  Put16(table, 0);
  Put16(table, static_cast<uint32_t>(entries.size()));
  Put16(table, static_cast<uint32_t>(6 + 12 * entries.size()));
  Bytes storage;
  for (const NameEntry& e : entries) {
    for (uint16_t v : {e.platform, e.encoding, e.language, e.nameID}) Put16(table, v);
    Put16(table, static_cast<uint32_t>(e.text.size()));
    Put16(table, static_cast<uint32_t>(storage.size()));
    storage.insert(storage.end(), e.text.begin(), e.text.end());
  }
  table.insert(table.end(), storage.begin(), storage.end());
  return table;
}

Bytes HeadTable(uint16_t macStyle) {
  Bytes head(54, 0);
  head[44] = static_cast<unsigned char>(macStyle >> 8);
  head[45] = static_cast<unsigned char>(macStyle);
  return head;
}

using Tables = std::vector<std::pair<std::string, Bytes>>;

// A font's directory at `base` in the final bytes, followed by its tables.
Bytes Sfnt(const Tables& tables, uint32_t base = 0) {
  Bytes b;
  Put32(b, 0x00010000);
  Put16(b, static_cast<uint32_t>(tables.size()));
  Put16(b, 0);
  Put16(b, 0);
  Put16(b, 0);
  uint32_t offset = base + 12 + 16 * static_cast<uint32_t>(tables.size());
  for (const auto& [tag, data] : tables) {
    b.insert(b.end(), tag.begin(), tag.end());
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, static_cast<uint32_t>(data.size()));
    offset += static_cast<uint32_t>(data.size());
  }
  for (const auto& t : tables) b.insert(b.end(), t.second.begin(), t.second.end());
  return b;
}

Tables FaceTables(const std::u16string& family, const std::u16string& style, uint16_t macStyle = 0) {
  return {{"head", HeadTable(macStyle)},
          {"hhea", Bytes(36, 0)},
          {"name", NameTable({WinName(1, family), WinName(2, style)})}};
}

Bytes Collection(const std::vector<Tables>& faces) {
  Bytes b = {'t', 't', 'c', 'f'};
  Put32(b, 0x00010000);
  Put32(b, static_cast<uint32_t>(faces.size()));
  const size_t offsets = b.size();
  for (size_t i = 0; i < faces.size(); ++i) Put32(b, 0);
  for (size_t i = 0; i < faces.size(); ++i) {
    Set32(b, offsets + 4 * i, static_cast<uint32_t>(b.size()));
    const Bytes face = Sfnt(faces[i], static_cast<uint32_t>(b.size()));
    b.insert(b.end(), face.begin(), face.end());
  }
  return b;
}

int Size(const Bytes& b) { return static_cast<int>(b.size()); }

}  // namespace

TEST(TrueTypeFace, FamilyStyleAndHeaderBitsOfASingleFont) {
  const Bytes font = Sfnt(FaceTables(u"Vantorell Sans", u"Bold Italic", 0x0001 | 0x0002 | 0x0004 | 0x0020));
  EXPECT_EQ(TrueTypeFace::NFaces(font.data(), Size(font)), 1);
  const TrueTypeFace face(font.data(), Size(font), 0);
  EXPECT_TRUE(face.IsDrawable());
  EXPECT_EQ(face.FamilyName(), "Vantorell Sans");
  EXPECT_EQ(face.StyleName(), "Bold Italic");
  EXPECT_EQ(face.StyleBits(), TrueTypeFace::kBold | TrueTypeFace::kItalic | TrueTypeFace::kUnderline)
      << "other header bits (condensed) are not style";
  EXPECT_EQ(face.Name(4), "") << "absent entry";
  EXPECT_FALSE(TrueTypeFace(font.data(), Size(font), 1).IsDrawable()) << "a single font has face 0 only";
}

TEST(TrueTypeFace, NamesPreferWindowsUsEnglishThenOtherWindowsThenUnicodeThenMacintosh) {
  const struct {
    std::vector<NameEntry> entries;
    std::string expected;
  } cases[] = {
      {{{1, 0, 0, 1, {'M', 'a', 'c', 0xA9}}, {0, 3, 0, 1, Utf16BE(u"Uni")}, WinName(1, u"Deutsch", 0x0407),
        WinName(1, u"English")},
       "English"},
      {{{1, 0, 0, 1, {'M', 'a', 'c'}}, {0, 3, 0, 1, Utf16BE(u"Uni")}, WinName(1, u"Deutsch", 0x0407)}, "Deutsch"},
      {{{1, 0, 0, 1, {'M', 'a', 'c'}}, {0, 3, 0, 1, Utf16BE(u"Uni \U0001F39B")}}, "Uni \xF0\x9F\x8E\x9B"},
      {{{1, 0, 0, 1, {'M', 'a', 'c', 0xA9}}}, "Mac\xEF\xBF\xBD"},  // non-ASCII Mac Roman: replaced
      {{{3, 1, 0x0409, 1, {}}, {1, 0, 0, 1, {'M'}}}, "M"},        // an empty entry does not count
      {{{2, 0, 0, 1, {'I', 'S', 'O'}}, {3, 2, 0x0409, 1, {'x', 'y'}}}, ""},  // encodings not read
  };
  for (const auto& c : cases) {
    const Bytes font = Sfnt({{"head", HeadTable(0)}, {"hhea", Bytes(36, 0)}, {"name", NameTable(c.entries)}});
    EXPECT_EQ(TrueTypeFace(font.data(), Size(font), 0).FamilyName(), c.expected);
  }
}

TEST(TrueTypeFace, CollectionFacesAreFoundByTablesAndByStyle) {
  Tables noHhea = FaceTables(u"Broken", u"Regular");
  noHhea.erase(noHhea.begin() + 1);
  const Bytes ttc = Collection(
      {FaceTables(u"Fam", u"Regular"), FaceTables(u"Fam", u"Bold", 1), noHhea, FaceTables(u"Fam", u"Italic", 2)});
  const int n = Size(ttc);
  EXPECT_EQ(TrueTypeFace::NFaces(ttc.data(), n), 4);
  EXPECT_EQ(TrueTypeFace(ttc.data(), n, 1).StyleName(), "Bold");
  EXPECT_EQ(TrueTypeFace(ttc.data(), n, 1).StyleBits(), TrueTypeFace::kBold);
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, "Bold"), 1);
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, ""), 0) << "any style name";
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, nullptr), 0);
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, "Italic"), -1)
      << "the face without tables ends the search before the italic one";
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, "Condensed"), -1);

  const Bytes firstBroken = Collection({noHhea, FaceTables(u"Fam", u"Regular")});
  EXPECT_EQ(TrueTypeFace::FindDrawableFace(firstBroken.data(), Size(firstBroken)), 1) << "skips it";
  const Bytes unnamed = Sfnt({{"head", HeadTable(0)}, {"hhea", Bytes(36, 0)}, {"name", NameTable({})}});
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(unnamed.data(), Size(unnamed), ""), -1) << "no style name at all";
}

TEST(TrueTypeFace, DamagedDirectoriesAndNameTablesGiveEmptyResults) {
  const Bytes good = Sfnt(FaceTables(u"Fam", u"Regular"));
  auto damaged = [&](size_t at, uint32_t value, int width) {
    Bytes b = good;
    for (int k = 0; k < width; ++k) b[at + k] = static_cast<unsigned char>(value >> (8 * (width - 1 - k)));
    return b;
  };
  const uint32_t nameRecord = 12 + 2 * 16;  // the third table record: "name"
  // The name table is the last one: it ends with the bytes.
  const Bytes names = NameTable({WinName(1, u"Fam"), WinName(2, u"Regular")});
  const uint32_t nameTable = static_cast<uint32_t>(good.size() - names.size());
  const struct {
    const char* what;
    Bytes font;
    bool drawable;
    std::string family;
  } cases[] = {
      {"intact", good, true, "Fam"},
      {"table count past the end", damaged(4, 0xFFFF, 2), false, ""},
      {"name table past the end", damaged(nameRecord + 8, 0xFFFFFF00, 4), false, ""},
      {"name table longer than the file", damaged(nameRecord + 12, 0x7FFFFFFF, 4), false, ""},
      {"name offset and length overflowing 32 bits", damaged(nameRecord + 8, 0xFFFFFFF0, 4), false, ""},
      {"name records past the table", damaged(nameTable + 2, 0xFFFF, 2), true, "Fam"},
      {"string storage past the table", damaged(nameTable + 4, 0xFFFF, 2), true, ""},
      {"family string past the storage", damaged(nameTable + 6 + 10, 0xFFF0, 2), true, ""},
  };
  for (const auto& c : cases) {
    const TrueTypeFace face(c.font.data(), Size(c.font), 0);
    EXPECT_EQ(face.IsDrawable(), c.drawable) << c.what;
    EXPECT_EQ(face.FamilyName(), c.family) << c.what;
  }

  Bytes ttc = Collection({FaceTables(u"Fam", u"Regular")});
  Set32(ttc, 8, 0x7FFFFFFF);
  EXPECT_EQ(TrueTypeFace::NFaces(ttc.data(), Size(ttc)), static_cast<int>((ttc.size() - 12) / 4))
      << "only faces whose offsets lie inside the bytes";
  Set32(ttc, 12, 0xFFFFFFF0);
  EXPECT_FALSE(TrueTypeFace(ttc.data(), Size(ttc), 0).IsDrawable()) << "face directory outside the bytes";
  EXPECT_EQ(TrueTypeFace::NFaces(nullptr, 100), 0);
  EXPECT_EQ(TrueTypeFace::NFaces(good.data(), 11), 0);
  EXPECT_EQ(TrueTypeFace::FindDrawableFace(good.data(), -5), -1);
  EXPECT_FALSE(TrueTypeFace(good.data(), Size(good), -1).IsDrawable());
}

// Every prefix of a collection, and random corruption of its bytes: every query stays inside
// the bytes (the sanitizer builds check the reads) and a whole table is never claimed past the end.
TEST(TrueTypeFace, TruncatedAndCorruptedBytesAreReadSafely) {
  const Bytes ttc = Collection({FaceTables(u"Fam", u"Regular"), FaceTables(u"Fam", u"Bold", 1)});
  auto query = [](const Bytes& b, int size) {
    for (int face = -1; face <= 2; ++face) {
      const TrueTypeFace f(b.data(), size, face);
      for (const char* tag : {"head", "name", "hhea"}) {
        const TrueTypeFace::Table t = f.FindTable(tag);
        if (t.mData) {
          ASSERT_LE(t.mData + t.mSize, b.data() + size) << tag;
        }
      }
      (void)f.FamilyName();
      (void)f.StyleBits();
    }
    (void)TrueTypeFace::FindFaceWithStyle(b.data(), size, "Bold");
    (void)TrueTypeFace::FindDrawableFace(b.data(), size);
  };
  for (int size = 0; size <= Size(ttc); ++size) {
    const Bytes prefix(ttc.begin(), ttc.begin() + size);  // exactly that many bytes exist
    query(prefix, size);
    if (size < Size(ttc)) {
      ASSERT_NE(TrueTypeFace::FindFaceWithStyle(prefix.data(), size, "Bold"), 1) << size;
    }
  }
  const char* replay = std::getenv("TEXT_SEED");
  const uint32_t seed = replay ? static_cast<uint32_t>(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
  std::printf("TrueTypeFace corruption: seed %u (set TEXT_SEED to replay)\n", seed);
  std::mt19937 rng(seed);
  for (int round = 0; round < 3000; ++round) {
    Bytes b = ttc;
    for (int flips = 0; flips < 4; ++flips)
      b[std::uniform_int_distribution<size_t>(0, b.size() - 1)(rng)] =
          static_cast<unsigned char>(std::uniform_int_distribution<int>(0, 255)(rng));
    query(b, Size(b));
  }
}
