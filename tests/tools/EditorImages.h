#pragma once
#include <string>
#include <vector>

namespace artworktest {

// The images the editor loads: stored at double resolution, frames stacked vertically.
struct ExpectedImage {
  std::string name;
  int widthPx;
  int heightPx;
  int frames;
  std::string File() const { return name + "@2x.png"; }
};

inline const std::vector<ExpectedImage>& EditorImages()
{
  static const std::vector<ExpectedImage> images = {
    {"BG", 756, 1183, 1},    {"BYPASS", 86, 128, 2},  {"EXT", 86, 128, 2},     {"OVER", 192, 32, 2},
    {"CTHR", 162, 3200, 16}, {"LTHR", 162, 4600, 23}, {"GAIN", 162, 4200, 21}, {"RAT", 162, 1000, 5},
    {"REC", 162, 1200, 6},   {"MIX", 122, 3450, 23},  {"SIDE", 122, 750, 5},   {"METER", 310, 14544, 101},
  };
  return images;
}

inline const ExpectedImage& EditorImage(const std::string& name)
{
  for (const ExpectedImage& image : EditorImages())
    if (image.name == name)
      return image;
  static const ExpectedImage none{"", 0, 0, 1};
  return none;
}

// Where the layout puts each knob: top-left corner of the strip frame in logical units.
struct KnobPlacement {
  std::string strip;
  int x;
  int y;
};

inline const std::vector<KnobPlacement>& KnobPlacements()
{
  static const std::vector<KnobPlacement> knobs = {
    {"CTHR", 26, 308},  {"LTHR", 26, 187},  {"GAIN", 27, 417},  {"MIX", 289, 192},  {"RAT", 154, 417},
    {"SIDE", 289, 294}, {"SIDE", 289, 384}, {"SIDE", 289, 473}, {"REC", 154, 187}, {"REC", 154, 309},
  };
  return knobs;
}

// A knob turns over 300 degrees, clockwise from -150 (straight up is 0).
inline double KnobAngleDeg(int value, int count)
{
  return -150.0 + 300.0 * value / (count - 1);
}

}  // namespace artworktest
