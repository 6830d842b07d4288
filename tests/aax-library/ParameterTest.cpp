#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "TestDescription.h"
#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CBinaryTaperDelegate.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"
#include "aax-library/AAX_CUnitDisplayDelegateDecorator.h"
#include "aax-library/AAX_VAutomationDelegate.h"
#include "host/aax/AutomationDelegate.h"
#include "host/aax/Host.h"

namespace {
using DoubleParameter = AAX_CParameter<double>;

std::unique_ptr<DoubleParameter> MakeGain(const char* id = "7", double defaultValue = 0.0) {
  return std::make_unique<DoubleParameter>(
      id, AAX_CString("Gain"), defaultValue, AAX_CLinearTaperDelegate<double>(-12.0, 12.0),
      AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double>(), "dB"), true);
}

std::unique_ptr<AAX_CParameter<int32_t>> MakeSteps(int32_t maxValue) {
  return std::make_unique<AAX_CParameter<int32_t>>("s", AAX_CString("Mode"), 0,
                                                   AAX_CLinearTaperDelegate<int32_t, 1>(0, maxValue),
                                                   AAX_CNumberDisplayDelegate<int32_t, 0>(), true);
}

// A parameter wired to the recording host's automation delegate, as the manager does it.
struct Automated : ::testing::Test {
  aaxhost::Host host;
  aaxhost::AutomationDelegate automation{host.Log()};
  AAX_VAutomationDelegate wrapper{&automation};
};

std::vector<std::string> CallNames(const aaxhost::CallLog& log) {
  std::vector<std::string> names;
  for (const auto& call : log.Calls()) names.push_back(call.name);
  return names;
}
}  // namespace

TEST(Parameter, ConstructionDefaults) {
  auto gain = MakeGain("7", 3.0);
  EXPECT_STREQ(gain->Identifier(), "7");
  EXPECT_EQ(gain->Name().StdString(), "Gain");
  EXPECT_TRUE(gain->Automatable());
  EXPECT_EQ(gain->GetNumberOfSteps(), 128u);
  EXPECT_EQ(gain->GetType(), AAX_eParameterType_Continuous);
  EXPECT_EQ(gain->GetOrientation(), 0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 3.0);
  EXPECT_DOUBLE_EQ(gain->GetNormalizedValue(), 0.625);
  EXPECT_DOUBLE_EQ(gain->GetNormalizedDefaultValue(), 0.625);
  AAX_CString text;
  EXPECT_TRUE(gain->GetValueString(&text));
  EXPECT_EQ(text.StdString(), "3.00dB");
}

TEST(Parameter, DefaultOutsideTheRangeIsConstrainedWhenApplied) {
  auto gain = MakeGain("g", 40.0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 12.0);
}

TEST(Parameter, IdentifierOf31CharactersIsKeptAnd32IsCut) {
  aaxhost::Host host;
  aaxtest::HostServicesScope services(host);
  const std::string id31(31, 'a');
  auto whole = MakeGain(id31.c_str());
  EXPECT_EQ(std::string(whole->Identifier()), id31);
  EXPECT_TRUE(host.Services().Asserts().empty());

  const std::string id32 = id31 + "b";
  auto cut = MakeGain(id32.c_str());
  EXPECT_EQ(std::string(cut->Identifier()), id31);
  ASSERT_EQ(host.Services().Asserts().size(), 1u);
  EXPECT_EQ(host.Services().Asserts()[0].note, "len < eParemeterDefaultMaxIdentifierSize");
  EXPECT_EQ(host.Services().Asserts()[0].file, "AAX_CParameter.h");
  std::unique_ptr<AAX_IParameterValue> value(cut->CloneValue());
  EXPECT_EQ(std::string(value->Identifier()), id31);
}

TEST(Parameter, ZeroStepsAreRefusedAndReported) {
  aaxhost::Host host;
  aaxtest::HostServicesScope services(host);
  auto gain = MakeGain();
  gain->SetNumberOfSteps(5);
  gain->SetNumberOfSteps(0);
  EXPECT_EQ(gain->GetNumberOfSteps(), 5u);
  ASSERT_EQ(host.Services().Asserts().size(), 1u);
  EXPECT_EQ(host.Services().Asserts()[0].note, "0 < numSteps");
}

