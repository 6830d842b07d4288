#include "graphics/nanovg/StandInFrameBuffer.h"

#include "graphics/nanovg/NanoVGGL.h"

namespace igraphics {

bool StandInFrameBuffer::Create(int width, int height) {
  Delete();
  if (width <= 0 || height <= 0) return false;
  glGenFramebuffers(1, &mFBO);
  glBindFramebuffer(GL_FRAMEBUFFER, mFBO);
  glGenRenderbuffers(1, &mColor);
  glBindRenderbuffer(GL_RENDERBUFFER, mColor);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mColor);
  glGenRenderbuffers(1, &mDepthStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, mDepthStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mDepthStencil);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, mDepthStencil);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  if (complete) {
    // A new renderbuffer's content is undefined: the first frame starts on clear pixels.
    glViewport(0, 0, width, height);
    glClearColor(0.f, 0.f, 0.f, 0.f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    mWidth = width;
    mHeight = height;
  }
  if (!complete) Delete();  // and no framebuffer object is bound
  return complete;
}

void StandInFrameBuffer::Delete() {
  if (mFBO) glDeleteFramebuffers(1, &mFBO);
  if (mColor) glDeleteRenderbuffers(1, &mColor);
  if (mDepthStencil) glDeleteRenderbuffers(1, &mDepthStencil);
  mFBO = mColor = mDepthStencil = 0;
  mWidth = mHeight = 0;
}

}  // namespace igraphics
