#include "graphics/nanovg/IGraphicsNanoVG.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "graphics/IGEditorDelegate.h"
#include "graphics/nanovg/FontDataCache.h"
#include "graphics/nanovg/MemoryFont.h"
#include "graphics/nanovg/NanoVGGL.h"
#include "graphics/nanovg/ResourceLookup.h"

namespace igraphics {

namespace {

NVGcolor ToNVGColor(const IColor& c, float weight = 1.f) {
  return nvgRGBAf(static_cast<float>(c.R) / 255.f, static_cast<float>(c.G) / 255.f, static_cast<float>(c.B) / 255.f,
                  static_cast<float>(c.A) / 255.f * weight);
}

// The paint of a pattern: its colour for solid patterns, else a gradient between its first
// and last stops placed by the pattern's transform (pattern space 0..1 along the gradient).
NVGpaint ToNVGPaint(NVGcontext* vg, const IPattern& pattern, float weight) {
  const IColor first = pattern.NStops() > 0 ? pattern.GetStop(0).mColor : kColorBlack;
  const IColor last = pattern.NStops() > 0 ? pattern.GetStop(pattern.NStops() - 1).mColor : kColorBlack;
  ITransform inverse = pattern.mTransform;
  inverse.Invert();
  double x0 = 0.0, y0 = 0.0, x1 = 1.0, y1 = 0.0;
  inverse.TransformPoint(x0, y0);
  inverse.TransformPoint(x1, y1);
  if (pattern.mType == kRadialPattern) {
    const float r = static_cast<float>(std::hypot(x1 - x0, y1 - y0));
    const float inner = pattern.NStops() > 0 ? r * pattern.GetStop(0).mOffset : 0.f;
    const float outer = pattern.NStops() > 0 ? r * pattern.GetStop(pattern.NStops() - 1).mOffset : r;
    return nvgRadialGradient(vg, static_cast<float>(x0), static_cast<float>(y0), inner, outer,
                             ToNVGColor(first, weight), ToNVGColor(last, weight));
  }
  return nvgLinearGradient(vg, static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1),
                           static_cast<float>(y1), ToNVGColor(first, weight), ToNVGColor(last, weight));
}

// Angles of the graphics context run clockwise from 12 o'clock; NanoVG's from 3 o'clock.
float ToNVGAngle(float degrees) { return (degrees - 90.f) / 180.f * 3.14159265358979f; }

}  // namespace

