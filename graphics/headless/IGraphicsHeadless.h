#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/nanovg/IGraphicsNanoVG.h"

namespace igraphics {

class OffscreenGLContext;

// A platform class without a window on the screen: the editor is drawn by the NanoVG back end
// into an off-screen OpenGL context (Mesa's surfaceless EGL on Linux, a hidden window's WGL
// context on Windows) whose "window" is a framebuffer object of the window's pixel size.
// Opening, layout, input (driven by the caller through the IGraphics input operations),
// frames and reading the pixels back work as with a window; there is no pointer, menu, dialog
// or text entry.
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
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void SetWinModuleHandle(void* module) override { mModule = module; }
  void* GetWinModuleHandle() override { return mModule; }

  void GetMouseLocation(float& x, float& y) const override {
    x = mMouseX;
    y = mMouseY;
  }
  void MoveMouseCursor(float x, float y) override { SetMouseLocation(x, y); }
  void CancelPlatformTextEntry() override {}
  bool GetTextFromClipboard(iplug::TextBuffer& str) override;
  bool SetTextInClipboard(const char* str) override;
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  void PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int, const char*) override;
  void PromptForDirectory(iplug::TextBuffer& dir) override { dir.Set(""); }
  bool PromptForColour(IColor&, const char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName, int style) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) override;
  void CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool& isAsync) override;
  int LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char* bundleID,
                     void* pHandle, const char* sharedResourcesSubPath) override;

protected:
  void PlatformHideMouseCursor(bool hide, bool) override { mCursorHiddenByPlatform = hide; }

private:
  void CreateWindowFrameBuffer();
  void DeleteWindowFrameBuffer();

  std::unique_ptr<OffscreenGLContext> mContext;
  int mActivations = 0;
  unsigned int mOffscreenFBO = 0;
  unsigned int mWindowColor = 0;
  unsigned int mWindowStencil = 0;
  int mWindowFBWidth = 0;
  int mWindowFBHeight = 0;
  void* mModule = nullptr;
  float mOpenScreenScale = 1.f;
  bool mManualTime = false;
  double mNowMs = 0.0;
  float mMouseX = 0.f;
  float mMouseY = 0.f;
  bool mCursorHiddenByPlatform = false;
  std::string mClipboard;
  std::string mOpenError;
  std::vector<std::pair<std::string, std::unique_ptr<PlatformFont>>> mFonts;
};

}  // namespace igraphics
