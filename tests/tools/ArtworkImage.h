#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace artworktest {

struct Rgba {
  uint8_t r, g, b, a;
  double Luma() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }
};

// A decoded PNG from the build's resources folder, as the editor will see it (RGBA).
class ArtworkImage {
public:
  // Empty image (Width() == 0) with Error() set when the file is missing or undecodable.
  static ArtworkImage Load(const std::string& fileName);

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  const std::string& Error() const { return mError; }
  Rgba At(int x, int y) const;

private:
  int mWidth = 0;
  int mHeight = 0;
  std::vector<uint8_t> mPixels;
  std::string mError;
};

// One frame of a vertically stacked strip.
class Frame {
public:
  Frame(const ArtworkImage& strip, int frameCount, int index)
    : mStrip(strip), mHeight(strip.Height() / frameCount), mTop(index * mHeight)
  {
  }
  int Width() const { return mStrip.Width(); }
  int Height() const { return mHeight; }
  Rgba At(int x, int y) const { return mStrip.At(x, mTop + y); }

private:
  const ArtworkImage& mStrip;
  int mHeight;
  int mTop;
};

// $TOLLENBROOK_BINARY_DIR/resources, where the build draws the images.
std::string ResourcesDir();

}  // namespace artworktest
