#include <benchmark/benchmark.h>
#include <clap/entry.h>
#include <clap/plugin-factory.h>
#include <clap/plugin.h>
#include <dlfcn.h>

#include <vector>

#include "bench/BenchSupport.h"
#include "tests/product/MusicSignal.h"

// Nanoseconds per stereo frame of Tollenbrook.clap's process() called as a host calls it, on
// the same music, at the same rate and block length (48 kHz, 512) and with the same default
// settings as BM_ChainDefault: the difference is what the binding costs (event list, float
// conversion, channel records), to be held within 5% of the chain.
namespace {

constexpr double kFs = 48000.0;
constexpr int kBlock = 512;
constexpr int kFrames = 94 * kBlock;

const void* NoExtension(const clap_host_t*, const char*) { return nullptr; }
void Nothing(const clap_host_t*) {}

uint32_t NoEvents(const clap_input_events_t*) { return 0; }
const clap_event_header_t* NoEvent(const clap_input_events_t*, uint32_t) { return nullptr; }
bool Drop(const clap_output_events_t*, const clap_event_header_t*) { return true; }

void BM_CLAPProcessDefault(benchmark::State& state) {
  void* module = dlopen(TOLLENBROOK_CLAP_BUNDLE, RTLD_NOW | RTLD_LOCAL);
  const auto* entry = module ? static_cast<const clap_plugin_entry_t*>(dlsym(module, "clap_entry")) : nullptr;
  if (!entry || !entry->init(TOLLENBROOK_CLAP_BUNDLE)) {
    state.SkipWithError("Tollenbrook.clap is not built");
    return;
  }
  const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  const clap_host_t host{CLAP_VERSION_INIT, nullptr, "bench", "", "", "1", NoExtension, Nothing, Nothing, Nothing};
  const clap_plugin_t* plugin = factory->create_plugin(factory, &host, factory->get_plugin_descriptor(factory, 0)->id);
  plugin->init(plugin);
  plugin->activate(plugin, kFs, 1, kBlock);
  plugin->start_processing(plugin);

  const chaintest::MusicSignal music(kFrames, 7);
  std::vector<float> left(music.left.begin(), music.left.end()), right(music.right.begin(), music.right.end());
  std::vector<float> silence(kFrames, 0.0f), outL(kFrames), outR(kFrames);
  const clap_input_events_t in{nullptr, NoEvents, NoEvent};
  const clap_output_events_t out{nullptr, Drop};

  for (auto _ : state) {
    for (int pos = 0; pos < kFrames; pos += kBlock) {
      float* inputs[2] = {left.data() + pos, right.data() + pos};
      float* key[1] = {silence.data() + pos};
      float* outputs[2] = {outL.data() + pos, outR.data() + pos};
      const clap_audio_buffer_t ins[2] = {{inputs, nullptr, 2, 0, 0}, {key, nullptr, 1, 0, 0}};
      clap_audio_buffer_t outs[1] = {{outputs, nullptr, 2, 0, 0}};
      const clap_process_t process{-1, kBlock, nullptr, ins, outs, 2, 1, &in, &out};
      plugin->process(plugin, &process);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(kFrames) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  plugin->stop_processing(plugin);
  plugin->deactivate(plugin);
  plugin->destroy(plugin);
}

const bool kRegistered =
    (benchsupport::WithMinimum(benchmark::RegisterBenchmark("BM_CLAPProcessDefault", BM_CLAPProcessDefault)), true);

}  // namespace
