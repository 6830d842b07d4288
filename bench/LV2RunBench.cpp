#include <benchmark/benchmark.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/product/MusicSignal.h"

// Nanoseconds per frame of an LV2 plug-in's run() through lilv, on the same music, at 48 kHz
// and with every control at its default:
// - BM_LV2RunDefault: the Tollenbrook bundle, stereo, blocks of 512; against BM_ChainDefault the
//   difference is what the binding costs (float conversion, channel records, control ports,
//   meters), to be held within 5% of the chain;
// - "Peers/<plug-in>/<mono|stereo>/<block>": Tollenbrook beside the compressors it is compared
//   with (Debian's zam-plugins: ZamComp on mono, ZamCompX2 on stereo), blocks of 512 and 32,
//   all timed the same way. A peer that is not installed is reported as skipped.
namespace {

constexpr double kFs = 48000.0;
constexpr int kFrames = 96 * 512;  // one second, whatever the block size
constexpr int kMaxBlock = 512;

std::map<std::string, LV2_URID> gUrids;
LV2_URID MapUri(LV2_URID_Map_Handle, const char* uri) {
  return gUrids.emplace(uri, static_cast<LV2_URID>(gUrids.size() + 1)).first->second;
}

// One lilv world for every figure: the LV2 vocabularies, our bundle and the system's bundles.
struct World {
  LilvWorld* world = lilv_world_new();
  World() {
    lilv_world_load_all(world);
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, TOLLENBROOK_LV2_BUNDLE_DIR "/");
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
  }
  const LilvPlugin* Find(const char* uri) const {
    LilvNode* node = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return plugin;
  }
  static World& Get() {
    static World w;
    return w;
  }
};

