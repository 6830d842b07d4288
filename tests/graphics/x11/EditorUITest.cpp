// The bundle's user interface as an LV2 host runs it, under a real X server (Xvfb with Mesa
// here) and driven by real X events.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/ICornerResizerControl.h"
#include "product/TollenbrookParams.h"
#include "tests/graphics/x11/EditorUIRig.h"

namespace tbtest {
namespace {

// The product's editor drawn off-screen, for its picture and its layout (the interface has
// the same controls in the same places).
class OffscreenEditor {
public:
  OffscreenEditor() { mOpen = mDelegate.OpenEditor(nullptr) != nullptr; }
  ~OffscreenEditor() { mDelegate.CloseEditor(); }
  bool IsOpen() const { return mOpen; }
  igraphics::IGraphicsHeadless& G() { return *static_cast<igraphics::IGraphicsHeadless*>(mDelegate.GetUI()); }
  void Set(int paramIdx, double value) { mDelegate.SendParamValueToEditor(paramIdx, value, false); }
  Image Picture() {
    Image image;
    G().DrawAll();
    G().ReadWindowPixels(image.px, image.w, image.h);
    return image;
  }
  // The centre of the first control of a parameter, in editor pixels at zoom 1.
  igraphics::IBounds BoundsOf(int paramIdx) {
    for (int i = 0; i < G().NControls(); ++i)
      if (G().GetControl(i)->GetParamIdx(0) == paramIdx) return G().GetControl(i)->GetRECT();
    return {};
  }
  igraphics::IBounds CornerResizer() {
    const igraphics::ICornerResizerControl* resizer = G().GetCornerResizer();
    return resizer ? resizer->GetRECT() : igraphics::IBounds{};
  }

private:
  ProductDelegate mDelegate;
  bool mOpen = false;
};

class EditorUI : public EditorUIRig {
protected:
  void SetUp() override {
    EditorUIRig::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(mOffscreen.IsOpen());
    ASSERT_TRUE(Open()) << "the interface opened in the test's window";
    Idle(300);
  }
  static int X(const igraphics::IBounds& b) { return static_cast<int>(b.MW()); }
  static int Y(const igraphics::IBounds& b) { return static_cast<int>(b.MH()); }

