#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "IPlug/IPluginBase.h"
#include "RecordingPlugin.h"

using iplug::ByteChunk;
using testplug::RecordingPlugin;
using testplug::TestConfig;

namespace {

// Values the test parameters (0 .. 100, step 0.5) can hold exactly.
double ValueFor(int i, int salt) { return std::fmod(7.5 * i + 3.0 * salt, 100.0); }

void SetAll(RecordingPlugin& plug, int salt) {
  for (int i = 0; i < plug.NParams(); ++i) plug.GetParam(i)->Set(ValueFor(i, salt));
}

int CountLines(const std::vector<std::string>& log, const std::string& prefix) {
  int n = 0;
  for (const auto& line : log) n += line.rfind(prefix, 0) == 0;
  return n;
}

}  // namespace

TEST(IPluginBase, PresetSlotsStartEmptyAndUninitialised) {
  RecordingPlugin plug(TestConfig(1));
  ASSERT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.PresetName(0), "empty");
  EXPECT_STREQ(plug.PresetName(1), "empty");
  EXPECT_STREQ(plug.PresetName(2), "");
  EXPECT_STREQ(plug.PresetName(-1), "");
  EXPECT_FALSE(plug.IsPresetInitialized(0));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
}

TEST(IPluginBase, DefaultStateIsTheParameterDoublesInIndexOrder) {
  RecordingPlugin plug(TestConfig(5));
  SetAll(plug, 1);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 5 * 8);
  for (int i = 0; i < 5; ++i) {
    double stored;
    std::memcpy(&stored, chunk.Data() + 8 * i, 8);
    EXPECT_EQ(stored, ValueFor(i, 1));
  }
  RecordingPlugin none(TestConfig(0));
  ByteChunk empty;
  EXPECT_TRUE(none.SerializeParams(empty)) << "no parameters is no failure";
  EXPECT_EQ(empty.Size(), 0);
}

TEST(IPluginBase, RoundTripRestoresEveryValueAndNotifiesEachOnceAsPresetRecall) {
  RecordingPlugin plug(TestConfig(6));
  SetAll(plug, 1);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  SetAll(plug, 2);
  plug.mLog.clear();
  EXPECT_EQ(plug.UnserializeState(chunk, 0), chunk.Size());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), ValueFor(i, 1)) << i;
  EXPECT_EQ(CountLines(plug.mLog, "source Preset"), 6);
  EXPECT_EQ(CountLines(plug.mLog, "editor "), 6);
  ASSERT_EQ(plug.mLog.size(), 18u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(plug.mLog[3 * i + 1].rfind("change " + std::to_string(i) + " ", 0), 0u) << plug.mLog[3 * i + 1];
    EXPECT_EQ(plug.mLog[3 * i + 2], "editor " + std::to_string(i) + " Preset");
  }
}

TEST(IPluginBase, ATruncatedStateRestoresWhatIsThereAndChangesNothingElse) {
  RecordingPlugin plug(TestConfig(6));
  SetAll(plug, 1);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeParams(chunk));
  SetAll(plug, 2);
  // Three whole values, and half of the fourth.
  ByteChunk truncated;
  truncated.AppendBytes(chunk.Data(), 3 * 8 + 4);
  plug.mLog.clear();
  EXPECT_EQ(plug.UnserializeParams(truncated, 0), -1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), ValueFor(i, 1)) << i;
  for (int i = 3; i < 6; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), ValueFor(i, 2)) << "kept: " << i;
  EXPECT_EQ(CountLines(plug.mLog, "source Preset"), 6) << "every parameter is still notified";
}

TEST(IPluginBase, ANegativeStartChangesNothingButNotifiesAll) {
  RecordingPlugin plug(TestConfig(4));
  SetAll(plug, 1);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeParams(chunk));
  SetAll(plug, 2);
  plug.mLog.clear();
  EXPECT_EQ(plug.UnserializeParams(chunk, -1), -1);
  EXPECT_EQ(plug.UnserializeParams(chunk, -7), -7) << "the start position comes back unchanged";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), ValueFor(i, 2));
  EXPECT_EQ(CountLines(plug.mLog, "source Preset"), 8);
}

TEST(IPluginBase, StoredValuesAreConstrainedAndANaNLeavesItsParameterAlone) {
  RecordingPlugin plug(TestConfig(4));
  SetAll(plug, 2);
  ByteChunk chunk;
  chunk.Append(1e9);  // above the range
  chunk.Append(std::numeric_limits<double>::quiet_NaN());
  chunk.Append(-std::numeric_limits<double>::infinity());
  chunk.Append(12.3);  // off the 0.5 grid
  chunk.Append(55.0);  // one more than there are parameters: ignored
  EXPECT_EQ(plug.UnserializeParams(chunk, 0), 32);
  EXPECT_EQ(plug.GetParam(0)->Value(), 100.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), ValueFor(1, 2)) << "NaN is no value";
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(3)->Value(), 12.5);
}

TEST(IPluginBase, ReadingFromAnOffsetAndAnEmptyChunk) {
  RecordingPlugin plug(TestConfig(2));
  ByteChunk chunk;
  chunk.Append(int32_t{77});
  chunk.Append(40.0);
  chunk.Append(60.0);
  EXPECT_EQ(plug.UnserializeParams(chunk, 4), 20);
  EXPECT_EQ(plug.GetParam(0)->Value(), 40.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 60.0);
  ByteChunk empty;
  EXPECT_EQ(plug.UnserializeParams(empty, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 40.0);
}

TEST(HeadlessEditorDelegate, GeometryRoundTripsAndDamagedBytesKeepTheSavedSize) {
  RecordingPlugin plug(TestConfig(0));
  ByteChunk chunk;
  ASSERT_TRUE(plug.WriteEditorGeometry(chunk));
  ASSERT_EQ(chunk.Size(), 12);
  const uint8_t zeros[12] = {};
  EXPECT_EQ(std::memcmp(chunk.Data(), zeros, 12), 0) << "0, 0, 0.0 before any editor existed";

  ByteChunk stored;
  stored.Append(int32_t{567});
  stored.Append(int32_t{886});
  stored.Append(1.5f);
  EXPECT_EQ(plug.ReadEditorGeometry(stored, 0), 12);
  EXPECT_EQ(plug.GetSavedWidth(), 567);
  EXPECT_EQ(plug.GetSavedHeight(), 886);
  EXPECT_EQ(plug.GetSavedScale(), 1.5f);
  ByteChunk written;
  plug.WriteEditorGeometry(written);
  EXPECT_TRUE(written.IsEqual(stored));

  ByteChunk shortChunk;
  shortChunk.Append(int32_t{100});
  shortChunk.Append(int32_t{200});
  EXPECT_EQ(plug.ReadEditorGeometry(shortChunk, 0), -1);
  EXPECT_EQ(plug.GetSavedWidth(), 567) << "a damaged state does not wipe the saved size";
  EXPECT_EQ(plug.ReadEditorGeometry(stored, -1), -1);
  EXPECT_EQ(plug.GetSavedScale(), 1.5f);
}
