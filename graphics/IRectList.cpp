#include "graphics/IRectList.h"

#include <deque>

namespace igraphics {

namespace {

bool HasArea(const IBounds& r) { return r.W() > 0.f && r.H() > 0.f; }

// The part of r outside o as up to four pieces: full-width bands above and below o,
// then the parts left and right of o within o's rows.
void AppendDifference(const IBounds& r, const IBounds& o, std::deque<IBounds>& out) {
  const float top = std::fmax(r.T, o.T);
  const float bottom = std::fmin(r.B, o.B);
  if (o.T > r.T) out.push_back(IBounds(r.L, r.T, r.R, o.T));
  if (o.B < r.B) out.push_back(IBounds(r.L, o.B, r.R, r.B));
  if (o.L > r.L) out.push_back(IBounds(r.L, top, o.L, bottom));
  if (o.R < r.R) out.push_back(IBounds(o.R, top, r.R, bottom));
}

bool CanJoin(const IBounds& a, const IBounds& b) {
  if (a.L == b.L && a.R == b.R) return a.T <= b.B && b.T <= a.B;
  if (a.T == b.T && a.B == b.B) return a.L <= b.R && b.L <= a.R;
  return false;
}

}  // namespace

IBounds IRectList::Bounds() const {
  IBounds u;
  for (const IBounds& r : mRects)
    if (!r.Empty()) u = u.Union(r);
  return u;
}

void IRectList::PixelAlign(float scale) {
  for (IBounds& r : mRects) r = r.GetPixelAligned(scale);
}

void IRectList::Optimize() {
  std::deque<IBounds> work;
  for (const IBounds& r : mRects)
    if (HasArea(r)) work.push_back(r);

  // Invariant: the rectangles in `done` never overlap each other.
  std::vector<IBounds> done;
  while (!work.empty()) {
    IBounds r = work.front();
    work.pop_front();
    bool keep = true;
    for (size_t j = 0; j < done.size();) {
      const IBounds o = done[j];
      if (!r.Overlaps(o)) {
        ++j;
      } else if (o.Contains(r)) {
        keep = false;
        break;
      } else if (r.Contains(o)) {
        done.erase(done.begin() + static_cast<std::ptrdiff_t>(j));
      } else if (r.Area() <= o.Area()) {
        AppendDifference(r, o, work);
        keep = false;
        break;
      } else {
        // The pieces of o keep o's place in the invariant: they overlap nothing in done
        // and are checked against r when they come round again.
        done.erase(done.begin() + static_cast<std::ptrdiff_t>(j));
        AppendDifference(o, r, work);
      }
    }
    if (keep) done.push_back(r);
  }

  // Join neighbours with a common full edge until nothing changes.
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < done.size() && !changed; ++i) {
      for (size_t k = i + 1; k < done.size(); ++k) {
        if (CanJoin(done[i], done[k])) {
          done[i] = done[i].Union(done[k]);
          done.erase(done.begin() + static_cast<std::ptrdiff_t>(k));
          changed = true;
          break;
        }
      }
    }
  }
  mRects = std::move(done);
}

}  // namespace igraphics
