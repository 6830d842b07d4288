#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "product/Tollenbrook.h"

using iplug::ByteChunk;
using iplug::ParamSource;

namespace {

// Writes down every notification with its source.
class NotedTollenbrook : public Tollenbrook {
public:
  NotedTollenbrook() : Tollenbrook(iplug::InstanceInfo{}) {}
  using Tollenbrook::OnParamChange;
  void OnParamChange(int idx, ParamSource source, int offset) override {
    mNotes.push_back(std::to_string(idx) + " " + iplug::ParamSourceName(source));
    Tollenbrook::OnParamChange(idx, source, offset);
  }
  std::vector<std::string> mNotes;
};

const double kDefaults[15] = {15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0, 0, 0};
// A second setting for every parameter, each different from its default.
const double kOther[15] = {3, 7, 12, 11, 0, 4, 1, 3, 5, 4, 0, 1, 1, 1, 1};

void SetAll(Tollenbrook& plug, const double (&values)[15]) {
  for (int i = 0; i < 15; ++i) plug.GetParam(i)->Set(values[i]);
}

void ExpectAll(const Tollenbrook& plug, const double (&values)[15], int from = 0, int to = 15) {
  for (int i = from; i < to; ++i) EXPECT_EQ(plug.GetParam(i)->Value(), values[i]) << "parameter " << i;
}

double StoredDouble(const ByteChunk& chunk, int pos) {
  double value;
  std::memcpy(&value, chunk.Data() + pos, sizeof value);
  return value;
}

ByteChunk Prefix(const ByteChunk& chunk, int size) {
  ByteChunk part;
  part.AppendBytes(chunk.Data(), size);
  return part;
}

}  // namespace

TEST(TollenbrookState, BeforeAnyEditorTheStateIs12ZeroBytesThenTheFifteenValues) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 132);
  const uint8_t zeros[12] = {};
  EXPECT_EQ(std::memcmp(chunk.Data(), zeros, 12), 0);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(StoredDouble(chunk, 12 + 8 * i), kDefaults[i]) << i;
}

TEST(TollenbrookState, RoundTripRestoresEveryValueAndNotifiesEachOnceAsPresetRecall) {
  NotedTollenbrook plug;
  SetAll(plug, kOther);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  SetAll(plug, kDefaults);
  plug.mNotes.clear();
  EXPECT_EQ(plug.UnserializeState(chunk, 0), 132);
  ExpectAll(plug, kOther);
  ASSERT_EQ(plug.mNotes.size(), 15u);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(plug.mNotes[static_cast<size_t>(i)], std::to_string(i) + " Preset");
  EXPECT_EQ(plug.Targets().mThresholdTarget, -60.0 + 4 * 3) << "the targets follow the restored values";
  EXPECT_EQ(plug.Targets().mOversampleLatency, 64);
}

TEST(TollenbrookState, ATruncatedStateRestoresTheValuesItHoldsAndKeepsTheRest) {
  NotedTollenbrook plug;
  SetAll(plug, kOther);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  SetAll(plug, kDefaults);
  plug.mNotes.clear();
  EXPECT_EQ(plug.UnserializeState(Prefix(chunk, 12 + 8 * 7), 0), -1);
  ExpectAll(plug, kOther, 0, 7);
  ExpectAll(plug, kDefaults, 7, 15);  // parameter 7 keeps its value rather than reading a missing 0
  EXPECT_EQ(plug.mNotes.size(), 15u) << "every parameter is still notified";

  // A value cut in the middle counts as missing too.
  SetAll(plug, kDefaults);
  EXPECT_EQ(plug.UnserializeState(Prefix(chunk, 12 + 8 * 3 + 5), 0), -1);
  ExpectAll(plug, kOther, 0, 3);
  ExpectAll(plug, kDefaults, 3, 15);
}

TEST(TollenbrookState, StatesShorterThanTheGeometryChangeNothing) {
  NotedTollenbrook plug;
  SetAll(plug, kOther);
  ByteChunk geometry;
  geometry.Append(int32_t{567});
  geometry.Append(int32_t{886});
  geometry.Append(1.5f);
  for (int i = 0; i < 15; ++i) geometry.Append(kOther[i]);
  ASSERT_EQ(plug.UnserializeState(geometry, 0), 132);
  for (int size : {0, 4, 11}) {
    EXPECT_EQ(plug.UnserializeState(Prefix(geometry, size), 0), -1) << size;
    ExpectAll(plug, kOther);
    EXPECT_EQ(plug.GetSavedWidth(), 567) << "the saved editor size survives a damaged state";
  }
  ByteChunk again;
  ASSERT_TRUE(plug.SerializeState(again));
  EXPECT_TRUE(again.IsEqual(geometry)) << "geometry and values travel through unchanged";
}

