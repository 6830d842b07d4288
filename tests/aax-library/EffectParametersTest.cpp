#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <thread>

#include "TestDescription.h"
#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CBinaryTaperDelegate.h"
#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"
#include "aax-library/AAX_CStringDisplayDelegate.h"
#include "aax-library/AAX_CUnitDisplayDelegateDecorator.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"

namespace {
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct EffectOptions {
  bool namedBypass = false;  // "MasterBypassID" instead of the empty identifier
  bool preview = false;
  bool gainPacket = false;
  AAX_Result initResult = AAX_SUCCESS;
};

// An effect shaped like the product's: a bool bypass first, then a double, an enumerated and a
// second double parameter.
class TestEffect : public AAX_CEffectParameters {
public:
  explicit TestEffect(EffectOptions options = {}) : mOptions(options) {}

  using AAX_CEffectParameters::mPacketDispatcher;

protected:
  AAX_Result EffectInit() override {
    AAX_CString bypassID;
    GetMasterBypassParameter(&bypassID);
    auto* bypass = new AAX_CParameter<bool>(mOptions.namedBypass ? "MasterBypassID" : bypassID.Get(),
                                            AAX_CString("Master Bypass"), false, AAX_CBinaryTaperDelegate<bool>(),
                                            AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
    bypass->SetNumberOfSteps(2);
    bypass->SetType(AAX_eParameterType_Discrete);
    mParameterManager.AddParameter(bypass);
    mParameterManager.AddParameter(new AAX_CParameter<double>(
        "1", AAX_CString("Gain"), 0.0, AAX_CLinearTaperDelegate<double>(-12.0, 12.0),
        AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double>(), "dB"), true));
    auto* mode = new AAX_CParameter<int32_t>(
        "2", AAX_CString("Mode"), 1, AAX_CLinearTaperDelegate<int32_t, 1>(0, 3),
        AAX_CStringDisplayDelegate<int32_t>({{0, "Off"}, {1, "Soft"}, {2, "Hard"}}), true);
    mode->SetNumberOfSteps(4);
    mode->SetType(AAX_eParameterType_Discrete);
    mParameterManager.AddParameter(mode);
    mParameterManager.AddParameter(new AAX_CParameter<double>(
        "3", AAX_CString("Threshold\nThresh\nThr"), -10.0, AAX_CLinearTaperDelegate<double>(-60.0, 0.0),
        AAX_CNumberDisplayDelegate<double>(), false));
    if (mOptions.preview) {
      mParameterManager.AddParameter(new AAX_CParameter<bool>("PreviewID", AAX_CString("Preview"), false,
                                                              AAX_CBinaryTaperDelegate<bool>(),
                                                              AAX_CBinaryDisplayDelegate<bool>("off", "on"), true));
    }
    if (mOptions.gainPacket) {
      mPacketDispatcher.RegisterPacket("1", 5, [this](AAX_CParamID id, AAX_CPacket& packet) {
        double gain = 0.0;
        FindParameter(id)->GetValueAsDouble(&gain);
        packet.Set(gain);
        return AAX_SUCCESS;
      });
    }
    return mOptions.initResult;
  }

private:
  EffectOptions mOptions;
};

struct EffectParameters : ::testing::Test {
  aaxhost::Host host;
  aaxhost::Instance instance{host.Log(), nullptr};
  TestEffect* effect = nullptr;

  AAX_Result Start(EffectOptions options = {}) {
    effect = new TestEffect(options);
    return instance.Adopt(effect->GetPrivateUnknown());
  }
  AAX_IACFEffectParameters& Host() { return *instance.Effect(); }
  double Normalized(const char* id) {
    double value = -1.0;
    EXPECT_EQ(Host().GetParameterNormalizedValue(id, &value), 0);
    return value;
  }
  std::string ValueString(const char* id, int32_t maxLength = 64) {
    AAX_CString text;
    Host().GetParameterValueString(id, &text, maxLength);
    return text.StdString();
  }
  int32_t Changes() {
    int32_t changes = -1;
    Host().GetNumberOfChanges(&changes);
    return changes;
  }
};
}  // namespace

