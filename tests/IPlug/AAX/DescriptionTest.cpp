#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AAXTestRig.h"
#include "IPlug/AAX/IPlugAAX_Describe.h"
#include "IPlug/AAX/IPlugAAX_Parameters.h"
#include "IPlug/IPlugProcessor.h"
#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_Exports.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/AAX_VCollection.h"

namespace {

std::vector<std::string> CallTexts(const aaxhost::CallLog& log, const std::string& object) {
  std::vector<std::string> texts;
  for (const aaxhost::Call& call : log.CallsOf(object)) texts.push_back(call.ToString());
  return texts;
}

std::string Int(uint32_t value) { return std::to_string(static_cast<int32_t>(value)); }

// The fields every component of the product registers, in order; the mono and stereo
// components differ only in their properties.
std::vector<std::string> ExpectedComponentCalls(const std::string& label, const std::string& properties) {
  std::vector<std::string> calls = {
      label + " AddPrivateData(6, 4, 0)",
      label + " AddPrivateData(4, 4, 0)",
      label + " AddPrivateData(5, 4, 0)",
      label + " AddMIDINode(7, 3, Transport, 0x0000FFFF)",
  };
  for (int i = 8; i <= 22; ++i) calls.push_back(label + " AddPrivateData(" + std::to_string(i) + ", 4, 0)");
  for (const char* call : {" AddAudioIn(0)", " AddAudioOut(1)", " AddAudioBufferLength(2)", " AddClock(3)",
                           " AddPrivateData(24, 4, 0)", " AddSideChainIn(26)", " AddPrivateData(23, 8, 0)",
                           " AddDataInPort(25, 8, 1)"}) {
    calls.push_back(label + call);
  }
  calls.push_back(label + " AddProcessProc_Native(proc, " + properties + ", (null), (null), (null))");
  return calls;
}

std::vector<std::string> ExpectedProperties(const std::string& label, uint32_t stem, uint32_t native,
                                            uint32_t audioSuite) {
  return {label + " AddProperty(116, 1)",
          label + " AddProperty(56, 0)",
          label + " AddProperty(51, " + Int(stem) + ")",
          label + " AddProperty(52, " + Int(stem) + ")",
          label + " AddProperty(60, 1)",
          label + " AddProperty(300, 1)",
          label + " AddProperty(306, 1)",
          label + " AddProperty(11, " + Int(AAX_FourCC("Vtor")) + ")",
          label + " AddProperty(12, " + Int(AAX_FourCC("TLK1")) + ")",
          label + " AddProperty(13, " + Int(native) + ")",
          label + " AddProperty(14, " + Int(audioSuite) + ")"};
}

struct ProductDescription : ::testing::Test {
  aaxhost::Host host;
  aaxtest::HostServicesScope services{host};

