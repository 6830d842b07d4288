#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "AAXTestRig.h"
#include "ProbePlugin.h"
#include "host/aax/ChunkRecord.h"
#include "product/Tollenbrook.h"

namespace {

using aaxhost::ChunkRecord;
using aaxtest::HostedPlug;

constexpr AAX_CTypeID kTLK1 = AAX_FourCC("TLK1");
constexpr int kStateBytes = 12 + 8 * kNumParams;

struct ProductChunks : ::testing::Test {
  HostedPlug<iplug::IPlugAAX> hosted{MakePlugInstance(iplug::InstanceInfo{})};
  AAX_IACFEffectParameters& effect = hosted.Effect();
  iplug::IPlugAAX& plug = *hosted.plug;

  std::vector<double> Values() const {
    std::vector<double> values;
    for (int i = 0; i < plug.NParams(); ++i) values.push_back(plug.GetParam(i)->Value());
    return values;
  }
  // Changes a parameter as automation does.
  void HostSets(const char* id, double normalized) {
    ASSERT_EQ(effect.UpdateParameterNormalizedValue(id, normalized, AAX_eUpdateSource_Parameter), 0);
  }
  ChunkRecord Save() {
    ChunkRecord record;
    EXPECT_EQ(aaxhost::ReadChunk(effect, kTLK1, &record), 0);
    return record;
  }
  static ChunkRecord WithBytes(const std::vector<unsigned char>& bytes) {
    return ChunkRecord::WithData(kTLK1, bytes.data(), bytes.size());
  }
};

TEST_F(ProductChunks, OneChunkNamedAfterThePlugIn) {
  int32_t count = 0;
  ASSERT_EQ(effect.GetNumberOfChunks(&count), 0);
  EXPECT_EQ(count, 1);
  AAX_CTypeID id = 0;
  ASSERT_EQ(effect.GetChunkIDFromIndex(0, &id), 0);
  EXPECT_EQ(id, kTLK1);
  id = 123;
  EXPECT_EQ(effect.GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(effect.GetChunkIDFromIndex(-1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(effect.GetNumberOfChunks(nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(ProductChunks, SizeAndBytesAgreeAndHoldTheProductState) {
  uint32_t size = 0;
  ASSERT_EQ(effect.GetChunkSize(kTLK1, &size), 0);
  EXPECT_EQ(size, static_cast<uint32_t>(kStateBytes));
  ChunkRecord record(size);
  ASSERT_EQ(effect.GetChunk(kTLK1, record.Get()), 0);
  EXPECT_EQ(record.Get()->fSize, kStateBytes);
  EXPECT_EQ(record.Get()->fChunkID, kTLK1);
  iplug::ByteChunk state;
  ASSERT_TRUE(plug.SerializeState(state));
  ASSERT_EQ(state.Size(), kStateBytes);
  EXPECT_EQ(std::memcmp(record.Get()->fData, state.Data(), kStateBytes), 0);
  // Parameter 0 ("Compressor Threshold") sits after the editor's 12 bytes.
  double threshold = 0.0;
  std::memcpy(&threshold, record.Get()->fData + 12, sizeof threshold);
  EXPECT_EQ(threshold, 15.0);
}

TEST_F(ProductChunks, AnotherChunkIdentifierIsRefused) {
  const AAX_CTypeID other = AAX_FourCC("elck");
  uint32_t size = 77;
  EXPECT_EQ(effect.GetChunkSize(other, &size), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(size, 0u);
  ChunkRecord record(kStateBytes);
  EXPECT_EQ(effect.GetChunk(other, record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  ChunkRecord saved = Save();
  HostSets("3", 0.5);
  EXPECT_EQ(effect.SetChunk(other, saved.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(plug.GetParam(kParamGain)->Value(), 10.0);
}

TEST_F(ProductChunks, ARoundTripRestoresEveryParameterAndTellsTheHostOncePerParameter) {
  HostSets("1", 0.2);
  HostSets("4", 0.5);
  HostSets("15", 1.0);
  const std::vector<double> saved = Values();
  ChunkRecord record = Save();

  HostSets("1", 1.0);
  HostSets("4", 0.0);
  HostSets("15", 0.0);
  HostSets("9", 1.0);
  ASSERT_NE(Values(), saved);
  int32_t changes = 0;
  effect.GetNumberOfChanges(&changes);

  hosted.log.Clear();
  ASSERT_EQ(effect.SetChunk(kTLK1, record.Get()), 0);
  EXPECT_EQ(Values(), saved);

  // One request per framework parameter that has a host parameter, in parameter order; none
  // for the master bypass or the meter channels.
  std::vector<std::string> requested;
  for (const aaxhost::Call& call : hosted.log.CallsNamed("PostSetValueRequest")) requested.push_back(call.args[0]);
  EXPECT_EQ(requested, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "15"}));
  int32_t after = 0;
  effect.GetNumberOfChanges(&after);
  EXPECT_EQ(after, changes + 13 + 1) << "thirteen host answers and the chunk itself";
  for (const char* id : {"1", "4", "15"}) {
    double normalized = -1.0;
    effect.GetParameterNormalizedValue(id, &normalized);
    const int idx = std::atoi(id) - 1;
    EXPECT_DOUBLE_EQ(normalized, plug.GetParam(idx)->GetNormalized()) << "the host agrees on " << id;
  }
}

TEST_F(ProductChunks, CompareActiveChunkLooksAtTheParameterValues) {
  ChunkRecord record = Save();
  AAX_CBoolean equal = 0;
  ASSERT_EQ(effect.CompareActiveChunk(record.Get(), &equal), 0);
  EXPECT_EQ(equal, 1);

  HostSets("6", 1.0);
  ASSERT_EQ(effect.CompareActiveChunk(record.Get(), &equal), 0);
  EXPECT_EQ(equal, 0);

  // The editor's size in front of the values plays no part.
  ChunkRecord now = Save();
  now.Get()->fData[0] ^= 0x7F;
  ASSERT_EQ(effect.CompareActiveChunk(now.Get(), &equal), 0);
  EXPECT_EQ(equal, 1);

  // A record of another chunk is no reason to call the state changed.
  record.Get()->fChunkID = AAX_FourCC("elck");
  ASSERT_EQ(effect.CompareActiveChunk(record.Get(), &equal), 0);
  EXPECT_EQ(equal, 1);

  // A record too short for every value cannot be equal, whatever it claims beyond that.
  ChunkRecord shortRecord = Save();
  shortRecord.SetDeclaredSize(kStateBytes - 8);
  ASSERT_EQ(effect.CompareActiveChunk(shortRecord.Get(), &equal), 0);
  EXPECT_EQ(equal, 0);
  EXPECT_EQ(effect.CompareActiveChunk(nullptr, &equal), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(effect.CompareActiveChunk(now.Get(), nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(ProductChunks, EmptyOrNegativeSizesAreRefusedAndChangeNothing) {
  ChunkRecord record = Save();
  HostSets("3", 0.5);
  const std::vector<double> before = Values();
  for (int32_t size : {0, -1, -132, std::numeric_limits<int32_t>::min()}) {
    record.SetDeclaredSize(size);
    EXPECT_EQ(effect.SetChunk(kTLK1, record.Get()), AAX_ERROR_INCORRECT_CHUNK_SIZE) << size;
    EXPECT_EQ(Values(), before);
  }
  EXPECT_EQ(effect.SetChunk(kTLK1, nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST_F(ProductChunks, AClaimLargerThanAStateReadsNoFurtherThanAStateNeeds) {
  HostSets("2", 0.5);
  ChunkRecord record = Save();  // exactly one state's bytes
  HostSets("2", 1.0);
  // The host claims far more than it handed over: only a state's worth is read (the
  // sanitizer build would catch a read past the record).
  record.SetDeclaredSize(std::numeric_limits<int32_t>::max());
  ASSERT_EQ(effect.SetChunk(kTLK1, record.Get()), 0);
  EXPECT_EQ(plug.GetParam(kParamLimitLevel)->Value(), 11.0);
  AAX_CBoolean equal = 0;
  ASSERT_EQ(effect.CompareActiveChunk(record.Get(), &equal), 0);
  EXPECT_EQ(equal, 1);
}

TEST_F(ProductChunks, ATruncatedStateIsRefusedWhole) {
  ChunkRecord saved = Save();
  const std::vector<unsigned char> bytes = saved.Data();
  HostSets("1", 0.0);
  HostSets("8", 1.0);
  const std::vector<double> before = Values();
  hosted.log.Clear();
  for (size_t keep : {size_t{4}, size_t{12}, size_t{12 + 8 * 7}, bytes.size() - 1}) {
    ChunkRecord cut = WithBytes(std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    EXPECT_EQ(effect.SetChunk(kTLK1, cut.Get()), AAX_ERROR_MALFORMED_CHUNK) << keep;
    EXPECT_EQ(Values(), before) << keep;
  }
  EXPECT_EQ(hosted.log.Count("PostSetValueRequest"), 0u) << "nothing is sent to the host";
}

TEST_F(ProductChunks, GarbageBytesLandInsideEveryParameterRange) {
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  for (int round = 0; round < 50; ++round) {
    std::vector<unsigned char> bytes(kStateBytes);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    ChunkRecord record = WithBytes(bytes);
    ASSERT_EQ(effect.SetChunk(kTLK1, record.Get()), 0);
    for (int i = 0; i < plug.NParams(); ++i) {
      const iplug::IParam& p = *plug.GetParam(i);
      EXPECT_TRUE(std::isfinite(p.Value()));
      EXPECT_GE(p.Value(), p.GetMin());
      EXPECT_LE(p.Value(), p.GetMax());
      if (p.Type() != iplug::IParam::kTypeNone) {
        EXPECT_EQ(p.Value(), std::floor(p.Value())) << "integer parameters stay whole";
      }
    }
  }
}

TEST_F(ProductChunks, StoredNotANumberLeavesItsParameterAlone) {
  HostSets("3", 0.25);
  HostSets("4", 0.0);
  ChunkRecord record = Save();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::memcpy(record.Get()->fData + 12 + 8 * kParamGain, &nan, sizeof nan);
  HostSets("3", 1.0);
  HostSets("4", 1.0);
  ASSERT_EQ(effect.SetChunk(kTLK1, record.Get()), 0);
  EXPECT_EQ(plug.GetParam(kParamGain)->Value(), 20.0);
  EXPECT_EQ(plug.GetParam(kParamMix)->Value(), 0.0) << "the rest is read";
}

// A host sizes the record from GetChunkSize and may leave anything in its size field: zero,
// a stale size from an earlier save, or garbage. The save succeeds all the same.
TEST_F(ProductChunks, AStaleSizeInTheHostsRecordCannotFailASave) {
  HostSets("2", 0.5);
  uint32_t size = 0;
  ASSERT_EQ(effect.GetChunkSize(kTLK1, &size), 0);
  ASSERT_EQ(size, static_cast<uint32_t>(kStateBytes));
  for (int32_t prefilled : {0, 1, kStateBytes - 1, -7, std::numeric_limits<int32_t>::min()}) {
    ChunkRecord record(size);
    record.SetDeclaredSize(prefilled);
    ASSERT_EQ(effect.GetChunk(kTLK1, record.Get()), 0) << prefilled;
    EXPECT_EQ(record.Get()->fSize, kStateBytes);
    EXPECT_EQ(record.Data(), Save().Data()) << prefilled;
  }
}

TEST_F(ProductChunks, AHostRecordTooSmallForTheStateIsNotWrittenPast) {
  ChunkRecord small(16);
  std::memset(small.Get()->fData, 0xAB, 16);
  EXPECT_EQ(effect.GetChunk(kTLK1, small.Get()), AAX_ERROR_INCORRECT_CHUNK_SIZE);
  EXPECT_EQ(small.Get()->fSize, 16);
  EXPECT_EQ(small.Get()->fData[15], 0xAB);
  EXPECT_EQ(effect.GetChunk(kTLK1, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(effect.GetChunkSize(kTLK1, nullptr), AAX_ERROR_NULL_ARGUMENT);
}

// A refused record is refused before anything is applied: no parameter hook, no editor
// notification, no value sent to the host.
TEST(ProbeChunks, ARefusedStateTellsNobodyAnything) {
  HostedPlug<aaxtest::ProbePlugin> hosted{new aaxtest::ProbePlugin()};
  ChunkRecord record;
  ASSERT_EQ(aaxhost::ReadChunk(hosted.Effect(), AAX_FourCC("Prb1"), &record), 0);
  const std::vector<unsigned char> bytes = record.Data();
  hosted.plug->mLog.clear();
  hosted.log.Clear();
  for (size_t keep = 1; keep < bytes.size(); keep += 7) {
    ChunkRecord cut = ChunkRecord::WithData(AAX_FourCC("Prb1"), bytes.data(), keep);
    EXPECT_EQ(hosted.Effect().SetChunk(AAX_FourCC("Prb1"), cut.Get()), AAX_ERROR_MALFORMED_CHUNK) << keep;
  }
  EXPECT_TRUE(hosted.plug->mLog.empty()) << hosted.plug->mLog.front();
  EXPECT_EQ(hosted.log.Count("PostSetValueRequest"), 0u);
}

TEST(ProbeChunks, TheStateTellsTheEditorAfterRestoring) {
  HostedPlug<aaxtest::ProbePlugin> hosted{new aaxtest::ProbePlugin()};
  ChunkRecord record;
  ASSERT_EQ(aaxhost::ReadChunk(hosted.Effect(), AAX_FourCC("Prb1"), &record), 0);
  hosted.plug->mLog.clear();
  ASSERT_EQ(hosted.Effect().SetChunk(AAX_FourCC("Prb1"), record.Get()), 0);
  ASSERT_FALSE(hosted.plug->mLog.empty());
  EXPECT_EQ(hosted.plug->mLog.back(), "state restored");
}

}  // namespace
