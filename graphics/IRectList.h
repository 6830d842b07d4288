#pragma once
#include <vector>

#include "graphics/IBounds.h"

namespace igraphics {

// The areas to redraw in one frame.
class IRectList {
public:
  void Add(const IBounds& r) { mRects.push_back(r); }
  void Clear() { mRects.clear(); }
  int Size() const { return static_cast<int>(mRects.size()); }
  const IBounds& Get(int i) const { return mRects[static_cast<size_t>(i)]; }
  auto begin() const { return mRects.begin(); }
  auto end() const { return mRects.end(); }

  // The union of the non-empty rectangles.
  IBounds Bounds() const;
  void PixelAlign(float scale);

  // Rewrites the list as rectangles that do not overlap and cover exactly the same area,
  // so no pixel is painted twice in a frame: a rectangle inside another goes, partly covered
  // ones lose the covered part (the smaller one is cut), then neighbours sharing a full edge
  // are joined. Rectangles without area are dropped.
  void Optimize();

private:
  std::vector<IBounds> mRects;
};

}  // namespace igraphics
