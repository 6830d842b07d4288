// The platform services as a platform answers that offers none of them (Linux, the off-screen
// editor): nothing chosen, and the completion runs exactly once with that, so a caller that
// waits for it goes on.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/EditorFixture.h"
#include "graphics/PlatformFontCache.h"

namespace testgraphics {
namespace {

TEST(PlatformServices, WithoutThemEveryPromptCompletesOnceWithNothingChosen) {
  std::vector<std::string> events;
  TestDelegate delegate(&events);
  RecordingGraphics g(delegate, 378, 591, 60, 1.f, &events);

  int calls = 0;
  std::string reportedName = "unset", reportedDir = "unset";
  iplug::TextBuffer name("mix.wav"), dir("/mixes/");
  g.PromptForFile(name, dir, kFileSave, "wav", [&](const iplug::TextBuffer& n, const iplug::TextBuffer& d) {
    ++calls;
    reportedName = n.Get();
    reportedDir = d.Get();
  });
  EXPECT_EQ(calls, 1);
  EXPECT_STREQ(name.Get(), "");
  EXPECT_EQ(reportedName, "");
  EXPECT_EQ(reportedDir, "/mixes/") << "the start directory stays";

  calls = 0;
  g.PromptForDirectory(dir, [&](const iplug::TextBuffer& n, const iplug::TextBuffer& d) {
    ++calls;
    reportedName = n.Get();
    reportedDir = d.Get();
  });
  EXPECT_EQ(calls, 1);
  EXPECT_STREQ(dir.Get(), "");
  EXPECT_EQ(reportedName, "");
  EXPECT_EQ(reportedDir, "");

  calls = 0;
  IColor colour(200, 1, 2, 3), reported;
  bool chosen = true;
  EXPECT_FALSE(g.PromptForColour(colour, "Meter", [&](const IColor& c, bool ok) {
    ++calls;
    reported = c;
    chosen = ok;
  }));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(chosen);
  EXPECT_EQ(reported, IColor(200, 1, 2, 3)) << "the start colour, unchanged";
  EXPECT_EQ(colour, IColor(200, 1, 2, 3));

  calls = 0;
  int button = -1;
  EXPECT_EQ(g.ShowMessageBox("Reset all?", "Tollenbrook", kMB_OKCANCEL, [&](int b) {
    ++calls;
    button = b;
  }), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(button, 0) << "no box was shown";

  // Without a completion they still answer.
  EXPECT_FALSE(g.PromptForColour(colour));
  EXPECT_EQ(g.ShowMessageBox("x", "y", kMB_OK), 0);
  EXPECT_FALSE(g.RevealPathInExplorer("/mixes/mix.wav", true));
  EXPECT_FALSE(g.RevealPathInExplorer("/mixes", false));
  EXPECT_FALSE(g.OpenURL("https://example.org"));
}

// A font loaded only to hand its bytes over for drawing.
class BytesFont : public PlatformFont {
public:
  explicit BytesFont(int size) : mSize(size) {}
  FontDataView GetFontData() const override { return FontDataView{&mSize, mSize, 0}; }

private:
  int mSize;
};

TEST(PlatformFontCache, TheFirstFontOfAnIdStaysAndANullIdIsTheEmptyOne) {
  PlatformFontCache cache;
  cache.Add("Roboto", std::make_unique<BytesFont>(1));
  cache.Add("Roboto", std::make_unique<BytesFont>(2));
  cache.Add(nullptr, std::make_unique<BytesFont>(3));
  cache.Add("", std::make_unique<BytesFont>(4));
  cache.Add("None", nullptr);
  EXPECT_EQ(cache.Size(), 2);
  ASSERT_NE(cache.Find("Roboto"), nullptr);
  EXPECT_EQ(cache.Find("Roboto")->GetFontData().mSize, 1);
  ASSERT_NE(cache.Find(nullptr), nullptr);
  EXPECT_EQ(cache.Find("")->GetFontData().mSize, 3);
  EXPECT_EQ(cache.Find("None"), nullptr);
}

}  // namespace
}  // namespace testgraphics