  ACFRESULT Register() {
    IACFPluginDefinition* definition = nullptr;
    const ACFRESULT result = ACFRegisterPlugin(host.Unknown(), &definition);
    if (definition) definition->Release();
    return result;
  }
};

TEST_F(ProductDescription, RegistersTwoComponentsWithEveryFieldAndPropertyInOrder) {
  ASSERT_EQ(Register(), 0);
  aaxhost::EffectDescriptor* effect = host.FindRegisteredEffect("com.Vantorell.aax.Tollenbrook");
  ASSERT_NE(effect, nullptr);
  ASSERT_EQ(effect->Components().size(), 2u);

  EXPECT_EQ(CallTexts(host.Log(), "component#1"), ExpectedComponentCalls("component#1", "properties#1"));
  EXPECT_EQ(CallTexts(host.Log(), "component#2"), ExpectedComponentCalls("component#2", "properties#2"));
  EXPECT_EQ(CallTexts(host.Log(), "properties#1"),
            ExpectedProperties("properties#1", AAX_eStemFormat_Mono, AAX_FourCC("IEF1"), AAX_FourCC("IEA1")));
  EXPECT_EQ(CallTexts(host.Log(), "properties#2"),
            ExpectedProperties("properties#2", AAX_eStemFormat_Stereo, AAX_FourCC("IEF2"), AAX_FourCC("IEA2")));

  EXPECT_EQ(CallTexts(host.Log(), "effect#1"),
            (std::vector<std::string>{"effect#1 AddName(Tollenbrook)", "effect#1 AddCategory(2)",
                                      "effect#1 AddComponent(component#1)", "effect#1 AddComponent(component#2)",
                                      "effect#1 AddProcPtr(proc, 0)", "effect#1 AddProcPtr(proc, 1)"}));
  EXPECT_EQ(CallTexts(host.Log(), "collection#1"),
            (std::vector<std::string>{"collection#1 AddPackageName(Tollenbrook)",
                                      "collection#1 AddEffect(com.Vantorell.aax.Tollenbrook, effect#1)",
                                      "collection#1 SetManufacturerName(Vantorell)",
                                      "collection#1 SetPackageVersion(0x00030000)"}));
  EXPECT_TRUE(host.Services().Asserts().empty());
  EXPECT_EQ(effect->CreateProc(kAAX_ProcPtrID_Create_EffectParameters), &CreateEffectParameters);
  EXPECT_EQ(host.OutstandingReferences() - host.Services().References(), 0)
      << "the description releases every host object it took (the services stay held until shut-down)";
}

TEST_F(ProductDescription, TheSideChainConfigurationsAreNotComponentsOfTheirOwn) {
  // Eight configurations, six of which carry a second input bus: only "1-1" and "2-2" are
  // described, and both take the side chain instead.
  std::vector<iplug::ChannelLayout> configs;
  int maxIn = 0, maxOut = 0, maxInBuses = 0, maxOutBuses = 0;
  ASSERT_EQ(iplug::IPlugProcessor::ParseIOConfigs(GetAAXPluginDescription().mChannelIOStr, configs, maxIn, maxOut,
                                                  maxInBuses, maxOutBuses),
            8);
  int withSideChainBus = 0;
  for (const auto& config : configs) withSideChainBus += config.NBuses(iplug::kInput) == 2 ? 1 : 0;
  EXPECT_EQ(withSideChainBus, 6);

  ASSERT_EQ(Register(), 0);
  EXPECT_EQ(host.ComponentDescriptors().size(), 2u);
  EXPECT_EQ(host.Log().Count("AddSideChainIn"), 2u);
  for (const auto& component : host.ComponentDescriptors()) {
    const aaxhost::FieldRegistration* sideChain = component->FindField(26);
    ASSERT_NE(sideChain, nullptr);
    EXPECT_EQ(sideChain->kind, aaxhost::FieldKind::SideChainIn);
    ASSERT_NE(component->ProcessProperties(), nullptr);
    EXPECT_EQ(component->ProcessProperties()->Find(AAX_eProperty_SupportsSideChainInput), 1);
    const auto in = component->ProcessProperties()->Find(AAX_eProperty_InputStemFormat);
    const auto out = component->ProcessProperties()->Find(AAX_eProperty_OutputStemFormat);
    EXPECT_EQ(in, out) << "no component changes the channel count";
  }
}

TEST_F(ProductDescription, ACollectionThatMakesNoDescriptorEndsTheRegistration) {
  host.RefuseClass(AAXCompID_AAXEffectDescriptor);
  EXPECT_EQ(Register(), -20004);
  EXPECT_EQ(host.Log().Count("AddName"), 0u);
  EXPECT_EQ(host.Log().Count("AddEffect"), 0u);
  EXPECT_EQ(host.Log().Count("SetManufacturerName"), 0u);
  EXPECT_EQ(host.FindRegisteredEffect("com.Vantorell.aax.Tollenbrook"), nullptr);
}

TEST_F(ProductDescription, AFailingComponentCallThrowsOutOfTheDescription) {
  host.FailCall("AddSideChainIn", AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(Register(), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(host.Log().Count("AddSideChainIn"), 1u) << "the first failure ends everything";
  EXPECT_EQ(host.Log().Count("AddComponent"), 0u);
  EXPECT_EQ(host.Log().Count("AddEffect"), 0u);
  bool traced = false;
  for (const aaxhost::TraceLine& line : host.Services().Traces())
    traced |= line.text.find("AAXRegisterPlugin exception caught: AAX_ERROR_NULL_ARGUMENT (-20044)") == 0;
  EXPECT_TRUE(traced);
}

TEST_F(ProductDescription, AFailedNameIsReportedAndKeepsTheEffectUnregistered) {
  host.FailCall("AddName", AAX_ERROR_EMPTY_EFFECT_NAME);
  EXPECT_EQ(Register(), AAX_ERROR_EMPTY_EFFECT_NAME);
  EXPECT_EQ(host.Log().Count("AddComponent"), 2u) << "the components are still described";
  EXPECT_EQ(host.Log().Count("AddEffect"), 0u);
  EXPECT_EQ(host.Log().Count("SetManufacturerName"), 1u);
  EXPECT_EQ(host.Log().Count("SetPackageVersion"), 1u);
  const auto asserts = host.Services().Asserts();
  ASSERT_EQ(asserts.size(), 3u) << "after each of the two components, and for the skipped effect";
  for (const aaxhost::AssertReport& report : asserts) {
    EXPECT_EQ(report.file, "IPlugAAX_Describe.cpp");
    EXPECT_EQ(report.note, "err == AAX_SUCCESS");
    EXPECT_EQ(report.flags, 1);
  }
}

// ---- descriptions other than the product's -------------------------------------------------

constexpr uint32_t kNative[] = {AAX_FourCC("Nat1"), AAX_FourCC("Nat2"), AAX_FourCC("Nat3")};
constexpr uint32_t kSuite[] = {AAX_FourCC("Sui1"), AAX_FourCC("Sui2"), AAX_FourCC("Sui3")};

iplug::AAXPluginDescription TestDescription(const char* names, const char* io) {
  iplug::AAXPluginDescription d;
  d.mEffectName = names;
  d.mBundleID = "com.tests.effect";
  d.mMfrName = "Tests";
  d.mPackageVersion = 0x00010203;
  d.mCategory = 2;
  d.mChannelIOStr = io;
  d.mMfrID = AAX_FourCC("Test");
  d.mProductID = AAX_FourCC("Prod");
  d.mNativeTypeIDs = kNative;
  d.mAudioSuiteTypeIDs = kSuite;
  d.mMidiNodeName = "Test Midi";
  return d;
}

struct OtherDescription : ::testing::Test {
  aaxhost::Host host;
  aaxtest::HostServicesScope services{host};

  AAX_Result Describe(const iplug::AAXPluginDescription& description) {
    AAX_VCollection collection(host.Unknown());
    return iplug::DescribeEffects(&collection, description);
  }
};

TEST_F(OtherDescription, EveryLineOfANameIsRegisteredAsNameAndPackageName) {
  ASSERT_EQ(Describe(TestDescription("Long Name\nShort", "2-2")), 0);
  ASSERT_EQ(host.EffectDescriptors().size(), 1u);
  EXPECT_EQ(host.EffectDescriptors()[0]->Names(), (std::vector<std::string>{"Long Name", "Short"}));
  EXPECT_EQ(host.Collections()[0]->PackageNames(), (std::vector<std::string>{"Long Name", "Short"}));
}

TEST_F(OtherDescription, WithoutASideChainEveryConfigurationIsAComponentWithItsOwnTypeIDs) {
  ASSERT_EQ(Describe(TestDescription("Effect", "1-1 1-2 2-2")), 0);
  ASSERT_EQ(host.ComponentDescriptors().size(), 3u);
  EXPECT_EQ(host.Log().Count("AddSideChainIn"), 0u);
  const uint32_t outputs[] = {AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo, AAX_eStemFormat_Stereo};
  for (size_t i = 0; i < 3; ++i) {
    const aaxhost::PropertyMap* properties = host.ComponentDescriptors()[i]->ProcessProperties();
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->Find(AAX_eProperty_PlugInID_Native), static_cast<int32_t>(kNative[i]));
    EXPECT_EQ(properties->Find(AAX_eProperty_PlugInID_AudioSuite), static_cast<int32_t>(kSuite[i]));
    EXPECT_EQ(properties->Find(AAX_eProperty_OutputStemFormat), static_cast<int32_t>(outputs[i]));
    EXPECT_FALSE(properties->Find(AAX_eProperty_SupportsSideChainInput).has_value());
  }
}

TEST_F(OtherDescription, AConfigurationWithoutTypeIDsIsReportedAndLeftOut) {
  ASSERT_EQ(Describe(TestDescription("Effect", "1-1 2-2 4-4 6-6")), 0);
  EXPECT_EQ(host.ComponentDescriptors().size(), 3u);
  const auto asserts = host.Services().Asserts();
  ASSERT_EQ(asserts.size(), 1u);
  EXPECT_EQ(asserts[0].file, "IPlugAAX_Describe.cpp");
  EXPECT_EQ(asserts[0].note, "typeIDsLeft");
}

TEST_F(OtherDescription, FurtherOutputBusesBecomeNamedAuxiliaryStems) {
  ASSERT_EQ(Describe(TestDescription("Effect", "2-2.1.6")), 0);
  const auto stems = host.Log().CallsNamed("AddAuxOutputStem");
  ASSERT_EQ(stems.size(), 2u);
  EXPECT_EQ(stems[0].args, (std::vector<std::string>{"0", "0x00000001", "Output 2"}));
  EXPECT_EQ(stems[1].args, (std::vector<std::string>{"0", "0x00060006", "Output 3"}));
}

TEST(StemFormatForBus, MapsChannelCountsAndNothingElse) {
  const std::pair<int, uint32_t> table[] = {
      {1, 0x00000001}, {2, 0x00010002}, {3, 0x00020003}, {4, 0x000E0004}, {5, 0x00050005}, {6, 0x00060006},
      {7, 0x000B0007}, {8, 0x000C0008}, {9, 0x00120009}, {10, 0x000D000A}, {16, 0x00130010}};
  for (const auto& [channels, code] : table) {
    iplug::ChannelLayout config;
    config.mBuses[iplug::kInput].push_back({iplug::kInput, channels});
    EXPECT_EQ(iplug::StemFormatForBus(config, iplug::kInput, 0), code) << channels;
  }
  for (int channels : {0, 11, 12, 13, 14, 15, 17, 64, -64}) {
    iplug::ChannelLayout config;
    config.mBuses[iplug::kOutput].push_back({iplug::kOutput, channels});
    EXPECT_EQ(iplug::StemFormatForBus(config, iplug::kOutput, 0), 0xFF9C0000u) << channels;
  }
  iplug::ChannelLayout config;
  config.mBuses[iplug::kInput].push_back({iplug::kInput, 2});
  EXPECT_EQ(iplug::StemFormatForBus(config, iplug::kInput, 1), 0xFF9C0000u) << "a bus the layout lacks";
  EXPECT_EQ(iplug::StemFormatForBus(config, iplug::kInput, -1), 0xFF9C0000u);
  EXPECT_EQ(iplug::StemFormatForBus(config, iplug::kOutput, 0), 0xFF9C0000u);
}

// ---- one component with unusual settings ---------------------------------------------------

struct ComponentDescription : ::testing::Test {
  aaxhost::Host host;
  aaxtest::HostServicesScope services{host};
  AAX_VCollection collection{host.Unknown()};
  AAX_IEffectDescriptor* effect = collection.NewDescriptor();

  std::vector<std::string> AssertNotes() {
    std::vector<std::string> notes;
    for (const aaxhost::AssertReport& report : host.Services().Asserts()) {
      EXPECT_EQ(report.file, "IPlugAAX_Parameters.cpp");
      notes.push_back(report.note);
    }
    return notes;
  }
};

TEST_F(ComponentDescription, MidiNodesMetersAndHybridFormatsWhenAsked) {
  iplug::AAXComponentSetup setup;
  setup.mWantsGlobalMIDI = true;
  setup.mWantsInputMIDI = true;
  setup.mInputMIDINodeName = "In";
  setup.mInputMIDIMask = 1;
  setup.mWantsOutputMIDI = true;
  setup.mNumAdditionalInputMIDINodes = 2;
  const AAX_CTypeID meters[] = {AAX_FourCC("Met1"), AAX_FourCC("Met2")};
  setup.mNumMeters = 2;
  setup.mMeterIDs = meters;
  setup.mHybridInputStemFormat = AAX_eStemFormat_Stereo;
  setup.mHybridOutputStemFormat = AAX_eStemFormat_Mono;
  setup.mFlag151 = true;
  setup.mFlag304 = false;
  setup.mCanBypass = false;
  ASSERT_EQ(iplug::DescribeComponent(*effect, setup), 0);

  const auto nodes = host.Log().CallsNamed("AddMIDINode");
  ASSERT_EQ(nodes.size(), 5u);
  EXPECT_EQ(nodes[0].args, (std::vector<std::string>{"6", "2", "GlobalMIDI", "0x0000FFFF"}));
  EXPECT_EQ(nodes[1].args, (std::vector<std::string>{"4", "0", "In", "0x00000001"}));
  EXPECT_EQ(nodes[2].args, (std::vector<std::string>{"5", "1", "OutputMIDI", "0x0000FFFF"}));
  EXPECT_EQ(nodes[3].args, (std::vector<std::string>{"8", "0", "In", "0x00000001"}));
  EXPECT_EQ(nodes[4].args, (std::vector<std::string>{"9", "0", "In", "0x00000001"}));
  EXPECT_EQ(host.Log().Count("AddMeters"), 1u);
  EXPECT_EQ(host.Log().Count("AddSideChainIn"), 0u);

  std::vector<std::string> properties;
  for (const aaxhost::Call& call : host.Log().CallsNamed("AddProperty")) properties.push_back(call.args[0]);
  EXPECT_EQ(properties, (std::vector<std::string>{"151", "91", "90", "56", "51", "52", "60", "300", "11", "12", "13",
                                                  "304"}))
      << "no transport, no side chain and no AudioSuite identifier in this setup";
  EXPECT_TRUE(AssertNotes().empty());
}

TEST_F(ComponentDescription, LimitsAndAHalfHybridSetupAreReported) {
  iplug::AAXComponentSetup setup;
  setup.mNumAdditionalInputMIDINodes = 16;
  setup.mNumAuxOutputStems = 33;
  setup.mHybridOutputStemFormat = AAX_eStemFormat_Stereo;
  ASSERT_EQ(iplug::DescribeComponent(*effect, setup), 0);
  EXPECT_EQ(AssertNotes(),
            (std::vector<std::string>{"setupInfo.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes",
                                      "setupInfo.mNumAuxOutputStems <= kMaxAuxOutputStems",
                                      "(AAX_eStemFormat_None != setupInfo.mHybridInputStemFormat) == "
                                      "(AAX_eStemFormat_None != setupInfo.mHybridOutputStemFormat)"}));
  EXPECT_EQ(host.Log().Count("AddMIDINode"), 15u) << "never more nodes than fields";
  EXPECT_EQ(host.Log().Count("AddAuxOutputStem"), 32u) << "never more stems than the record holds";
  EXPECT_EQ(host.Log().Count("AddProperty"), 8u) << "neither hybrid format goes out half set";
}

TEST_F(ComponentDescription, AMissingPropertyMapThrows) {
  host.RefuseClass(AAXCompID_AAXPropertyMap);
  iplug::AAXComponentSetup setup;
  EXPECT_THROW(iplug::DescribeComponent(*effect, setup), AAX::Exception::ResultError);
  EXPECT_EQ(host.Log().Count("AddProcessProc_Native"), 0u);
}

}  // namespace