TEST_F(EffectParameters, InitializeBuildsParametersAndAnswersTheBypassQuery) {
  ASSERT_EQ(Start(), 0);
  int32_t count = 0;
  EXPECT_EQ(Host().GetNumberOfParameters(&count), 0);
  EXPECT_EQ(count, 4);
  AAX_CString bypass("x");
  EXPECT_EQ(Host().GetMasterBypassParameter(&bypass), 0);
  EXPECT_EQ(bypass.StdString(), "");
  EXPECT_EQ(effect->NumChunkedParameters(), 3);
  EXPECT_EQ(effect->FilteredParameters(), std::set<std::string>{""});
  EXPECT_NE(effect->Controller(), nullptr);
  EXPECT_NE(effect->Transport(), nullptr);
  EXPECT_NE(effect->AutomationDelegate(), nullptr);
  EXPECT_EQ(instance.Automation().Registered(), (std::set<std::string>{"", "1", "2", "3"}));
  AAX_CString id;
  EXPECT_EQ(Host().GetParameterIDFromIndex(0, &id), 0);
  EXPECT_EQ(id.StdString(), "");
  EXPECT_EQ(Host().GetParameterIDFromIndex(3, &id), 0);
  EXPECT_EQ(id.StdString(), "3");
}

TEST_F(EffectParameters, NamedBypassIsReportedAndLeftOutOfTheChunk) {
  ASSERT_EQ(Start({.namedBypass = true}), 0);
  AAX_CString bypass;
  Host().GetMasterBypassParameter(&bypass);
  EXPECT_EQ(bypass.StdString(), "MasterBypassID");
  EXPECT_EQ(effect->FilteredParameters(), std::set<std::string>{"MasterBypassID"});
  EXPECT_EQ(effect->NumChunkedParameters(), 3);
}

TEST_F(EffectParameters, EffectInitFailureIsReturned) {
  EXPECT_EQ(Start({.initResult = -20700}), -20700);
}

