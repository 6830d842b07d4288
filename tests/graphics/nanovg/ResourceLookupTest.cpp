// The lookup rules over the test program's own resources (on Windows real module resources,
// elsewhere the compiled-in table): quotes, case, the 8-byte minimum, the file fallback and
// the order in which resolution variants are tried.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "graphics/IGraphicsConstants.h"
#include "graphics/nanovg/BitmapCache.h"
#include "graphics/nanovg/ResourceLookup.h"
#include "tests/graphics/nanovg/HeadlessEditor.h"

void* LookupTestModule();

namespace tbtest {
namespace {

using igraphics::LocateModuleResource;
using igraphics::LoadWinResource;

TEST(ResourceLookup, NamesMatchWithoutRegardToCaseAndNeedTheirQuotes) {
  iplug::TextBuffer found;
  for (const char* name : {"A@3X.PNG", "a@3x.png", "A@3x.Png"}) {
    EXPECT_EQ(LocateModuleResource(name, "png", found, LookupTestModule()), igraphics::kWinBinary) << name;
    EXPECT_STREQ(found.Get(), "\"a@3x.png\"");
  }
  // Stored without quotes: its first and last characters are dropped before comparing.
  EXPECT_EQ(LocateModuleResource("NOQUOTES.PNG", "PNG", found, LookupTestModule()), igraphics::kNotFound);
  EXPECT_EQ(LocateModuleResource("OQUOTES.PN", "PNG", found, LookupTestModule()), igraphics::kWinBinary);
  // Another type, an empty name and a missing name find nothing.
  EXPECT_EQ(LocateModuleResource("A@3X.PNG", "TTF", found, LookupTestModule()), igraphics::kNotFound);
  EXPECT_EQ(LocateModuleResource("", "PNG", found, LookupTestModule()), igraphics::kNotFound);
  EXPECT_EQ(LocateModuleResource(nullptr, "PNG", found, LookupTestModule()), igraphics::kNotFound);
  EXPECT_EQ(LocateModuleResource("Z.PNG", "PNG", found, LookupTestModule()), igraphics::kNotFound);
}

TEST(ResourceLookup, ResourcesUnderEightBytesCountAsMissing) {
  int size = -1;
  EXPECT_EQ(LoadWinResource("\"tiny.png\"", "png", size, LookupTestModule()), nullptr);
  EXPECT_EQ(size, 0);
  const void* eight = LoadWinResource("\"eight.png\"", "png", size, LookupTestModule());
  ASSERT_NE(eight, nullptr);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(std::string(static_cast<const char*>(eight), 8), "12345678");
  // The bytes of a real image, in place.
  const void* png = LoadWinResource("\"A@2X.PNG\"", "PNG", size, LookupTestModule());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(png) + 1, 3), "PNG");
}

TEST(ResourceLookup, AFileAtTheNameIsTheFallback) {
  const std::string path = ::testing::TempDir() + "lookup-fallback.png";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not really a png", f);
  std::fclose(f);
  iplug::TextBuffer found;
  EXPECT_EQ(LocateModuleResource(path.c_str(), "png", found, LookupTestModule()), igraphics::kAbsolutePath);
  EXPECT_EQ(found.Get(), path);
  std::remove(path.c_str());
  EXPECT_EQ(LocateModuleResource(path.c_str(), "png", found, LookupTestModule()), igraphics::kNotFound);
}

// A host's session folder with a "BG.png" of its own is the working directory of many hosts:
// a bare name is never looked up there, so the module's artwork (and its hit areas) stay.
TEST(ResourceLookup, TheWorkingDirectoryIsNeverSearched) {
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path session = std::filesystem::path(::testing::TempDir()) / "lookup-session";
  std::filesystem::create_directories(session);
  std::filesystem::current_path(session);
  for (const char* name : {"stray.png", "A@2X.PNG"}) {
    std::FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not really a png", f);
    std::fclose(f);
  }
  iplug::TextBuffer found;
  const int stray = LocateModuleResource("stray.png", "png", found, LookupTestModule());
  const int shadowed = LocateModuleResource("a@2x.png", "png", found, LookupTestModule());
  const std::string shadowedName = found.Get();
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(session);
  EXPECT_EQ(stray, igraphics::kNotFound);
  EXPECT_EQ(shadowed, igraphics::kWinBinary);
  EXPECT_EQ(shadowedName, "\"a@2x.png\"");
}

// The standard 64-bit FNV-1a of the key text "name-%.1fx".
TEST(ResourceLookup, BitmapCacheKeys) {
  EXPECT_EQ(igraphics::BitmapCache::Hash(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(igraphics::BitmapCache::Hash("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(igraphics::BitmapCache::Hash("foobar"), 0x85944171f73967e8ull);
  EXPECT_EQ(igraphics::BitmapCache::KeyText("BG.png", 2.0), "BG.png-2.0x");
  EXPECT_EQ(igraphics::BitmapCache::KeyText("knob.png", 1.5), "knob.png-1.5x");
}

// A graphics context on the test resources, no window needed: the search only looks names up.
class ResolutionSearch : public ::testing::Test {
protected:
  ResolutionSearch() : mGraphics(mDelegate, 378, 591, 60, 1.f) { mGraphics.SetWinModuleHandle(LookupTestModule()); }
  int Search(const char* name, int target, int& source) {
    iplug::TextBuffer found;
    const int location = mGraphics.SearchImageResource(name, "png", found, target, source);
    mFound = found.Get();
    return location;
  }
  ProductDelegate mDelegate;
  igraphics::IGraphicsHeadless mGraphics;
  std::string mFound;
};

TEST_F(ResolutionSearch, TriesTargetThenThreeThenDownwards) {
  int source = -1;
  // A (3x, 2x): target 1 tries 1, then 3 before 2.
  EXPECT_EQ(Search("A.png", 1, source), igraphics::kWinBinary);
  EXPECT_EQ(source, 3);
  EXPECT_EQ(mFound, "\"a@3x.png\"");
  // B (3x, 1x): target 2 tries 2, then 3.
  EXPECT_EQ(Search("B.png", 2, source), igraphics::kWinBinary);
  EXPECT_EQ(source, 3);
  // C (1x): target 2 tries 2, 3, then 1.
  EXPECT_EQ(Search("C.png", 2, source), igraphics::kWinBinary);
  EXPECT_EQ(source, 1);
  // D (2x, 1x): target 4 tries 4, 3, then 2; target 3 tries 3, then 2.
  EXPECT_EQ(Search("D.png", 4, source), igraphics::kWinBinary);
  EXPECT_EQ(source, 2);
  EXPECT_EQ(Search("D.png", 3, source), igraphics::kWinBinary);
  EXPECT_EQ(source, 2);
  // Nothing anywhere: 1, 3, 2 tried, and the search ends at 0.
  EXPECT_EQ(Search("Nowhere.png", 1, source), igraphics::kNotFound);
  EXPECT_EQ(source, 0);
}

}  // namespace
}  // namespace tbtest
