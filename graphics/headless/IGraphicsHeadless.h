#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/nanovg/IGraphicsNanoVG.h"
#include "graphics/nanovg/StandInFrameBuffer.h"

namespace igraphics {

class OffscreenGLContext;

// A platform class without a window on the screen: the editor is drawn by the NanoVG back end
// into an off-screen OpenGL context (Mesa's surfaceless EGL on Linux, a hidden window's WGL
// context on Windows) whose "window" is a framebuffer object of the window's pixel size.
// Opening, layout, input (driven by the caller through the IGraphics input operations),
// frames and reading the pixels back work as with a window; there is no pointer, menu, dialog
// or text entry (those services answer "nothing chosen"), and the clipboard is the object's
// own.
//
// Threads: one thread, the one that opens the window (the "UI thread").
class IGraphicsHeadless : public IGraphicsNanoVG {
public:
  IGraphicsHeadless(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsHeadless() override;

  // ---- Driving it.
  // The screen scale given to the editor when the window opens (device pixels per unit).
  void SetOpenScreenScale(float scale) { mOpenScreenScale = scale; }
  // Animations run on a clock the caller moves (tests, snapshots) instead of the real one.
  void SetManualTimeMs(double ms) {
    mManualTime = true;
    mNowMs = ms;
  }
  double GetTimeMs() const override;
  void SetMouseLocation(float x, float y) {
    mMouseX = x;
    mMouseY = y;
  }
  // One tick of the redraw clock: draws the dirty controls. True when something was drawn.
  bool DrawFrame();
  // Marks everything dirty and draws it.
  void DrawAll();
  // The window's pixels, rows from the top, 4 bytes (RGBA, premultiplied alpha) per pixel.
  bool ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height);
  // Why the last OpenWindow failed ("" when it did not).
  const char* GetOpenError() const { return mOpenError.c_str(); }

  // ---- Platform operations.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mContext ? this : nullptr; }
  bool WindowIsOpen() override { return mContext != nullptr; }
  const char* GetPlatformAPIName() override { return "headless"; }
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void DrawResize() override;

  void GetMouseLocation(float& x, float& y) const override {
    x = mMouseX;
    y = mMouseY;
  }
  void MoveMouseCursor(float x, float y) override { SetMouseLocation(x, y); }
  bool GetTextFromClipboard(iplug::TextBuffer& str) override;
  bool SetTextInClipboard(const char* str) override;

protected:
  void PlatformHideMouseCursor(bool hide, bool) override { mCursorHiddenByPlatform = hide; }

private:
  std::unique_ptr<OffscreenGLContext> mContext;
  int mActivations = 0;
  StandInFrameBuffer mWindowFrameBuffer;
  float mOpenScreenScale = 1.f;
  bool mManualTime = false;
  double mNowMs = 0.0;
  float mMouseX = 0.f;
  float mMouseY = 0.f;
  bool mCursorHiddenByPlatform = false;
  std::string mClipboard;
  std::string mOpenError;
};

}  // namespace igraphics
