#pragma once
#include <string>
#include <vector>

namespace artwork {

// One stored image: a strip of frames stacked vertically, at double resolution.
struct StripSpec {
  std::string name;  // as the layout names it, without extension: "CTHR"
  int widthPx;
  int heightPx;
  int frames;

  int FrameHeightPx() const { return heightPx / frames; }
  // Logical frame size: pixels / 2, truncated, as the editor computes it.
  int FrameWidth() const { return widthPx / 2; }
  int FrameHeight() const { return heightPx / 2 / frames; }
  std::string FileName() const { return name + "@2x.png"; }
};

enum class ControlKind { Knob, Switch, Meter };

// What a knob's scale prints: one text per value, of which the labelled subset is lettered
// and the major subset gets a long tick. Every value gets at least a short tick.
struct KnobScale {
  std::vector<std::string> texts;
  std::vector<int> labelled;
  std::vector<int> major;
};

struct ControlSpec {
  ControlKind kind;
  std::string strip;
  double x;  // top-left corner of the control in logical units
  double y;
  std::string title;
  int defaultValue;  // the parameter's default, as a value index
  KnobScale scale;   // knobs only
};

struct Point {
  double x;
  double y;
};

const std::vector<StripSpec>& Strips();
const StripSpec& FindStrip(const std::string& name);  // throws std::out_of_range
const std::vector<ControlSpec>& Controls();           // in the order the editor attaches them
const ControlSpec& FindControl(const std::string& title);

// The editor draws every strip frame with its top-left corner at the control's position.
Point ControlCentre(const ControlSpec& control);

// A knob turns over 300 degrees; angles are clockwise from straight up.
constexpr double kKnobSweepDeg = 300.0;
double KnobAngleDeg(int value, int valueCount);

// Radii of a knob and its printed scale, in logical units, for a strip's frame width.
struct KnobDimensions {
  double capRadius;     // the turning cap, knurled skirt included
  double tickInner;     // ticks start just outside the cap's shadow
  double tickOuter;
  double majorOuter;
  double labelRadius;   // nearest edge of the scale texts
  double titleGap;      // from the top of the scale texts to the title's baseline
};
KnobDimensions KnobDimensionsFor(const StripSpec& strip);

constexpr int kPanelWidth = 378;
constexpr int kPanelHeight = 591;

}  // namespace artwork
