#include "graphics/win/IGraphicsWin.h"

#include <commctrl.h>

#include <cmath>

#include "graphics/IGEditorDelegate.h"
#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/headless/WGLPixelFormat.h"
#include "graphics/nanovg/GLLoader.h"
#include "graphics/nanovg/NanoVGGL.h"
#include "graphics/win/ScreenScale.h"
#include "graphics/win/WinClipboard.h"
#include "graphics/win/WinColorChooser.h"
#include "graphics/win/WinFileDialogs.h"
#include "graphics/win/WinFontLoader.h"
#include "graphics/win/WinMessageBox.h"
#include "graphics/win/WinPopupMenu.h"
#include "graphics/win/WinShell.h"
#include "graphics/win/WindowClass.h"

namespace igraphics {

namespace {

// The GL loader resolves through opengl32's wglGetProcAddress, which knows only what
// opengl32 does not export itself (everything after OpenGL 1.1): those come from the library.
HMODULE gOpenGL32 = nullptr;
PROC(WINAPI* gWglGetProcAddress)(LPCSTR) = nullptr;

GLProc LookUpGL(const char* name) {
  PROC proc = gWglGetProcAddress ? gWglGetProcAddress(name) : nullptr;
  const auto value = reinterpret_cast<INT_PTR>(proc);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1)
    proc = gOpenGL32 ? GetProcAddress(gOpenGL32, name) : nullptr;
  return reinterpret_cast<GLProc>(proc);
}

bool LoadGLEntryPoints() {
  gOpenGL32 = LoadLibraryW(L"opengl32.dll");
  if (!gOpenGL32) return false;
  gWglGetProcAddress =
      reinterpret_cast<PROC(WINAPI*)(LPCSTR)>(reinterpret_cast<void*>(GetProcAddress(gOpenGL32, "wglGetProcAddress")));
  const bool loaded = gWglGetProcAddress && LoadOpenGL(&LookUpGL);
  // The module imports opengl32 itself, so the entry points stay valid after this release.
  FreeLibrary(gOpenGL32);
  return loaded;
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

IGraphicsWin::IGraphicsWin(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : IGraphicsNanoVG(dlg, w, h, fps, scale), mVBlankMode(VBlankThread::SystemSupportsIt()),
      mPresentThroughGDI(RunningUnderWine()) {}

IGraphicsWin::~IGraphicsWin() { CloseWindow(); }

// ---- Opening and closing.

void* IGraphicsWin::OpenWindow(void* pParent) {
  mOpenError.clear();
  mParentWnd = static_cast<HWND>(pParent);
  const int s = static_cast<int>(ScaleForWindow(mParentWnd));  // whole pixels until the first tick
  int x = 0, y = 0;
  int w = WindowWidth() * std::max(s, 1);
  int h = WindowHeight() * std::max(s, 1);
  if (mPlugWnd) {
    RECT parentRect, ownRect;
    GetWindowRect(mParentWnd, &parentRect);
    GetWindowRect(mPlugWnd, &ownRect);
    x = ownRect.left - parentRect.left;
    y = ownRect.top - parentRect.top;
    w = ownRect.right - ownRect.left;
    h = ownRect.bottom - ownRect.top;
    CloseWindow();
  }

  if (!WindowClass::Acquire(Instance(), &IGraphicsWin::WndProc)) {
    mOpenError = "the window class cannot be registered";
    return nullptr;
  }
  mPlugWnd = CreateWindowExA(0, WindowClass::kName, "IPlug", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                             x, y, w, h, mParentWnd, nullptr, Instance(), this);
  if (!mPlugWnd) {
    mOpenError = "the editor's child window cannot be created";
    WindowClass::Release(Instance());
    return nullptr;
  }
  mHDC = GetDC(mPlugWnd);
  ReleaseDC(mPlugWnd, mHDC);  // a class device context: it stays the window's

  // The caller's OpenGL context comes back at the end: a host drawing with OpenGL keeps its own.
  if (!CreateGLContext(mOpenError)) {
    DeactivateGLContext();
    CloseWindow();
    return nullptr;
  }
  if (!OpenView(static_cast<float>(std::max(s, 1)), mOpenError)) {
    DeactivateGLContext();
    CloseWindow();
    return nullptr;
  }
  if (MultiTouchEnabled() && (GetSystemMetrics(SM_DIGITIZER) & NID_READY)) RegisterTouchWindow(mPlugWnd, 0);
  if (TooltipsEnabled()) CreateTooltipWindow();
  DeactivateGLContext();

  GetDelegate()->OnEditorOpened();
  return mPlugWnd;
}

// Leaves the new context current (one activation) when it succeeds, and also when loading
// the entry points failed (the caller deactivates).
bool IGraphicsWin::CreateGLContext(std::string& error) {
  if (mPresentThroughGDI) {
    mOffscreen = OffscreenGLContext::Create(error);
    if (!mOffscreen) return false;
    ActivateGLContext();
    return LoadGL(mOffscreen->Loader(), error);
  }
  if (!SetEditorPixelFormat(mHDC)) {
    error = "no OpenGL pixel format for the editor's window";
    return false;
  }
  mHGLRC = wglCreateContext(mHDC);
  if (!mHGLRC) {
    error = "the editor's OpenGL context cannot be created";
    return false;
  }
  ActivateGLContext();
  if (!LoadGLEntryPoints()) {
    error = "the OpenGL context lacks OpenGL 2.1 or framebuffer objects";
    return false;
  }
  return true;
}

void IGraphicsWin::DestroyGLContext() {
  if (mOffscreen) {
    mGLActivations = 0;
    ActivateGLContext();
    OnViewDestroyed();
    mPresentFrameBuffer.Delete();
    DeactivateGLContext();
    mOffscreen.reset();
    return;
  }
  if (!mHGLRC) return;
  const HDC savedDC = wglGetCurrentDC();
  const HGLRC savedGL = wglGetCurrentContext();
  wglMakeCurrent(mHDC, mHGLRC);
  OnViewDestroyed();
  if (savedGL && savedGL != mHGLRC)
    wglMakeCurrent(savedDC, savedGL);
  else
    wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(mHGLRC);
  mHGLRC = nullptr;
  mGLActivations = 0;
}

void IGraphicsWin::StopRedrawClock() {
  mVBlank.Stop();
  if (mTimerRunning) KillTimer(mPlugWnd, kTimerID);
  mTimerRunning = false;
}

void IGraphicsWin::CloseWindow() {
  if (!mPlugWnd) return;
  StopRedrawClock();
  mTextEntry.Close();
  ReleaseWindowCapture();
  if (IsCursorHidden()) HideMouseCursor(false, false);  // the system's cursor count comes back
  mCursorLocked = false;
  mTouches.Reset();
  mTooltipShown = false;
  mTooltipIdx = -1;
  if (HasGLContext())
    DestroyGLContext();
  else
    RemoveAllControls();  // a window that never got its context still drops what it attached
  DestroyTooltipWindow();
  SetWindowLongPtrA(mPlugWnd, GWLP_USERDATA, 0);  // messages of the dying window reach no editor
  DestroyWindow(mPlugWnd);
  mPlugWnd = nullptr;
  mHDC = nullptr;
  mPacer.Reset();
  WindowClass::Release(Instance());
}

// ---- OpenGL context switching: the caller's context always comes back.

void IGraphicsWin::ActivateGLContext() {
  if (!HasGLContext()) return;
  if (mGLActivations++ > 0) return;
  if (mOffscreen) {
    mOffscreen->Activate();  // remembers and later restores the caller's context itself
    return;
  }
  mPrevHDC = wglGetCurrentDC();
  mPrevHGLRC = wglGetCurrentContext();
  wglMakeCurrent(mHDC, mHGLRC);
}

void IGraphicsWin::DeactivateGLContext() {
  if (!HasGLContext() || mGLActivations == 0) return;
  if (--mGLActivations > 0) return;
  if (mOffscreen) {
    mOffscreen->Deactivate();
    return;
  }
  wglMakeCurrent(mPrevHGLRC ? mPrevHDC : nullptr, mPrevHGLRC);
  mPrevHDC = nullptr;
  mPrevHGLRC = nullptr;
}

void IGraphicsWin::DrawResize() {
  if (!HasGLContext()) return;
  ActivateGLContext();
  IGraphicsNanoVG::DrawResize();
  if (mPresentThroughGDI) mPresentFrameBuffer.Create(WindowPixelWidth(), WindowPixelHeight());
  DeactivateGLContext();
}

// ---- Sizes.

void IGraphicsWin::PlatformResize(bool parentHasResized) {
  if (!mPlugWnd) return;
  RECT r;
  GetWindowRect(mPlugWnd, &r);
  const int dw = static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale()) - (r.right - r.left);
  const int dh = static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale()) - (r.bottom - r.top);

  // The host's windows above ours: the parent, and its parent when the parent is itself a
  // plain child window (hosts often wrap the editor in a frame of their own).
  const auto isPlainChild = [](HWND wnd) {
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(wnd, GWL_EXSTYLE);
    return (style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD);
  };
  HWND parent = nullptr, grandparent = nullptr;
  RECT parentRect{}, grandparentRect{};
  if (isPlainChild(mPlugWnd)) {
    parent = GetParent(mPlugWnd);
    if (parent) GetWindowRect(parent, &parentRect);
    if (parent && isPlainChild(parent)) {
      grandparent = GetParent(parent);
      if (grandparent) GetWindowRect(grandparent, &grandparentRect);
    }
  }
  if (dw == 0 && dh == 0) return;

  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(mPlugWnd, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, kFlags);
  if (parentHasResized) return;
  if (parent)
    SetWindowPos(parent, nullptr, 0, 0, parentRect.right - parentRect.left + dw,
                 parentRect.bottom - parentRect.top + dh, kFlags);
  if (grandparent)
    SetWindowPos(grandparent, nullptr, 0, 0, grandparentRect.right - grandparentRect.left + dw,
                 grandparentRect.bottom - grandparentRect.top + dh, kFlags);
}

// ---- Tooltips.

void IGraphicsWin::CreateTooltipWindow() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  mTooltipWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr,
                                WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mPlugWnd, nullptr,
                                Instance(), nullptr);
  if (!mTooltipWnd) {
    EnableTooltips(false);
    return;
  }
  SetWindowPos(mTooltipWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = mPlugWnd;
  tool.uId = reinterpret_cast<UINT_PTR>(mPlugWnd);
  tool.lpszText = const_cast<char*>("");
  SendMessageA(mTooltipWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(mTooltipWnd, TTM_SETMAXTIPWIDTH, 0, 250);
}

void IGraphicsWin::DestroyTooltipWindow() {
  if (!mTooltipWnd) return;
  DestroyWindow(mTooltipWnd);
  mTooltipWnd = nullptr;
}

// ---- Resources and fonts.

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFont(const char*, const char* fontName, int style) {
  return WinFontLoader::LoadByName(fontName, style);
}

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFont(const char* fontID, const void* data, int dataSize) {
  return WinFontLoader::LoadFromMemory(fontID, data, dataSize);
}

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFont(const char* fontID, const char* fileNameOrResID) {
  return WinFontLoader::LoadFromFileOrResource(fontID, fileNameOrResID, GetWinModuleHandle());
}

void IGraphicsWin::CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) {
  if (font) WinFontLoader::Cache(fontID, *font);
}

