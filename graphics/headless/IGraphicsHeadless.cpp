#include "graphics/headless/IGraphicsHeadless.h"

#include <cstring>

#include "graphics/IGEditorDelegate.h"
#include "graphics/IRectList.h"
#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/nanovg/GLLoader.h"
#include "graphics/nanovg/NanoVGGL.h"

namespace igraphics {

IGraphicsHeadless::IGraphicsHeadless(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : IGraphicsNanoVG(dlg, w, h, fps, scale) {}

IGraphicsHeadless::~IGraphicsHeadless() { CloseWindow(); }

double IGraphicsHeadless::GetTimeMs() const { return mManualTime ? mNowMs : IGraphicsNanoVG::GetTimeMs(); }

// ---- Window.

void* IGraphicsHeadless::OpenWindow(void*) {
  if (mContext) CloseWindow();
  mOpenError.clear();
  mContext = OffscreenGLContext::Create(mOpenError);
  if (!mContext) return nullptr;
  ActivateGLContext();
  // The screen scale sizes the framebuffers (DrawResize).
  if (!LoadGL(mContext->Loader(), mOpenError) || !OpenView(mOpenScreenScale, mOpenError)) {
    DeactivateGLContext();
    mContext.reset();
    return nullptr;
  }
  DeactivateGLContext();
  GetDelegate()->OnEditorOpened();
  return this;
}

void IGraphicsHeadless::CloseWindow() {
  if (!mContext) return;
  ActivateGLContext();
  OnViewDestroyed();
  mWindowFrameBuffer.Delete();
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
  mWindowFrameBuffer.Create(WindowPixelWidth(), WindowPixelHeight());
  DeactivateGLContext();
}

// ---- Frames.

bool IGraphicsHeadless::DrawFrame() {
  if (!mContext || !mWindowFrameBuffer.Id()) return false;
  IRectList rects;
  if (!IsDirty(rects)) return false;
  SetAllControlsClean();
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, mWindowFrameBuffer.Id());  // the "window" EndFrame copies the image to
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
  width = mWindowFrameBuffer.Width();
  height = mWindowFrameBuffer.Height();
  rgba.clear();
  if (!mContext || !mWindowFrameBuffer.Id()) return false;
  ActivateGLContext();
  glBindFramebuffer(GL_FRAMEBUFFER, mWindowFrameBuffer.Id());
  const bool ok = ReadPixelsTopDown(width, height, rgba);
  DeactivateGLContext();
  return ok;
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

}  // namespace igraphics
