#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/cli/StateFile.h"

// A state file keeps a chunk as it always has, and a state of any other format with its format.
namespace {

using tbhost::PluginState;
using tbhost::StateFile;

TEST(StateFile, KeepsEitherKindOfStateAndRefusesDamagedOnes) {
  for (const PluginState& state : {PluginState{tbhost::ChunkFormat(0x544C4B31u), {1, 2, 3}},
                                   PluginState{"LV2 state urn:a#state urn:b#Chunk", {9, 8, 7, 6}}}) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(StateFile::Encode(state, bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), state.format[0] == '\'' ? "AAXCHUNK" : "PLUGSTAT");
    PluginState back;
    ASSERT_TRUE(StateFile::Decode(bytes, back, error)) << error;
    EXPECT_EQ(back.format, state.format);
    EXPECT_EQ(back.bytes, state.bytes);

    for (size_t keep : {bytes.size() - 1, size_t{16}}) {
      std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(keep));
      PluginState untouched{"x", {5}};
      EXPECT_FALSE(StateFile::Decode(cut, untouched, error)) << state.format << " cut to " << keep;
      EXPECT_EQ(untouched.format, "x");
    }
  }
}

}  // namespace
