#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "IPlug/IParam.h"

using iplug::IParam;
using iplug::TextBuffer;

namespace {
std::string Display(const IParam& p, double v, bool withText = true, bool normalized = false) {
  TextBuffer out;
  p.GetDisplay(v, normalized, out, withText);
  return out.Get();
}
}  // namespace

TEST(IParam, ConstructedStateHasNoKindAndUnitRange) {
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_STREQ(p.GetName(), "");
  EXPECT_EQ(p.GetShape().GetCurveKind(), 0);
}

TEST(IParam, InitIntSetsSteppedIntegerParameter) {
  IParam p;
  p.InitInt("Compressor Threshold", 15, 0, 15);
  EXPECT_EQ(p.Type(), IParam::kTypeInt);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 15.0);
  EXPECT_EQ(p.GetStep(), 1.0);
  EXPECT_TRUE(p.GetFlags() & IParam::kFlagStepped);
  EXPECT_EQ(p.GetDisplayPrecision(), 0);
  EXPECT_EQ(p.Unit(), IParam::kUnitCustom);
  EXPECT_EQ(p.Value(), 15.0);

  IParam empty;
  empty.InitInt("x", 0, 0, 0);
  EXPECT_EQ(empty.GetMax(), 1.0) << "the range is never narrower than one step";
}

TEST(IParam, ConstrainRoundsHalfAwayFromZeroAndClamps) {
  IParam p;
  p.InitInt("x", 0, 0, 15);
  p.Set(3.6);
  EXPECT_EQ(p.Value(), 4.0);
  p.Set(2.5);
  EXPECT_EQ(p.Value(), 3.0);
  p.Set(-2.0);
  EXPECT_EQ(p.Value(), 0.0);
  p.Set(99.0);
  EXPECT_EQ(p.Value(), 15.0);

  IParam neg;
  neg.InitInt("n", 0, -10, 10);
  neg.Set(-2.5);
  EXPECT_EQ(neg.Value(), -3.0);
}

