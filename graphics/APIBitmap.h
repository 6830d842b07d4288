#pragma once

namespace igraphics {

// A bitmap as the drawing back end holds it. Owned by a bitmap cache, never by controls.
class APIBitmap {
public:
  APIBitmap() = default;
  APIBitmap(int image, int width, int height, float scale, float drawScale)
      : mImage(image), mWidth(width), mHeight(height), mScale(scale), mDrawScale(drawScale) {}
  virtual ~APIBitmap() = default;
  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  int GetImage() const { return mImage; }
  int GetWidth() const { return mWidth; }    // pixels
  int GetHeight() const { return mHeight; }  // pixels
  float GetScale() const { return mScale; }  // pixels per logical unit the image was made for
  float GetDrawScale() const { return mDrawScale; }

protected:
  int mImage = 0;  // the back end's image handle
  int mWidth = 0;
  int mHeight = 0;
  float mScale = 1.f;
  float mDrawScale = 1.f;
};

}  // namespace igraphics
