#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "product/Tollenbrook.h"

using iplug::IParam;
using iplug::TextBuffer;

namespace {

std::string DisplayOf(const IParam& p, double value) {
  TextBuffer text;
  p.GetDisplay(value, false, text, true);
  return text.Get();
}

std::vector<std::string> DisplayTexts(const IParam& p) {
  std::vector<std::string> texts;
  for (int i = 0; i < p.NDisplayTexts(); ++i) {
    double value = -1;
    texts.emplace_back(p.GetDisplayTextAtIdx(i, &value));
    EXPECT_EQ(value, i) << p.GetName() << ": texts belong to values 0, 1, 2 ... in order";
  }
  return texts;
}

}  // namespace

TEST(TollenbrookParams, EveryParameterHoldsItsDefaultAfterConstruction) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  ASSERT_EQ(plug.NParams(), 15);
  const double expected[15] = {15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0, 0, 0};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(plug.GetParam(i)->Value(), expected[i]) << "parameter " << i;
    EXPECT_EQ(plug.GetParam(i)->GetDefault(), expected[i]) << "parameter " << i;
  }
}

TEST(TollenbrookParams, NamesRangesAndKinds) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  struct Expected {
    const char* name;
    double max;
  };
  const Expected table[15] = {{"Compressor Threshold", 15}, {"Limit Level", 22}, {"Gain", 20}, {"Mix", 22},
                              {"Ratio", 4}, {"High", 4}, {"Mid", 4}, {"High Pass Filter", 4},
                              {"Compressor Recovery Time", 5}, {"Level Recovery Time", 5}, {"Bypass", 1},
                              {"External Sidechain", 1}, {"", 1}, {"", 1}, {"Oversample", 1}};
  for (int i = 0; i < 15; ++i) {
    const IParam& p = *plug.GetParam(i);
    EXPECT_STREQ(p.GetName(), table[i].name) << i;
    EXPECT_EQ(p.GetMin(), 0.0) << i;
    EXPECT_EQ(p.GetMax(), table[i].max) << i;
    EXPECT_EQ(p.GetStep(), 1.0) << i;
    EXPECT_EQ(p.Unit(), IParam::kUnitCustom) << i;
    EXPECT_STREQ(p.GetLabel(), "") << i;
    EXPECT_STREQ(p.GetGroup(), "") << i;
    EXPECT_EQ(p.GetShape().GetCurveKind(), 0) << i;
    const bool meter = i == kParamLimiterMeter || i == kParamCompMeter;
    EXPECT_EQ(p.Type(), meter ? IParam::kTypeNone : IParam::kTypeInt) << i;
    EXPECT_EQ(p.GetFlags(), meter ? 0 : static_cast<int>(IParam::kFlagStepped)) << i;
  }
}

TEST(TollenbrookParams, DisplayTextsInValueOrder) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamCompThreshold)),
            (std::vector<std::string>{"-20dB", "-18dB", "-16dB", "-14dB", "-12dB", "-11dB", "-10dB", "-8dB", "-4dB",
                                      "-2dB", "0dB", "2dB", "4dB", "6dB", "8dB", "10dB"}));
  std::vector<std::string> limit, gain;
  for (int i = 0; i <= 22; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%gdB", 4.0 + 0.5 * i);
    limit.emplace_back(text);
  }
  for (int i = 0; i <= 20; ++i) gain.push_back(std::to_string(i) + "dB");
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamLimitLevel)), limit);
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamGain)), gain);
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamMix)),
            (std::vector<std::string>{"100/0", "95/5", "90/10", "85/15", "80/20", "75/25", "70/30", "65/35",
                                      "60/40", "55/45", "53/47", "50/50", "47/53", "45/55", "40/60", "35/65",
                                      "30/70", "25/75", "20/80", "15/85", "10/90", "5/95", "0/100"}));
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamRatio)),
            (std::vector<std::string>{"1.5:1", "2:1", "3:1", "4:1", "6:1"}));
  const std::vector<std::string> eq{"-6dB", "-3dB", "0dB", "3dB", "6dB"};
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamHigh)), eq);
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamMid)), eq);
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamHighPass)),
            (std::vector<std::string>{"OFF", "50Hz", "80Hz", "160Hz", "360Hz"}));
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamCompRecovery)),
            (std::vector<std::string>{"100ms", "400ms", "800ms", "1500ms", "Auto-1", "Auto-2"}));
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamLevelRecovery)),
            (std::vector<std::string>{"50ms", "100ms", "200ms", "800ms", "Auto-1", "Auto-2"}));
  EXPECT_EQ(DisplayTexts(*plug.GetParam(kParamOversample)),
            (std::vector<std::string>{"Oversampling Off", "Oversampling On"}));
  for (int i : {kParamBypass, kParamExtSidechain, kParamLimiterMeter, kParamCompMeter})
    EXPECT_EQ(plug.GetParam(i)->NDisplayTexts(), 0) << i;
}

TEST(TollenbrookParams, DisplaysOfCurrentValues) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  EXPECT_EQ(DisplayOf(*plug.GetParam(kParamCompThreshold), 15), "10dB");
  EXPECT_EQ(DisplayOf(*plug.GetParam(kParamCompRecovery), 4), "Auto-1");
  EXPECT_EQ(DisplayOf(*plug.GetParam(kParamBypass), 1), "1") << "no texts: the number";
  TextBuffer text;
  plug.GetParam(kParamMix)->GetDisplayWithLabel(text);
  EXPECT_STREQ(text.Get(), "0/100");
}

TEST(TollenbrookParams, TextEntryFindsTheValueOfADisplayText) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  IParam& mix = *plug.GetParam(kParamMix);
  mix.Set(mix.StringToValue("50/50"));
  EXPECT_EQ(mix.Value(), 11.0);
  IParam& limit = *plug.GetParam(kParamLimitLevel);
  limit.Set(limit.StringToValue("7dB"));
  EXPECT_EQ(limit.Value(), 6.0);
  IParam& gain = *plug.GetParam(kParamGain);
  gain.Set(gain.StringToValue("30"));
  EXPECT_EQ(gain.Value(), 20.0) << "a plain number is constrained to the range";
}

TEST(TollenbrookParams, JsonOfMix) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  TextBuffer json;
  plug.GetParam(kParamMix)->GetJSON(json, kParamMix);
  EXPECT_STREQ(json.Get(),
               "{\"id\":3, \"name\":\"Mix\", \"type\":\"int\", \"min\":0.000000, \"max\":22.000000, "
               "\"default\":22.000000, \"rate\":\"control\"}");
}