TEST(IParam, NaNNeverReachesTheValue) {
  IParam p;
  p.InitInt("x", 7, 0, 15);
  p.Set(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(std::isnan(p.Value()));
  EXPECT_GE(p.Value(), 0.0);
  EXPECT_LE(p.Value(), 15.0);
  EXPECT_FALSE(std::isnan(p.ToNormalized(std::numeric_limits<double>::quiet_NaN())));
  p.SetNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(std::isnan(p.Value()));
}

TEST(IParam, NormalisedMappingOfLinearParameters) {
  IParam p;
  p.InitDouble("lin", 0, 0, 10, 0.01);
  EXPECT_DOUBLE_EQ(p.ToNormalized(5), 0.5);
  EXPECT_EQ(p.ToNormalized(20), 1.0);
  EXPECT_EQ(p.ToNormalized(-3), 0.0);

  IParam stepped;
  stepped.InitInt("s", 0, 0, 10);
  EXPECT_EQ(stepped.FromNormalized(0.55), 6.0);
  EXPECT_EQ(stepped.ConstrainNormalized(0.55), 0.6);
  EXPECT_EQ(stepped.ConstrainNormalized(1.7), 1.0);
  EXPECT_EQ(stepped.ConstrainNormalized(-0.2), 0.0);
  EXPECT_EQ(stepped.GetDefault(true), 0.0);
}

TEST(IParam, ExponentialShape) {
  IParam f;
  f.InitFrequency("Freq", 1000, 20, 20000, 1);
  EXPECT_EQ(f.GetShape().GetCurveKind(), 1);
  const auto& shape = f.GetShape();
  EXPECT_NEAR(shape.NormalizedToValue(0, f), 20.0, 1e-9);
  EXPECT_NEAR(shape.NormalizedToValue(1, f), 20000.0, 1e-7);
  EXPECT_NEAR(shape.NormalizedToValue(0.5, f), std::sqrt(20.0 * 20000.0), 1e-9);
  EXPECT_NEAR(f.ToNormalized(f.FromNormalized(0.3)), 0.3, 1e-3);
  EXPECT_STREQ(f.GetLabel(), "Hz");

  IParam zero;
  zero.InitFrequency("F0", 1, 0, 100, 1);
  EXPECT_NEAR(zero.GetShape().NormalizedToValue(0, zero), 1e-8, 1e-20) << "a non-positive minimum becomes 1e-8";
}

TEST(IParam, PowerCurveKinds) {
  const std::pair<double, int> cases[] = {{3, 6}, {2, 4}, {0.5, 3}, {0.3, 5}, {1, 0}, {0.7, 0}};
  for (auto [exponent, kind] : cases) EXPECT_EQ(IParam::ShapePowCurve(exponent).GetCurveKind(), kind) << exponent;

  IParam p;
  p.InitDouble("pow", 0, 0, 100, 0.1, "", 0, "", IParam::ShapePowCurve(2));
  EXPECT_NEAR(p.FromNormalized(0.5), 25.0, 1e-9);
  EXPECT_NEAR(p.ToNormalized(25.0), 0.5, 1e-12);
}

TEST(IParam, DisplayPrecisionFollowsStep) {
  const std::pair<double, int> cases[] = {{1.0, 0}, {0.1, 1}, {0.01, 2}, {0.5, 1}, {0.25, 2}, {1.0 / 3.0, 6}};
  for (auto [step, precision] : cases) {
    IParam p;
    p.InitDouble("d", 0, 0, 10, step);
    EXPECT_EQ(p.GetDisplayPrecision(), precision) << step;
  }
}

TEST(IParam, DisplayTextsAndLabels) {
  IParam p;
  p.InitInt("Ratio", 2, 0, 4, "x");
  const char* texts[] = {"1.5:1", "2:1", "3:1", "4:1", "6:1"};
  for (int i = 0; i < 5; ++i) p.SetDisplayText(i, texts[i]);
  EXPECT_EQ(Display(p, 2), "3:1");
  EXPECT_EQ(Display(p, 2, false), "2");
  EXPECT_STREQ(p.GetLabel(), "") << "a value shown by a text carries no label";
  TextBuffer withLabel;
  p.GetDisplayWithLabel(withLabel);
  EXPECT_STREQ(withLabel.Get(), "3:1");

  p.SetDisplayText(2, "other");
  EXPECT_EQ(p.NDisplayTexts(), 6) << "a second text for a value is kept";
  EXPECT_EQ(Display(p, 2), "3:1") << "lookups return the first";
  double v = -1;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(5, &v), "other");
  EXPECT_EQ(v, 2.0);
  EXPECT_TRUE(p.MapDisplayText("6:1", &v));
  EXPECT_EQ(v, 4.0);
  v = -7;
  EXPECT_FALSE(p.MapDisplayText("6:1 ", &v));
  EXPECT_EQ(v, -7.0) << "no match leaves the value alone";

  IParam plain;
  plain.InitInt("Gain", 3, 0, 20, "dB");
  plain.GetDisplayWithLabel(withLabel);
  EXPECT_STREQ(withLabel.Get(), "3 dB");
}

TEST(IParam, NumericDisplayFormats) {
  IParam p;
  p.InitDouble("d", 0, -10, 10, 0.1);
  EXPECT_EQ(Display(p, -0.0), "0.0");

  IParam signedParam;
  signedParam.InitDouble("s", 0, -10, 10, 0.1, "", IParam::kFlagSignDisplay);
  EXPECT_EQ(Display(signedParam, 0.5), "+0.5");
  EXPECT_EQ(Display(signedParam, -0.5), "-0.5");
  EXPECT_EQ(Display(signedParam, 0.0), "0.0");

  IParam negated;
  negated.InitDouble("n", 0, -10, 10, 1, "", IParam::kFlagNegateDisplay);
  EXPECT_EQ(Display(negated, 3), "-3");
  EXPECT_EQ(Display(negated, 0), "0");
  EXPECT_EQ(Display(negated, 2.5), "-3") << "integers round half away from zero";

  IParam normalised;
  normalised.InitInt("i", 0, 0, 10);
  EXPECT_EQ(Display(normalised, 0.5, true, true), "5");

  IParam custom;
  custom.InitDouble("c", 0, 0, 1, 0.01, "", 0, "", IParam::ShapeLinear(), IParam::kUnitCustom,
                    [](double v, TextBuffer& out) { out.SetFormatted(32, "<%g>", v * 2); });
  EXPECT_EQ(Display(custom, 0.25), "<0.5>");
}

TEST(IParam, DisplayIsCutAt32Characters) {
  IParam p;
  p.InitDouble("big", 0, 0, 1e40, 0.000001);
  const std::string text = Display(p, 1e39);
  EXPECT_EQ(text.size(), 32u);
}

