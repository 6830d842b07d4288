#include "graphics/headless/IGraphicsHeadless.h"

#include <cstring>

#include "graphics/IGEditorDelegate.h"
#include "graphics/IRectList.h"
#include "graphics/headless/MemoryFont.h"
#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/nanovg/GLLoader.h"
#include "graphics/nanovg/NanoVGGL.h"
#include "graphics/nanovg/ResourceLookup.h"

namespace igraphics {

IGraphicsHeadless::IGraphicsHeadless(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : IGraphicsNanoVG(dlg, w, h, fps, scale) {}

IGraphicsHeadless::~IGraphicsHeadless() { CloseWindow(); }

double IGraphicsHeadless::GetTimeMs() const { return mManualTime ? mNowMs : IGraphicsNanoVG::GetTimeMs(); }

// ---- Window.

void* IGraphicsHeadless::OpenWindow(void*) {
  if (mContext) CloseWindow();
  mOpenError.clear();
  mContext = OffscreenGLContext::Create();
  if (!mContext) {
    mOpenError = std::string("no off-screen OpenGL context: ") + OffscreenGLContext::LastError();
    return nullptr;
  }
  ActivateGLContext();
  if (!LoadOpenGL(mContext->Loader())) {
    mOpenError = "the OpenGL context lacks OpenGL 2.1 or framebuffer objects";
    DeactivateGLContext();
    mContext.reset();
    return nullptr;
  }
  OnViewInitialized();
  if (!GetDrawContext()) {
    mOpenError = "NanoVG could not start on this OpenGL context";
    DeactivateGLContext();
    mContext.reset();
    return nullptr;
  }
  SetScreenScale(mOpenScreenScale);  // sizes the framebuffers (DrawResize)
  if (GetDelegate()) GetDelegate()->LayoutEditor(this);
  SetAllControlsDirty();
  DeactivateGLContext();
  if (GetDelegate()) GetDelegate()->OnEditorOpened();
  return this;
}

void IGraphicsHeadless::CloseWindow() {
  if (!mContext) return;
  ActivateGLContext();
  OnViewDestroyed();
  DeleteWindowFrameBuffer();
  DeactivateGLContext();
  mActivations = 0;
  mContext.reset();
}

void IGraphicsHeadless::ActivateGLContext() {
  if (mContext && mActivations++ == 0) mContext->Activate();
}

void IGraphicsHeadless::DeactivateGLContext() {
  if (mContext && mActivations > 0 && --mActivations == 0) mContext->Deactivate();
}

void IGraphicsHeadless::DrawResize() {
  if (!mContext) return;
  ActivateGLContext();
  IGraphicsNanoVG::DrawResize();
  CreateWindowFrameBuffer();
  DeactivateGLContext();
}

// The window's framebuffer: colour and a stencil for NanoVG's fills, of the window's pixel size.
void IGraphicsHeadless::CreateWindowFrameBuffer() {
  DeleteWindowFrameBuffer();
  const int w = WindowPixelWidth();
  const int h = WindowPixelHeight();
  if (w <= 0 || h <= 0) return;
  glGenFramebuffers(1, &mOffscreenFBO);
  glBindFramebuffer(GL_FRAMEBUFFER, mOffscreenFBO);
  glGenRenderbuffers(1, &mWindowColor);
  glBindRenderbuffer(GL_RENDERBUFFER, mWindowColor);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mWindowColor);
  glGenRenderbuffers(1, &mWindowStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, mWindowStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mWindowStencil);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, mWindowStencil);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    DeleteWindowFrameBuffer();
    return;
  }
  glViewport(0, 0, w, h);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  mWindowFBWidth = w;
  mWindowFBHeight = h;
}

void IGraphicsHeadless::DeleteWindowFrameBuffer() {
  if (mOffscreenFBO) glDeleteFramebuffers(1, &mOffscreenFBO);
  if (mWindowColor) glDeleteRenderbuffers(1, &mWindowColor);
  if (mWindowStencil) glDeleteRenderbuffers(1, &mWindowStencil);
  mOffscreenFBO = mWindowColor = mWindowStencil = 0;
  mWindowFBWidth = mWindowFBHeight = 0;
}

// ---- Frames.

bool IGraphicsHeadless::DrawFrame() {
  if (!mContext || !mOffscreenFBO) return false;
  IRectList rects;
  if (!IsDirty(rects)) return false;
  SetAllControlsClean();
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, mOffscreenFBO);  // the "window" EndFrame copies the image to
  Draw(rects);
  glFinish();
  DeactivateGLContext();
  return true;
}

void IGraphicsHeadless::DrawAll() {
  SetAllControlsDirty();
  DrawFrame();
}

bool IGraphicsHeadless::ReadWindowPixels(std::vector<uint8_t>& rgba, int& width, int& height) {
  width = mWindowFBWidth;
  height = mWindowFBHeight;
  rgba.clear();
  if (!mContext || !mOffscreenFBO) return false;
  const size_t row = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottomUp(row * static_cast<size_t>(height));
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, mOffscreenFBO);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  DeactivateGLContext();
  rgba.resize(bottomUp.size());
  for (int y = 0; y < height; ++y)
    std::memcpy(&rgba[static_cast<size_t>(y) * row], &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
  return true;
}

// ---- Services a window system would offer.

bool IGraphicsHeadless::GetTextFromClipboard(iplug::TextBuffer& str) {
  str.Set(mClipboard.c_str());
  return !mClipboard.empty();
}

bool IGraphicsHeadless::SetTextInClipboard(const char* str) {
  mClipboard = str ? str : "";
  return !mClipboard.empty();
}

void IGraphicsHeadless::PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer&, int, const char*) {
  fileName.Set("");  // nobody to ask: nothing chosen
}

IPopupMenu* IGraphicsHeadless::CreatePlatformPopupMenu(IPopupMenu&, const IBounds&, bool& isAsync) {
  isAsync = false;
  return nullptr;  // nobody to choose: nothing chosen
}

// ---- Resources and fonts.

int IGraphicsHeadless::LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char*,
                                      void* pHandle, const char*) {
  return LocateModuleResource(name, type, result, pHandle);
}

std::unique_ptr<PlatformFont> IGraphicsHeadless::LoadPlatformFont(const char*, const char*, int) {
  return nullptr;  // no system fonts without a window system
}

std::unique_ptr<PlatformFont> IGraphicsHeadless::LoadPlatformFont(const char*, const void* data, int dataSize) {
  if (!data || dataSize <= 0) return nullptr;
  return MemoryFont::Copy(data, dataSize);
}

std::unique_ptr<PlatformFont> IGraphicsHeadless::LoadPlatformFont(const char*, const char* fileNameOrResID) {
  return MemoryFont::FromModule(fileNameOrResID, mModule);
}

void IGraphicsHeadless::CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) {
  for (const auto& entry : mFonts)
    if (entry.first == fontID) return;
  mFonts.emplace_back(fontID ? fontID : "", std::move(font));
}

}  // namespace igraphics
