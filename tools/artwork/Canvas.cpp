#include "Canvas.h"

#include <stdexcept>

namespace artwork {

Canvas::Canvas(int widthPx, int heightPx)
  : mWidthPx(widthPx)
  , mHeightPx(heightPx)
  , mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, widthPx, heightPx))
  , mCr(cairo_create(mSurface))
{
  if (cairo_surface_status(mSurface) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot create a " + std::to_string(widthPx) + "x" + std::to_string(heightPx) + " image");
  cairo_scale(mCr, kPixelsPerUnit, kPixelsPerUnit);
  cairo_set_antialias(mCr, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas()
{
  cairo_destroy(mCr);
  cairo_surface_destroy(mSurface);
}

uint32_t* Canvas::BeginPixels()
{
  cairo_surface_flush(mSurface);
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(mSurface));
}

void Canvas::EndPixels()
{
  cairo_surface_mark_dirty(mSurface);
}

int Canvas::StridePixels() const
{
  return cairo_image_surface_get_stride(mSurface) / 4;
}

void Canvas::Blit(const Canvas& source, int xPx, int yPx, double alpha)
{
  cairo_save(mCr);
  cairo_identity_matrix(mCr);
  cairo_set_source_surface(mCr, source.Surface(), xPx, yPx);
  cairo_paint_with_alpha(mCr, alpha);
  cairo_restore(mCr);
}

void Canvas::WritePng(const std::string& path) const
{
  cairo_surface_flush(mSurface);
  const cairo_status_t status = cairo_surface_write_to_png(mSurface, path.c_str());
  if (status != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(status));
}

}  // namespace artwork