TEST_F(EffectParameters, UnknownIdentifiersGiveInvalidParameterID) {
  ASSERT_EQ(Start(), 0);
  AAX_CString text;
  double d = 0.0;
  int32_t i = 0;
  AAX_CBoolean b = 0;
  AAX_EParameterType type{};
  AAX_EParameterOrientation orientation{};
  AAX_IParameter* parameter = reinterpret_cast<AAX_IParameter*>(0x1);
  const std::vector<std::function<AAX_Result(const char*)>> queries = {
      [&](const char* id) { return Host().GetParameterIsAutomatable(id, &b); },
      [&](const char* id) { return Host().GetParameterNumberOfSteps(id, &i); },
      [&](const char* id) { return Host().GetParameterName(id, &text); },
      [&](const char* id) { return Host().GetParameterNameOfLength(id, &text, 4); },
      [&](const char* id) { return Host().GetParameterDefaultNormalizedValue(id, &d); },
      [&](const char* id) { return Host().SetParameterDefaultNormalizedValue(id, 0.5); },
      [&](const char* id) { return Host().GetParameterType(id, &type); },
      [&](const char* id) { return Host().GetParameterOrientation(id, &orientation); },
      [&](const char* id) { return Host().GetParameter(id, &parameter); },
      [&](const char* id) { return Host().GetParameterIndex(id, &i); },
      [&](const char* id) { return Host().GetParameterValueFromString(id, &d, AAX_CString("1")); },
      [&](const char* id) { return Host().GetParameterStringFromValue(id, 0.5, &text, 8); },
      [&](const char* id) { return Host().GetParameterValueString(id, &text, 8); },
      [&](const char* id) { return Host().GetParameterNormalizedValue(id, &d); },
      [&](const char* id) { return Host().SetParameterNormalizedValue(id, 0.5); },
      [&](const char* id) { return Host().SetParameterNormalizedRelative(id, 0.1); },
      [&](const char* id) { return Host().TouchParameter(id); },
      [&](const char* id) { return Host().ReleaseParameter(id); },
      [&](const char* id) { return Host().UpdateParameterTouch(id, 1); },
      [&](const char* id) { return Host().UpdateParameterNormalizedValue(id, 0.5, AAX_eUpdateSource_Parameter); },
      [&](const char* id) { return Host().UpdateParameterNormalizedRelative(id, 0.1); },
  };
  for (std::size_t q = 0; q < queries.size(); ++q) {
    for (const char* id : {"4", "MasterBypassID", "01", static_cast<const char*>(nullptr)}) {
      EXPECT_EQ(queries[q](id), AAX_ERROR_INVALID_PARAMETER_ID) << "query " << q << " id " << (id ? id : "null");
    }
  }
  EXPECT_EQ(parameter, nullptr);
  text.Set("x");
  EXPECT_EQ(Host().GetParameterIDFromIndex(4, &text), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(text.StdString(), "");
  EXPECT_EQ(Host().GetParameterIDFromIndex(-1, &text), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(Changes(), 0);
}

TEST_F(EffectParameters, BeforeInitializeEveryParameterIsUnknown) {
  effect = new TestEffect;
  IACFUnknown* unknown = effect->GetPrivateUnknown();
  unknown->AddRef();
  double d = 0.0;
  int32_t count = -1;
  EXPECT_EQ(effect->GetNumberOfParameters(&count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(effect->GetParameterNormalizedValue("1", &d), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(effect->Controller(), nullptr);
  unknown->Release();
}

TEST_F(EffectParameters, MissingOutputsAreRefused) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().GetNumberOfParameters(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetMasterBypassParameter(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetParameterName("1", nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetParameterNameOfLength("1", nullptr, 3), AAX_ERROR_INVALID_STRING_CONVERSION);
  EXPECT_EQ(Host().GetParameterNormalizedValue("1", nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetParameterValueString("1", nullptr, 3), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetParameterIDFromIndex(0, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetNumberOfChanges(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().GetNumberOfChunks(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Host().CompareActiveChunk(nullptr, nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(EffectParameters, ParameterFacts) {
  ASSERT_EQ(Start(), 0);
  AAX_CBoolean automatable = 9;
  EXPECT_EQ(Host().GetParameterIsAutomatable("1", &automatable), 0);
  EXPECT_EQ(automatable, 1);
  EXPECT_EQ(Host().GetParameterIsAutomatable("3", &automatable), 0);
  EXPECT_EQ(automatable, 0);
  int32_t steps = 0;
  Host().GetParameterNumberOfSteps("", &steps);
  EXPECT_EQ(steps, 2);
  Host().GetParameterNumberOfSteps("2", &steps);
  EXPECT_EQ(steps, 4);
  Host().GetParameterNumberOfSteps("1", &steps);
  EXPECT_EQ(steps, 128);
  AAX_IParameter* mode = nullptr;
  ASSERT_EQ(Host().GetParameter("2", &mode), 0);
  mode->SetNumberOfSteps(0x80000000u);
  EXPECT_EQ(Host().GetParameterNumberOfSteps("2", &steps), AAX_ERROR_SIGNED_INT_OVERFLOW);
  AAX_EParameterType type{};
  Host().GetParameterType("", &type);
  EXPECT_EQ(type, AAX_eParameterType_Discrete);
  Host().GetParameterType("1", &type);
  EXPECT_EQ(type, AAX_eParameterType_Continuous);
  AAX_EParameterOrientation orientation = AAX_eParameterOrientation_RightMinLeftMax;
  EXPECT_EQ(Host().GetParameterOrientation("1", &orientation), 0);
  EXPECT_EQ(orientation, 0);
  AAX_CString name;
  Host().GetParameterName("", &name);
  EXPECT_EQ(name.StdString(), "Master Bypass");
  int32_t index = -1;
  EXPECT_EQ(Host().GetParameterIndex("2", &index), 0);
  EXPECT_EQ(index, 2);
  int32_t info = 0;
  EXPECT_EQ(Host().GetParameterValueInfo("1", 0, &info), AAX_ERROR_UNIMPLEMENTED);
}

TEST_F(EffectParameters, NameOfLengthTakesTheLongestLineThatFits) {
  ASSERT_EQ(Start(), 0);
  const auto name = [&](const char* id, int32_t length) {
    AAX_CString text("x");
    EXPECT_EQ(Host().GetParameterNameOfLength(id, &text, length), 0);
    return text.StdString();
  };
  EXPECT_EQ(name("3", 20), "Threshold");
  EXPECT_EQ(name("3", 8), "Thresh");
  EXPECT_EQ(name("3", 6), "Thresh");
  EXPECT_EQ(name("3", 5), "Thr");
  EXPECT_EQ(name("3", 3), "Thr");
  EXPECT_EQ(name("3", 2), "Th");  // no line fits: the name cut
  EXPECT_EQ(name("3", 0), "");
  EXPECT_EQ(name("3", -4), "");
  EXPECT_EQ(name("1", 2), "Ga");
  EXPECT_EQ(name("", 13), "Master Bypass");
}

TEST_F(EffectParameters, SetIsARequestThatTheHostAnswers) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().SetParameterNormalizedValue("1", 0.75), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.75);
  EXPECT_EQ(ValueString("1"), "6.00dB");
  EXPECT_EQ(Changes(), 1);

  instance.Automation().SetAnswerMode(aaxhost::AutomationDelegate::AnswerMode::Queued);
  EXPECT_EQ(Host().SetParameterNormalizedValue("1", 0.25), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.75) << "unchanged until the host answers";
  EXPECT_EQ(Changes(), 1);
  EXPECT_EQ(instance.Automation().DeliverPending(), 1);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.25);
  EXPECT_EQ(Changes(), 2);

  instance.Automation().SetAnswerMode(aaxhost::AutomationDelegate::AnswerMode::Immediately);
  instance.Automation().RefuseWrites("1");
  Host().SetParameterNormalizedValue("1", 1.0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.25) << "a refused write changes nothing";
}

TEST_F(EffectParameters, HostUpdatesApplyAndCountChanges) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("2", 1.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(ValueString("2"), "String Not Found");
  AAX_CString text;
  EXPECT_EQ(Host().GetParameterValueString("2", &text, 16), AAX_ERROR_INVALID_STRING_CONVERSION);
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("2", 2.0 / 3.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(ValueString("2"), "Hard");
  EXPECT_EQ(Changes(), 2);
  const auto posted = instance.Automation().CurrentValues();
  EXPECT_NEAR(posted.at("2"), 2.0 / 3.0, 1e-12);
}

TEST_F(EffectParameters, RelativeChangesStayInRange) {
  ASSERT_EQ(Start(), 0);
  Host().SetParameterNormalizedValue("1", 0.9);
  EXPECT_EQ(Host().SetParameterNormalizedRelative("1", 0.5), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 1.0);
  EXPECT_EQ(Host().UpdateParameterNormalizedRelative("1", -0.25), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.75);
  EXPECT_EQ(Host().UpdateParameterNormalizedRelative("1", -3.0), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.0);
  EXPECT_EQ(Host().SetParameterNormalizedRelative("1", kNaN), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.0);
}

TEST_F(EffectParameters, BadNormalizedValuesFromTheHost) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().SetParameterNormalizedValue("1", kNaN), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("1", kNaN, AAX_eUpdateSource_Parameter), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(Host().SetParameterDefaultNormalizedValue("1", kNaN), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(Host().GetParameterStringFromValue("1", kNaN, nullptr, 4), AAX_ERROR_NULL_ARGUMENT);
  AAX_CString text;
  EXPECT_EQ(Host().GetParameterStringFromValue("1", kNaN, &text, 4), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.5);
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("1", 1.7, AAX_eUpdateSource_Parameter), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 1.0);
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("2", -4.0, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(ValueString("2"), "Off");
  EXPECT_EQ(Host().UpdateParameterNormalizedValue("", 1e300, AAX_eUpdateSource_Parameter), 0);
  EXPECT_EQ(ValueString(""), "on");
}

TEST_F(EffectParameters, DefaultsThroughTheHost) {
  ASSERT_EQ(Start(), 0);
  double value = -1.0;
  EXPECT_EQ(Host().GetParameterDefaultNormalizedValue("3", &value), 0);
  EXPECT_NEAR(value, 50.0 / 60.0, 1e-12);
  EXPECT_EQ(Host().SetParameterDefaultNormalizedValue("3", 0.5), 0);
  Host().GetParameterDefaultNormalizedValue("3", &value);
  EXPECT_DOUBLE_EQ(value, 0.5);
}

TEST_F(EffectParameters, TextConversions) {
  ASSERT_EQ(Start(), 0);
  double normalized = -1.0;
  EXPECT_EQ(Host().GetParameterValueFromString("1", &normalized, AAX_CString("-6dB")), 0);
  EXPECT_DOUBLE_EQ(normalized, 0.25);
  EXPECT_EQ(Host().GetParameterValueFromString("1", &normalized, AAX_CString("loud")), AAX_ERROR_INVALID_STRING_CONVERSION);
  EXPECT_EQ(Host().GetParameterValueFromString("2", &normalized, AAX_CString("Hard")), 0);
  EXPECT_NEAR(normalized, 2.0 / 3.0, 1e-12);
  AAX_CString text;
  EXPECT_EQ(Host().GetParameterStringFromValue("1", 1.0, &text, 32), 0);
  EXPECT_EQ(text.StdString(), "12.00dB");
  EXPECT_EQ(Host().GetParameterStringFromValue("1", 1.0, &text, 6), 0);
  EXPECT_EQ(text.StdString(), "12.00");
  EXPECT_EQ(Host().GetParameterStringFromValue("1", 1.0, &text, 3), 0);
  EXPECT_EQ(text.StdString(), "12");
  EXPECT_EQ(ValueString("", 2), "bypass");
}

TEST_F(EffectParameters, TouchAndReleaseReachTheHost) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().TouchParameter("1"), 0);
  EXPECT_TRUE(instance.Automation().IsTouched("1"));
  EXPECT_EQ(Host().UpdateParameterTouch("1", 0), 0);
  EXPECT_TRUE(instance.Automation().IsTouched("1")) << "a touch update from the host is only accepted";
  EXPECT_EQ(Host().ReleaseParameter("1"), 0);
  EXPECT_FALSE(instance.Automation().IsTouched("1"));
}

TEST_F(EffectParameters, LibraryDefaultsForChunksAndOptionalOperations) {
  ASSERT_EQ(Start(), 0);
  int32_t chunks = -1;
  EXPECT_EQ(Host().GetNumberOfChunks(&chunks), 0);
  EXPECT_EQ(chunks, 0);
  AAX_CTypeID chunkID = 5;
  EXPECT_EQ(Host().GetChunkIDFromIndex(0, &chunkID), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(chunkID, 0u);
  uint32_t size = 9;
  EXPECT_EQ(Host().GetChunkSize(AAX_FourCC("TLK1"), &size), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(size, 0u);
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(AAX_FourCC("TLK1"), "abc", 3);
  EXPECT_EQ(Host().GetChunk(AAX_FourCC("TLK1"), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(Host().SetChunk(AAX_FourCC("TLK1"), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  record.SetDeclaredSize(-50);
  EXPECT_EQ(Host().SetChunk(AAX_FourCC("TLK1"), record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  AAX_CBoolean equal = 0;
  EXPECT_EQ(Host().CompareActiveChunk(record.Get(), &equal), 0);
  EXPECT_EQ(equal, 1);
  aaxhost::ChunkRecord read;
  EXPECT_EQ(aaxhost::ReadChunk(Host(), AAX_FourCC("TLK1"), &read), AAX_ERROR_INVALID_CHUNK_ID);

  EXPECT_EQ(Host().GetCurveData(0, nullptr, 0, nullptr), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(Host().GetCurveDataMeterIds(0, nullptr, nullptr), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(Host().GetCurveDataDisplayRange(0, nullptr, nullptr, nullptr, nullptr), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(Host().RenderAudio_Hybrid(nullptr), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(Host().TimerWakeup(), 0);
  uint32_t customSize = 7;
  EXPECT_EQ(Host().GetCustomData(0, 16, nullptr, &customSize), 0);
  EXPECT_EQ(customSize, 0u);
  EXPECT_EQ(Host().SetCustomData(0, 0, nullptr), 0);
  EXPECT_EQ(Host().DoMIDITransfers(), 0);
  AAX_CMidiPacket packet;
  EXPECT_EQ(Host().UpdateMIDINodes(4, packet), 0);
  EXPECT_EQ(Host().UpdateControlMIDINodes(0, packet), 0);
  EXPECT_EQ(Host().UpdatePageTable(0, 0, 0, nullptr), 0);
  EXPECT_EQ(Host().GenerateCoefficients(), 0);
}

TEST_F(EffectParameters, ResetFieldDataClearsTheBlock) {
  ASSERT_EQ(Start(), 0);
  unsigned char block[12];
  std::memset(block, 0xAB, sizeof block);
  EXPECT_EQ(Host().ResetFieldData(23, block, 8), 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(block[i], 0);
  EXPECT_EQ(block[8], 0xAB);
  EXPECT_EQ(Host().ResetFieldData(23, nullptr, 8), 0);
}

TEST_F(EffectParameters, HostWithoutAutomationLetsValuesApplyDirectly) {
  instance.Context().WithholdAutomation();
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().SetParameterNormalizedValue("1", 1.0), 0);
  EXPECT_DOUBLE_EQ(Normalized("1"), 1.0);
}

TEST_F(EffectParameters, UninitializeDeletesParametersAndWrappers) {
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(Host().Uninitialize(), 0);
  EXPECT_TRUE(instance.Automation().Registered().empty());
  int32_t count = -1;
  Host().GetNumberOfParameters(&count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(effect->Controller(), nullptr);
  EXPECT_EQ(effect->AutomationDelegate(), nullptr);
  double value = 0.0;
  EXPECT_EQ(Host().GetParameterNormalizedValue("1", &value), AAX_ERROR_INVALID_PARAMETER_ID);
  // Initialised again, and twice in a row, it starts afresh each time.
  EXPECT_EQ(Host().Initialize(&instance.Context()), 0);
  EXPECT_EQ(Host().Initialize(&instance.Context()), 0);
  Host().GetNumberOfParameters(&count);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(effect->NumChunkedParameters(), 3);
}

TEST_F(EffectParameters, PreviewNotificationSetsThePreviewParameter) {
  ASSERT_EQ(Start({.preview = true}), 0);
  const int32_t on = 1;
  EXPECT_EQ(Host().NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &on, sizeof on), 0);
  AAX_IParameter* preview = nullptr;
  ASSERT_EQ(Host().GetParameter("PreviewID", &preview), 0);
  bool value = false;
  EXPECT_TRUE(preview->GetValueAsBool(&value));
  EXPECT_TRUE(value);
  const int32_t off = 0;
  EXPECT_EQ(Host().NotificationReceived(AAX_eNotificationEvent_ASPreviewState, &off, 2), 0);  // too short: ignored
  EXPECT_EQ(Host().NotificationReceived(AAX_eNotificationEvent_ASPreviewState, nullptr, 4), 0);
  preview->GetValueAsBool(&value);
  EXPECT_TRUE(value);
  EXPECT_EQ(Host().NotificationReceived(AAX_eNotificationEvent_TrackNameChanged, nullptr, 0), 0);
}

TEST_F(EffectParameters, CoefficientsPostDirtyPacketsThroughTheController) {
  ASSERT_EQ(Start({.gainPacket = true}), 0);
  EXPECT_EQ(Host().GenerateCoefficients(), 0);  // registered packets start dirty
  ASSERT_EQ(instance.GetController().Packets().size(), 1u);
  EXPECT_EQ(Host().GenerateCoefficients(), 0);
  EXPECT_EQ(instance.GetController().Packets().size(), 1u) << "a clean packet is not posted again";
  Host().SetParameterNormalizedValue("1", 1.0);
  EXPECT_EQ(Host().GenerateCoefficients(), 0);
  const auto packets = instance.GetController().Packets();
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(packets[1].index, 5);
  ASSERT_EQ(packets[1].data.size(), sizeof(double));
  double gain = 0.0;
  std::memcpy(&gain, packets[1].data.data(), sizeof gain);
  EXPECT_DOUBLE_EQ(gain, 12.0);
}

TEST_F(EffectParameters, QueryInterfaceAnswersAllFourVersions) {
  ASSERT_EQ(Start(), 0);
  for (const acfIID& iid : {IID_IAAXEffectParametersV1, IID_IAAXEffectParametersV2, IID_IAAXEffectParametersV3,
                            IID_IAAXEffectParametersV4}) {
    void* out = nullptr;
    ASSERT_EQ(Host().QueryInterface(iid, &out), ACF_OK);
    EXPECT_EQ(out, static_cast<void*>(instance.Effect()));
    instance.Effect()->Release();
  }
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(Host().QueryInterface(IID_IAAXEffectGUIV1, &out), ACF_E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

// Hosts update values from several threads at once (automation, a state load, the editor's
// requests answered): no change is lost from the count, and each value read is one written.
// Built with the linux-tsan preset this is also the race detector's test.
TEST_F(EffectParameters, HostThreadsUpdatingAtOnceLoseNoChange) {
  ASSERT_EQ(Start(), 0);
  constexpr int kUpdates = 20000;
  const int32_t before = Changes();
  auto automate = [this](double value) {
    for (int i = 0; i < kUpdates; ++i)
      Host().UpdateParameterNormalizedValue("1", (i % 2) ? value : 0.5, AAX_eUpdateSource_Parameter);
  };
  std::thread first(automate, 0.25);
  std::thread second(automate, 0.75);
  for (int i = 0; i < kUpdates; ++i) {
    const double value = Normalized("1");
    ASSERT_TRUE(value == 0.25 || value == 0.5 || value == 0.75) << value;
  }
  first.join();
  second.join();
  EXPECT_EQ(Changes() - before, 2 * kUpdates);
}
