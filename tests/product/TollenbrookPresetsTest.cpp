#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "product/Tollenbrook.h"

using iplug::ByteChunk;

namespace {

// The product with its state-chunks flag as a test chooses, for the parameter form of the files.
class FormTollenbrook : public Tollenbrook {
public:
  explicit FormTollenbrook(bool stateChunks) : Tollenbrook(iplug::InstanceInfo{}) { mStateChunks = stateChunks; }
};

std::vector<double> Values(const Tollenbrook& plug) {
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}

ByteChunk State(const Tollenbrook& plug) {
  ByteChunk state;
  plug.SerializeState(state);
  return state;
}

ByteChunk Geometry(int width, int height, float scale) {
  ByteChunk g;
  g.Append(int32_t{width});
  g.Append(int32_t{height});
  g.Append(scale);
  return g;
}

}  // namespace

TEST(TollenbrookPresets, OneFreeSlotSerializesToItsNameAndFlag) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.PresetName(0), "empty");
  EXPECT_STREQ(plug.PresetName(1), "");
  EXPECT_FALSE(plug.IsPresetInitialized(0));
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializePresets(chunk));
  // The int32 length 5, the five characters, the flag 0.
  const uint8_t expected[] = {5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0};
  ASSERT_EQ(chunk.Size(), static_cast<int>(sizeof expected));
  EXPECT_EQ(std::memcmp(chunk.Data(), expected, sizeof expected), 0);
}

// Slots made of bare values get the editor geometry in front, so recalling them sets the
// parameters (rather than reading the first values as a window size) and keeps the geometry.
TEST(TollenbrookPresets, SlotsMadeFromValuesRecallTheIntendedValues) {
  const std::vector<double> glue = {9, 18, 4, 20, 1, 3, 1, 2, 4, 1, 1, 0, 0, 0, 1};
  for (bool named : {false, true}) {
    Tollenbrook plug{iplug::InstanceInfo{}};
    plug.ReadEditorGeometry(Geometry(567, 886, 1.5f), 0);
    if (named) {
      plug.GetParam(kParamGain)->Set(4);  // the one not named: taken from the current value
      plug.MakePresetFromNamedParams("glue", 13, kParamCompThreshold, 9, kParamLimitLevel, 18, kParamMix, 20,
                                     kParamRatio, 1, kParamHigh, 3, kParamMid, 1, kParamHighPass, 2,
                                     kParamCompRecovery, 4, kParamLevelRecovery, 1, kParamBypass, 1,
                                     kParamExtSidechain, 0, kParamOversample, 1, kParamCompMeter, 0.0);
    } else {
      // Meter channels have no kind: their values are doubles.
      plug.MakePreset("glue", 9, 18, 4, 20, 1, 3, 1, 2, 4, 1, 1, 0, 0.0, 0.0, 1);
    }
    EXPECT_EQ(plug.PresetData(0)->Size(), 132);
    plug.GetParam(kParamGain)->Set(0);
    ASSERT_TRUE(plug.RecallPreset(0));
    EXPECT_EQ(Values(plug), glue);
    EXPECT_EQ(plug.GetSavedWidth(), 567);
    EXPECT_EQ(plug.GetSavedScale(), 1.5f);
    EXPECT_EQ(plug.Targets().mOversampleLatency, 64) << "the product heard about the values";
  }
}

// Every value of every parameter goes through a program and a bank of each form.
TEST(TollenbrookPresets, EverySettingRoundTripsThroughProgramsAndBanksOfBothForms) {
  for (bool chunks : {true, false}) {
    SCOPED_TRACE(chunks ? "chunk form" : "parameter form");
    FormTollenbrook writer(chunks);
    writer.ReadEditorGeometry(Geometry(400, 620, 1.25f), 0);
    FormTollenbrook programReader(chunks), bankReader(chunks);
    for (int k = 0; k < 23; ++k) {
      for (int i = 0; i < writer.NParams(); ++i) {
        iplug::IParam& p = *writer.GetParam(i);
        if (p.Type() != iplug::IParam::kTypeNone)
          p.Set(p.GetMin() + (k + i) % static_cast<int>(p.GetMax() - p.GetMin() + 1));
      }
      ByteChunk program, bank;
      ASSERT_TRUE(writer.MakeProgramData(program));
      ASSERT_TRUE(writer.MakeBankData(bank));
      ASSERT_TRUE(programReader.ReadProgramData(program.Data(), program.Size()));
      ASSERT_TRUE(bankReader.ReadBankData(bank.Data(), bank.Size()));
      // The parameter form carries no editor geometry: the readers keep their own.
      const int from = chunks ? 0 : Tollenbrook::kEditorGeometryBytes;
      const ByteChunk expected = State(writer);
      for (const Tollenbrook* reader : {static_cast<Tollenbrook*>(&programReader), static_cast<Tollenbrook*>(&bankReader)}) {
        const ByteChunk got = State(*reader);
        ASSERT_EQ(got.Size(), expected.Size());
        EXPECT_EQ(std::memcmp(got.Data() + from, expected.Data() + from, static_cast<size_t>(got.Size() - from)), 0)
            << "setting " << k;
        EXPECT_EQ(Values(*reader), Values(writer));
      }
    }
  }
}
