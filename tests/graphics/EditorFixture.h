#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/IGEditorDelegate.h"
#include "graphics/RecordingGraphics.h"
#include "product/TollenbrookParams.h"

namespace testgraphics {

// The product's parameter set (names, ranges, defaults, display texts), as the plug-in declares it.
void InitTollenbrookParams(iplug::IEditorDelegate& delegate);
// Display texts of an integer parameter, in value order (empty for parameters without).
std::vector<std::string> DisplayTexts(const iplug::IEditorDelegate& delegate, int paramIdx);

// An editor delegate standing in for the plug-in: the product's parameters and size limits,
// with every call that would reach the host written to a shared event log.
class TestDelegate : public IGEditorDelegate {
public:
  explicit TestDelegate(std::vector<std::string>* events);

  void BeginParamGestureFromEditor(int paramIdx) override;
  void EndParamGestureFromEditor(int paramIdx) override;
  void SetParamFromEditor(int paramIdx, double normalizedValue) override;
  bool ResizeFromEditor(int width, int height, bool resizeHostWindow) override;
  void OnParamChangeInEditor(int paramIdx, iplug::ParamSource source) override;

  int mParamChangesInEditor = 0;

private:
  std::vector<std::string>* mEvents;
};

// The product's editor opened on the recording back end.
class EditorFixture : public ::testing::Test {
protected:
  EditorFixture();
  void OpenEditor();
  void CloseEditor() { mDelegate.CloseEditor(); }
  RecordingGraphics& G() { return *static_cast<RecordingGraphics*>(mDelegate.GetUI()); }
  IControl* Control(int idx) { return G().GetControl(idx); }
  // The control of the layout bound to a parameter.
  IControl* ControlFor(int paramIdx);
  IBubbleControl* Bubble() { return G().GetBubbleControl(0); }

  // Pointer input as the platform delivers it (logical units).
  void Press(float x, float y, IMouseMod mod = Left());
  void Drag(float x, float y, IMouseMod mod = Left());
  void Release(float x, float y, IMouseMod mod = Left());
  void Click(float x, float y) {
    Press(x, y);
    Release(x, y);
  }
  static IMouseMod Left() {
    IMouseMod m;
    m.L = true;
    return m;
  }
  static IMouseMod Right() {
    IMouseMod m;
    m.R = true;
    return m;
  }
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> e;
    e.swap(mEvents);
    return e;
  }
  // Host events only ("begin", "end", "set").
  std::vector<std::string> TakeHostEvents();

  std::vector<std::string> mEvents;
  TestDelegate mDelegate{&mEvents};
  // The platform the next editor opens on.
  bool mPlatformMultiTouch = false;
  float mScreenScale = 1.f;
  int mParentWindow = 0;
  float mLastX = 0.f;
  float mLastY = 0.f;
};

}  // namespace testgraphics
