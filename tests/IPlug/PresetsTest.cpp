#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IPlug/Base64.h"
#include "PresetPlugin.h"
#include "host/TestFiles.h"

using iplug::Base64;
using iplug::ByteChunk;
using testplug::PresetPlugin;

namespace {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = hosttest::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(Presets, MakeCallsFillFreeSlotsInOrderAndRecallByIndexAndName) {
  PresetPlugin plug(4);
  plug.Set(1.0, 7.0, 0.25);
  plug.MakePreset("made", 0, 3, 0.75);  // ints for bool and int parameters, a double for the other
  plug.MakePresetFromNamedParams("named", 1, 1, 9);
  const ByteChunk* made = plug.PresetData(0);
  ByteChunk chunk;
  plug.SerializeState(chunk);
  plug.MakePresetFromByteChunk("chunk", chunk);
  plug.CapturePresets(nullptr, 5);  // one slot left
  plug.MakePreset("full", 1, 1, 1.0);  // none left: nothing happens

  const char* names[] = {"made", "named", "chunk", "Empty"};
  for (int s = 0; s < 4; ++s) {
    EXPECT_STREQ(plug.PresetName(s), names[s]);
    EXPECT_TRUE(plug.IsPresetInitialized(s));
  }
  EXPECT_EQ(made->Size(), 3 * 8) << "bare doubles: this plug-in's state has no header";

  EXPECT_TRUE(plug.RecallPreset("made"));
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.0, 3.0, 0.75}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_TRUE(plug.RecallPreset(1));
  EXPECT_EQ(plug.Values(), (std::vector<double>{1.0, 9.0, 0.25})) << "unnamed parameters keep the values of the time";
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_FALSE(plug.RecallPreset("nothing"));
  EXPECT_FALSE(plug.RecallPreset(""));
  EXPECT_FALSE(plug.RecallPreset(4));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);

  plug.DropFreeSlots();
  EXPECT_EQ(plug.NPresets(), 4) << "no slot was free";
}

TEST(Presets, TheUnsetMarkerInANamedPairTakesTheCurrentValue) {
  PresetPlugin plug(1);
  plug.Set(1.0, 4.0, 0.5);
  plug.MakePresetFromNamedParams("n", 2, 2, 9.999e-8, 1, 6);
  plug.Set(0.0, 0.0, 0.0);
  ASSERT_TRUE(plug.RecallPreset(0));
  EXPECT_EQ(plug.Values(), (std::vector<double>{1.0, 6.0, 0.5}));
}

TEST(Presets, RecallingAFreeSlotCapturesTheStateAsTheNextUserPreset) {
  PresetPlugin plug(4);
  plug.MakePresetFromNamedParams("my user preset", 0);
  plug.MakePresetFromNamedParams("user preset 1", 0);
  plug.Set(1.0, 5.0, 1.0);
  ASSERT_TRUE(plug.RecallPreset(3));
  EXPECT_STREQ(plug.PresetName(3), "user preset 3");
  EXPECT_TRUE(plug.IsPresetInitialized(3));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(plug.mStatesRestored, 1);
  plug.DropFreeSlots();
  EXPECT_EQ(plug.NPresets(), 3);
  EXPECT_STREQ(plug.PresetName(2), "user preset 3");
}

TEST(Presets, ASlotThatCannotBeReadLeavesThePlugInAsItWas) {
  PresetPlugin plug(2);
  ByteChunk shortState;
  shortState.Append(1.0);
  shortState.Append(8.0);  // the third value is missing
  plug.MakePresetFromByteChunk("short", shortState);
  plug.Set(0.0, 4.0, 0.75);
  const std::string before = plug.Everything();
  EXPECT_FALSE(plug.RecallPreset(0));
  EXPECT_EQ(plug.Everything(), before);
}

TEST(Presets, LongNamesKeep255BytesAndNeverHalfACharacter) {
  // 254 ASCII bytes and then "é" (two bytes): the 255-byte cut falls inside it.
  const std::string name = std::string(254, 'a') + "\xC3\xA9" + std::string(40, 'b');
  PresetPlugin plug(3);
  plug.MakePreset(name.c_str(), 0, 0, 0.0);
  EXPECT_EQ(std::string(plug.PresetName(0)), std::string(254, 'a'));
  plug.MakePreset((std::string(253, 'a') + "\xC3\xA9" + "b").c_str(), 0, 0, 0.0);
  EXPECT_EQ(std::strlen(plug.PresetName(1)), 255u) << "a whole character at the end stays";

  // A name of 300 bytes inside a presets chunk, in the second of three free slots.
  ByteChunk chunk;
  for (const std::string& slotName : {std::string("s"), std::string(300, 'x'), std::string("s")}) {
    chunk.AppendText(slotName.c_str());
    chunk.Append(uint8_t{0});
  }
  EXPECT_EQ(plug.UnserializePresets(chunk, 0), chunk.Size());
  EXPECT_EQ(std::string(plug.PresetName(1)), std::string(255, 'x'));
}

