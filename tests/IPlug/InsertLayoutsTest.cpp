#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "IPlug/EntryGuard.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/InsertLayouts.h"

namespace {

// "in-out in-out ..." of the configurations that become inserts.
std::string Inserts(const char* io, bool& sideChain) {
  std::vector<iplug::ChannelLayout> configs;
  int a = 0, b = 0, c = 0, d = 0;
  iplug::IPlugProcessor::ParseIOConfigs(io, configs, a, b, c, d);
  const iplug::InsertLayouts layouts = iplug::InsertLayouts::Of(configs);
  sideChain = layouts.mSideChain;
  std::string out;
  for (const iplug::ChannelLayout* config : layouts.mConfigs)
    out += (out.empty() ? "" : " ") + std::to_string(config->TotalChannels(iplug::kInput)) + "-" +
           std::to_string(config->TotalChannels(iplug::kOutput));
  return out;
}

}  // namespace

TEST(InsertLayouts, ASecondInputBusMakesEveryInsertKeyed) {
  struct Case {
    const char* io;
    const char* inserts;
    bool sideChain;
  };
  for (const Case& c : {Case{"1-1 1.1-1 2-2 2.2-2", "1-1 2-2", true}, Case{"1-1 2-2", "1-1 2-2", false},
                        Case{"1.1-1", "", true}, Case{"0-2 2-2.2", "0-2 2-4", false}}) {
    bool sideChain = !c.sideChain;
    EXPECT_EQ(Inserts(c.io, sideChain), c.inserts) << c.io;
    EXPECT_EQ(sideChain, c.sideChain) << c.io;
  }
}

TEST(EntryGuard, NothingThrownReachesTheCaller) {
  EXPECT_EQ(iplug::GuardedEntry([]() -> int { throw std::runtime_error("inside"); }, -5), -5);
  EXPECT_EQ(iplug::GuardedEntry([] { return 3; }, -5), 3);
  bool ran = false;
  iplug::GuardedEntry([&] {
    ran = true;
    throw 1;
  });
  EXPECT_TRUE(ran);
}