IGraphicsNanoVG::IGraphicsNanoVG(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
    : IGraphics(dlg, w, h, fps, scale) {
  FontDataCache::Instance().AddContext();
}

IGraphicsNanoVG::~IGraphicsNanoVG() {
  FontDataCache::Instance().RemoveContext();
  DeleteQueuedFBOs();
  std::lock_guard lock(mBitmapCache.Mutex());
  mBitmapCache.Clear();
}

// ---- Frame cycle.

int IGraphicsNanoVG::WindowPixelWidth() const {
  return static_cast<int>(static_cast<float>(WindowWidth()) * GetScreenScale());
}

int IGraphicsNanoVG::WindowPixelHeight() const {
  return static_cast<int>(static_cast<float>(WindowHeight()) * GetScreenScale());
}

void IGraphicsNanoVG::OnViewInitialized() { mVG = nvgCreateGL2(NVG_ANTIALIAS); }

bool IGraphicsNanoVG::OpenView(float screenScale, std::string& error) {
  OnViewInitialized();
  if (!mVG) {
    error = "NanoVG could not start on this OpenGL context";
    return false;
  }
  SetScreenScale(screenScale);
  GetDelegate()->LayoutEditor(this);
  SetAllControlsDirty();
  return true;
}

void IGraphicsNanoVG::OnViewDestroyed() {
  // The controls' bitmaps are about to become invalid: the controls go first.
  RemoveAllControls();
  {
    std::lock_guard lock(mBitmapCache.Mutex());
    mBitmapCache.Clear();
  }
  DeleteQueuedFBOs();
  DeleteMainFrameBuffer();
  if (mVG) nvgDeleteGL2(mVG);
  mVG = nullptr;
}

void IGraphicsNanoVG::DeleteMainFrameBuffer() {
  if (mMainFrameBuffer) nvgluDeleteFramebuffer(mMainFrameBuffer);
  mMainFrameBuffer = nullptr;
  mMainFBWidth = 0;
  mMainFBHeight = 0;
}

void IGraphicsNanoVG::DrawResize() {
  DeleteMainFrameBuffer();
  if (!mVG) return;
  const int w = WindowPixelWidth();
  const int h = WindowPixelHeight();
  mMainFrameBuffer = nvgluCreateFramebuffer(mVG, w, h, 0);
  if (!mMainFrameBuffer) return;
  mMainFBWidth = w;
  mMainFBHeight = h;
  // A new texture's content is undefined; the next frame repaints everything onto clear pixels.
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  nvgluBindFramebuffer(mMainFrameBuffer);
  glViewport(0, 0, w, h);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void IGraphicsNanoVG::BeginMainFrame() {
  if (mMainFrameBuffer)
    nvgluBindFramebuffer(mMainFrameBuffer);
  else
    glBindFramebuffer(GL_FRAMEBUFFER, mWindowFBO);
  nvgBeginFrame(mVG, static_cast<float>(WindowWidth()), static_cast<float>(WindowHeight()), GetScreenScale());
}

void IGraphicsNanoVG::BeginFrame() {
  mInDraw = true;
  IGraphics::BeginFrame();
  if (!mVG) return;
  glViewport(0, 0, WindowPixelWidth(), WindowPixelHeight());
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  // Read for every frame, per context: each window may have its own framebuffer.
  GLint windowFBO = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &windowFBO);
  mWindowFBO = static_cast<unsigned int>(windowFBO);
  BeginMainFrame();
}

void IGraphicsNanoVG::EndFrame() {
  if (mVG) {
    nvgEndFrame(mVG);
    glBindFramebuffer(GL_FRAMEBUFFER, mWindowFBO);
    if (mMainFrameBuffer) {
      // The whole editor image to the window, one pixel to one pixel, in one draw call.
      const float w = static_cast<float>(WindowWidth());
      const float h = static_cast<float>(WindowHeight());
      nvgBeginFrame(mVG, w, h, GetScreenScale());
      nvgSave(mVG);
      nvgResetTransform(mVG);
      nvgTranslate(mVG, 0.f, 0.f);
      nvgBeginPath(mVG);
      nvgRect(mVG, 0.f, 0.f, w, h);
      nvgFillPaint(mVG, nvgImagePattern(mVG, 0.f, 0.f, w, h, 0.f, mMainFrameBuffer->image, 1.f));
      nvgFill(mVG);
      nvgRestore(mVG);
      nvgEndFrame(mVG);
    }
  }
  mInDraw = false;
  DeleteQueuedFBOs();
}

// ---- Framebuffers of render targets.

void IGraphicsNanoVG::DeleteFBO(NVGLUframebuffer* fb) {
  if (!fb) return;
  std::lock_guard lock(mFBOLock);
  if (mInDraw) {
    mFBODeleteQueue.push_back(fb);
    return;
  }
  nvgluDeleteFramebuffer(fb);
}

void IGraphicsNanoVG::DeleteQueuedFBOs() {
  std::lock_guard lock(mFBOLock);
  for (NVGLUframebuffer* fb : mFBODeleteQueue) nvgluDeleteFramebuffer(fb);
  mFBODeleteQueue.clear();
}

int IGraphicsNanoVG::NQueuedFBODeletions() const {
  std::lock_guard lock(mFBOLock);
  return static_cast<int>(mFBODeleteQueue.size());
}

// ---- Blending.

void IGraphicsNanoVG::SetBlend(const IBlend* blend) {
  const int type = blend ? blend->mType : kBlendDefault;
  int src = -1, dst = -1;
  switch (type) {
    case kBlendDefault: src = NVG_ONE, dst = NVG_ONE_MINUS_SRC_ALPHA; break;
    case kBlendSourceIn: src = NVG_DST_ALPHA, dst = NVG_ZERO; break;
    case kBlendSourceOut: src = NVG_ONE_MINUS_DST_ALPHA, dst = NVG_ZERO; break;
    case kBlendSourceAtop: src = NVG_DST_ALPHA, dst = NVG_ONE_MINUS_SRC_ALPHA; break;
    case kBlendDestOver: src = NVG_ONE_MINUS_DST_ALPHA, dst = NVG_ONE; break;
    case kBlendDestIn: src = NVG_ZERO, dst = NVG_SRC_ALPHA; break;
    case kBlendDestOut: src = NVG_ZERO, dst = NVG_ONE_MINUS_SRC_ALPHA; break;
    case kBlendDestAtop: src = NVG_ONE_MINUS_DST_ALPHA, dst = NVG_SRC_ALPHA; break;
    case kBlendAdd: src = NVG_SRC_ALPHA, dst = NVG_DST_ALPHA; break;
    case kBlendXOR: src = NVG_ONE_MINUS_DST_ALPHA, dst = NVG_ONE_MINUS_SRC_ALPHA; break;
    default: return;  // unknown types keep the current setting
  }
  nvgGlobalCompositeBlendFunc(mVG, src, dst);
}

// ---- Drawing.

void IGraphicsNanoVG::DrawBitmap(const IBitmapRef& bitmap, const IBounds& dest, int srcX, int srcY,
                                 const IBlend* blend) {
  const APIBitmap* api = bitmap.GetAPIBitmap();
  if (!mVG || !api) return;
  // The pattern is in logical units: the image is scaled by 1/scale, so a 2x strip is drawn at
  // its logical size on every screen (reduced by linear filtering at screen scale 1).
  const float s = api->GetScale() * api->GetDrawScale();
  nvgBeginPath(mVG);
  nvgRect(mVG, dest.L, dest.T, dest.W(), dest.H());
  // The pattern spans the image's real pixel size. The logical size times the scale would
  // be a pixel short for an image with an odd size (the 1183-pixel background), squeezing it.
  NVGpaint paint = nvgImagePattern(mVG, 0.f, 0.f, static_cast<float>(api->GetWidth()),
                                   static_cast<float>(api->GetHeight()), 0.f, api->GetImage(), BlendWeight(blend));
  nvgTransformScale(paint.xform, 1.f / s, 1.f / s);
  paint.xform[4] = dest.L - static_cast<float>(srcX);
  paint.xform[5] = dest.T - static_cast<float>(srcY);
  nvgFillPaint(mVG, paint);
  SetBlend(blend);
  nvgFill(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
}

void IGraphicsNanoVG::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                                     const IBlend* blend, float thickness, float dashLen) {
  if (!mVG) return;
  const float length = std::hypot(x2 - x1, y2 - y1);
  if (length <= 0.f || dashLen <= 0.f) return;
  const float dx = (x2 - x1) / length;
  const float dy = (y2 - y1) / length;
  PathClear();
  for (float d = 0.f; d < length; d += 2.f * dashLen) {
    const float e = std::min(d + dashLen, length);
    PathMoveTo(x1 + dx * d, y1 + dy * d);
    PathLineTo(x1 + dx * e, y1 + dy * e);
  }
  PathStroke(IPattern(color), thickness, IStrokeOptions(), blend);
}

void IGraphicsNanoVG::DrawDottedRect(const IColor& color, const IBounds& bounds, const IBlend* blend,
                                     float thickness, float dashLen) {
  DrawDottedLine(color, bounds.L, bounds.T, bounds.R, bounds.T, blend, thickness, dashLen);
  DrawDottedLine(color, bounds.R, bounds.T, bounds.R, bounds.B, blend, thickness, dashLen);
  DrawDottedLine(color, bounds.R, bounds.B, bounds.L, bounds.B, blend, thickness, dashLen);
  DrawDottedLine(color, bounds.L, bounds.B, bounds.L, bounds.T, blend, thickness, dashLen);
}

void IGraphicsNanoVG::DrawFastDropShadow(const IBounds& inner, const IBounds& outer, float xyDrop, float roundness,
                                         float blur, const IBlend* blend) {
  if (!mVG) return;
  nvgBeginPath(mVG);
  nvgRect(mVG, outer.L, outer.T, outer.W(), outer.H());
  const NVGpaint shadow =
      nvgBoxGradient(mVG, inner.L + xyDrop, inner.T + xyDrop, inner.W(), inner.H(), roundness, std::max(blur, 1.f),
                     nvgRGBAf(0.f, 0.f, 0.f, 128.f / 255.f * BlendWeight(blend)), nvgRGBAf(0.f, 0.f, 0.f, 0.f));
  nvgFillPaint(mVG, shadow);
  SetBlend(blend);
  nvgFill(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  nvgBeginPath(mVG);
}

// ---- Paths.

void IGraphicsNanoVG::PathTransformApply(const ITransform& t) {
  if (!mVG) return;
  nvgResetTransform(mVG);
  nvgScale(mVG, GetDrawScale(), GetDrawScale());
  if (const ILayer* layer = GetActiveLayer()) nvgTranslate(mVG, -layer->Bounds().L, -layer->Bounds().T);
  nvgTransform(mVG, static_cast<float>(t.mXX), static_cast<float>(t.mYX), static_cast<float>(t.mXY),
               static_cast<float>(t.mYY), static_cast<float>(t.mTX), static_cast<float>(t.mTY));
}

void IGraphicsNanoVG::PathClipRegion(const IBounds& r) {
  if (!mVG) return;
  if (r.Empty())
    nvgResetScissor(mVG);
  else
    nvgScissor(mVG, r.L, r.T, r.W(), r.H());
}

void IGraphicsNanoVG::PathClear() {
  if (mVG) nvgBeginPath(mVG);
}

void IGraphicsNanoVG::PathClose() {
  if (mVG) nvgClosePath(mVG);
}

void IGraphicsNanoVG::PathArc(float cx, float cy, float r, float a1, float a2, bool clockwise) {
  if (mVG) nvgArc(mVG, cx, cy, r, ToNVGAngle(a1), ToNVGAngle(a2), clockwise ? NVG_CW : NVG_CCW);
}

void IGraphicsNanoVG::PathMoveTo(float x, float y) {
  if (mVG) nvgMoveTo(mVG, x, y);
}

void IGraphicsNanoVG::PathLineTo(float x, float y) {
  if (mVG) nvgLineTo(mVG, x, y);
}

void IGraphicsNanoVG::PathSetWinding(bool clockwise) {
  if (mVG) nvgPathWinding(mVG, clockwise ? NVG_CW : NVG_CCW);
}

void IGraphicsNanoVG::PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) {
  if (mVG) nvgBezierTo(mVG, c1x, c1y, c2x, c2y, x2, y2);
}

void IGraphicsNanoVG::PathQuadraticBezierTo(float cx, float cy, float x2, float y2) {
  // NanoVG sends it as the cubic with control points p0 + 2/3 (c - p0) and p + 2/3 (c - p).
  if (mVG) nvgQuadTo(mVG, cx, cy, x2, y2);
}

void IGraphicsNanoVG::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                                 const IBlend* blend) {
  if (!mVG) return;
  nvgLineJoin(mVG, options.mJoin == kJoinRound ? NVG_ROUND : options.mJoin == kJoinBevel ? NVG_BEVEL : NVG_MITER);
  nvgLineCap(mVG, options.mCap == kCapRound ? NVG_ROUND : options.mCap == kCapSquare ? NVG_SQUARE : NVG_BUTT);
  nvgMiterLimit(mVG, options.mMiterLimit);
  nvgStrokeWidth(mVG, thickness);
  if (pattern.mType == kSolidPattern)
    nvgStrokeColor(mVG, ToNVGColor(pattern.GetColor(), BlendWeight(blend)));
  else
    nvgStrokePaint(mVG, ToNVGPaint(mVG, pattern, BlendWeight(blend)));
  SetBlend(blend);
  nvgStroke(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  if (!options.mPreserve) nvgBeginPath(mVG);
}

void IGraphicsNanoVG::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) {
  if (!mVG) return;
  nvgPathWinding(mVG, options.mFillRule == kFillEvenOdd ? NVG_HOLE : NVG_SOLID);
  if (pattern.mType == kSolidPattern)
    nvgFillColor(mVG, ToNVGColor(pattern.GetColor(), BlendWeight(blend)));
  else
    nvgFillPaint(mVG, ToNVGPaint(mVG, pattern, BlendWeight(blend)));
  SetBlend(blend);
  nvgFill(mVG);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  if (!options.mPreserve) nvgBeginPath(mVG);
}