TEST(IParam, StringToValue) {
  IParam p;
  p.InitInt("Limit Level", 22, 0, 22);
  for (int i = 0; i <= 22; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%g%s", 4.0 + 0.5 * i, "dB");
    p.SetDisplayText(i, text);
  }
  EXPECT_EQ(p.StringToValue("7dB"), 6.0);
  EXPECT_EQ(p.StringToValue("7"), 7.0) << "numbers read as values on an integer parameter";
  EXPECT_EQ(p.StringToValue("99"), 22.0);
  EXPECT_EQ(p.StringToValue("nonsense"), 0.0);

  IParam e;
  e.InitEnum("Mode", 1, 3, "", 0, "", "A", "B", "C");
  EXPECT_EQ(e.Type(), IParam::kTypeEnum);
  EXPECT_EQ(e.StringToValue("C"), 2.0);
  EXPECT_EQ(e.StringToValue("2"), 0.0) << "enumerations accept only their texts";

  IParam n;
  n.InitDouble("neg", 0, -10, 10, 0.5, "", IParam::kFlagNegateDisplay);
  EXPECT_DOUBLE_EQ(n.StringToValue("3.2"), -3.2);
  EXPECT_EQ(n.StringToValue("-30"), 10.0) << "negated, then clamped";
}

TEST(IParam, BoolEnumAndPitchInitialisers) {
  IParam b;
  b.InitBool("On", true, "", 0, "", "Off", "On");
  EXPECT_EQ(b.Type(), IParam::kTypeBool);
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(Display(b, 0), "Off");
  EXPECT_EQ(b.StringToValue("On"), 1.0);

  IParam list;
  list.InitEnumFromList("List", 0, {"x", "y"});
  EXPECT_EQ(list.Type(), IParam::kTypeEnum);
  EXPECT_EQ(list.GetMax(), 1.0);
  EXPECT_EQ(Display(list, 1), "y");

  IParam pitch;
  pitch.InitPitch("Note", 60, 59, 61, 0, "", true);
  EXPECT_EQ(pitch.Type(), IParam::kTypeEnum);
  EXPECT_EQ(Display(pitch, 0), "B 3");
  EXPECT_EQ(Display(pitch, 1), "C 4");
  EXPECT_EQ(Display(pitch, 2), "C#4");
  IParam pitch2;
  pitch2.InitPitch("Note", 0, 60, 60, 0, "", false);
  EXPECT_EQ(Display(pitch2, 0), "C 3");
}

TEST(IParam, InitFromParamCopiesEverythingAndRenames) {
  IParam src;
  src.InitInt("Left Gain", 3, 0, 20, "dB", IParam::kFlagNotAutomatable, "Left");
  src.SetDisplayText(0, "mute");
  IParam copy;
  copy.InitFromParam(src, "Left", "Right", "Right");
  EXPECT_STREQ(copy.GetName(), "Right Gain");
  EXPECT_STREQ(copy.GetGroup(), "Right");
  EXPECT_EQ(copy.Type(), IParam::kTypeInt);
  EXPECT_EQ(copy.Value(), 3.0);
  EXPECT_FALSE(copy.GetCanAutomate());
  EXPECT_EQ(Display(copy, 0), "mute");

  IParam same;
  same.InitFromParam(src);
  EXPECT_STREQ(same.GetName(), "Left Gain");
  EXPECT_STREQ(same.GetGroup(), "Left");
}

TEST(IParam, JsonDescription) {
  IParam mix;
  mix.InitInt("Mix", 22, 0, 22);
  TextBuffer json;
  mix.GetJSON(json, 3);
  EXPECT_STREQ(json.Get(),
               "{\"id\":3, \"name\":\"Mix\", \"type\":\"int\", \"min\":0.000000, \"max\":22.000000, "
               "\"default\":22.000000, \"rate\":\"control\"}");
  IParam untouched;
  TextBuffer none;
  untouched.GetJSON(none, 12);
  EXPECT_EQ(std::string(none.Get()).find("type"), std::string::npos);
}

TEST(IParam, LongNamesAreCutNotOverflowed) {
  IParam p;
  const std::string longName(100, 'n');
  p.InitInt(longName.c_str(), 0, 0, 1, longName.c_str(), 0, longName.c_str());
  EXPECT_EQ(std::strlen(p.GetName()), 31u);
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::strlen(p.GetDisplayText(0)), 31u);
}