TEST(Parameter, StepFigures) {
  auto mode = MakeSteps(4);
  mode->SetNumberOfSteps(5);
  EXPECT_DOUBLE_EQ(mode->GetNormalizedValueFromStep(2), 0.5);
  EXPECT_DOUBLE_EQ(mode->GetNormalizedValueFromStep(4), 1.0);
  EXPECT_DOUBLE_EQ(mode->GetNormalizedValueFromStep(9), 1.0);
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(0.6), 2u);   // 0.6 * 4 + 0.5 = 2.9
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(0.62), 2u);
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(0.63), 3u);  // 3.02
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(1.0), 4u);
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(2.0), 4u);
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(-1.0), 0u);
  mode->SetStepValue(3);
  EXPECT_EQ(mode->GetValue(), 3);
  EXPECT_EQ(mode->GetStepValue(), 3u);

  mode->SetNumberOfSteps(1);
  EXPECT_EQ(mode->GetNormalizedValueFromStep(1), 0.0);
  EXPECT_EQ(mode->GetStepValueFromNormalizedValue(0.9), 0u);
  mode->SetStepValue(0);
  EXPECT_EQ(mode->GetValue(), 3) << "fewer than two steps: setting a step does nothing";
}

TEST(Parameter, StepsRoundTripForEveryStep) {
  for (int32_t maxValue : {1, 2, 7, 127}) {
    auto mode = MakeSteps(maxValue);
    mode->SetNumberOfSteps(static_cast<uint32_t>(maxValue + 1));
    for (uint32_t step = 0; step <= static_cast<uint32_t>(maxValue); ++step) {
      ASSERT_EQ(mode->GetStepValueFromNormalizedValue(mode->GetNormalizedValueFromStep(step)), step);
      mode->SetStepValue(step);
      ASSERT_EQ(mode->GetValue(), static_cast<int32_t>(step));
    }
  }
}

TEST(Parameter, WithoutDelegateValuesApplyAtOnce) {
  auto gain = MakeGain();
  gain->SetNormalizedValue(0.75);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 6.0);
  EXPECT_TRUE(gain->SetValueWithDouble(-3.0));
  EXPECT_DOUBLE_EQ(gain->GetValue(), -3.0);
  gain->SetToDefaultValue();
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);
}

TEST(Parameter, OutOfRangeNormalizedValuesAreClampedAndNaNIgnored) {
  auto gain = MakeGain();
  gain->SetNormalizedValue(7.0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 12.0);
  gain->SetNormalizedValue(-3.0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), -12.0);
  gain->SetNormalizedValue(std::numeric_limits<double>::quiet_NaN());
  gain->UpdateNormalizedValue(std::numeric_limits<double>::quiet_NaN());
  gain->SetNormalizedDefaultValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(gain->GetValue(), -12.0);
  EXPECT_DOUBLE_EQ(gain->GetDefaultValue(), 0.0);
  gain->SetNormalizedDefaultValue(1.5);
  EXPECT_DOUBLE_EQ(gain->GetDefaultValue(), 12.0);
}

TEST_F(Automated, ValueChangesOnlyWhenTheHostAnswers) {
  auto gain = MakeGain();
  gain->SetAutomationDelegate(&wrapper);
  host.Log().Clear();

  gain->SetNormalizedValue(0.75);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0) << "a request must not change the value";
  EXPECT_EQ(CallNames(host.Log()),
            (std::vector<std::string>{"PostTouchRequest", "PostSetValueRequest", "PostReleaseRequest"}));
  EXPECT_TRUE(host.Log().Calls()[1].Is("PostSetValueRequest", {"7", "0.75"}));

  host.Log().Clear();
  gain->UpdateNormalizedValue(0.75);  // the host's answer
  EXPECT_DOUBLE_EQ(gain->GetValue(), 6.0);
  ASSERT_EQ(host.Log().Size(), 1u);
  EXPECT_TRUE(host.Log().Calls()[0].Is("PostCurrentValue", {"7", "0.75"}));

  gain->UpdateNormalizedValue(0.75);  // same value again: nothing to tell
  EXPECT_EQ(host.Log().Size(), 1u);
  gain->UpdateNormalizedValue(0.5);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);
  EXPECT_EQ(host.Log().Size(), 2u);
}

