// Drawing operations of the graphics context that are built on the back end's path,
// bitmap and text primitives, and the drawing transform.
#include <algorithm>
#include <cmath>

#include "graphics/IGraphics.h"

namespace igraphics {

namespace {
IStrokeOptions Dashed(float dashLen) {
  IStrokeOptions options;
  options.mDashes[0] = dashLen;
  options.mDashes[1] = dashLen;
  options.mNDashes = 2;
  return options;
}
}  // namespace

// ---- Images.

void IGraphics::DrawSVG(const ISVG&, const IBounds&, const IBlend*) {}

void IGraphics::DrawRotatedSVG(const ISVG&, float, float, float, float, double, const IBlend*) {}

void IGraphics::DrawBitmap(const IBitmapRef& bitmap, const IBounds& bounds, int frame, const IBlend* blend) {
  const int n = bitmap.N();
  frame = std::clamp(frame, 1, n);
  int srcX = 0;
  int srcY = 0;
  if (frame >= 2) {
    if (bitmap.GetFramesAreHorizontal()) {
      srcX = (frame - 1) * bitmap.W() / n;
    } else {
      srcY = (frame - 1) * bitmap.H() / n;
    }
  }
  DrawBitmap(bitmap, bounds, srcX, srcY, blend);
}

void IGraphics::DrawFittedBitmap(const IBitmapRef& bitmap, const IBounds& bounds, const IBlend* blend) {
  if (!bitmap.IsValid() || bitmap.W() <= 0 || bitmap.H() <= 0) return;
  PathTransformSave();
  PathTransformTranslate(bounds.L, bounds.T);
  PathTransformScale(bounds.W() / static_cast<float>(bitmap.W()), bounds.H() / static_cast<float>(bitmap.H()));
  DrawBitmap(bitmap, IBounds(0.f, 0.f, static_cast<float>(bitmap.W()), static_cast<float>(bitmap.H())), 0, 0, blend);
  PathTransformRestore();
}

void IGraphics::DrawRotatedBitmap(const IBitmapRef& bitmap, float destCtrX, float destCtrY, double angle,
                                  const IBlend* blend) {
  const float w = static_cast<float>(bitmap.W());
  const float h = static_cast<float>(bitmap.H());
  PathTransformSave();
  PathTransformTranslate(destCtrX, destCtrY);
  PathTransformRotate(static_cast<float>(angle));
  DrawBitmap(bitmap, IBounds(-w / 2.f, -h / 2.f, w / 2.f, h / 2.f), 0, 0, blend);
  PathTransformRestore();
}

// ---- Stroked shapes.

void IGraphics::DrawPoint(const IColor& color, float x, float y, const IBlend* blend) {
  FillRect(color, IBounds(x, y, x + 1.f, y + 1.f), blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                         float thickness) {
  PathLine(x1, y1, x2, y2);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                               float thickness, float dashLen) {
  PathLine(x1, y1, x2, y2);
  PathStroke(color, thickness, Dashed(dashLen), blend);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlend* blend, float thickness) {
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRect(const IColor& color, const IBounds& bounds, const IBlend* blend, float thickness) {
  PathRect(bounds);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IBounds& bounds, float cRTL, float cRTR, float cRBR,
                              float cRBL, const IBlend* blend, float thickness) {
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius, const IBlend* blend,
                              float thickness) {
  DrawRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend, thickness);
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend,
                        float thickness) {
  PathClear();
  PathArc(cx, cy, r, a1, a2);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend, float thickness) {
  PathCircle(cx, cy, r);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlend* blend, float thickness) {
  PathEllipse(x, y, r1, r2, angle);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawEllipse(const IColor& color, const IBounds& bounds, const IBlend* blend, float thickness) {
  DrawEllipse(color, bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f, blend, thickness);
}

void IGraphics::DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlend* blend, float thickness) {
  PathConvexPolygon(x, y, nPoints);
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawDottedRect(const IColor& color, const IBounds& bounds, const IBlend* blend, float thickness,
                               float dashLen) {
  PathRect(bounds);
  PathStroke(color, thickness, Dashed(dashLen), blend);
}

// ---- Filled shapes.

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlend* blend) {
  PathTriangle(x1, y1, x2, y2, x3, y3);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRect(const IColor& color, const IBounds& bounds, const IBlend* blend) {
  PathRect(bounds);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IBounds& bounds, float cRTL, float cRTR, float cRBR,
                              float cRBL, const IBlend* blend) {
  PathRoundRect(bounds, cRTL, cRTR, cRBR, cRBL);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius, const IBlend* blend) {
  FillRoundRect(color, bounds, cornerRadius, cornerRadius, cornerRadius, cornerRadius, blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend) {
  PathCircle(cx, cy, r);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                            const IBlend* blend) {
  PathEllipse(x, y, r1, r2, angle);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillEllipse(const IColor& color, const IBounds& bounds, const IBlend* blend) {
  FillEllipse(color, bounds.MW(), bounds.MH(), bounds.W() / 2.f, bounds.H() / 2.f, 0.f, blend);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlend* blend) {
  PathClear();
  PathMoveTo(cx, cy);
  PathArc(cx, cy, r, a1, a2);
  PathClose();
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                  const IBlend* blend) {
  PathConvexPolygon(x, y, nPoints);
  PathFill(color, IFillOptions(), blend);
}

void IGraphics::DrawGrid(const IColor& color, const IBounds& bounds, float gridSizeH, float gridSizeV,
                         const IBlend* blend, float thickness) {
  PathClear();
  if (gridSizeH > 1.f) {
    for (float x = bounds.L + gridSizeH; x < bounds.R; x += gridSizeH) {
      PathMoveTo(x, bounds.T);
      PathLineTo(x, bounds.B);
    }
  }
  if (gridSizeV > 1.f) {
    for (float y = bounds.T + gridSizeV; y < bounds.B; y += gridSizeV) {
      PathMoveTo(bounds.L, y);
      PathLineTo(bounds.R, y);
    }
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

void IGraphics::DrawData(const IColor& color, const IBounds& bounds, const float* normYPoints, int nPoints,
                         const float* normXPoints, const IBlend* blend, float thickness) {
  if (!normYPoints || nPoints < 2) return;
  PathClear();
  for (int i = 0; i < nPoints; ++i) {
    const float nx = normXPoints ? normXPoints[i] : static_cast<float>(i) / static_cast<float>(nPoints - 1);
    const float x = bounds.L + nx * bounds.W();
    const float y = bounds.B - normYPoints[i] * bounds.H();
    if (i == 0) {
      PathMoveTo(x, y);
    } else {
      PathLineTo(x, y);
    }
  }
  PathStroke(color, thickness, IStrokeOptions(), blend);
}

// ---- Text.

float IGraphics::MeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const {
  if (!str || !str[0]) return 0.f;
  return DoMeasureText(text, str, bounds);
}

void IGraphics::DrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlend* blend) {
  if (!str || !str[0]) return;
  DoDrawText(text, str, bounds, blend);
}

// ---- Path shapes.

void IGraphics::PathLine(float x1, float y1, float x2, float y2) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
}

void IGraphics::PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
}

void IGraphics::PathRect(const IBounds& bounds) {
  PathClear();
  PathMoveTo(bounds.L, bounds.T);
  PathLineTo(bounds.R, bounds.T);
  PathLineTo(bounds.R, bounds.B);
  PathLineTo(bounds.L, bounds.B);
  PathClose();
}

void IGraphics::PathRoundRect(const IBounds& bounds, float cRTL, float cRTR, float cRBR, float cRBL) {
  if (cRTL <= 0.f && cRTR <= 0.f && cRBR <= 0.f && cRBL <= 0.f) {
    PathRect(bounds);
    return;
  }
  const IBounds& r = bounds;
  PathClear();
  PathMoveTo(r.L, r.T + cRTL);
  PathArc(r.L + cRTL, r.T + cRTL, cRTL, 270.f, 360.f);
  PathArc(r.R - cRTR, r.T + cRTR, cRTR, 0.f, 90.f);
  PathArc(r.R - cRBR, r.B - cRBR, cRBR, 90.f, 180.f);
  PathArc(r.L + cRBL, r.B - cRBL, cRBL, 180.f, 270.f);
  PathClose();
}

void IGraphics::PathCircle(float cx, float cy, float r) {
  PathClear();
  PathArc(cx, cy, r, 0.f, 360.f);
  PathClose();
}

void IGraphics::PathEllipse(float x, float y, float r1, float r2, float angle) {
  // A unit circle under a transform; the back end applies the transform to the points.
  PathTransformSave();
  PathTransformTranslate(x, y);
  PathTransformRotate(angle);
  PathTransformScale(r1, r2);
  PathCircle(0.f, 0.f, 1.f);
  PathTransformRestore();
}

void IGraphics::PathConvexPolygon(const float* x, const float* y, int nPoints) {
  PathClear();
  if (!x || !y || nPoints < 1) return;
  PathMoveTo(x[0], y[0]);
  for (int i = 1; i < nPoints; ++i) PathLineTo(x[i], y[i]);
  PathClose();
}

// ---- Transform.

void IGraphics::PathTransformSave() { mTransformStack.push_back(mTransform); }

void IGraphics::PathTransformRestore() {
  if (mTransformStack.empty()) return;
  mTransform = mTransformStack.back();
  mTransformStack.pop_back();
  PathTransformApply(mTransform);
}

void IGraphics::PathTransformReset() {
  mTransform = ITransform();
  PathTransformApply(mTransform);
}

void IGraphics::PathTransformTranslate(float x, float y) {
  mTransform.Translate(x, y);
  PathTransformApply(mTransform);
}

void IGraphics::PathTransformScale(float x, float y) {
  mTransform.Scale(x, y);
  PathTransformApply(mTransform);
}

void IGraphics::PathTransformRotate(float degrees) {
  mTransform.Rotate(degrees);
  PathTransformApply(mTransform);
}

void IGraphics::PathTransformMatrix(const ITransform& matrix) {
  mTransform.Transform(matrix);
  PathTransformApply(mTransform);
}

// ---- Layers.

void IGraphics::PushLayer(std::unique_ptr<ILayer> layer) {
  if (!layer) return;
  const IBounds bounds = layer->Bounds();
  mLayers.push_back(std::move(layer));
  UpdateLayer();
  PathTransformReset();
  PathClipRegion(bounds);
  PathClear();
}

std::unique_ptr<ILayer> IGraphics::PopLayer() {
  if (mLayers.empty()) return nullptr;
  std::unique_ptr<ILayer> layer = std::move(mLayers.back());
  mLayers.pop_back();
  UpdateLayer();
  PathTransformReset();
  PathClipRegion(mLayers.empty() ? mClipBounds : mLayers.back()->Bounds());
  PathClear();
  return layer;
}

void IGraphics::StartLayer(IControl* control, const IBounds& r) {
  const float scale = GetTotalScale();
  const IBounds aligned = r.GetPixelAligned(scale);
  const int w = static_cast<int>(std::ceil(aligned.W() * scale));
  const int h = static_cast<int>(std::ceil(aligned.H() * scale));
  auto bitmap = CreateAPIBitmap(w, h, mScreenScale, mDrawScale);
  if (!bitmap) return;
  PushLayer(std::make_unique<ILayer>(std::move(bitmap), aligned, control,
                                     control ? control->GetRECT() : IBounds()));
}

std::unique_ptr<ILayer> IGraphics::EndLayer() { return PopLayer(); }

void IGraphics::DrawLayer(const std::unique_ptr<ILayer>& layer, const IBlend* blend) {
  if (!layer || !layer->GetAPIBitmap()) return;
  const IBounds& r = layer->Bounds();
  const IBitmapRef bitmap(layer->GetAPIBitmap(), static_cast<int>(r.W()), static_cast<int>(r.H()), 1, false, "");
  DrawBitmap(bitmap, r, 0, 0, blend);
}

}  // namespace igraphics
