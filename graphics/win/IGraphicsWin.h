#pragma once
#include "graphics/win/WinInclude.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/nanovg/IGraphicsNanoVG.h"
#include "graphics/win/VBlankThread.h"

namespace igraphics {

class OffscreenGLContext;

// The editor on Windows: a child window of the host's window with its own OpenGL context, in
// which the NanoVG back end draws. The window is paced by the display (a vertical-blank
// thread posting VBlankThread::kMessage) where the system offers that, else by a window timer
// (kTimerID); every tick asks the graphics context for its dirty areas, invalidates them in
// pixels and paints at once, and the paint draws the update region. The screen scale follows
// the monitor's DPI: the window opens at a whole-number scale and takes the exact one on the
// first tick without mouse capture. Resizing goes to the window and, unless the host resized
// them already, to its parent and grandparent.
//
// Input translation (pointer, touch, wheel, keys, cursor, the text edit box) and the
// platform services (menus, dialogs, clipboard, message box, links, system fonts) come from
// their own files; until they are wired, the services answer "not available".
//
// Threads: everything on the thread that opened the window (the host's UI thread); the
// vertical-blank thread only posts messages to the window.
class IGraphicsWin : public IGraphicsNanoVG {
public:
  static constexpr UINT_PTR kTimerID = 2;

  IGraphicsWin(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsWin() override;

  // ---- Window (UI thread).
  // pParent is the host's HWND. Returns the editor's HWND, or null when no window (or no
  // OpenGL context able to draw it) could be made; the editor then stays closed.
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mPlugWnd; }
  bool WindowIsOpen() override { return mPlugWnd != nullptr; }
  void PlatformResize(bool parentHasResized) override;
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void DrawResize() override;
  const char* GetPlatformAPIName() override { return "win32"; }
  void SetWinModuleHandle(void* instance) override { mHInstance = static_cast<HINSTANCE>(instance); }
  void* GetWinModuleHandle() override { return mHInstance; }

  // ---- Resources and fonts (the module's own; never the working directory).
  int LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char* bundleID,
                     void* pHandle, const char* sharedResourcesSubPath) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName, int style) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) override;

  // ---- Input and services still to be wired (they answer "not available" until then).
  void GetMouseLocation(float& x, float& y) const override;
  void MoveMouseCursor(float, float) override {}
  void CancelPlatformTextEntry() override {}
  bool GetTextFromClipboard(iplug::TextBuffer& str) override;
  bool SetTextInClipboard(const char*) override { return false; }
  int ShowMessageBox(const char*, const char*, int) override { return 0; }
  void PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int action, const char* ext) override;
  void PromptForDirectory(iplug::TextBuffer& dir) override;
  bool PromptForColour(IColor&, const char*) override { return false; }
  bool OpenURL(const char*, const char*, const char*, const char*) override { return false; }
  void CreatePlatformTextEntry(int, const ITextStyle&, const IBounds&, int, const char*) override {}
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync) override;

  // ---- For the host layer, the snapshot and tests (UI thread).
  // Chooses the redraw clock of the next OpenWindow: the display-paced thread (the default
  // on Windows 8 and later) or the window timer.
  void SetVBlankMode(bool vblank) { mVBlankMode = vblank; }
  bool VBlankMode() const { return mVBlankMode; }
  const VBlankThread& GetVBlankThread() const { return mVBlank; }
  // Presents the editor's image in the window and reads the pixels back from the window's own
  // framebuffer before they are shown: rows from the top, RGBA with premultiplied alpha. With
  // redrawAll every control is drawn first; without, the image is what the frames so far made.
  bool ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height, bool redrawAll = true);
  // Paints that drew a frame, and redraw ticks handled, since the window opened.
  int FramesDrawn() const { return mFramesDrawn; }
  int TicksHandled() const { return mTicks; }
  // The window's own OpenGL context (null where the editor draws off-screen, under Wine).
  HGLRC GetGLContext() const { return mHGLRC; }
  bool PresentsThroughGDI() const { return mPresentThroughGDI; }
  // Chooses, for the next OpenWindow, between the window's own context (what Windows gets)
  // and the off-screen context presented through GDI (what Wine gets).
  void SetPresentThroughGDI(bool gdi) { mPresentThroughGDI = gdi; }
  HWND GetTooltipWindow() const { return mTooltipWnd; }
  // Why the last OpenWindow failed ("" when it did not).
  const char* GetOpenError() const { return mOpenError.c_str(); }

  static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  void PlatformHideMouseCursor(bool, bool) override {}

private:
  LRESULT HandleMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCreate(HWND hWnd);
  // One tick of the redraw clock: counter 0 from the timer, else the vertical-blank counter.
  void OnRedrawTick(int counter);
  void OnPaint();
  // Copies a painted pixel area from the back buffer to the window through GDI (see
  // mPresentThroughGDI).
  void PresentThroughGDI(HDC dc, const RECT& area);
  bool HasGLContext() const { return mHGLRC != nullptr || mOffscreen != nullptr; }
  void CreatePresentFrameBuffer();
  void DeletePresentFrameBuffer();
  // Invalidates the dirty areas of the graphics context in pixels; false when nothing is dirty.
  bool InvalidateDirtyAreas();
  bool CreateGLContext(std::string& error);
  void DestroyGLContext();
  void CreateTooltipWindow();
  void DestroyTooltipWindow();
  void StopRedrawClock();

  HINSTANCE mHInstance = nullptr;
  HWND mPlugWnd = nullptr;
  HWND mParentWnd = nullptr;
  HDC mHDC = nullptr;
  HGLRC mHGLRC = nullptr;
  HDC mPrevHDC = nullptr;
  HGLRC mPrevHGLRC = nullptr;
  int mGLActivations = 0;  // nesting depth of ActivateGLContext
  HWND mTooltipWnd = nullptr;
  bool mVBlankMode;
  VBlankThread mVBlank;
  int mVBlankSkipUntil = 0;
  bool mTimerRunning = false;
  // Wine (8.x) cannot show OpenGL drawn into a child window: the child's device context has
  // no X drawable to present to, and GDI output over such a window is clipped away. There the
  // editor draws with an off-screen context into a framebuffer object of the window's size
  // and every painted area is copied to the (GL-free) window through GDI. A real Windows
  // system draws into the window's own context and never takes this path.
  bool mPresentThroughGDI;
  std::unique_ptr<OffscreenGLContext> mOffscreen;
  unsigned int mPresentFBO = 0;
  unsigned int mPresentColor = 0;
  unsigned int mPresentDepth = 0;
  int mFramesDrawn = 0;
  int mTicks = 0;
  std::string mOpenError;
  std::vector<std::pair<std::string, std::unique_ptr<PlatformFont>>> mFonts;
};

}  // namespace igraphics
