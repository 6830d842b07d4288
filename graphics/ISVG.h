#pragma once

namespace igraphics {

// Parsed SVG data as a back end holds it; owned by the process-wide SVG cache.
class SVGData {
public:
  virtual ~SVGData() = default;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
};

// A value handle to a loaded SVG; never owns it.
struct ISVG {
  SVGData* mData = nullptr;
  bool IsValid() const { return mData != nullptr; }
  float W() const { return mData ? mData->Width() : 0.f; }
  float H() const { return mData ? mData->Height() : 0.f; }
};

}  // namespace igraphics