// ---- Text.

void IGraphicsNanoVG::PrepareText(const ITextStyle& text, const char* str, const IBounds& bounds, float& x,
                                  float& y) const {
  nvgFontSize(mVG, text.mSize);
  nvgFontFace(mVG, text.mFont);
  int align = 0;
  switch (text.mAlign) {
    case kAlignNear: align = NVG_ALIGN_LEFT, x = bounds.L; break;
    case kAlignFar: align = NVG_ALIGN_RIGHT, x = bounds.R; break;
    default: align = NVG_ALIGN_CENTER, x = bounds.MW(); break;
  }
  switch (text.mVAlign) {
    case kVAlignTop: align |= NVG_ALIGN_TOP, y = bounds.T; break;
    case kVAlignBottom: align |= NVG_ALIGN_BOTTOM, y = bounds.B; break;
    default: align |= NVG_ALIGN_MIDDLE, y = bounds.MH(); break;
  }
  nvgTextAlign(mVG, align);
  (void)str;
}

float IGraphicsNanoVG::DoMeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const {
  if (!mVG || !str) return 0.f;
  float x = 0.f, y = 0.f;
  PrepareText(text, str, bounds, x, y);
  float b[4] = {0.f, 0.f, 0.f, 0.f};
  nvgTextBounds(mVG, x, y, str, nullptr, b);
  bounds = IBounds(b[0], b[1], b[2], b[3]);
  return bounds.W();
}

