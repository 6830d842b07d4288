#include "graphics/GraphicsCaches.h"

namespace igraphics {

SharedCache<APIBitmap>& ProcessBitmapCache() {
  static SharedCache<APIBitmap> cache;
  return cache;
}

SharedCache<SVGData>& ProcessSVGCache() {
  static SharedCache<SVGData> cache;
  return cache;
}

}  // namespace igraphics
