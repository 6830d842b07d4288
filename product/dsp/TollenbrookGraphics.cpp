#include "product/TollenbrookGraphics.h"

// The graphics factory of a binary that only processes audio (the LV2 bundle's DSP object):
// its plug-in objects never open an editor, which lives in the user interface's binary, so
// there is no window, no drawing back end and no image to make. The editor's layout and its
// geometry in the state stay, as every plug-in object has them.

igraphics::IGraphics* MakeTollenbrookGraphics(igraphics::IGEditorDelegate& /*delegate*/, int /*width*/,
                                              int /*height*/, int /*fps*/, float /*scale*/) {
  return nullptr;
}

igraphics::IGraphics* MakeTollenbrookOffscreenGraphics(igraphics::IGEditorDelegate& /*delegate*/, int /*width*/,
                                                       int /*height*/, int /*fps*/, float /*scale*/) {
  return nullptr;
}
