#include "graphics/ICornerResizerControl.h"

#include "graphics/IGraphics.h"

namespace igraphics {

ICornerResizerControl::ICornerResizerControl(const IBounds& graphicsBounds, float size, const IColor& color,
                                             const IColor& mouseOverColor, const IColor& dragColor)
    : IControl(IBounds(graphicsBounds.R - size, graphicsBounds.B - size, graphicsBounds.R, graphicsBounds.B)),
      mSize(size), mInitialGraphicsBounds(graphicsBounds), mColor(color), mMouseOverColor(mouseOverColor),
      mDragColor(dragColor) {}

void ICornerResizerControl::OnRescale() {
  if (!mGraphics) return;
  const float w = static_cast<float>(mGraphics->Width());
  const float h = static_cast<float>(mGraphics->Height());
  const float edge = mSize / mGraphics->GetDrawScale();  // the same size on screen at every zoom
  mRECT = mTargetRECT = IBounds(w - edge, h - edge, w, h);
  mMouseIsOver = false;
  OnResize();
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseMod&) {
  if (mGraphics) mGraphics->StartResizeGesture();
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&) {
  if (mGraphics)
    mGraphics->Resize(static_cast<int>(mInitialGraphicsBounds.W()), static_cast<int>(mInitialGraphicsBounds.H()),
                      1.f, true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMod& mod) {
  if (!mMouseOver && mGraphics) {
    mPrevCursorType = mGraphics->SetMouseCursor(kSizeNWSE);
    mMouseOver = true;
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut() {
  if (mMouseOver && mGraphics) {
    mGraphics->SetMouseCursor(mPrevCursorType);
    mMouseOver = false;
  }
  IControl::OnMouseOut();
}

void ICornerResizerControl::Draw(IGraphics& g) {
  const IColor& color = g.IsResizing() ? mDragColor : (mMouseOver ? mMouseOverColor : mColor);
  g.FillTriangle(color, mRECT.L, mRECT.B, mRECT.R, mRECT.T, mRECT.R, mRECT.B);
}

}  // namespace igraphics
