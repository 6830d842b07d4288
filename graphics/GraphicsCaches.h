#pragma once
#include "graphics/APIBitmap.h"
#include "graphics/ISVG.h"
#include "graphics/SharedCache.h"

namespace igraphics {

// The process-wide caches shared by all graphics contexts. Lock order when both are taken:
// the bitmap cache first, then the SVG cache.
SharedCache<APIBitmap>& ProcessBitmapCache();
SharedCache<SVGData>& ProcessSVGCache();

}  // namespace igraphics
