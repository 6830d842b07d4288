#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The factory programs as LV2 presets: hosts list them by name for both plug-ins, and applying
// one through lilv's state API (as jalv and Ardour do) renders what `tollenbrook-host render
// --preset NAME` renders.
namespace {

using lv2test::Channels;

constexpr int kRate = 48000;
constexpr int kFrames = 24000;

// The factory presets' names as the command-line host lists them.
std::set<std::string> HostPresetNames() {
  const lv2test::ToolRun run = lv2test::RunTool({lv2test::HostProgram(), "presets"});
  EXPECT_EQ(run.status, 0) << run.output;
  std::set<std::string> names;
  const std::regex heading(R"(^(\S.*?)  \(.+\.fxp\)$)");
  std::istringstream in(run.output);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (std::regex_match(line, m, heading)) names.insert(m[1]);
  }
  return names;
}

// The names under "Presets:" in lv2info's description of a plug-in.
std::set<std::string> Lv2infoPresetNames(const char* uri) {
  const lv2test::ToolRun run = lv2test::RunTool({"lv2info", uri});
  EXPECT_EQ(run.status, 0) << run.output;
  std::set<std::string> names;
  std::istringstream in(run.output);
  bool inPresets = false;
  for (std::string line; std::getline(in, line);) {
    const size_t text = line.find_first_not_of(" \t");
    if (line.find("Presets:") != std::string::npos) {
      inPresets = true;
    } else if (!inPresets || text == std::string::npos || line.find(':') != std::string::npos) {
      inPresets = false;
    } else {
      names.insert(line.substr(text));
    }
  }
  return names;
}

TEST(LV2Presets, Lv2infoListsTheFactoryPresetsByNameForBothPlugIns) {
  const std::set<std::string> factory = HostPresetNames();
  ASSERT_EQ(factory.size(), 5u);
  EXPECT_EQ(Lv2infoPresetNames(lv2test::kStereoURI), factory);
  EXPECT_EQ(Lv2infoPresetNames(lv2test::kMonoURI), factory);

  std::vector<std::string> args = {"sord_validate"};
  for (const std::string& file : lv2test::VocabularyTurtle()) args.push_back(file);
  for (const char* file : {"manifest.ttl", "Tollenbrook.ttl", "presets.ttl"})
    args.push_back(lv2test::LV2Path().substr(0, lv2test::LV2Path().find(':')) + "/Tollenbrook.lv2/" + file);
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_NE(run.output.find("Found 0 errors"), std::string::npos) << run.output;
}

// The preset of a plug-in by its label, or null.
struct NodeFree {
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using OwnedNode = std::unique_ptr<LilvNode, NodeFree>;

OwnedNode PresetNamed(const char* uri, const std::string& name) {
  const LilvPlugin* plugin = lv2test::FindPlugin(uri);
  LilvWorld* world = lv2test::World();
  LilvNode* presetClass = lilv_new_uri(world, "http://lv2plug.in/ns/ext/presets#Preset");
  LilvNode* label = lilv_new_uri(world, "http://www.w3.org/2000/01/rdf-schema#label");
  LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
  const LilvNode* found = nullptr;
  LILV_FOREACH(nodes, i, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, i);
    lilv_world_load_resource(world, preset);
    LilvNodes* labels = lilv_world_find_nodes(world, preset, label, nullptr);
    if (labels && lilv_node_as_string(lilv_nodes_get_first(labels)) == name)
      found = preset;  // copied below, before the list is freed
    lilv_nodes_free(labels);
  }
  OwnedNode kept(found ? lilv_node_duplicate(found) : nullptr);
  lilv_nodes_free(presets);
  lilv_node_free(label);
  lilv_node_free(presetClass);
  return kept;
}

TEST(LV2Presets, ApplyingOneRendersWhatTheHostRendersWithIt) {
  const chaintest::MusicSignal music(kFrames, 7);
  for (const std::string& name : HostPresetNames()) {
    for (const int channels : {2, 1}) {
      if (channels == 1 && name != "Loud Master") continue;  // the mono plug-in reads the same file
      SCOPED_TRACE(name + (channels == 1 ? " (mono)" : " (stereo)"));
      Channels in(static_cast<size_t>(channels));
      for (int c = 0; c < channels; ++c)
        in[static_cast<size_t>(c)].assign(c == 0 ? music.left.begin() : music.right.begin(),
                                          c == 0 ? music.left.end() : music.right.end());
      hosttest::ScopedTempDir dir;
      lv2test::WriteFloatWav(dir.File("in.wav"), in, kRate);
      const lv2test::ToolRun run = lv2test::RunTool(
          {lv2test::HostProgram(), "render", dir.File("in.wav"), dir.File("host.wav"), "--preset", name});
      ASSERT_EQ(run.status, 0) << run.output;

      const char* uri = channels == 1 ? lv2test::kMonoURI : lv2test::kStereoURI;
      lv2test::RenderOptions options;
      const OwnedNode preset = PresetNamed(uri, name);
      options.preset = preset.get();
      ASSERT_NE(options.preset, nullptr);
      const lv2test::RenderResult lv2 = lv2test::Render(uri, in, nullptr, {}, kRate, options);
      EXPECT_LE(lv2test::MaxDifference(lv2.out, lv2test::ReadFloatWav(dir.File("host.wav"))), 1e-6);
      EXPECT_GT(lv2test::MaxDifference(lv2.out, lv2test::Render(uri, in, nullptr, {}, kRate).out), 1e-3) << "the preset acts";

      // The state alone (a host that restores no port values) brings the same settings.
      lv2test::Instance whole(uri, kRate), stateOnly(uri, kRate), untouched(uri, kRate);
      LilvState* forWhole = lilv_state_new_from_world(lv2test::World(), whole.Urids().MapFeature(), options.preset);
      LilvState* forState = lilv_state_new_from_world(lv2test::World(), stateOnly.Urids().MapFeature(), options.preset);
      lilv_state_restore(forWhole, whole.Get(), lv2test::Instance::SetControl, &whole, 0, whole.Features());
      lilv_state_restore(forState, stateOnly.Get(), nullptr, nullptr, 0, stateOnly.Features());
      EXPECT_EQ(stateOnly.StateBytes(), whole.StateBytes());
      EXPECT_NE(stateOnly.StateBytes(), untouched.StateBytes());
      lilv_state_free(forWhole);
      lilv_state_free(forState);
    }
  }
}

}  // namespace