void IGraphicsNanoVG::DoDrawText(const ITextStyle& text, const char* str, const IBounds& bounds,
                                 const IBlend* blend) {
  if (!mVG || !str || !*str) return;
  float x = 0.f, y = 0.f;
  PrepareText(text, str, bounds, x, y);
  const bool rotated = text.mAngle != 0.f;
  if (rotated) {
    // Turned about the bounds' centre, so the turned text stays over its box.
    PathTransformSave();
    PathTransformTranslate(bounds.MW(), bounds.MH());
    PathTransformRotate(text.mAngle);
    PathTransformTranslate(-bounds.MW(), -bounds.MH());
  }
  nvgFillColor(mVG, ToNVGColor(text.mFGColor, BlendWeight(blend)));
  SetBlend(blend);
  nvgText(mVG, x, y, str, nullptr);
  nvgGlobalCompositeOperation(mVG, NVG_SOURCE_OVER);
  if (rotated) PathTransformRestore();
}

bool IGraphicsNanoVG::LoadGL(GLProcLoader loader, std::string& error) {
  if (LoadOpenGL(loader)) return true;
  error = "the OpenGL context lacks OpenGL 2.1 or framebuffer objects";
  return false;
}

bool IGraphicsNanoVG::ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba) {
  rgba.clear();
  if (width <= 0 || height <= 0) return false;
  // Errors of earlier calls are not the read's.
  for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
  }
  const size_t row = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottomUp(row * static_cast<size_t>(height));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  if (glGetError() != GL_NO_ERROR) return false;
  // GL's rows run from the bottom.
  rgba.resize(bottomUp.size());
  for (int y = 0; y < height; ++y)
    std::memcpy(&rgba[static_cast<size_t>(y) * row], &bottomUp[static_cast<size_t>(height - 1 - y) * row], row);
  return true;
}

