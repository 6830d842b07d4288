#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "IPlug/HostParams.h"
#include "PresetPlugin.h"

using iplug::HostParams;

namespace {

// Switch, integer, stepped double, then plain doubles.
class ShapesPlugin : public testplug::PresetPlugin {
public:
  ShapesPlugin() : PresetPlugin(1, true, 6) {}
};

}  // namespace

TEST(HostParams, ShapesAndStepsFollowTheParameterKind) {
  ShapesPlugin plug;
  iplug::IParam hidden;  // no kind, as a meter channel
  iplug::IParam list;
  list.InitEnum("Mode", 1, 3, "", 0, "", "A", "B", "C");
  struct Case {
    const iplug::IParam* param;
    HostParams::Shape shape;
    int steps;
  };
  for (const Case& c : {Case{plug.GetParam(0), HostParams::Shape::kSwitch, 2},
                        Case{plug.GetParam(1), HostParams::Shape::kInteger, 11},
                        Case{plug.GetParam(2), HostParams::Shape::kContinuous, 0},
                        Case{&list, HostParams::Shape::kList, 3}, Case{&hidden, HostParams::Shape::kHidden, 0}}) {
    SCOPED_TRACE(c.param->GetName());
    EXPECT_EQ(HostParams::ShapeOf(*c.param), c.shape);
    EXPECT_EQ(HostParams::StepCount(*c.param), c.steps);
    EXPECT_EQ(HostParams::IsVisible(*c.param), c.shape != HostParams::Shape::kHidden);
  }
}

// Identifiers go both ways, as numbers and as text, and nothing else names a parameter.
TEST(HostParams, AChoiceNamesEveryValue) {
  iplug::IParam list, named, partly, bare, fraction;
  list.InitEnum("Mode", 1, 3, "", 0, "", "A", "B", "C");
  named.InitInt("Steps", 0, 0, 2);
  partly.InitInt("Partly", 0, 0, 2);
  bare.InitInt("Bare", 0, 0, 2);
  fraction.InitDouble("Fraction", 0.0, 0.0, 1.0, 0.5);
  for (int v = 0; v < 3; ++v) named.SetDisplayText(v, "n");
  partly.SetDisplayText(0, "zero");
  fraction.SetDisplayText(0.0, "none");
  fraction.SetDisplayText(1.0, "all");
  EXPECT_TRUE(HostParams::IsChoice(list));
  EXPECT_TRUE(HostParams::IsChoice(named));
  EXPECT_FALSE(HostParams::IsChoice(partly)) << "one value has no text of its own";
  EXPECT_FALSE(HostParams::IsChoice(bare));
  EXPECT_FALSE(HostParams::IsChoice(fraction)) << "a continuous parameter is no choice";
}

TEST(HostParams, IdentifiersNameEachParameterBothWays) {
  ShapesPlugin plug;
  HostParams params(plug);
  for (int i = 0; i < plug.NParams(); ++i) {
    char text[HostParams::kMaxIDTextLength];
    HostParams::HostIDText(i, text);
    EXPECT_EQ(params.ParamIndexFromID(text), i);
    EXPECT_EQ(params.ParamIndexFromID(HostParams::HostID(i)), i);
  }
  for (const char* bad : {"", "0", "7", "-1", "+1", " 1", "1 ", "01x", "99999999999999999999"})
    EXPECT_EQ(params.ParamIndexFromID(bad), -1) << '"' << bad << '"';
  EXPECT_EQ(params.ParamIndexFromID(static_cast<const char*>(nullptr)), -1);
  EXPECT_EQ(params.ParamIndexFromID(0u), -1);
  EXPECT_EQ(params.ParamIndexFromID(7u), -1);
}

// A host value is clamped and constrained like the parameter's own; a NaN or an unknown index
// changes nothing and runs no hook.
TEST(HostParams, AValueFromTheHostSetsTheParameterOrNothing) {
  testplug::RecordingPlugin plug(testplug::TestConfig(2));  // 0..100 in steps of 0.5
  HostParams params(plug);
  EXPECT_TRUE(params.SetFromHost(0, 1.7, HostParams::Scale::kNormalized, HostParams::EditorNotice::kNone));
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 100.0);
  EXPECT_TRUE(params.SetFromHost(1, 20.2, HostParams::Scale::kPlain, HostParams::EditorNotice::kDirect));
  EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 20.0);
  ASSERT_GE(plug.mLog.size(), 2u);
  EXPECT_EQ(plug.mLog.back(), "toEditor 1 20 plain") << "the editor learns the constrained value";
  const size_t logged = plug.mLog.size();
  EXPECT_FALSE(params.SetFromHost(1, std::nan(""), HostParams::Scale::kPlain, HostParams::EditorNotice::kDirect));
  EXPECT_FALSE(params.SetFromHost(2, 0.5, HostParams::Scale::kNormalized, HostParams::EditorNotice::kDirect));
  EXPECT_FALSE(params.SetFromHost(-1, 0.5, HostParams::Scale::kNormalized, HostParams::EditorNotice::kDirect));
  EXPECT_EQ(plug.mLog.size(), logged);
  EXPECT_DOUBLE_EQ(plug.GetParam(1)->Value(), 20.0);
}
