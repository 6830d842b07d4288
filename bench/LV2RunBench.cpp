#include <benchmark/benchmark.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/product/MusicSignal.h"

// Nanoseconds per stereo frame of the LV2 bundle's run() through lilv, on the same music, at
// the same rate and block length (48 kHz, 512) and with the same default settings as
// BM_ChainDefault: the difference is what the binding costs (float conversion, channel
// records, control ports, meters), to be held within 5% of the chain.
namespace {

constexpr double kFs = 48000.0;
constexpr int kBlock = 512;
constexpr int kFrames = 94 * kBlock;

std::map<std::string, LV2_URID> gUrids;
LV2_URID MapUri(LV2_URID_Map_Handle, const char* uri) {
  return gUrids.emplace(uri, static_cast<LV2_URID>(gUrids.size() + 1)).first->second;
}

void BM_LV2RunDefault(benchmark::State& state) {
  LilvWorld* world = lilv_world_new();
  lilv_world_load_specifications(world);
  LilvNode* bundle = lilv_new_file_uri(world, nullptr, TOLLENBROOK_LV2_BUNDLE_DIR "/");
  lilv_world_load_bundle(world, bundle);
  LilvNode* uri = lilv_new_uri(world, "urn:vantorell:tollenbrook:stereo");
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  if (!plugin) {
    state.SkipWithError("the LV2 bundle is not built");
    return;
  }

  LV2_URID_Map map{nullptr, MapUri};
  int32_t maxBlock = kBlock;
  LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, MapUri(nullptr, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
       MapUri(nullptr, LV2_ATOM__Int), &maxBlock},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
  const LV2_Feature* features[] = {&mapFeature, &optionsFeature, nullptr};
  LilvInstance* instance = lilv_plugin_instantiate(plugin, kFs, features);

  const uint32_t nPorts = lilv_plugin_get_num_ports(plugin);
  std::vector<float> controls(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, controls.data());
  const chaintest::MusicSignal music(kFrames, 7);
  const std::vector<float> left(music.left.begin(), music.left.end()), right(music.right.begin(), music.right.end());
  const std::vector<float> silence(kFrames, 0.0f);
  std::vector<float> outL(kFrames), outR(kFrames);
  // Ports 0..4: in_l, in_r, sidechain, out_l, out_r; controls after them.
  for (uint32_t p = 5; p < nPorts; ++p) lilv_instance_connect_port(instance, p, &controls[p]);
  lilv_instance_activate(instance);

  for (auto _ : state) {
    for (int pos = 0; pos < kFrames; pos += kBlock) {
      lilv_instance_connect_port(instance, 0, const_cast<float*>(left.data() + pos));
      lilv_instance_connect_port(instance, 1, const_cast<float*>(right.data() + pos));
      lilv_instance_connect_port(instance, 2, const_cast<float*>(silence.data() + pos));
      lilv_instance_connect_port(instance, 3, outL.data() + pos);
      lilv_instance_connect_port(instance, 4, outR.data() + pos);
      lilv_instance_run(instance, kBlock);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(kFrames) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
  lilv_node_free(uri);
  lilv_node_free(bundle);
  lilv_world_free(world);
}

const bool kRegistered =
    (benchsupport::WithMinimum(benchmark::RegisterBenchmark("BM_LV2RunDefault", BM_LV2RunDefault)), true);

}  // namespace