// ---- The module's resources and fonts.

int IGraphicsNanoVG::LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char*,
                                    void* pHandle, const char*) {
  return LocateModuleResource(name, type, result, pHandle ? pHandle : mModule);
}

std::unique_ptr<PlatformFont> IGraphicsNanoVG::LoadPlatformFont(const char*, const char*, int) { return nullptr; }

std::unique_ptr<PlatformFont> IGraphicsNanoVG::LoadPlatformFont(const char*, const void* data, int dataSize) {
  if (!data || dataSize <= 0) return nullptr;
  return MemoryFont::Copy(data, dataSize);
}

std::unique_ptr<PlatformFont> IGraphicsNanoVG::LoadPlatformFont(const char*, const char* fileNameOrResID) {
  return MemoryFont::FromModule(fileNameOrResID, mModule);
}

void IGraphicsNanoVG::CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) {
  mPlatformFonts.Add(fontID, std::move(font));
}

bool IGraphicsNanoVG::LoadAPIFont(const char* fontID, const PlatformFont& font) {
  if (!mVG || !fontID || !*fontID) return false;
  FontDataCache& cache = FontDataCache::Instance();
  std::lock_guard lock(cache.Mutex());
  // The stash reads the bytes in place and does not free them: the cache keeps them alive.
  if (FontDataCache::Font* cached = cache.Find(fontID)) {
    return nvgCreateFontMemAtIndex(mVG, fontID, cached->mData.data(), static_cast<int>(cached->mData.size()), 0,
                                   cached->mFaceIdx) >= 0;
  }
  const FontDataView data = font.GetFontData();
  if (!data.IsValid()) return false;
  FontDataCache::Font* added = cache.Add(fontID, data.mData, data.mSize, data.mFaceIdx);
  // NanoVG refuses fonts whose tables it cannot find.
  if (nvgCreateFontMemAtIndex(mVG, fontID, added->mData.data(), static_cast<int>(added->mData.size()), 0,
                              added->mFaceIdx) < 0) {
    cache.Remove(added);
    return false;
  }
  return true;
}

