#pragma once
#include <cairo.h>
#include <cstdint>
#include <string>

namespace artwork {

// Every image is stored at double resolution: one logical unit of the editor is two pixels.
constexpr int kPixelsPerUnit = 2;

// An ARGB image with a cairo context whose user space is in the editor's logical units.
class Canvas {
public:
  Canvas(int widthPx, int heightPx);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* Cr() const { return mCr; }
  cairo_surface_t* Surface() const { return mSurface; }
  int WidthPx() const { return mWidthPx; }
  int HeightPx() const { return mHeightPx; }
  double Width() const { return double(mWidthPx) / kPixelsPerUnit; }
  double Height() const { return double(mHeightPx) / kPixelsPerUnit; }

  // Direct pixel access for the procedural passes (premultiplied ARGB, native endian).
  // BeginPixels flushes cairo's pending drawing; EndPixels tells cairo the pixels changed.
  uint32_t* BeginPixels();
  void EndPixels();
  int StridePixels() const;

  // Copies another canvas's pixels with its top-left corner at a pixel position.
  void Blit(const Canvas& source, int xPx, int yPx, double alpha = 1.0);

  // Throws std::runtime_error when the file cannot be written.
  void WritePng(const std::string& path) const;

private:
  int mWidthPx;
  int mHeightPx;
  cairo_surface_t* mSurface;
  cairo_t* mCr;
};

}  // namespace artwork
