#pragma once
#include "graphics/IControl.h"
#include "graphics/IPattern.h"

namespace igraphics {

// A rectangle filled with a colour or gradient; it ignores the pointer.
class IPanelControl : public IControl {
public:
  IPanelControl(const IBounds& bounds, const IPattern& pattern) : IControl(bounds), mPattern(pattern) {
    mIgnoreMouse = true;
  }
  void Draw(IGraphics& g) override;

private:
  IPattern mPattern;
};

}  // namespace igraphics