TEST(TollenbrookState, ExtraBytesAreIgnoredAndANegativeStartReadsNothing) {
  NotedTollenbrook plug;
  SetAll(plug, kOther);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  for (int i = 0; i < 100; ++i) chunk.Append(static_cast<uint8_t>(0xAB));
  SetAll(plug, kDefaults);
  EXPECT_EQ(plug.UnserializeState(chunk, 0), 132);
  ExpectAll(plug, kOther);

  SetAll(plug, kDefaults);
  plug.mNotes.clear();
  EXPECT_EQ(plug.UnserializeState(chunk, -1), -1);
  ExpectAll(plug, kDefaults);
  EXPECT_EQ(plug.mNotes.size(), 15u);

  // Reading from inside a larger chunk.
  ByteChunk outer;
  outer.Append(int32_t{42});
  ByteChunk state;
  SetAll(plug, kOther);
  ASSERT_TRUE(plug.SerializeState(state));
  outer.AppendBytes(state.Data(), state.Size());
  SetAll(plug, kDefaults);
  EXPECT_EQ(plug.UnserializeState(outer, 4), 136);
  ExpectAll(plug, kOther);
}

TEST(TollenbrookState, GarbageBytesLeaveEveryParameterOnItsGrid) {
  const uint32_t seed = std::random_device{}();
  std::printf("random seed %u\n", seed);
  std::mt19937 rng(seed);
  NotedTollenbrook plug;
  for (int round = 0; round < 200; ++round) {
    SetAll(plug, kOther);
    ByteChunk chunk;
    const int size = static_cast<int>(rng() % 160);
    for (int i = 0; i < size; ++i) chunk.Append(static_cast<uint8_t>(rng()));
    const int nanAt = static_cast<int>(rng() % 15);
    if (12 + 8 * (nanAt + 1) <= size) {
      const double nan = std::numeric_limits<double>::quiet_NaN();
      std::memcpy(chunk.Data() + 12 + 8 * nanAt, &nan, sizeof nan);
    }
    const int pos = plug.UnserializeState(chunk, 0);
    EXPECT_EQ(pos, size >= 132 ? 132 : -1) << "seed " << seed << " size " << size;
    for (int i = 0; i < 15; ++i) {
      const iplug::IParam& p = *plug.GetParam(i);
      const double v = p.Value();
      const bool stepped = p.GetStepped();  // the two meter channels take any value in range
      ASSERT_TRUE(v >= p.GetMin() && v <= p.GetMax() && (!stepped || v == std::floor(v)))
          << "parameter " << i << " holds " << v << ", seed " << seed;
      const bool read = 12 + 8 * (i + 1) <= size;
      const bool stored = read && !std::isnan(StoredDouble(chunk, 12 + 8 * i));
      if (!stored) {
        EXPECT_EQ(v, kOther[i]) << "unread or NaN leaves parameter " << i << " alone, seed " << seed;
      }
    }
  }
}

TEST(TollenbrookState, CompareStateLooksAtTheValuesBehindTheEditorGeometry) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  SetAll(plug, kOther);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  EXPECT_TRUE(plug.CompareState(chunk.Data(), 0, chunk.Size())) << "as the host calls it: start index 0";
  plug.GetParam(kParamMix)->Set(12);
  EXPECT_FALSE(plug.CompareState(chunk.Data(), 0, chunk.Size()));
  plug.GetParam(kParamMix)->Set(kOther[kParamMix]);
  EXPECT_FALSE(plug.CompareState(chunk.Data(), 0, chunk.Size() - 1)) << "a short chunk is never equal";
  EXPECT_FALSE(plug.CompareState(chunk.Data(), 0, 8));
  EXPECT_FALSE(plug.CompareState(nullptr, 0, 132));

  // The editor bytes take no part in the comparison.
  chunk.Data()[0] ^= 0xFF;
  EXPECT_TRUE(plug.CompareState(chunk.Data(), 0, chunk.Size()));
}