// ---- Platform services.

bool IGraphicsWin::GetTextFromClipboard(iplug::TextBuffer& str) { return WinGetTextFromClipboard(str); }

bool IGraphicsWin::SetTextInClipboard(const char* str) {
  return WinSetTextInClipboard(mTopLevel.Find(mParentWnd), str);
}

int IGraphicsWin::ShowMessageBox(const char* str, const char* caption, int type, MessageBoxFunc done) {
  const int button = WinShowMessageBox(mTopLevel.Find(mParentWnd), str, caption, type);
  ReleaseMouseCapture();
  if (done) done(button);
  return button;
}

void IGraphicsWin::PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int action, const char* ext,
                                 FileDialogFunc done) {
  WinPromptForFile(mPlugWnd, fileName, path, action, ext);
  ReleaseMouseCapture();
  if (done) done(fileName, path);
}

void IGraphicsWin::PromptForDirectory(iplug::TextBuffer& dir, FileDialogFunc done) {
  WinPromptForDirectory(mPlugWnd, dir);
  ReleaseMouseCapture();
  if (done) done(iplug::TextBuffer(), dir);
}

bool IGraphicsWin::PromptForColour(IColor& color, const char* str, ColourDialogFunc done) {
  const bool chosen = WinPromptForColour(mPlugWnd, color, str);
  ReleaseMouseCapture();
  if (done) done(color, chosen);
  return chosen;
}

bool IGraphicsWin::OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
                           const char* errMsgOnFailure) {
  return WinOpenURL(mTopLevel.Find(mParentWnd), url, msgWindowTitle, confirmMsg, errMsgOnFailure);
}

bool IGraphicsWin::RevealPathInExplorer(const char* path, bool select) { return WinRevealPathInExplorer(path, select); }

IPopupMenu* IGraphicsWin::CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync) {
  isAsync = false;
  if (!mPlugWnd) return nullptr;
  return WinPopupMenu::Show(mPlugWnd, menu, bounds, GetTotalScale());
}

}  // namespace igraphics