// ---- Bitmaps.

bool IGraphicsNanoVG::BitmapExtSupported(const char* ext) {
  char lower[32] = {};
  if (ext) {
    for (size_t i = 0; i + 1 < sizeof(lower) && ext[i]; ++i)
      lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(ext[i])));
  }
  return std::strstr(lower, "png") || std::strstr(lower, "jpg") || std::strstr(lower, "jpeg");
}

APIBitmap* IGraphicsNanoVG::RetainBitmap(std::unique_ptr<APIBitmap> bitmap, const char* cacheName) {
  if (!bitmap) return nullptr;
  std::lock_guard lock(mBitmapCache.Mutex());
  // One bitmap per (name, scale): a second copy is dropped in favour of the cached one.
  const double scale = bitmap->GetScale();
  if (APIBitmap* existing = mBitmapCache.Find(cacheName, scale)) return existing;
  return mBitmapCache.Add(std::move(bitmap), cacheName, scale);
}

IBitmapRef IGraphicsNanoVG::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) {
  if (!name || !*name) return IBitmapRef();
  if (targetScale == 0) targetScale = static_cast<int>(std::ceil(GetScreenScale()));
  std::lock_guard lock(mBitmapCache.Mutex());
  APIBitmap* bitmap = mBitmapCache.Find(name, targetScale);
  if (!bitmap) {
    const char* dot = std::strrchr(name, '.');
    const std::string ext = dot ? dot + 1 : "";
    iplug::TextBuffer path;
    int sourceScale = 0;
    const int location = SearchImageResource(name, ext.c_str(), path, targetScale, sourceScale);
    if (location == kNotFound || !BitmapExtSupported(ext.c_str())) return IBitmapRef();
    if (sourceScale != targetScale) bitmap = mBitmapCache.Find(name, sourceScale);
    // The bitmap keeps the scale it was made for; drawing maps it to logical units.
    if (!bitmap) bitmap = mBitmapCache.Add(LoadAPIBitmap(path.Get(), sourceScale, location, ext.c_str()), name,
                                           sourceScale);
    if (!bitmap) return IBitmapRef();
  }
  const float scale = bitmap->GetScale();
  return IBitmapRef(bitmap, static_cast<int>(static_cast<float>(bitmap->GetWidth()) / scale),
                    static_cast<int>(static_cast<float>(bitmap->GetHeight()) / scale), nStates, framesAreHorizontal,
                    name);
}

