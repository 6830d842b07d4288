#include "BrushedTexture.h"

#include "Shading.h"

#include <vector>

namespace artwork {

namespace {

// Grain along one row: white noise smeared horizontally, the way a brush leaves streaks
// much longer than they are wide.
std::vector<double> RowGrain(int row, int width)
{
  const int reach = 24;
  std::vector<double> noise(size_t(width + 2 * reach));
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = Hash01(uint32_t(i), uint32_t(row)) - 0.5;
  std::vector<double> grain(static_cast<size_t>(width));
  double sum = 0;
  for (int i = 0; i < 2 * reach; ++i)
    sum += noise[size_t(i)];
  for (int x = 0; x < width; ++x) {
    sum += noise[size_t(x + 2 * reach)];
    grain[size_t(x)] = sum / (2 * reach + 1);
    sum -= noise[size_t(x)];
  }
  return grain;
}

uint32_t Shift(uint32_t pixel, double delta)
{
  const uint32_t alpha = pixel >> 24;
  uint32_t out = pixel & 0xff000000u;
  for (int shift : {16, 8, 0}) {
    double c = double((pixel >> shift) & 0xff) + delta * (alpha / 255.0);
    c = c < 0 ? 0 : (c > alpha ? alpha : c);
    out |= uint32_t(c + 0.5) << shift;
  }
  return out;
}

}  // namespace

void ApplyBrushedGrain(Canvas& canvas, double strength)
{
  uint32_t* pixels = canvas.BeginPixels();
  const int stride = canvas.StridePixels();
  for (int y = 0; y < canvas.HeightPx(); ++y) {
    const std::vector<double> grain = RowGrain(y, canvas.WidthPx());
    const double rowTone = (Hash01(uint32_t(y), 7u) - 0.5) * 0.6;
    for (int x = 0; x < canvas.WidthPx(); ++x) {
      const double fine = Hash01(uint32_t(x), uint32_t(y) + 99991u) - 0.5;
      const double delta = strength * (grain[size_t(x)] * 9.0 + rowTone + fine * 0.8);
      pixels[y * stride + x] = Shift(pixels[y * stride + x], delta);
    }
  }
  canvas.EndPixels();
}

}  // namespace artwork