TEST(Presets, AllSlotsRoundTripThroughOneChunkAndDamageChangesNothing) {
  PresetPlugin plug(3);
  plug.MakePreset("one", 1, 2, 0.25);
  plug.MakePreset("two", 0, 10, 1.0);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializePresets(chunk));
  // name length, name, flag, three doubles; twice; then the free slot "empty".
  EXPECT_EQ(chunk.Size(), (4 + 3 + 1 + 24) * 2 + 4 + 5 + 1);

  PresetPlugin other(3);
  other.Set(1.0, 1.0, 1.0);
  EXPECT_EQ(other.UnserializePresets(chunk, 0), chunk.Size());
  EXPECT_STREQ(other.PresetName(1), "two");
  EXPECT_TRUE(other.PresetData(1)->IsEqual(*plug.PresetData(1)));
  EXPECT_EQ(other.Values(), (std::vector<double>{1.0, 2.0, 0.25})) << "the current slot (0) is recalled";

  for (int cut : {1, 10, chunk.Size() - 1}) {
    ByteChunk damaged;
    damaged.AppendBytes(chunk.Data(), cut);
    PresetPlugin target(3);
    target.MakePreset("kept", 1, 7, 0.5);
    target.Set(0.0, 3.0, 0.75);
    const std::string before = target.Everything();
    EXPECT_EQ(target.UnserializePresets(damaged, 0), -1) << cut;
    EXPECT_EQ(target.Everything(), before) << cut;
  }
}

TEST(Presets, Base64FollowsTheStandardAndStopsAtTheFirstForeignCharacter) {
  const struct {
    const char* plain;
    const char* encoded;
  } vectors[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& v : vectors) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(v.plain);
    EXPECT_EQ(Base64::Encode(bytes, static_cast<int>(std::strlen(v.plain))), v.encoded);
    uint8_t out[8] = {};
    EXPECT_EQ(Base64::Decode(v.encoded, out, 8), static_cast<int>(std::strlen(v.plain)));
    EXPECT_EQ(std::memcmp(out, v.plain, std::strlen(v.plain)), 0);
  }
  uint8_t out[6] = {9, 9, 9, 9, 9, 9};
  EXPECT_EQ(Base64::Decode("Zm9v Ym", out, 6), 3) << "the space ends the text";
  EXPECT_EQ(out[3], 9);
  const uint8_t all[3] = {0xFB, 0xEF, 0xFF};
  EXPECT_EQ(Base64::Encode(all, 3), "++//");
}

TEST(Presets, MakePresetCallWritesEachKindsValueText) {
  hosttest::ScopedTempDir dir;
  const std::string path = dir.File("calls.txt");
  PresetPlugin plug(1);
  plug.MakePreset("say \"hi\"", 1, 3, 0.25);
  ASSERT_TRUE(plug.RecallPreset(0));
  ASSERT_TRUE(plug.AppendMakePresetCall(path.c_str()));
  const char* enums[] = {"kSwitch", "kSteps", "kAmount"};
  ASSERT_TRUE(plug.AppendNamedParamsPresetCall(path.c_str(), enums));
  EXPECT_EQ(ReadText(path),
            "MakePreset(\"say \\\"hi\\\"\", true, 3, 0.250000);\n"
            "  MakePresetFromNamedParams(\"say \\\"hi\\\"\", 3,\n    kSwitch, true,\n    kSteps, 3,\n"
            "    kAmount, 0.250000);\n");
  EXPECT_FALSE(plug.AppendMakePresetCall(dir.File("no/such/dir.txt").c_str()));
}

TEST(Presets, ABlobCallCarriesAStateOfAnySizeBackIntoASlot) {
  // 200 doubles: 1600 bytes, more than a 2048-character text could hold.
  PresetPlugin plug(2, true, 200);
  for (int i = 3; i < 200; ++i) plug.GetParam(i)->Set(i * 0.5 - 50.0);
  plug.CapturePresets("big", 1);
  hosttest::ScopedTempDir dir;
  const std::string path = dir.File("blob.txt");
  ASSERT_TRUE(plug.AppendBlobPresetCall(path.c_str()));
  const std::string call = ReadText(path);
  const std::string head = "MakePresetFromBlob(\"big\", \"";
  ASSERT_EQ(call.rfind(head, 0), 0u) << call.substr(0, 40);
  EXPECT_EQ(call.substr(call.size() - 10), "\", 1600);\n");
  const std::string blob = call.substr(head.size(), call.size() - head.size() - 10);
  EXPECT_EQ(blob.size(), 2136u);

  plug.MakePresetFromBlob("again", blob.c_str(), 1600);
  EXPECT_TRUE(plug.PresetData(1)->IsEqual(*plug.PresetData(0)));
}

// A host's state: what follows a complete state is ignored, less than one is refused unapplied,
// and none of it tells anyone (the binding does, as its host expects).
TEST(Presets, AHostStateIsAppliedWholeOrNotAtAll) {
  PresetPlugin plug(1);
  plug.Set(1.0, 3.0, 0.25);
  ByteChunk state;
  ASSERT_TRUE(plug.SerializeState(state));
  state.Append(99.0);
  plug.Set(0.0, 9.0, 1.0);
  EXPECT_TRUE(plug.ApplyState(state.Data(), state.Size()));
  EXPECT_EQ(plug.Values(), (std::vector<double>{1.0, 3.0, 0.25}));
  plug.Set(0.0, 9.0, 1.0);
  EXPECT_FALSE(plug.ApplyState(state.Data(), state.Size() - 9));
  EXPECT_FALSE(plug.ApplyState(nullptr, state.Size()));
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.0, 9.0, 1.0}));
  EXPECT_EQ(plug.mStatesRestored, 0);
}
