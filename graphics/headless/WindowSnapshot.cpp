#include "graphics/headless/WindowSnapshot.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC  // private to this file; nothing else in the module writes images
#include <stb_image_write.h>

#include <algorithm>

#include "graphics/headless/IGraphicsHeadless.h"

namespace igraphics {

bool WritePixelsPNG(const char* path, const std::vector<uint8_t>& rgba, int width, int height) {
  if (!path || width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4) return false;
  std::vector<uint8_t> straight(rgba);
  for (size_t i = 0; i < straight.size(); i += 4) {
    const int a = straight[i + 3];
    if (a == 0 || a == 255) continue;
    for (size_t c = 0; c < 3; ++c) straight[i + c] = static_cast<uint8_t>(std::min(255, (straight[i + c] * 255 + a / 2) / a));
  }
  return stbi_write_png(path, width, height, 4, straight.data(), width * 4) != 0;
}

bool WriteWindowPNG(IGraphicsHeadless& graphics, const char* path) {
  std::vector<uint8_t> rgba;
  int w = 0, h = 0;
  if (!graphics.ReadWindowPixels(rgba, w, h)) return false;
  return WritePixelsPNG(path, rgba, w, h);
}

}  // namespace igraphics
