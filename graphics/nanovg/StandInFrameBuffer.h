#pragma once

namespace igraphics {

// A framebuffer object that stands in for a window's own framebuffer where the editor cannot
// draw into the window directly (off-screen, or a window the system cannot show OpenGL in):
// colour, and depth with stencil for NanoVG's fills, of the window's pixel size, cleared to
// transparent when made.
//
// Threads: the editor's UI thread, with the GL context current for Create and Delete. Its GL
// objects belong to that context: they go with it, or earlier through Delete.
class StandInFrameBuffer {
public:
  StandInFrameBuffer() = default;
  StandInFrameBuffer(const StandInFrameBuffer&) = delete;
  StandInFrameBuffer& operator=(const StandInFrameBuffer&) = delete;

  // Replaces the framebuffer with one of width x height pixels and leaves it bound: it is the
  // window, the framebuffer drawn into when nothing else is bound. False (and none, and the
  // default framebuffer bound) for an empty size or when the driver refuses it.
  bool Create(int width, int height);
  void Delete();

  // The framebuffer object's name (0 for none) and its size (0 x 0 for none).
  unsigned int Id() const { return mFBO; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

private:
  unsigned int mFBO = 0;
  unsigned int mColor = 0;
  unsigned int mDepthStencil = 0;
  int mWidth = 0;
  int mHeight = 0;
};

}  // namespace igraphics
