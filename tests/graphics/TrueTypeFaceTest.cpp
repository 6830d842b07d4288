#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/TrueTypeFace.h"
#include "support/TestSeed.h"

using namespace igraphics;

namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& b, uint64_t v, int width) {
  for (int k = width - 1; k >= 0; --k) b.push_back(static_cast<unsigned char>(v >> (8 * k)));
}

void Poke(Bytes& b, size_t at, uint32_t v, int width) {
  for (int k = 0; k < width; ++k) b[at + k] = static_cast<unsigned char>(v >> (8 * (width - 1 - k)));
}

struct NameEntry {
  uint16_t platform, encoding, language, nameID;
  Bytes text;
};

NameEntry WinName(uint16_t nameID, const std::u16string& s, uint16_t language = 0x0409) {
  NameEntry e{3, 1, language, nameID, {}};
  for (char16_t c : s) Put(e.text, c, 2);
  return e;
}

Bytes NameTable(const std::vector<NameEntry>& entries) {
  Bytes table, storage;
  for (uint32_t v : {0u, static_cast<uint32_t>(entries.size()), static_cast<uint32_t>(6 + 12 * entries.size())})
    Put(table, v, 2);
  for (const NameEntry& e : entries) {
    for (uint32_t v : {e.platform, e.encoding, e.language, e.nameID}) Put(table, v, 2);
    Put(table, static_cast<uint32_t>(e.text.size()), 2);
    Put(table, static_cast<uint32_t>(storage.size()), 2);
    storage.insert(storage.end(), e.text.begin(), e.text.end());
  }
  table.insert(table.end(), storage.begin(), storage.end());
  return table;
}

using Tables = std::vector<std::pair<std::string, Bytes>>;

Tables FaceTables(const std::vector<NameEntry>& names, uint16_t macStyle = 0) {
  Bytes head(54, 0);
  Poke(head, 44, macStyle, 2);
  return {{"head", head}, {"hhea", Bytes(36, 0)}, {"name", NameTable(names)}};
}

Tables FaceTables(const std::u16string& family, const std::u16string& style, uint16_t macStyle = 0) {
  return FaceTables({WinName(1, family), WinName(2, style)}, macStyle);
}

// A face's directory as it stands at `base` of the final bytes, followed by its tables.
Bytes Sfnt(const Tables& tables, uint32_t base = 0) {
  Bytes b;
  Put(b, 0x00010000, 4);
  Put(b, static_cast<uint32_t>(tables.size()), 2);
  Put(b, 0, 6);
  uint32_t offset = base + 12 + 16 * static_cast<uint32_t>(tables.size());
  for (const auto& [tag, data] : tables) {
    b.insert(b.end(), tag.begin(), tag.end());
    Put(b, 0, 4);
    Put(b, offset, 4);
    Put(b, static_cast<uint32_t>(data.size()), 4);
    offset += static_cast<uint32_t>(data.size());
  }
  for (const auto& t : tables) b.insert(b.end(), t.second.begin(), t.second.end());
  return b;
}

Bytes Collection(const std::vector<Tables>& faces) {
  Bytes b = {'t', 't', 'c', 'f'};
  Put(b, 0x00010000, 4);
  Put(b, static_cast<uint32_t>(faces.size()), 4);
  b.resize(b.size() + 4 * faces.size());
  for (size_t i = 0; i < faces.size(); ++i) {
    Poke(b, 12 + 4 * i, static_cast<uint32_t>(b.size()), 4);
    const Bytes face = Sfnt(faces[i], static_cast<uint32_t>(b.size()));
    b.insert(b.end(), face.begin(), face.end());
  }
  return b;
}

int Size(const Bytes& b) { return static_cast<int>(b.size()); }

}  // namespace

TEST(TrueTypeFace, NamesPreferWindowsUsEnglishThenOtherWindowsThenUnicodeThenMacintosh) {
  const NameEntry mac{1, 0, 0, 1, {'M', 'a', 'c', 0xA9}};
  NameEntry unicode = WinName(1, u"Uni \U0001F39B");
  unicode.platform = 0;
  unicode.encoding = 3;
  const struct {
    std::vector<NameEntry> entries;
    std::string expected;
  } cases[] = {
      {{mac, unicode, WinName(1, u"Deutsch", 0x0407), WinName(1, u"English")}, "English"},
      {{mac, unicode, WinName(1, u"Deutsch", 0x0407)}, "Deutsch"},
      {{mac, unicode}, "Uni \xF0\x9F\x8E\x9B"},
      {{mac}, "Mac\xEF\xBF\xBD"},                                  // non-ASCII Mac Roman: replaced
      {{WinName(1, u""), {1, 0, 0, 1, {'M'}}}, "M"},               // an empty entry does not count
      {{{2, 0, 0, 1, {'I', 'S', 'O'}}, {3, 2, 0x0409, 1, {'x', 'y'}}}, ""},  // encodings not read
  };
  for (const auto& c : cases) {
    const Bytes font = Sfnt(FaceTables(c.entries));
    EXPECT_EQ(TrueTypeFace(font.data(), Size(font), 0).FamilyName(), c.expected);
  }
}

