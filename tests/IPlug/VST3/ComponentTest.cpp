#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "IPlug/VST3/VST3Rig.h"

// The component and controller as a host sets them up: buses, parameters and their texts, the
// host's bypass, and the state in both halves.
namespace {

using namespace vst3test;

constexpr v3_speaker_arrangement kMono = V3_SPEAKER_M;
constexpr v3_speaker_arrangement kStereo = V3_SPEAKER_L | V3_SPEAKER_R;

v3_speaker_arrangement Arrangement(Plugin& p, int32_t direction, int32_t bus) {
  v3_speaker_arrangement a = 0;
  p.P()->get_bus_arrangement(p.mProcessor, direction, bus, &a);
  return a;
}

TEST(VST3Component, BusesTakeMonoOrStereoInsertsAndKeepTheLastGoodArrangement) {
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  ASSERT_EQ(p.C()->get_bus_count(p.mComponent, V3_AUDIO, V3_INPUT), 2);
  v3_bus_info key{};
  ASSERT_EQ(p.C()->get_bus_info(p.mComponent, V3_AUDIO, V3_INPUT, 1, &key), V3_OK);
  EXPECT_EQ(key.bus_type, V3_AUX);
  EXPECT_EQ(key.flags & V3_DEFAULT_ACTIVE, 0u) << "the side chain starts inactive";

  struct Case {
    std::vector<v3_speaker_arrangement> in, out;
    bool taken;
  };
  const Case cases[] = {
      {{kMono}, {kMono}, true},
      {{kStereo, kMono}, {kStereo}, true},
      {{kMono}, {kStereo}, false},                                    // no such insert
      {{kStereo | V3_SPEAKER_C}, {kStereo | V3_SPEAKER_C}, false},  // three channels
      {{kStereo, kStereo}, {kStereo}, false},                         // the key is one channel
      {{kStereo}, {kStereo, kStereo}, false},                         // one output bus only
  };
  v3_speaker_arrangement lastIn = Arrangement(p, V3_INPUT, 0);
  for (const Case& c : cases) {
    auto in = c.in;
    auto out = c.out;
    const v3_result r = p.P()->set_bus_arrangements(p.mProcessor, in.data(), static_cast<int32_t>(in.size()), out.data(),
                                                      static_cast<int32_t>(out.size()));
    EXPECT_EQ(r == V3_OK, c.taken) << in[0] << " -> " << out[0];
    if (c.taken) lastIn = in[0];
    EXPECT_EQ(Arrangement(p, V3_INPUT, 0), lastIn);
    EXPECT_EQ(Arrangement(p, V3_OUTPUT, 0), lastIn);
  }
}

TEST(VST3Component, ParametersShowTheFrameworksTextsBothWaysBesideTheHostBypass) {
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  const int n = p.E()->get_parameter_count(p.mController);
  int bypasses = 0;
  int readOnly = 0;
  for (int i = 0; i < n; ++i) {
    v3_param_info info{};
    ASSERT_EQ(p.E()->get_parameter_info(p.mController, i, &info), V3_OK);
    if (info.flags & V3_PARAM_IS_BYPASS) {
      ++bypasses;
      EXPECT_EQ(info.step_count, 1);
      EXPECT_NE(Text(info.title), "Bypass") << "the product's own Bypass keeps its name";
    }
    if (info.flags & V3_PARAM_READ_ONLY) {
      ++readOnly;
      continue;
    }
    // Every step's text reads back as the same step.
    const int steps = std::max(info.step_count, 1);
    for (int s = 0; s <= steps; ++s) {
      const double v = static_cast<double>(s) / steps;
      v3_str_128 text{};
      ASSERT_EQ(p.E()->get_parameter_string_for_value(p.mController, info.param_id, v, text), V3_OK);
      double back = -1.0;
      ASSERT_EQ(p.E()->get_parameter_value_for_string(p.mController, info.param_id, text, &back), V3_OK)
          << Text(info.title) << " " << Text(text);
      v3_str_128 again{};
      p.E()->get_parameter_string_for_value(p.mController, info.param_id, back, again);
      EXPECT_EQ(Text(again), Text(text)) << Text(info.title);
      EXPECT_NEAR(p.E()->normalised_parameter_to_plain(p.mController, info.param_id, back),
                  p.E()->normalised_parameter_to_plain(p.mController, info.param_id, v), 1e-9);
    }
  }
  EXPECT_EQ(bypasses, 1);
  EXPECT_EQ(readOnly, 2) << "the two gain-reduction meters";

  const v3_param_id ratio = p.IDOf("Ratio");
  v3_param_info info{};
  for (int i = 0; i < n; ++i) {
    p.E()->get_parameter_info(p.mController, i, &info);
    if (info.param_id == ratio) break;
  }
  EXPECT_EQ(info.step_count, 4);
  EXPECT_TRUE(info.flags & V3_PARAM_IS_LIST);
  int16_t text[128] = {'4', ':', '1', 0};
  double v = 0.0;
  ASSERT_EQ(p.E()->get_parameter_value_for_string(p.mController, ratio, text, &v), V3_OK);
  EXPECT_DOUBLE_EQ(v, 0.75);
  int16_t unknown[128] = {'5', ':', '1', 0};
  EXPECT_NE(p.E()->get_parameter_value_for_string(p.mController, ratio, unknown, &v), V3_OK);
}

TEST(VST3Component, StateRoundTripsAndADamagedStreamChangesNothing) {
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  p.Start(48000.0, 512, V3_SAMPLE_32);
  const v3_param_id ratio = p.IDOf("Ratio");
  const v3_param_id gain = p.IDOf("Gain");
  const std::vector<uint8_t> original = p.State();
  ASSERT_FALSE(original.empty());

  // The host changes two parameters in a block, then saves.
  ParamChanges changes;
  changes.Add(ratio, 0, 1.0);
  changes.Add(gain, 0, 0.5);
  std::vector<float> l(64, 0.f), r(64, 0.f);
  p.Process<float>({l.data(), r.data()}, {l.data(), r.data()}, 64, &changes);
  const std::vector<uint8_t> changed = p.State();
  EXPECT_NE(changed, original);

  // Damaged or foreign streams are refused and leave the state as it was.
  const std::vector<std::vector<uint8_t>> bad = {
      {}, {1, 2, 3}, std::vector<uint8_t>(original.begin(), original.end() - 1)};
  for (const auto& bytes : bad) {
    Stream s(bytes);
    EXPECT_NE(p.C()->set_state(p.mComponent, s.Get()), V3_OK) << bytes.size() << " bytes";
    Stream forController(bytes);
    EXPECT_NE(p.E()->set_component_state(p.mController, forController.Get()), V3_OK);
    EXPECT_EQ(p.State(), changed);
  }

  // The saved state comes back whole, and the controller shows it.
  Stream back(original);
  ASSERT_EQ(p.C()->set_state(p.mComponent, back.Get()), V3_OK);
  EXPECT_EQ(p.State(), original);
  Stream forController(changed);
  ASSERT_EQ(p.E()->set_component_state(p.mController, forController.Get()), V3_OK);
  EXPECT_DOUBLE_EQ(p.E()->get_parameter_normalised(p.mController, ratio), 1.0);
  EXPECT_DOUBLE_EQ(p.E()->get_parameter_normalised(p.mController, gain), 0.5);

  // The controller's own state is the editor's geometry.
  Stream geometry;
  ASSERT_EQ(p.E()->get_state(p.mController, geometry.Get()), V3_OK);
  EXPECT_EQ(geometry.mBytes.size(), 12u);
  geometry.mPos = 0;
  EXPECT_EQ(p.E()->set_state(p.mController, geometry.Get()), V3_OK);
  Stream shortGeometry(std::vector<uint8_t>(geometry.mBytes.begin(), geometry.mBytes.begin() + 7));
  EXPECT_NE(p.E()->set_state(p.mController, shortGeometry.Get()), V3_OK);
}

}  // namespace