TEST_F(Automated, FirstAnswerIsAlwaysPostedEvenForTheSameValue) {
  auto gain = MakeGain();
  gain->SetAutomationDelegate(&wrapper);
  gain->SetNormalizedValue(0.5);  // the current value; the request still goes out
  host.Log().Clear();
  gain->UpdateNormalizedValue(0.5);
  EXPECT_EQ(host.Log().Count("PostCurrentValue"), 0u) << "the notify flag was cleared by construction";
  gain->SetTaperDelegate(*std::make_unique<AAX_CLinearTaperDelegate<double>>(-12.0, 12.0), true);
  host.Log().Clear();
  gain->UpdateNormalizedValue(0.5);
  EXPECT_EQ(host.Log().Count("PostCurrentValue"), 1u) << "a new taper forces the next value through";
}

TEST_F(Automated, DelegateChangeRegistersAndUnregisters) {
  aaxhost::AutomationDelegate second(host.Log(), "second");
  AAX_VAutomationDelegate secondWrapper(&second);
  {
    auto gain = MakeGain("9");
    gain->SetAutomationDelegate(&wrapper);
    EXPECT_EQ(automation.Registered(), std::set<std::string>{"9"});
    gain->SetAutomationDelegate(&secondWrapper);
    EXPECT_TRUE(automation.Registered().empty());
    EXPECT_EQ(second.Registered(), std::set<std::string>{"9"});
    gain->Touch();
    EXPECT_TRUE(second.IsTouched("9"));
    gain->Release();
    EXPECT_FALSE(second.IsTouched("9"));
  }
  EXPECT_TRUE(second.Registered().empty()) << "a deleted parameter unregisters";
}

TEST_F(Automated, TouchAndReleaseWithoutDelegateDoNothing) {
  auto gain = MakeGain();
  gain->Touch();
  gain->Release();
  EXPECT_EQ(host.Log().Size(), 0u);
}

TEST(Parameter, NewTaperKeepsRealValueOrNormalizedPosition) {
  auto gain = MakeGain();
  gain->SetNormalizedValue(0.75);  // 6 dB of -12..12
  ASSERT_DOUBLE_EQ(gain->GetValue(), 6.0);
  gain->SetTaperDelegate(*std::make_unique<AAX_CLinearTaperDelegate<double>>(0.0, 24.0), true);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 6.0);
  EXPECT_DOUBLE_EQ(gain->GetNormalizedValue(), 0.25);
  gain->SetTaperDelegate(*std::make_unique<AAX_CLinearTaperDelegate<double>>(-24.0, 0.0), false);
  EXPECT_DOUBLE_EQ(gain->GetNormalizedValue(), 0.25);
  EXPECT_DOUBLE_EQ(gain->GetValue(), -18.0);
}

TEST(Parameter, DelegateOfAnotherTypeIsRefused) {
  aaxhost::Host host;
  aaxtest::HostServicesScope services(host);
  auto gain = MakeGain();
  AAX_CBinaryTaperDelegate<bool> wrongTaper;
  gain->SetTaperDelegate(wrongTaper, true);
  AAX_CBinaryDisplayDelegate<bool> wrongDisplay("off", "on");
  gain->SetDisplayDelegate(wrongDisplay);
  EXPECT_EQ(host.Services().Asserts().size(), 2u);
  gain->SetNormalizedValue(1.0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 12.0);
  AAX_CString text;
  gain->GetValueString(&text);
  EXPECT_EQ(text.StdString(), "12.00dB");
}

TEST_F(Automated, NewDisplayIsAnnouncedToTheHost) {
  auto gain = MakeGain();
  gain->SetAutomationDelegate(&wrapper);
  host.Log().Clear();
  AAX_CNumberDisplayDelegate<double, 1> plain;
  gain->SetDisplayDelegate(plain);
  ASSERT_EQ(host.Log().Size(), 1u);
  EXPECT_TRUE(host.Log().Calls()[0].Is("PostCurrentValue", {"7", "0.5"}));
  AAX_CString text;
  gain->GetValueString(&text);
  EXPECT_EQ(text.StdString(), "0.0");
}

