#include "graphics/IPanelControl.h"

#include "graphics/IGraphics.h"

namespace igraphics {

void IPanelControl::Draw(IGraphics& g) {
  g.PathRect(mRECT);
  g.PathFill(mPattern, IFillOptions(), &mBlend);
}

}  // namespace igraphics