std::unique_ptr<APIBitmap> IGraphicsNanoVG::LoadAPIBitmap(const char* name, const void* data, int dataSize,
                                                          int scale) {
  std::lock_guard lock(mBitmapCache.Mutex());
  // Already loaded: a handle on the same image, which RetainBitmap resolves to the cached one.
  if (APIBitmap* cached = mBitmapCache.Find(name, scale))
    return std::make_unique<Bitmap>(mVG, name, static_cast<float>(scale), cached->GetImage(), true);
  int image = 0;
  if (mVG && data && dataSize > 0) {
    ActivateGLContext();
    image = nvgCreateImageMem(mVG, 0, static_cast<const unsigned char*>(data), dataSize);
    DeactivateGLContext();
  }
  return std::make_unique<Bitmap>(mVG, name, static_cast<float>(scale), image, false);
}

std::unique_ptr<APIBitmap> IGraphicsNanoVG::LoadAPIBitmap(const char* fileNameOrResID, int scale, int location,
                                                          const char* ext) {
  int image = 0;
  if (mVG && location == kWinBinary) {
    int size = 0;
    const void* data = LoadWinResource(fileNameOrResID, ext, size, GetWinModuleHandle());
    if (data) {
      ActivateGLContext();
      image = nvgCreateImageMem(mVG, 0, static_cast<const unsigned char*>(data), size);
      DeactivateGLContext();
    }
  } else if (mVG && location == kAbsolutePath) {
    ActivateGLContext();
    image = nvgCreateImage(mVG, fileNameOrResID, 0);
    DeactivateGLContext();
  }
  return std::make_unique<Bitmap>(mVG, fileNameOrResID, static_cast<float>(scale), image,
                                  location == kPreloadedTexture);
}

std::unique_ptr<APIBitmap> IGraphicsNanoVG::CreateAPIBitmap(int width, int height, float scale, double drawScale) {
  if (!mVG || width <= 0 || height <= 0) return nullptr;
  if (mInDraw) nvgEndFrame(mVG);
  return std::make_unique<Bitmap>(this, mVG, width, height, scale, static_cast<float>(drawScale));
}

ISVG IGraphicsNanoVG::LoadSVG(const char*, const void*, int, const char*, float) { return ISVG{}; }

// ---- Layers.

void IGraphicsNanoVG::UpdateLayer() {
  if (!mVG) return;
  nvgEndFrame(mVG);
  if (const ILayer* layer = GetActiveLayer()) {
    const auto* bitmap = static_cast<const Bitmap*>(layer->GetAPIBitmap());
    glViewport(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
    nvgluBindFramebuffer(bitmap->GetFBO());
    nvgBeginFrame(mVG, layer->Bounds().W() * GetDrawScale(), layer->Bounds().H() * GetDrawScale(),
                  GetScreenScale());
  } else if (mInDraw) {
    glViewport(0, 0, WindowPixelWidth(), WindowPixelHeight());
    BeginMainFrame();
  } else {
    glBindFramebuffer(GL_FRAMEBUFFER, mWindowFBO);
  }
}

void IGraphicsNanoVG::GetLayerBitmapData(const ILayer& layer, std::vector<uint8_t>& data) {
  const auto* bitmap = static_cast<const Bitmap*>(layer.GetAPIBitmap());
  if (!mVG || !bitmap || !bitmap->GetFBO()) {
    data.clear();
    return;
  }
  const int w = bitmap->GetWidth();
  const int h = bitmap->GetHeight();
  data.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  nvgluBindFramebuffer(bitmap->GetFBO());
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, data.data());
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void IGraphicsNanoVG::ApplyShadowMask(ILayer&, std::vector<uint8_t>&, float, float, float, const IPattern&) {
  // Layer shadows are not used by this product's controls.
}

}  // namespace igraphics
