#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "AAXTestRig.h"
#include "ProbePlugin.h"
#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IParameter.h"
#include "product/Tollenbrook.h"

namespace {

using aaxtest::HostedPlug;
using aaxtest::ProbePlugin;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string IDAt(AAX_IACFEffectParameters& effect, int32_t index) {
  AAX_CString id;
  effect.GetParameterIDFromIndex(index, &id);
  return id.StdString();
}

std::string Name(AAX_IACFEffectParameters& effect, const char* id) {
  AAX_CString name;
  effect.GetParameterName(id, &name);
  return name.StdString();
}

std::string TextOf(AAX_IACFEffectParameters& effect, const char* id, double normalized, int32_t maxLength = 64) {
  AAX_CString text;
  effect.GetParameterStringFromValue(id, normalized, &text, maxLength);
  return text.StdString();
}

int32_t Steps(AAX_IACFEffectParameters& effect, const char* id) {
  int32_t steps = -1;
  effect.GetParameterNumberOfSteps(id, &steps);
  return steps;
}

AAX_EParameterType Type(AAX_IACFEffectParameters& effect, const char* id) {
  AAX_EParameterType type = AAX_eParameterType_Continuous;
  effect.GetParameterType(id, &type);
  return type;
}

double Normalized(AAX_IACFEffectParameters& effect, const char* id) {
  double value = kNaN;
  effect.GetParameterNormalizedValue(id, &value);
  return value;
}

struct ProductParameters : ::testing::Test {
  HostedPlug<iplug::IPlugAAX> hosted{MakePlugInstance(iplug::InstanceInfo{}), 96000.0f};
  AAX_IACFEffectParameters& effect = hosted.Effect();
};

TEST_F(ProductParameters, TheMasterBypassComesFirstThenOneParameterPerDeclaredKind) {
  ASSERT_EQ(hosted.initResult, 0);
  int32_t count = 0;
  effect.GetNumberOfParameters(&count);
  // Fifteen framework parameters, two of which (the meter channels) have no kind.
  ASSERT_EQ(count, 14);
  EXPECT_EQ(IDAt(effect, 0), "");
  EXPECT_EQ(Name(effect, ""), "Master Bypass");
  const char* ids[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "15"};
  for (int32_t i = 0; i < 13; ++i) EXPECT_EQ(IDAt(effect, i + 1), ids[i]);
  EXPECT_EQ(effect.GetParameterNumberOfSteps("13", nullptr), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(effect.GetParameterNumberOfSteps("14", nullptr), AAX_ERROR_INVALID_PARAMETER_ID);
  AAX_CString id;
  EXPECT_EQ(effect.GetParameterIDFromIndex(14, &id), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(id.StdString(), "");

  EXPECT_EQ(Name(effect, "1"), "Compressor Threshold");
  EXPECT_EQ(Name(effect, "15"), "Oversample");
  // Integer parameters: 128 steps, continuous, the number as text.
  EXPECT_EQ(Steps(effect, "1"), 128);
  EXPECT_EQ(Type(effect, "1"), AAX_eParameterType_Continuous);
  EXPECT_EQ(TextOf(effect, "1", Normalized(effect, "1")), "15");
  EXPECT_EQ(TextOf(effect, "2", 0.5), "11");

  AAX_CString bypassID = "x";
  effect.GetMasterBypassParameter(&bypassID);
  EXPECT_EQ(bypassID.StdString(), "") << "no parameter is called MasterBypassID";
  EXPECT_EQ(hosted.plug->GetSampleRate(), 96000.0) << "the host's rate is taken at initialisation";
  EXPECT_EQ(hosted.plug->GetHost(), iplug::kHostProTools);
}

TEST_F(ProductParameters, TheMasterBypassReadsOnWhenEngaged) {
  EXPECT_EQ(Steps(effect, ""), 2);
  EXPECT_EQ(Type(effect, ""), AAX_eParameterType_Discrete);
  EXPECT_EQ(TextOf(effect, "", 0.0), "bypass");
  EXPECT_EQ(TextOf(effect, "", 0.0001), "on") << "any positive value engages it";
  EXPECT_FALSE(hosted.plug->IsHostBypassed());
  ASSERT_EQ(effect.SetParameterNormalizedValue("", 1.0), 0);
  EXPECT_TRUE(hosted.plug->IsHostBypassed());
  for (int i = 0; i < hosted.plug->NParams(); ++i)
    EXPECT_EQ(hosted.plug->GetParam(i)->Value(), hosted.plug->GetParam(i)->GetDefault()) << i;
}

TEST_F(ProductParameters, AHostValueReachesTheFrameworkParameterAndTheProduct) {
  const double before = hosted.plug->GetParam(kParamGain)->Value();
  ASSERT_EQ(before, 0.0);
  int32_t changes = 0;
  effect.GetNumberOfChanges(&changes);
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("3", 0.5, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(hosted.plug->GetParam(kParamGain)->Value(), 10.0);
  int32_t after = 0;
  effect.GetNumberOfChanges(&after);
  EXPECT_EQ(after, changes + 1);
  // Out of range is held at the ends; not a number changes nothing.
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("3", 7.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(hosted.plug->GetParam(kParamGain)->Value(), 20.0);
  EXPECT_EQ(Normalized(effect, "3"), 1.0);
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("3", -7.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(hosted.plug->GetParam(kParamGain)->Value(), 0.0);
  EXPECT_EQ(effect.UpdateParameterNormalizedValue("3", kNaN, AAX_eUpdateSource_Parameter), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(hosted.plug->GetParam(kParamGain)->Value(), 0.0);
  EXPECT_EQ(Normalized(effect, "3"), 0.0);
  EXPECT_EQ(effect.UpdateParameterNormalizedValue("99", 0.5, AAX_eUpdateSource_Parameter),
            AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(effect.UpdateParameterNormalizedValue(nullptr, 0.5, AAX_eUpdateSource_Parameter),
            AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(effect.SetParameterNormalizedValue("13", 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
}

// ---- the probe: every kind of parameter -----------------------------------------------------

struct ProbeParameters : ::testing::Test {
  ProbePlugin* probe = new ProbePlugin();
  HostedPlug<ProbePlugin> hosted{probe};
  AAX_IACFEffectParameters& effect = hosted.Effect();
};

TEST(ProbeAllKinds, FifteenParametersOfAKindGiveSixteenHostParameters) {
  HostedPlug<ProbePlugin> hosted{new ProbePlugin(aaxtest::ProbeOptions{.allKinds = true})};
  int32_t count = 0;
  hosted.Effect().GetNumberOfParameters(&count);
  ASSERT_EQ(count, 16);
  EXPECT_EQ(IDAt(hosted.Effect(), 0), "");
  for (int32_t i = 1; i <= 15; ++i) EXPECT_EQ(IDAt(hosted.Effect(), i), std::to_string(i));
  const auto registered = hosted.instance.Automation().Registered();
  EXPECT_EQ(registered.size(), 16u) << "every host parameter is known to the host's automation";
}

TEST_F(ProbeParameters, EachKindGetsItsTaperDisplayAndSteps) {
  // Integer: a linear taper over the range, the number with the unit.
  EXPECT_EQ(Steps(effect, "1"), 128);
  EXPECT_EQ(TextOf(effect, "1", 0.5), "10dB");
  EXPECT_EQ(TextOf(effect, "1", 0.5, 2), "10") << "no room left for the unit";
  double normalized = -1.0;
  ASSERT_EQ(effect.GetParameterValueFromString("1", &normalized, AAX_CString("15dB")), 0);
  EXPECT_DOUBLE_EQ(normalized, 0.75);
  ASSERT_EQ(effect.GetParameterValueFromString("1", &normalized, AAX_CString("5")), 0);
  EXPECT_DOUBLE_EQ(normalized, 0.25);
  EXPECT_EQ(effect.GetParameterValueFromString("1", &normalized, AAX_CString("loud")), AAX_ERROR_INVALID_STRING_CONVERSION);

  // Enumerated, texts for 0..4 of 0..5: one step per text, each value shows its text.
  EXPECT_EQ(Steps(effect, "2"), 5);
  EXPECT_EQ(Type(effect, "2"), AAX_eParameterType_Discrete);
  const char* texts[] = {"A", "B", "C", "D", "E"};
  for (int v = 0; v <= 4; ++v) EXPECT_EQ(TextOf(effect, "2", v / 5.0), texts[v]) << v;
  EXPECT_EQ(TextOf(effect, "2", 1.0), "String Not Found");
  ASSERT_EQ(effect.GetParameterValueFromString("2", &normalized, AAX_CString("D")), 0);
  EXPECT_DOUBLE_EQ(normalized, 0.6);

  // Double: the framework parameter's own curve, two decimals and the unit.
  EXPECT_EQ(Steps(effect, "3"), 128);
  EXPECT_EQ(TextOf(effect, "3", 0.5), "2.50dB") << "a squared curve puts a quarter of the range mid-way";
  EXPECT_EQ(TextOf(effect, "3", 0.5, 3), "2.5");
  EXPECT_EQ(TextOf(effect, "3", 1.0, 3), "10") << "\"10.00\" cut to three characters loses the point too";
  ASSERT_EQ(effect.GetParameterValueFromString("3", &normalized, AAX_CString("6.40dB")), 0);
  EXPECT_NEAR(normalized, 0.8, 1e-12);
  EXPECT_DOUBLE_EQ(Normalized(effect, "3"), probe->GetParam(2)->GetNormalized());

  // Boolean: two texts, discrete.
  EXPECT_EQ(Steps(effect, "4"), 2);
  EXPECT_EQ(TextOf(effect, "4", 1.0), "on");

  AAX_CBoolean automatable = 1;
  effect.GetParameterIsAutomatable("5", &automatable);
  EXPECT_EQ(automatable, 0);
  effect.GetParameterIsAutomatable("1", &automatable);
  EXPECT_EQ(automatable, 1);

  double defaultValue = -1.0;
  effect.GetParameterDefaultNormalizedValue("5", &defaultValue);
  EXPECT_DOUBLE_EQ(defaultValue, 1.0 / 3.0);
  effect.GetParameterDefaultNormalizedValue("3", &defaultValue);
  EXPECT_DOUBLE_EQ(defaultValue, probe->GetParam(2)->GetDefault(true));
}

TEST_F(ProbeParameters, ALinearIntegerTaperRoundsToTheNearestValue) {
  // "Fixed" is 0..3: half-way is 1.5, which rounds up; 2 sits at two thirds.
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("5", 0.5, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(probe->GetParam(4)->Value(), 2.0);
  EXPECT_NEAR(Normalized(effect, "5"), 0.6667, 1e-4);
}

TEST_F(ProbeParameters, HostUpdatesReachParameterEditorAndHookInThatOrder) {
  probe->mLog.clear();
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.25, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(probe->GetParam(0)->Value(), 5.0);
  ASSERT_EQ(probe->mLog.size(), 1u);
  EXPECT_EQ(probe->mLog[0], "change 0 Host 5");
  probe->ServiceQueues();
  ASSERT_EQ(probe->mLog.size(), 2u);
  EXPECT_EQ(probe->mLog[1], "editor 0 5") << "the editor hears the plain value on the next tick";
  EXPECT_EQ(hosted.instance.Automation().CurrentValues().at("1"), 0.25) << "and the host its new value";
}

TEST_F(ProbeParameters, IdentifiersThatNameNoFrameworkParameterUpdateOnlyTheHostParameter) {
  probe->mLog.clear();
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("", 1.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_TRUE(probe->IsHostBypassed());
  EXPECT_TRUE(probe->mLog.empty());
  EXPECT_EQ(probe->ParamID(-1), nullptr);
  EXPECT_EQ(probe->ParamID(ProbePlugin::kNumParams), nullptr);
  EXPECT_STREQ(probe->ParamID(6), "7") << "a parameter without a kind keeps its identifier";
  EXPECT_EQ(effect.UpdateParameterNormalizedValue("7", 1.0, AAX_eUpdateSource_Parameter),
            AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(effect.UpdateParameterNormalizedValue("0", 1.0, AAX_eUpdateSource_Parameter),
            AAX_ERROR_INVALID_PARAMETER_ID);
}

TEST_F(ProbeParameters, EditorGesturesChangeNothingUntilTheHostAnswers) {
  aaxhost::AutomationDelegate& automation = hosted.instance.Automation();
  automation.SetAnswerMode(aaxhost::AutomationDelegate::AnswerMode::Queued);
  hosted.log.Clear();
  probe->mLog.clear();

  probe->BeginHostParamGesture(0);
  EXPECT_TRUE(automation.IsTouched("1"));
  probe->SendParamValueToHost(0, 0.75);
  probe->SendParamValueToHost(0, 0.8);
  probe->EndHostParamGesture(0);
  EXPECT_FALSE(automation.IsTouched("1"));
  EXPECT_EQ(probe->GetParam(0)->Value(), 0.0);
  EXPECT_EQ(Normalized(effect, "1"), 0.0);
  EXPECT_TRUE(probe->mLog.empty());

  std::vector<std::string> calls;
  for (const aaxhost::Call& call : hosted.log.Calls()) calls.push_back(call.name + " " + call.args[0]);
  EXPECT_EQ(calls, (std::vector<std::string>{"PostTouchRequest 1", "PostTouchRequest 1", "PostSetValueRequest 1",
                                             "PostReleaseRequest 1", "PostTouchRequest 1", "PostSetValueRequest 1",
                                             "PostReleaseRequest 1", "PostReleaseRequest 1"}));

  EXPECT_EQ(automation.DeliverPending(), 2);
  EXPECT_EQ(probe->GetParam(0)->Value(), 16.0);
  EXPECT_EQ(probe->mLog, (std::vector<std::string>{"change 0 Host 15", "change 0 Host 16"}));
}

TEST_F(ProbeParameters, GesturesBeforeInitialisationOrOnUnknownIndicesGoNowhere) {
  hosted.log.Clear();
  probe->BeginHostParamGesture(99);
  probe->SendParamValueToHost(-1, 0.5);
  probe->EndHostParamGesture(6);  // no kind, no host parameter
  EXPECT_EQ(hosted.log.Size(), 0u);
}

TEST_F(ProbeParameters, NotificationsSetTheOfflineFlagAndTheTrackName) {
  EXPECT_EQ(effect.NotificationReceived(AAX_eNotificationEvent_EnteringOfflineMode, nullptr, 0), 0);
  EXPECT_TRUE(probe->GetRenderingOffline());
  EXPECT_EQ(effect.NotificationReceived(AAX_eNotificationEvent_ExitingOfflineMode, nullptr, 0), 0);
  EXPECT_FALSE(probe->GetRenderingOffline());

  AAX_CString name("Lead Vocal");
  EXPECT_EQ(effect.NotificationReceived(AAX_eNotificationEvent_TrackNameChanged, &name, sizeof name), 0);
  iplug::TextBuffer track;
  probe->CopyTrackName(track);
  EXPECT_STREQ(track.Get(), "Lead Vocal");
  EXPECT_EQ(effect.NotificationReceived(AAX_eNotificationEvent_TrackNameChanged, nullptr, 0), 0);
  probe->CopyTrackName(track);
  EXPECT_STREQ(track.Get(), "Lead Vocal") << "a notification without a name keeps the old one";
  EXPECT_EQ(effect.NotificationReceived(AAX_FourCC("ASPv"), nullptr, 0), 0);
}

TEST(InitialisationRate, AHostRateThatMakesNoSenseKeepsThePreviousOne) {
  for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    HostedPlug<ProbePlugin> hosted{new ProbePlugin(), rate};
    ASSERT_EQ(hosted.initResult, 0);
    EXPECT_EQ(hosted.plug->GetSampleRate(), 48000.0) << rate;
    EXPECT_EQ(hosted.plug->mLog.back(), "reset 512") << "processing is reset all the same";
  }
}

TEST(InitialisationTwice, StartsAfreshWithTheSameParameters) {
  HostedPlug<ProbePlugin> hosted{new ProbePlugin()};
  ASSERT_EQ(hosted.Effect().Initialize(&hosted.instance.Context()), 0);
  int32_t count = 0;
  hosted.Effect().GetNumberOfParameters(&count);
  EXPECT_EQ(count, 14);
  EXPECT_STREQ(hosted.plug->ParamID(14), "15");
  EXPECT_EQ(hosted.plug->ParamID(15), nullptr);
}

}  // namespace