// An instance with its ports connected the way a host would: main audio inputs to the music
// (left, then right), side-chain inputs to silence, outputs and control outputs to scratch,
// control inputs to their defaults.
class Runner {
public:
  Runner(const LilvPlugin* plugin, int block) : mMusic(kFrames, 7) {
    LilvWorld* w = World::Get().world;
    LilvNode* audio = lilv_new_uri(w, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(w, LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(w, LV2_CORE__InputPort);
    LilvNode* sideChain = lilv_new_uri(w, LV2_CORE_PREFIX "isSideChain");

    mMaxBlock = block;
    mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, MapUri(nullptr, LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                   MapUri(nullptr, LV2_ATOM__Int), &mMaxBlock};
    mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    mMapFeature = {LV2_URID__map, &mMap};
    mOptionsFeature = {LV2_OPTIONS__options, mOptions};
    const LV2_Feature* features[] = {&mMapFeature, &mOptionsFeature, nullptr};
    mInstance = lilv_plugin_instantiate(plugin, kFs, features);

    const uint32_t nPorts = lilv_plugin_get_num_ports(plugin);
    mControls.assign(nPorts, 0.0f);
    std::vector<float> defaults(nPorts, NAN);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    mLeft.assign(mMusic.left.begin(), mMusic.left.end());
    mRight.assign(mMusic.right.begin(), mMusic.right.end());
    mSilence.assign(kFrames, 0.0f);
    int mainInputs = 0;
    for (uint32_t p = 0; p < nPorts; ++p) {
      const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
      const std::string symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
      const bool isInput = lilv_port_is_a(plugin, port, input);
      if (lilv_port_is_a(plugin, port, audio)) {
        const bool isKey = lilv_port_has_property(plugin, port, sideChain) || symbol.find("sidechain") != std::string::npos;
        if (!isInput) {
          mOutputs.push_back({p, std::vector<float>(kFrames)});
        } else if (isKey) {
          mInputs.push_back({p, &mSilence});
        } else {
          mInputs.push_back({p, mainInputs++ == 0 ? &mLeft : &mRight});
        }
      } else if (lilv_port_is_a(plugin, port, control)) {
        mControls[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
        lilv_instance_connect_port(mInstance, p, &mControls[p]);
      } else {
        mScratch.emplace_back(kMaxBlock * 4, 0.0f);  // any other kind of port: zeros it may read
        lilv_instance_connect_port(mInstance, p, mScratch.back().data());
      }
    }
    lilv_node_free(audio);
    lilv_node_free(control);
    lilv_node_free(input);
    lilv_node_free(sideChain);
    lilv_instance_activate(mInstance);
  }
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;
  ~Runner() {
    lilv_instance_deactivate(mInstance);
    lilv_instance_free(mInstance);
  }

  // The host's audio thread: one second in blocks of `block`.
  void Second(int block) {
    for (int pos = 0; pos < kFrames; pos += block) {
      for (const AudioIn& in : mInputs)
        lilv_instance_connect_port(mInstance, in.port, const_cast<float*>(in.signal->data() + pos));
      for (AudioOut& out : mOutputs) lilv_instance_connect_port(mInstance, out.port, out.buffer.data() + pos);
      lilv_instance_run(mInstance, static_cast<uint32_t>(block));
    }
  }
  const float* Output() const { return mOutputs.empty() ? nullptr : mOutputs[0].buffer.data(); }

private:
  struct AudioIn {
    uint32_t port;
    const std::vector<float>* signal;
  };
  struct AudioOut {
    uint32_t port;
    std::vector<float> buffer;
  };
  chaintest::MusicSignal mMusic;
  std::vector<float> mLeft, mRight, mSilence;
  std::vector<float> mControls;
  std::vector<std::vector<float>> mScratch;
  std::vector<AudioIn> mInputs;
  std::vector<AudioOut> mOutputs;
  LV2_URID_Map mMap{nullptr, MapUri};
  int32_t mMaxBlock = kMaxBlock;
  LV2_Options_Option mOptions[2];
  LV2_Feature mMapFeature{};
  LV2_Feature mOptionsFeature{};
  LilvInstance* mInstance = nullptr;
};

void RunPlugin(benchmark::State& state, const char* uri, int block, const char* missing) {
  const LilvPlugin* plugin = World::Get().Find(uri);
  if (plugin == nullptr) {
    state.SkipWithError(missing);
    return;
  }
  Runner runner(plugin, block);
  runner.Second(block);  // the dynamics settle as in the middle of a song
  for (auto _ : state) {
    runner.Second(block);
    benchmark::DoNotOptimize(runner.Output());
    benchmark::ClobberMemory();
  }
  benchsupport::ReportPerFrame(state, kFrames);
}

struct Peer {
  const char* name;
  const char* monoUri;
  const char* stereoUri;
  const char* missing;
};

const bool kRegistered = [] {
  benchsupport::WithMinimum(benchmark::RegisterBenchmark("BM_LV2RunDefault", [](benchmark::State& st) {
    RunPlugin(st, "urn:vantorell:tollenbrook:stereo", 512, "the LV2 bundle is not built");
  }));
  const Peer peers[] = {
      {"Tollenbrook", "urn:vantorell:tollenbrook:mono", "urn:vantorell:tollenbrook:stereo", "the LV2 bundle is not built"},
      {"Zam", "urn:zamaudio:ZamComp", "urn:zamaudio:ZamCompX2", "not installed (zam-plugins; scripts/deps installs it)"},
  };
  for (const Peer& peer : peers)
    for (const char* layout : {"stereo", "mono"})
      for (int block : {512, 32}) {
        const std::string name = std::string("Peers/") + peer.name + "/" + layout + "/" + std::to_string(block);
        const char* uri = std::strcmp(layout, "mono") == 0 ? peer.monoUri : peer.stereoUri;
        benchsupport::WithMinimum(benchmark::RegisterBenchmark(
            name.c_str(), [uri, block, missing = peer.missing](benchmark::State& st) { RunPlugin(st, uri, block, missing); }));
      }
  return true;
}();

}  // namespace
