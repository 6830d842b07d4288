#include "graphics/nanovg/IGraphicsNanoVG.h"
#include "graphics/nanovg/NanoVGGL.h"

namespace igraphics {

IGraphicsNanoVG::Bitmap::Bitmap(NVGcontext* vg, int width, int height, const void* pixels, float scale,
                                float drawScale)
    : mVG(vg) {
  mImage = vg ? nvgCreateImageRGBA(vg, width, height, 0, static_cast<const unsigned char*>(pixels)) : 0;
  mWidth = mImage ? width : 0;
  mHeight = mImage ? height : 0;
  mScale = scale;
  mDrawScale = drawScale;
}

IGraphicsNanoVG::Bitmap::Bitmap(NVGcontext* vg, const char*, float scale, int image, bool shared)
    : mVG(vg), mSharedTexture(shared) {
  int w = 0, h = 0;
  if (vg && image > 0) nvgImageSize(vg, image, &w, &h);
  mImage = image;
  mWidth = w;
  mHeight = h;
  mScale = scale;
  mDrawScale = 1.f;
}

IGraphicsNanoVG::Bitmap::Bitmap(IGraphicsNanoVG* graphics, NVGcontext* vg, int width, int height, float scale,
                                float drawScale)
    : mGraphics(graphics), mVG(vg) {
  mScale = scale;
  mDrawScale = drawScale;
  mFBO = vg ? nvgluCreateFramebuffer(vg, width, height, 0) : nullptr;
  if (!mFBO) return;
  mImage = mFBO->image;
  mWidth = width;
  mHeight = height;
  nvgluBindFramebuffer(mFBO);
  glViewport(0, 0, width, height);
  glClearColor(0.f, 0.f, 0.f, 0.f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  nvgBeginFrame(vg, static_cast<float>(width), static_cast<float>(height), 1.f);
  nvgEndFrame(vg);
}

IGraphicsNanoVG::Bitmap::~Bitmap() {
  if (mSharedTexture) return;
  if (mFBO) {
    if (mGraphics) mGraphics->DeleteFBO(mFBO);
    return;
  }
  if (mVG && mImage > 0) nvgDeleteImage(mVG, mImage);
}

}  // namespace igraphics
