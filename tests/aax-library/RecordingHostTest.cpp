#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/AAX_VCollection.h"
#include "aax-library/AAX_VTransport.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"

namespace {
// Leaves a marker in every private-data block it is asked to prepare.
class MarkingEffect : public AAX_CEffectParameters {
public:
  AAX_Result ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const override {
    AAX_CEffectParameters::ResetFieldData(index, data, size);
    if (index == 23 && size >= sizeof(void*)) {
      const void* self = this;
      std::memcpy(data, &self, sizeof self);
    }
    resets.push_back(index);
    return AAX_SUCCESS;
  }
  mutable std::vector<AAX_CFieldIndex> resets;
};

void Render(void* const*, const void*) {}

// Registers the fields the way the product's component description does, in its order.
AAX_Result DescribeProductLikeComponent(AAX_IComponentDescriptor& component, AAX_IPropertyMap*& properties) {
  AAX_CheckedResult result;
  result = component.AddPrivateData(6, 4, 0);
  result = component.AddPrivateData(4, 4, 0);
  result = component.AddPrivateData(5, 4, 0);
  result = component.AddMIDINode(7, AAX_eMIDINodeType_Transport, "Transport", 0xFFFF);
  for (int i = 0; i < 15; ++i) result = component.AddPrivateData(8 + i, 4, 0);
  result = component.AddAudioIn(0);
  result = component.AddAudioOut(1);
  result = component.AddAudioBufferLength(2);
  result = component.AddClock(3);
  result = component.AddPrivateData(24, 4, 0);
  result = component.AddSideChainIn(26);
  result = component.AddPrivateData(23, 8, 0);
  result = component.AddDataInPort(25, 8, 1);
  properties = component.NewPropertyMap();
  if (!properties) return AAX_ERROR_NULL_OBJECT;
  result = properties->AddProperty(AAX_eProperty_SupportsSideChainInput, 1);
  result = properties->AddProperty(AAX_eProperty_ProductID, static_cast<AAX_CPropertyValue>(AAX_FourCC("TLK1")));
  result = component.AddProcessProc_Native(Render, properties, nullptr, nullptr, nullptr);
  return AAX_SUCCESS;
}

struct RecordingHost : ::testing::Test {
  aaxhost::Host host;
  aaxhost::ComponentDescriptor* component = nullptr;

  void Describe() {
    AAX_VCollection collection(host.Unknown());
    AAX_IEffectDescriptor* effect = collection.NewDescriptor();
    ASSERT_NE(effect, nullptr);
    AAX_IComponentDescriptor* descriptor = effect->NewComponentDescriptor();
    ASSERT_NE(descriptor, nullptr);
    AAX_IPropertyMap* properties = nullptr;
    ASSERT_EQ(DescribeProductLikeComponent(*descriptor, properties), 0);
    ASSERT_EQ(effect->AddComponent(descriptor), 0);
    ASSERT_EQ(host.ComponentDescriptors().size(), 1u);
    component = host.ComponentDescriptors()[0].get();
  }
};
}  // namespace

TEST_F(RecordingHost, RecordsEveryDescriptorCallInOrder) {
  Describe();
  const auto calls = host.Log().CallsOf("component#1");
  ASSERT_EQ(calls.size(), 28u);
  EXPECT_TRUE(calls[0].Is("AddPrivateData", {"6", "4", "0"}));
  EXPECT_TRUE(calls[3].Is("AddMIDINode", {"7", "3", "Transport", "0x0000FFFF"})) << calls[3].ToString();
  EXPECT_TRUE(calls[18].Is("AddPrivateData", {"22", "4", "0"}));
  EXPECT_TRUE(calls[24].Is("AddSideChainIn", {"26"}));
  EXPECT_TRUE(calls[26].Is("AddDataInPort", {"25", "8", "1"}));
  EXPECT_TRUE(calls[27].Is("AddProcessProc_Native", {"proc", "properties#1", "(null)", "(null)", "(null)"}));
  EXPECT_EQ(calls[27].ToString(), "component#1 AddProcessProc_Native(proc, properties#1, (null), (null), (null))");
  const auto properties = host.Log().CallsOf("properties#1");
  ASSERT_EQ(properties.size(), 2u);
  EXPECT_TRUE(properties[0].Is("AddProperty", {"116", "1"}));
  EXPECT_TRUE(properties[1].Is("AddProperty", {"12", std::to_string(static_cast<int32_t>(AAX_FourCC("TLK1")))}));
  EXPECT_EQ(component->ProcessProperties()->Find(116), 1);
  EXPECT_TRUE(host.Log().CallsOf("effect#1").back().Is("AddComponent", {"component#1"}));
}