  OffscreenEditor mOffscreen;
};

TEST_F(EditorUI, ShowsWhatTheOffscreenEditorDrawsForTheSameState) {
  struct {
    const char* symbol;
    int paramIdx;
    float value;
  } const state[] = {{"ratio", kParamRatio, 4.f},  {"gain", kParamGain, 7.f}, {"bypass", kParamBypass, 0.f},
                     {"mix", kParamMix, 11.f},     {"high_pass_filter", kParamHighPass, 3.f}};
  for (const auto& s : state) {
    SendPort(s.symbol, s.value);
    mOffscreen.Set(s.paramIdx, s.value);
  }
  // Both needles at rest: the interface's follow the ports with their ballistics.
  SendPort("limiter_gain_reduction", 0.f);
  SendPort("compressor_gain_reduction", 0.f);
  mOffscreen.Set(kParamLimiterMeter, 0.0);
  mOffscreen.Set(kParamCompMeter, 0.0);
  MoveTo(kParentWidth - 20, 20);  // the pointer away from every control
  Idle(2500);

  const Image shown = WindowImage();
  const Image expected = mOffscreen.Picture();
  ASSERT_EQ(shown.w, 378);
  ASSERT_EQ(shown.h, 591);
  ASSERT_EQ(expected.w, shown.w);
  ASSERT_EQ(expected.h, shown.h);
  if (const char* dump = std::getenv("TB_DUMP")) {
    for (const auto& [img, name] : {std::make_pair(&shown, "shown"), std::make_pair(&expected, "expected")}) {
      FILE* f = std::fopen((std::string(dump) + name + ".ppm").c_str(), "wb");
      std::fprintf(f, "P6 %d %d 255\n", img->w, img->h);
      for (size_t i = 0; i < img->px.size(); i += 4) std::fwrite(&img->px[i], 1, 3, f);
      std::fclose(f);
    }
  }
  // Rasterisation may differ in a few edge pixels (window and off-screen surfaces).
  size_t off = 0;
  double sum = 0.0;
  for (size_t i = 0; i < shown.px.size(); i += 4) {
    int worst = 0;
    for (size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(shown.px[i + c] - expected.px[i + c]));
    sum += worst;
    if (worst > 24) ++off;
  }
  const size_t pixels = shown.px.size() / 4;
  std::printf("  window vs off-screen: %zu of %zu pixels differ by more than 24, mean largest difference %.3f\n", off,
              pixels, sum / static_cast<double>(pixels));
  EXPECT_LT(off, pixels / 200) << off << " of " << pixels << " pixels differ by more than 24";
  EXPECT_LT(sum / static_cast<double>(pixels), 1.5);
}

TEST_F(EditorUI, VerticalDragOnRatioWritesItsPortInsideAGesture) {
  SendPort("ratio", 1.f);
  const igraphics::IBounds knob = mOffscreen.BoundsOf(kParamRatio);
  Drag(X(knob), Y(knob), X(knob), Y(knob) - 120);
  EXPECT_GT(Written("ratio"), 1.f) << "dragging up turns the knob up";
  ASSERT_GE(mTouches.size(), 2u);
  EXPECT_EQ(mTouches.front(), std::make_pair(Port("ratio"), true));
  EXPECT_EQ(mTouches.back(), std::make_pair(Port("ratio"), false));
  const float up = Written("ratio");
  Drag(X(knob), Y(knob), X(knob), Y(knob) + 240);
  EXPECT_LT(Written("ratio"), up) << "and down turns it down";
}

TEST_F(EditorUI, ClickTogglesBypass) {
  SendPort("bypass", 1.f);
  const igraphics::IBounds button = mOffscreen.BoundsOf(kParamBypass);
  Click(X(button), Y(button));
  EXPECT_EQ(Written("bypass"), 0.f);
  Click(X(button), Y(button));
  EXPECT_EQ(Written("bypass"), 1.f);
}

TEST_F(EditorUI, OneWheelNotchStepsAKnobByOneValue) {
  SendPort("gain", 5.f);
  const igraphics::IBounds knob = mOffscreen.BoundsOf(kParamGain);
  MoveTo(X(knob), Y(knob));
  Press(4);  // wheel up
  Release(4);
  EXPECT_EQ(Written("gain"), 6.f);
  Press(5);  // wheel down
  Release(5);
  EXPECT_EQ(Written("gain"), 5.f);
}

TEST_F(EditorUI, CornerDragZoomsAndTheHostWindowAndZoomPortFollow) {
  const igraphics::IBounds corner = mOffscreen.CornerResizer();
  ASSERT_FALSE(corner.Empty());
  mResizes.clear();
  Drag(X(corner), Y(corner), X(corner) + 150, Y(corner) + 240);
  Idle(300);
  ASSERT_FALSE(mResizes.empty()) << "the host's window is asked to follow";
  const auto [w, h] = mResizes.back();
  EXPECT_GT(w, 378);
  EXPECT_GT(h, 591);
  const float zoom = Written("editor_zoom");
  EXPECT_GT(zoom, 1.f);
  EXPECT_NEAR(static_cast<float>(w) / 378.f, zoom, 0.01f);
  int shownW = 0, shownH = 0;
  ASSERT_TRUE(WidgetSize(shownW, shownH));
  EXPECT_EQ(shownW, w);
  EXPECT_EQ(shownH, h);

  // A zoom that comes back from the port (a restored session) zooms a new interface.
  Close();
  ASSERT_TRUE(Open());
  SendPort("editor_zoom", 1.5f);
  Idle(300);
  ASSERT_TRUE(WidgetSize(shownW, shownH));
  EXPECT_EQ(shownW, 567);
}

TEST_F(EditorUI, OpeningAndClosingFiftyTimesLeavesNothingBehind) {
  ASSERT_TRUE(ResourceCountsAvailable()) << "the server offers X-Resource";
  const Holdings open = Count();
  EXPECT_EQ(open.clients, 3) << "the test's connection, the editor's own and its redraw clock's";
  EXPECT_EQ(open.children, 1);
  Close();
  const Holdings before = Count();
  EXPECT_EQ(before.clients, 1);
  EXPECT_EQ(before.children, 0);
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(Open()) << "opening " << i;
    Idle(20);
    Close();
  }
  EXPECT_EQ(Count(), before);
}

TEST(EditorUIBinary, ExportsOnlyTheUIDescriptor) {
  const char* path = std::getenv("TOLLENBROOK_LV2_PATH");
  ASSERT_NE(path, nullptr);
  const std::string command = std::string("nm -D --defined-only '") + path + "/Tollenbrook.lv2/TollenbrookUI.so'";
  std::unique_ptr<FILE, int (*)(FILE*)> nm(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(nm, nullptr);
  std::string symbols;
  char line[512];
  while (std::fgets(line, sizeof line, nm.get())) {
    char kind = 0;
    char name[400] = {};
    if (std::sscanf(line, "%*s %c %399s", &kind, name) == 2) symbols += std::string(name) + " ";
  }
  EXPECT_EQ(symbols, "lv2ui_descriptor ");
}

}  // namespace
}  // namespace tbtest
