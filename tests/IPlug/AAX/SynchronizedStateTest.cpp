#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AAXTestRig.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"

namespace {

using aaxtest::HostedPlug;
using aaxtest::RawContext;

// An effect with one synchronized parameter: its values travel with numbered states from the
// coefficient call to the render callback, which writes down what each block received.
class SyncEffect : public AAX_CIPlugParameters {
public:
  struct Delivered {
    std::string id;
    double value;
  };
  std::vector<std::vector<Delivered>> mBlocks;

protected:
  AAX_Result EffectInit() override {
    auto* gain = new AAX_CParameter<double>("1", AAX_CString("Gain"), 0.0, AAX_CLinearTaperDelegate<double>(0.0, 1.0),
                                            AAX_CNumberDisplayDelegate<double>(), true);
    mParameterManager.AddParameter(gain);
    AddSynchronizedParameter(*gain);
    mParameterManager.AddParameter(new AAX_CParameter<double>("2", AAX_CString("Other"), 0.0,
                                                              AAX_CLinearTaperDelegate<double>(0.0, 1.0),
                                                              AAX_CNumberDisplayDelegate<double>(), true));
    return AAX_SUCCESS;
  }
  void RenderContext(const void*, TParamValPair* const values[], int32_t count) override {
    std::vector<Delivered> block;
    for (int32_t i = 0; i < count; ++i) {
      double value = -1.0;
      values[i]->second->GetValueAsDouble(&value);
      block.push_back({values[i]->first, value});
    }
    mBlocks.push_back(block);
  }
};

struct SynchronizedState : ::testing::Test {
  aaxhost::Host host;
  aaxtest::HostServicesScope services{host};
  HostedPlug<SyncEffect> hosted{new SyncEffect()};
  SyncEffect& effect = *hosted.plug;
  RawContext context{effect, 1, 1};

  int64_t PostedStateNumber() {
    std::vector<unsigned char> packet;
    EXPECT_TRUE(hosted.instance.GetController().NewestPacket(kIPlugAAXField_StateNumber, &packet));
    int64_t number = -1;
    if (packet.size() == sizeof number) std::memcpy(&number, packet.data(), sizeof number);
    return number;
  }
  void RenderWithNewest(int64_t newest) {
    context.SetStateNumber(newest);
    context.Render();
  }
};

TEST_F(SynchronizedState, AStateIsDeliveredOnceTheHostHasReachedItsNumber) {
  for (int i = 0; i < 5; ++i) ASSERT_EQ(effect.GenerateCoefficients(), 0);
  EXPECT_EQ(PostedStateNumber(), 4);
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.25, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("2", 0.5, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);
  EXPECT_EQ(PostedStateNumber(), 5);
  EXPECT_EQ(effect.NextStateNumber(), 6);

  RenderWithNewest(4);
  ASSERT_EQ(effect.mBlocks.size(), 1u);
  EXPECT_TRUE(effect.mBlocks[0].empty()) << "state 5 is held back while the newest is 4";
  RenderWithNewest(5);
  ASSERT_EQ(effect.mBlocks.size(), 2u);
  ASSERT_EQ(effect.mBlocks[1].size(), 1u) << "only the synchronized parameter travels";
  EXPECT_EQ(effect.mBlocks[1][0].id, "1");
  EXPECT_EQ(effect.mBlocks[1][0].value, 0.25);
  RenderWithNewest(6);
  EXPECT_TRUE(effect.mBlocks[2].empty()) << "a state is delivered once";
  // The delivered state and value are freed on the host's timer (the sanitizer build checks).
  EXPECT_EQ(effect.TimerWakeup(), 0);
  EXPECT_TRUE(host.Services().Asserts().empty());
}

TEST_F(SynchronizedState, LaterStatesWaitBehindTheirNumbersAndArriveTogether) {
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.1, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 0
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.2, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 1
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 2, nothing changed
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.3, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 3

  RenderWithNewest(1);
  RenderWithNewest(3);
  ASSERT_EQ(effect.mBlocks.size(), 2u);
  ASSERT_EQ(effect.mBlocks[0].size(), 2u);
  EXPECT_EQ(effect.mBlocks[0][0].value, 0.1);
  EXPECT_EQ(effect.mBlocks[0][1].value, 0.2);
  ASSERT_EQ(effect.mBlocks[1].size(), 1u);
  EXPECT_EQ(effect.mBlocks[1][0].value, 0.3);
}

TEST_F(SynchronizedState, AWrappedCounterStillDeliversOldStates) {
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.75, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 0: never above 65535
  RenderWithNewest(-70000);
  ASSERT_EQ(effect.mBlocks.size(), 1u);
  EXPECT_TRUE(effect.mBlocks[0].empty()) << "0 lies above a newest number of -70000";

  hosted.log.Clear();
  for (int i = 0; i < 65536; ++i) effect.GenerateCoefficients();
  hosted.log.Clear();
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.5, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);  // state 65537
  RenderWithNewest(60000);
  ASSERT_EQ(effect.mBlocks.size(), 2u);
  ASSERT_EQ(effect.mBlocks[1].size(), 1u) << "state 0 is due";
  RenderWithNewest(-70000);
  ASSERT_EQ(effect.mBlocks.size(), 3u);
  ASSERT_EQ(effect.mBlocks[2].size(), 1u) << "the counter wrapped: state 65537 counts as reached";
  EXPECT_EQ(effect.mBlocks[2][0].value, 0.5);
}

TEST_F(SynchronizedState, WithoutAStateNumberFieldNothingIsDelivered) {
  ASSERT_EQ(effect.UpdateParameterNormalizedValue("1", 0.4, AAX_eUpdateSource_Parameter), 0);
  ASSERT_EQ(effect.GenerateCoefficients(), 0);
  context.SetField(kIPlugAAXField_StateNumber, nullptr);
  context.Render();
  ASSERT_EQ(effect.mBlocks.size(), 1u);
  EXPECT_TRUE(effect.mBlocks[0].empty());
  // The undelivered state is freed with the object (the sanitizer build checks).
}

TEST_F(SynchronizedState, AParameterThatCannotBeAutomatedIsReported) {
  struct Unautomatable : SyncEffect {
    AAX_Result EffectInit() override {
      auto* p = new AAX_CParameter<double>("x", AAX_CString("X"), 0.0, AAX_CLinearTaperDelegate<double>(0.0, 1.0),
                                           AAX_CNumberDisplayDelegate<double>(), false);
      mParameterManager.AddParameter(p);
      AddSynchronizedParameter(*p);
      return AAX_SUCCESS;
    }
  };
  HostedPlug<Unautomatable> other{new Unautomatable()};
  const auto asserts = host.Services().Asserts();
  ASSERT_EQ(asserts.size(), 1u);
  EXPECT_EQ(asserts[0].note, "inParameter.Automatable()");
}

}  // namespace