TEST_F(RecordingHost, FieldIndicesAreTakenOnce) {
  Describe();
  EXPECT_EQ(component->AddAudioIn(0), AAX_ERROR_INVALID_FIELD_INDEX);
  EXPECT_EQ(component->AddPrivateData(-1, 4, 0), AAX_ERROR_INVALID_FIELD_INDEX);
  EXPECT_EQ(component->AddPrivateData(30, -4, 0), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(component->AddMeters(27, nullptr, 2), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(component->Fields().size(), 27u);
}

TEST_F(RecordingHost, ContextIsLaidOutAsRegistered) {
  Describe();
  auto* effect = new MarkingEffect;
  aaxhost::Instance instance(host.Log(), nullptr);
  ASSERT_EQ(instance.Adopt(effect->GetPrivateUnknown()), 0);
  instance.GetTransport().SetTempo(96.0);
  aaxhost::AlgorithmContext context(*component, instance.Effect(), instance.GetTransport().View(), 2, 2, 512);

  ASSERT_EQ(context.FieldCount(), 27);
  auto** fields = static_cast<void**>(context.Get());
  for (AAX_CFieldIndex i = 0; i < 27; ++i) EXPECT_NE(fields[i], nullptr) << i;

  // Audio: two main inputs and the side-chain buffer after them; field 26 points at its index.
  EXPECT_EQ(context.InputBufferCount(), 3);
  EXPECT_EQ(context.OutputBufferCount(), 2);
  auto* const* inputs = static_cast<float* const*>(fields[0]);
  EXPECT_EQ(inputs[2], context.Input(2));
  EXPECT_EQ(*static_cast<int32_t*>(fields[26]), 2);
  context.SetSideChainIndex(0);
  EXPECT_EQ(*static_cast<int32_t*>(fields[26]), 0);

  EXPECT_EQ(*static_cast<int32_t*>(fields[2]), 512);
  EXPECT_TRUE(context.SetBlockLength(64));
  EXPECT_FALSE(context.SetBlockLength(513));
  EXPECT_EQ(*static_cast<int32_t*>(fields[2]), 64);

  // Private data: prepared by the effect; the product's field 23 holds the instance.
  void* instancePointer = nullptr;
  std::memcpy(&instancePointer, fields[23], sizeof instancePointer);
  EXPECT_EQ(instancePointer, static_cast<const void*>(effect));
  EXPECT_EQ(effect->resets.size(), 20u);
  EXPECT_EQ(*static_cast<int32_t*>(fields[24]), 0);

  // The transport node hands out the instance's transport.
  auto* node = static_cast<AAX_IMIDINode*>(fields[7]);
  ASSERT_NE(node->GetTransport(), nullptr);
  double tempo = 0.0;
  node->GetTransport()->GetCurrentTempo(&tempo);
  EXPECT_EQ(tempo, 96.0);
  EXPECT_EQ(node->GetNodeBuffer()->mBufferSize, 0u);

  // The data-in port receives the newest packet posted for it.
  const int64_t states[] = {4, 5};
  for (int64_t state : states) instance.GetController().PostPacket(25, &state, sizeof state);
  context.DeliverNewestPackets(instance.GetController());
  EXPECT_EQ(*static_cast<int64_t*>(fields[25]), 5);
  EXPECT_FALSE(context.DeliverPacket(2, {1, 2, 3, 4}));
}

TEST_F(RecordingHost, UnregisteredIndicesStayNull) {
  aaxhost::ComponentDescriptor sparse(host, "sparse");
  ASSERT_EQ(sparse.AddAudioIn(0), 0);
  ASSERT_EQ(sparse.AddAudioBufferLength(4), 0);
  const AAX_CTypeID meters[] = {AAX_FourCC("GRc1"), AAX_FourCC("GRl1")};
  ASSERT_EQ(sparse.AddMeters(2, meters, 2), 0);
  ASSERT_EQ(sparse.AddAuxOutputStem(0, AAX_eStemFormat_Stereo, "Output 2"), 0);
  EXPECT_TRUE(host.Log().Calls().back().Is("AddAuxOutputStem", {"0", "0x00010002", "Output 2"}));
  EXPECT_TRUE(host.Log().CallsNamed("AddMeters")[0].Is("AddMeters", {"2", "['GRc1' 'GRl1']", "2"}));
  aaxhost::AlgorithmContext context(sparse, nullptr, nullptr, 1, 1, 16);
  EXPECT_EQ(context.OutputBufferCount(), 3) << "an auxiliary stereo stem adds two outputs";
  EXPECT_EQ(context.FieldCount(), 5);
  EXPECT_EQ(context.Field(1), nullptr);
  EXPECT_EQ(context.Field(3), nullptr);
  EXPECT_EQ(context.Field(99), nullptr);
  ASSERT_NE(context.Meters(2), nullptr);
  EXPECT_EQ(context.Meters(2)[1], 0.0f);
  EXPECT_FALSE(context.HasSideChain());
  EXPECT_EQ(context.InputBufferCount(), 1);
}

TEST(RecordingTransport, ReportsWhatTheTestSets) {
  aaxhost::Transport transport;
  AAX_VTransport view(&transport);
  transport.SetTempo(140.0);
  transport.SetMeter(7, 8);
  transport.SetPlaying(true);
  transport.SetTickPosition(-960000);
  transport.SetSamplePosition(48000);
  transport.SetLoop(true, 960000, 4 * 960000);
  double tempo = 0.0;
  int32_t numerator = 0, denominator = 0;
  bool playing = false, looping = false;
  int64_t ticks = 0, samples = 0, start = 0, end = 0;
  EXPECT_EQ(view.GetCurrentTempo(&tempo), 0);
  EXPECT_EQ(view.GetCurrentMeter(&numerator, &denominator), 0);
  EXPECT_EQ(view.IsTransportPlaying(&playing), 0);
  EXPECT_EQ(view.GetCurrentTickPosition(&ticks), 0);
  EXPECT_EQ(view.GetCurrentNativeSampleLocation(&samples), 0);
  EXPECT_EQ(view.GetCurrentLoopPosition(&looping, &start, &end), 0);
  EXPECT_EQ(tempo, 140.0);
  EXPECT_EQ(numerator, 7);
  EXPECT_EQ(denominator, 8);
  EXPECT_TRUE(playing);
  EXPECT_EQ(ticks, -960000);
  EXPECT_EQ(samples, 48000);
  EXPECT_TRUE(looping);
  EXPECT_EQ(start, 960000);
  EXPECT_EQ(end, 3840000);

  // One second at 120 bpm is two quarter notes.
  transport.SetTempo(120.0);
  transport.SetSampleRate(48000.0);
  transport.SetTickPosition(0);
  transport.Advance(48000);
  view.GetCurrentTickPosition(&ticks);
  EXPECT_EQ(ticks, 2 * 960000);
  int32_t bars = 0, beats = 0;
  int64_t displayTicks = 0;
  transport.SetMeter(4, 4);
  EXPECT_EQ(view.GetBarBeatPosition(&bars, &beats, &displayTicks, 48000 * 3), 0);  // six quarters
  EXPECT_EQ(bars, 2);
  EXPECT_EQ(beats, 3);
  EXPECT_EQ(displayTicks, 0);
  EXPECT_EQ(view.GetCurrentTickPosition(nullptr), AAX_ERROR_NULL_ARGUMENT);
  AAX_VTransport none(nullptr);
  EXPECT_EQ(none.GetCurrentTempo(&tempo), AAX_ERROR_NULL_OBJECT);
}

TEST(RecordingController, FormatsRateAndLatency) {
  aaxhost::CallLog log;
  aaxhost::Controller controller(log);
  controller.SetSampleRate(44100.0f);
  controller.SetStemFormats(AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo);
  AAX_CSampleRate rate = 0.0f;
  AAX_EStemFormat in{}, out{};
  EXPECT_EQ(controller.GetSampleRate(&rate), 0);
  EXPECT_EQ(controller.GetInputStemFormat(&in), 0);
  EXPECT_EQ(controller.GetOutputStemFormat(&out), 0);
  EXPECT_EQ(rate, 44100.0f);
  EXPECT_EQ(AAX_StemFormatChannelCount(in), 1);
  EXPECT_EQ(AAX_StemFormatChannelCount(out), 2);
  EXPECT_EQ(AAX_StemFormatLayoutIndex(AAX_eStemFormat_None), -100);
  EXPECT_EQ(AAX_StemFormatChannelCount(AAX_eStemFormat_None), 0);
  EXPECT_EQ(controller.SetSignalLatency(64), 0);
  EXPECT_EQ(controller.SetSignalLatency(-1), AAX_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(controller.SignalLatency(), 64);
  EXPECT_EQ(controller.LatencyChanges(), 1);
  EXPECT_EQ(controller.PostPacket(3, nullptr, 4), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_GT(AAX_FourCC("Vtor"), 0x56000000u);
  EXPECT_EQ(AAX_FourCC("Vtor"), 0x56746F72u);
  EXPECT_EQ(aaxhost::FourCC(AAX_FourCC("TLK1")), "'TLK1'");
  EXPECT_EQ(aaxhost::FourCC(0x00000001u), "0x00000001");
}

TEST(RecordingAutomation, RequestsForUnregisteredParametersAreRefused) {
  aaxhost::CallLog log;
  aaxhost::AutomationDelegate automation(log);
  EXPECT_EQ(automation.PostSetValueRequest("1", 0.5), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(automation.RegisterParameter(nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(automation.RegisterParameter("1"), 0);
  EXPECT_EQ(automation.PostSetValueRequest("1", 0.5), 0);
  EXPECT_EQ(automation.DeliverPending(), 0) << "answered at once by default, and without an effect nothing to answer";
  EXPECT_EQ(log.Size(), 4u);
}

TEST(ChunkRecords, LayoutAndDeclaredSizes) {
  const unsigned char bytes[] = {1, 2, 3, 4, 5};
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(AAX_FourCC("TLK1"), bytes, sizeof bytes);
  const auto* raw = reinterpret_cast<const unsigned char*>(record.Get());
  int32_t size = 0;
  uint32_t id = 0;
  std::memcpy(&size, raw, 4);
  std::memcpy(&id, raw + 20, 4);
  EXPECT_EQ(size, 5);
  EXPECT_EQ(id, AAX_FourCC("TLK1"));
  EXPECT_EQ(raw[56], 1);
  EXPECT_EQ(raw[60], 5);
  EXPECT_EQ(record.Data(), std::vector<unsigned char>(bytes, bytes + 5));
  record.SetDeclaredSize(1000);  // more than the record holds: only what it holds
  EXPECT_EQ(record.Data().size(), 5u);
  record.SetDeclaredSize(-3);
  EXPECT_TRUE(record.Data().empty());
  EXPECT_EQ(AAX_ChunkDataSize(*record.Get()), 0u);
}