TEST(TrueTypeFace, FacesAreFoundByTheirTablesAndTheirStyle) {
  const Bytes single = Sfnt(FaceTables(u"Vantorell Sans", u"Bold Italic", 0x0001 | 0x0002 | 0x0004 | 0x0020));
  EXPECT_EQ(TrueTypeFace::NFaces(single.data(), Size(single)), 1);
  const TrueTypeFace face(single.data(), Size(single), 0);
  EXPECT_EQ(face.FamilyName(), "Vantorell Sans");
  EXPECT_EQ(face.StyleName(), "Bold Italic");
  EXPECT_EQ(face.StyleBits(), TrueTypeFace::kBold | TrueTypeFace::kItalic | TrueTypeFace::kUnderline)
      << "other header bits (condensed) are not style";

  Tables noHhea = FaceTables(u"Broken", u"Regular");
  noHhea.erase(noHhea.begin() + 1);
  const Bytes ttc = Collection(
      {FaceTables(u"Fam", u"Regular"), FaceTables(u"Fam", u"Bold", 1), noHhea, FaceTables(u"Fam", u"Italic", 2)});
  const int n = Size(ttc);
  EXPECT_EQ(TrueTypeFace::NFaces(ttc.data(), n), 4);
  EXPECT_EQ(TrueTypeFace(ttc.data(), n, 1).StyleBits(), TrueTypeFace::kBold);
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, "Bold"), 1);
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, ""), 0) << "any style name";
  EXPECT_EQ(TrueTypeFace::FindFaceWithStyle(ttc.data(), n, "Italic"), -1)
      << "the face without tables ends the search before the italic one";
  const Bytes firstBroken = Collection({noHhea, FaceTables(u"Fam", u"Regular")});
  EXPECT_EQ(TrueTypeFace::FindDrawableFace(firstBroken.data(), Size(firstBroken)), 1) << "skips it";
}

TEST(TrueTypeFace, DamagedDirectoriesAndNameTablesGiveEmptyResults) {
  const Bytes names = NameTable({WinName(1, u"Fam"), WinName(2, u"Regular")});
  const Bytes good = Sfnt(FaceTables(u"Fam", u"Regular"));
  const uint32_t nameRecord = 12 + 2 * 16;                                     // the third table record
  const uint32_t nameTable = static_cast<uint32_t>(good.size() - names.size());  // the last table
  auto damaged = [&](uint32_t at, uint32_t value, int width) {
    Bytes b = good;
    Poke(b, at, value, width);
    return b;
  };
  const struct {
    const char* what;
    Bytes font;
    bool drawable;
    std::string family;
  } cases[] = {
      {"intact", good, true, "Fam"},
      {"table count past the end", damaged(4, 0xFFFF, 2), false, ""},
      {"name table past the end", damaged(nameRecord + 8, 0xFFFFFF00, 4), false, ""},
      {"name table longer than the bytes", damaged(nameRecord + 12, 0x7FFFFFFF, 4), false, ""},
      {"offset plus length past 32 bits", damaged(nameRecord + 8, 0xFFFFFFF0, 4), false, ""},
      {"more name records than the table holds", damaged(nameTable + 2, 0xFFFF, 2), true, "Fam"},
      {"string storage past the table", damaged(nameTable + 4, 0xFFFF, 2), true, ""},
      {"family string past the storage", damaged(nameTable + 6 + 10, 0xFFF0, 2), true, ""},
  };
  for (const auto& c : cases) {
    const TrueTypeFace face(c.font.data(), Size(c.font), 0);
    EXPECT_EQ(face.IsDrawable(), c.drawable) << c.what;
    EXPECT_EQ(face.FamilyName(), c.family) << c.what;
  }
  Bytes ttc = Collection({FaceTables(u"Fam", u"Regular")});
  Poke(ttc, 8, 0x7FFFFFFF, 4);
  EXPECT_EQ(TrueTypeFace::NFaces(ttc.data(), Size(ttc)), static_cast<int>((ttc.size() - 12) / 4))
      << "only faces whose offsets lie inside the bytes";
  Poke(ttc, 12, 0xFFFFFFF0, 4);
  EXPECT_FALSE(TrueTypeFace(ttc.data(), Size(ttc), 0).IsDrawable()) << "face directory outside the bytes";
  EXPECT_EQ(TrueTypeFace::NFaces(nullptr, 100), 0);
  EXPECT_EQ(TrueTypeFace::FindDrawableFace(good.data(), -5), -1);
}

// Every prefix of a collection, and random corruption of it: every query stays inside the
// bytes (the sanitizer builds check the reads) and no table is claimed past their end.
TEST(TrueTypeFace, TruncatedAndCorruptedBytesAreReadSafely) {
  const Bytes ttc = Collection({FaceTables(u"Fam", u"Regular"), FaceTables(u"Fam", u"Bold", 1)});
  auto query = [](const Bytes& b) -> int {
    for (int face = -1; face <= 2; ++face) {
      const TrueTypeFace f(b.data(), Size(b), face);
      for (const char* tag : {"head", "name", "hhea"}) {
        const TrueTypeFace::Table t = f.FindTable(tag);
        EXPECT_TRUE(!t.mData || t.mData + t.mSize <= b.data() + b.size()) << tag;
      }
      (void)f.FamilyName();
      (void)f.StyleBits();
    }
    return TrueTypeFace::FindFaceWithStyle(b.data(), Size(b), "Bold");
  };
  for (size_t size = 0; size < ttc.size(); ++size)
    ASSERT_EQ(query(Bytes(ttc.begin(), ttc.begin() + static_cast<long>(size))), -1) << size << " bytes";
  EXPECT_EQ(query(ttc), 1);
  std::mt19937 rng(testsupport::TestSeed("TrueTypeFace corruption", "TEXT_SEED"));
  for (int round = 0; round < 3000; ++round) {
    Bytes b = ttc;
    for (int flips = 0; flips < 4; ++flips)
      b[std::uniform_int_distribution<size_t>(0, b.size() - 1)(rng)] =
          static_cast<unsigned char>(std::uniform_int_distribution<int>(0, 255)(rng));
    query(b);
  }
}
