#include "ArtworkImage.h"

#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace artworktest {

std::string ResourcesDir()
{
  const char* binaryDir = std::getenv("TOLLENBROOK_BINARY_DIR");
  return std::string(binaryDir ? binaryDir : ".") + "/resources";
}

ArtworkImage ArtworkImage::Load(const std::string& fileName)
{
  ArtworkImage image;
  const std::string path = ResourcesDir() + "/" + fileName;
  int channels = 0;
  stbi_uc* data = stbi_load(path.c_str(), &image.mWidth, &image.mHeight, &channels, 4);
  if (!data) {
    image.mWidth = image.mHeight = 0;
    image.mError = path + ": " + (stbi_failure_reason() ? stbi_failure_reason() : "cannot load");
    return image;
  }
  image.mPixels.assign(data, data + size_t(image.mWidth) * size_t(image.mHeight) * 4);
  stbi_image_free(data);
  return image;
}

Rgba ArtworkImage::At(int x, int y) const
{
  const uint8_t* p = &mPixels[(size_t(y) * size_t(mWidth) + size_t(x)) * 4];
  return {p[0], p[1], p[2], p[3]};
}

}  // namespace artworktest
