#include "PanelLayout.h"

#include <stdexcept>

namespace artwork {

namespace {

std::vector<std::string> Numbered(int first, int last, const char* unit)
{
  std::vector<std::string> texts;
  for (int i = first; i <= last; ++i)
    texts.push_back(std::to_string(i) + unit);
  return texts;
}

std::vector<std::string> LimitTexts()
{
  std::vector<std::string> texts;
  for (int half = 8; half <= 30; ++half)
    texts.push_back(std::to_string(half / 2) + (half % 2 ? ".5dB" : "dB"));
  return texts;
}

std::vector<int> AllOf(int count)
{
  std::vector<int> values;
  for (int i = 0; i < count; ++i)
    values.push_back(i);
  return values;
}

std::vector<ControlSpec> MakeControls()
{
  const std::vector<std::string> threshold = {"-20dB", "-18dB", "-16dB", "-14dB", "-12dB", "-11dB", "-10dB", "-8dB",
                                              "-4dB",  "-2dB",  "0dB",   "2dB",   "4dB",   "6dB",   "8dB",   "10dB"};
  const std::vector<std::string> mix = {"100/0", "95/5",  "90/10", "85/15", "80/20", "75/25", "70/30", "65/35",
                                        "60/40", "55/45", "53/47", "50/50", "47/53", "45/55", "40/60", "35/65",
                                        "30/70", "25/75", "20/80", "15/85", "10/90", "5/95",  "0/100"};
  const std::vector<std::string> shelf = {"-6dB", "-3dB", "0dB", "3dB", "6dB"};
  const std::vector<std::string> highPass = {"OFF", "50Hz", "80Hz", "160Hz", "360Hz"};
  const std::vector<std::string> ratio = {"1.5:1", "2:1", "3:1", "4:1", "6:1"};
  const std::vector<std::string> levelRecovery = {"50ms", "100ms", "200ms", "800ms", "Auto-1", "Auto-2"};
  const std::vector<std::string> compRecovery = {"100ms", "400ms", "800ms", "1500ms", "Auto-1", "Auto-2"};

  // Labelled subsets: both ends, the middle where it is a value of its own, and round
  // numbers far enough apart to stay readable at half size.
  return {
    {ControlKind::Switch, "BYPASS", 47, 529, "BYPASS", 1, {}},
    {ControlKind::Switch, "EXT", 299, 547, "EXTERNAL KEY", 0, {}},
    {ControlKind::Knob, "CTHR", 26, 308, "COMP THRESHOLD", 15,
     {threshold, {0, 2, 4, 6, 8, 10, 12, 15}, {0, 2, 4, 6, 8, 10, 12, 14, 15}}},
    {ControlKind::Knob, "LTHR", 26, 187, "LIMIT LEVEL", 22,
     {LimitTexts(), {0, 4, 8, 12, 16, 22}, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22}}},
    {ControlKind::Knob, "GAIN", 27, 417, "OUTPUT GAIN", 0, {Numbered(0, 20, "dB"), {0, 5, 10, 15, 20}, {0, 5, 10, 15, 20}}},
    {ControlKind::Knob, "MIX", 289, 192, "MIX", 22, {mix, {0, 5, 11, 17, 22}, {0, 5, 11, 17, 22}}},
    {ControlKind::Knob, "RAT", 154, 417, "RATIO", 2, {ratio, AllOf(5), AllOf(5)}},
    {ControlKind::Knob, "SIDE", 289, 294, "HIGH", 2, {shelf, AllOf(5), AllOf(5)}},
    {ControlKind::Knob, "SIDE", 289, 384, "MID", 2, {shelf, AllOf(5), AllOf(5)}},
    {ControlKind::Knob, "SIDE", 289, 473, "HIGH PASS", 0, {highPass, AllOf(5), AllOf(5)}},
    {ControlKind::Knob, "REC", 154, 187, "LEVEL RECOVERY", 1, {levelRecovery, AllOf(6), AllOf(6)}},
    {ControlKind::Knob, "REC", 154, 309, "COMP RECOVERY", 1, {compRecovery, AllOf(6), AllOf(6)}},
    {ControlKind::Meter, "METER", 196, 17, "LIMITER", 0, {}},
    {ControlKind::Meter, "METER", 26, 17, "COMPRESSOR", 0, {}},
    {ControlKind::Switch, "OVER", 148, 541, "OVERSAMPLING", 0, {}},
  };
}

}  // namespace

const std::vector<StripSpec>& Strips()
{
  static const std::vector<StripSpec> strips = {
    {"BG", 756, 1183, 1},     {"BYPASS", 86, 128, 2}, {"EXT", 86, 128, 2},  {"OVER", 192, 32, 2},
    {"CTHR", 162, 3200, 16},  {"LTHR", 162, 4600, 23}, {"GAIN", 162, 4200, 21}, {"RAT", 162, 1000, 5},
    {"REC", 162, 1200, 6},    {"MIX", 122, 3450, 23}, {"SIDE", 122, 750, 5}, {"METER", 310, 14544, 101},
  };
  return strips;
}

const StripSpec& FindStrip(const std::string& name)
{
  for (const StripSpec& strip : Strips())
    if (strip.name == name)
      return strip;
  throw std::out_of_range("no strip named " + name);
}

const std::vector<ControlSpec>& Controls()
{
  static const std::vector<ControlSpec> controls = MakeControls();
  return controls;
}

const ControlSpec& FindControl(const std::string& title)
{
  for (const ControlSpec& control : Controls())
    if (control.title == title)
      return control;
  throw std::out_of_range("no control titled " + title);
}

Point ControlCentre(const ControlSpec& control)
{
  const StripSpec& strip = FindStrip(control.strip);
  return {control.x + strip.FrameWidth() / 2.0, control.y + strip.FrameHeight() / 2.0};
}

double KnobAngleDeg(int value, int valueCount)
{
  if (valueCount < 2)
    return 0;
  return -kKnobSweepDeg / 2 + kKnobSweepDeg * value / (valueCount - 1);
}

KnobDimensions KnobDimensionsFor(const StripSpec& strip)
{
  if (strip.FrameWidth() >= 80)
    return {21.0, 25.0, 28.0, 29.5, 32.0, 5.5};
  return {15.5, 19.0, 21.5, 23.0, 25.5, 5.0};
}

}  // namespace artwork
