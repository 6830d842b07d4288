#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/validator/HostParams.h"

// What the validator's host threads pick to change: never the master bypass, and nothing at
// all for a plug-in whose only parameter is its bypass.
namespace {

using tbvalidate::HostParam;

HostParam Param(const std::string& id, bool bypass) {
  HostParam p;
  p.id = id;
  p.masterBypass = bypass;
  return p;
}

TEST(HostParams, ARandomChangeIsNeverTheBypassAndThereIsNoneWithoutAnotherParameter) {
  std::mt19937_64 rng(7);
  EXPECT_EQ(tbvalidate::RandomChangeable({}, rng), nullptr);
  EXPECT_EQ(tbvalidate::RandomChangeable({Param("", true)}, rng), nullptr);
  const std::vector<HostParam> params = {Param("1", false), Param("", true), Param("3", false)};
  std::set<std::string> picked;
  for (int i = 0; i < 200; ++i) {
    const HostParam* p = tbvalidate::RandomChangeable(params, rng);
    ASSERT_NE(p, nullptr);
    picked.insert(p->id);
  }
  EXPECT_EQ(picked, (std::set<std::string>{"1", "3"}));
}

}  // namespace
