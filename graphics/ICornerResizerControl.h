#pragma once
#include "graphics/IControl.h"

namespace igraphics {

// The triangle in the editor's bottom-right corner that the user drags to zoom (or resize)
// the editor; a double click returns to the size it had when attached, at draw scale 1.
// Its corner area keeps the same on-screen size at every zoom. UI thread only.
class ICornerResizerControl : public IControl {
public:
  ICornerResizerControl(const IBounds& graphicsBounds, float size, const IColor& color = kColorTranslucentBlack,
                        const IColor& mouseOverColor = kColorBlack, const IColor& dragColor = kColorBlack);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnRescale() override;
  void Draw(IGraphics& g) override;

  const IBounds& GetInitialGraphicsBounds() const { return mInitialGraphicsBounds; }

private:
  float mSize;
  bool mMouseOver = false;
  int mPrevCursorType = 0;
  IBounds mInitialGraphicsBounds;
  IColor mColor;
  IColor mMouseOverColor;
  IColor mDragColor;
};

}  // namespace igraphics