TEST(Parameter, TypedConversionsOnlyForTheOwnType) {
  auto gain = MakeGain();
  double n = -1.0;
  EXPECT_TRUE(gain->GetNormalizedValueFromDouble(6.0, &n));
  EXPECT_DOUBLE_EQ(n, 0.75);
  EXPECT_FALSE(gain->GetNormalizedValueFromInt32(6, &n));
  EXPECT_FALSE(gain->GetNormalizedValueFromBool(true, &n));
  EXPECT_FALSE(gain->GetNormalizedValueFromFloat(6.0f, &n));
  double real = 0.0;
  EXPECT_TRUE(gain->GetDoubleFromNormalizedValue(0.25, &real));
  EXPECT_DOUBLE_EQ(real, -6.0);
  int32_t i = 0;
  bool b = false;
  float f = 0.0f;
  EXPECT_FALSE(gain->GetInt32FromNormalizedValue(0.25, &i));
  EXPECT_FALSE(gain->GetValueAsBool(&b));
  EXPECT_FALSE(gain->GetValueAsFloat(&f));
  EXPECT_FALSE(gain->SetValueWithInt32(3));
  EXPECT_FALSE(gain->SetValueWithBool(true));
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);

  AAX_CParameter<bool> bypass("b", AAX_CString("Master Bypass"), false, AAX_CBinaryTaperDelegate<bool>(),
                              AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
  EXPECT_TRUE(bypass.SetValueWithBool(true));
  EXPECT_TRUE(bypass.GetValueAsBool(&b));
  EXPECT_TRUE(b);
  std::unique_ptr<AAX_IParameterValue> copy(bypass.CloneValue());
  b = false;
  EXPECT_TRUE(copy->GetValueAsBool(&b));
  EXPECT_TRUE(b);
  EXPECT_FALSE(copy->GetValueAsDouble(&real));
  AAX_CString text;
  EXPECT_TRUE(bypass.GetValueAsString(&text));
  EXPECT_EQ(text.StdString(), "on");
}

TEST(Parameter, TextsReadBackAndBadTextsChangeNothing) {
  auto gain = MakeGain();
  EXPECT_TRUE(gain->SetValueFromString(AAX_CString("-4.5dB")));
  EXPECT_DOUBLE_EQ(gain->GetValue(), -4.5);
  EXPECT_FALSE(gain->SetValueFromString(AAX_CString("quiet")));
  EXPECT_DOUBLE_EQ(gain->GetValue(), -4.5);
  double n = -1.0;
  EXPECT_TRUE(gain->GetNormalizedValueFromString(AAX_CString("12dB"), &n));
  EXPECT_DOUBLE_EQ(n, 1.0);
  EXPECT_FALSE(gain->GetNormalizedValueFromString(AAX_CString("?"), &n));
  AAX_CString text;
  EXPECT_TRUE(gain->GetStringFromNormalizedValue(0.25, text));
  EXPECT_EQ(text.StdString(), "-6.00dB");
  EXPECT_TRUE(gain->GetStringFromNormalizedValue(0.25, 5, text));
  EXPECT_EQ(text.StdString(), "-6.00");
}

TEST(Parameter, ShortenedNames) {
  auto gain = MakeGain();
  EXPECT_EQ(gain->ShortenedName(3).StdString(), "Gain");  // none given: the name
  gain->AddShortenedName(AAX_CString("Gn"));
  gain->AddShortenedName(AAX_CString("Gain"));
  gain->AddShortenedName(AAX_CString("G"));
  EXPECT_EQ(gain->ShortenedName(1).StdString(), "G");
  EXPECT_EQ(gain->ShortenedName(3).StdString(), "Gn");
  EXPECT_EQ(gain->ShortenedName(30).StdString(), "Gain");
  EXPECT_EQ(gain->ShortenedName(0).StdString(), "G");  // nothing fits: the shortest
  gain->ClearShortenedNames();
  EXPECT_EQ(gain->ShortenedName(1).StdString(), "Gain");
}
