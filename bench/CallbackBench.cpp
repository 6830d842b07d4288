#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "IPlug/AAX/IPlugAAX_Describe.h"
#include "bench/BenchSupport.h"
#include "aax-library/AAX_Exports.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"
#include "host/aax/PropertyMap.h"
#include "product/ChainKernels.h"
#include "product/TollenbrookChain.h"
#include "tests/product/MusicSignal.h"
#include "tests/product/PlainChain.h"

// Nanoseconds per frame of Tollenbrook as a host runs it: the description registered with our
// host layer, an instance made by its creation function, and every block through the stereo (or
// mono) component's render callback with 32-bit float buffers and the side chain routed
// ("Callback/<figure>/<set>"). Each figure has a plain twin ("Callback/<figure>/plain"): the
// per-sample evaluation fed through the same float conversions, measured in the same run.
namespace {

using namespace benchsupport;

constexpr int kFrames = 96 * 512;  // one second, whatever the block size
constexpr int kMaxBlock = 512;

enum class Level { kMusic, kQuiet, kSilence, kSubnormal };

// The host's float signal, main channels and key.
struct HostSignal {
  std::vector<float> main[2];
  std::vector<float> key;
  explicit HostSignal(Level level) {
    const chaintest::MusicSignal music(kFrames, 7);
    const chaintest::MusicSignal keyMusic(kFrames, 8, 0.5);
    // -60 dBFS, and a level below the smallest normal float (1.2e-38).
    const double scale = level == Level::kMusic ? 1.0 : level == Level::kQuiet ? 1e-3 : level == Level::kSilence ? 0.0 : 1e-39;
    for (int c = 0; c < 2; ++c) main[c].resize(kFrames);
    key.resize(kFrames);
    for (int i = 0; i < kFrames; ++i) {
      const auto k = static_cast<size_t>(i);
      main[0][k] = static_cast<float>(music.left[k] * scale);
      main[1][k] = static_cast<float>(music.right[k] * scale);
      key[k] = static_cast<float>(keyMusic.left[k] * scale);
    }
  }
};

// The description of the plug-in, registered once with a host of our own.
struct Registration {
  aaxhost::Host host;
  const aaxhost::EffectDescriptor* effect = nullptr;
  Registration() {
    ACFStartup(host.Unknown());
    IACFPluginDefinition* definition = nullptr;
    ACFRegisterPlugin(host.Unknown(), &definition);
    if (definition) definition->Release();
    effect = host.FindRegisteredEffect("com.Vantorell.aax.Tollenbrook");
  }
  const aaxhost::ComponentDescriptor* Component(int channels) const {
    for (const aaxhost::ComponentDescriptor* component : effect->Components()) {
      const auto stem = component->ProcessProperties()->Find(AAX_eProperty_InputStemFormat);
      if (stem && AAX_StemFormatChannelCount(static_cast<uint32_t>(*stem)) == channels) return component;
    }
    return nullptr;
  }
  static Registration& Get() {
    static Registration registration;
    return registration;
  }
};

// One insert: instance, algorithm context and the render callback, as a host holds them.
class Insert {
public:
  // The instance's chain runs the kernel set `set`.
  Insert(int channels, const Settings& settings, const ChainKernels* set)
      : mChannels(channels), mComponent(Registration::Get().Component(channels)),
        mInstance(mLog, *Registration::Get().effect) {
    mInstance.GetController().SetSampleRate(static_cast<float>(kFs));
    const AAX_EStemFormat stem = channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
    mInstance.GetController().SetStemFormats(stem, stem);
    CapKernels(set);
    mInstance.Create();
    CapKernels(nullptr);
    const chaintest::ParamValues values = ValuesFor(settings);
    for (int p = 0; p < kNumParams; ++p) {
      if (chaintest::kMaxValues[static_cast<size_t>(p)] == 0) continue;
      const double normalized = static_cast<double>(values[static_cast<size_t>(p)]) / chaintest::kMaxValues[static_cast<size_t>(p)];
      mInstance.Effect()->SetParameterNormalizedValue(std::to_string(p + 1).c_str(), normalized);
    }
    mInstance.Effect()->GenerateCoefficients();
    mContext = std::make_unique<aaxhost::AlgorithmContext>(*mComponent, mInstance.Effect(), mInstance.GetTransport().View(),
                                                           channels, channels, kMaxBlock);
    mContext->DeliverNewestPackets(mInstance.GetController());
    mContext->SetSideChainIndex(mContext->SideChainBuffer());
  }

  // Audio thread. The host copies its signal into the buffers it hands over, then renders.
  void Render(const HostSignal& signal, int pos, int n) {
    const size_t bytes = sizeof(float) * static_cast<size_t>(n);
    for (int c = 0; c < mChannels; ++c) std::memcpy(mContext->Input(c), signal.main[c].data() + pos, bytes);
    std::memcpy(mContext->Input(mContext->SideChainBuffer()), signal.key.data() + pos, bytes);
    mContext->SetBlockLength(n);
    mContext->Render(mComponent->ProcessProc());
  }
  float* Output(int c) { return mContext->Output(c); }

private:
  int mChannels;
  const aaxhost::ComponentDescriptor* mComponent;
  aaxhost::CallLog mLog;
  aaxhost::Instance mInstance;
  std::unique_ptr<aaxhost::AlgorithmContext> mContext;
};

// The plain per-sample evaluation behind the same float conversions the render path makes.
class PlainInsert {
public:
  PlainInsert(int channels, const Settings& settings, const ChainKernels* /*set*/)
      : mChannels(channels), mSettings(ChainSettingsFor(settings)) {
    for (auto& b : mIn) b.assign(kMaxBlock, 0.0);
    for (auto& b : mOut) b.assign(kMaxBlock, 0.0);
    for (auto& b : mOutFloat) b.assign(kMaxBlock, 0.0f);
    mChain->Reset(kFs, mSettings);
  }
  void Render(const HostSignal& signal, int pos, int n) {
    const float* sources[3] = {signal.main[0].data() + pos, signal.main[1].data() + pos, signal.key.data() + pos};
    const int channels[3] = {0, 1, 2};
    for (int k = 0; k < 3; ++k) {
      if (k == 1 && mChannels == 1) continue;
      double* in = mIn[channels[k]].data();
      for (int f = 0; f < n; ++f) in[f] = static_cast<double>(sources[k][f]);
    }
    const double* in[4] = {mIn[0].data(), mIn[1].data(), mIn[2].data(), mIn[3].data()};
    double* out[2] = {mOut[0].data(), mOut[1].data()};
    mChain->Process(in, out, n, kFs, mSettings);
    for (int c = 0; c < mChannels; ++c)
      for (int f = 0; f < n; ++f) mOutFloat[c][static_cast<size_t>(f)] = static_cast<float>(mOut[c][static_cast<size_t>(f)]);
  }
  float* Output(int c) { return mOutFloat[c].data(); }

private:
  int mChannels;
  ChainSettings mSettings;
  std::unique_ptr<chaintest::PlainChain> mChain = std::make_unique<chaintest::PlainChain>();
  std::vector<double> mIn[4];
  std::vector<double> mOut[2];
  std::vector<float> mOutFloat[2];
};

template <class Unit>
void RunInsert(benchmark::State& state, int channels, const Settings& settings, Level level, int block,
               const ChainKernels* set) {
  const HostSignal signal(level);
  Unit unit(channels, settings, set);
  // One second first, so the sections and smoothers run as they do in the middle of a song.
  for (int pos = 0; pos < kFrames; pos += block) unit.Render(signal, pos, block);
  for (auto _ : state) {
    for (int pos = 0; pos < kFrames; pos += block) unit.Render(signal, pos, block);
    benchmark::DoNotOptimize(unit.Output(0));
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, kFrames);
}

// A session of 64 stereo tracks: every block of the host goes to each instance in turn. The
// figure is per frame of one instance, so it compares directly with Callback/Default; the
// counter bytes_per_instance is the heap an instance holds (plug-in object, chain, channel
// buffers), measured around the creation of the 64; chain_bytes the part the chain takes.
constexpr int kInstances = 64;

template <class Unit>
void RunSession(benchmark::State& state, const ChainKernels* set) {
  const HostSignal signal(Level::kMusic);
  const size_t before = mallinfo2().uordblks;
  std::vector<std::unique_ptr<Unit>> units;
  for (int i = 0; i < kInstances; ++i) units.push_back(std::make_unique<Unit>(2, Settings{}, set));
  const size_t after = mallinfo2().uordblks;
  constexpr int kSessionFrames = 16 * 512;  // a sixth of a second per iteration
  for (int pos = 0; pos < kSessionFrames; pos += 512)
    for (auto& unit : units) unit->Render(signal, pos, 512);
  for (auto _ : state) {
    for (int pos = 0; pos < kSessionFrames; pos += 512)
      for (auto& unit : units) unit->Render(signal, pos, 512);
    benchmark::ClobberMemory();
  }
  ReportPerFrame(state, kSessionFrames * kInstances);
  state.counters["bytes_per_instance"] = static_cast<double>(after - before) / kInstances;
  state.counters["chain_bytes"] = sizeof(TollenbrookChain);  // the chain's own state and scratch
}

struct Figure {
  const char* name;
  int channels;
  Settings settings;
  Level level;
  int block;
  int sets;  // with the fastest this many kernel sets (0: every set)
};

const bool kRegistered = [] {
  // The mono and small-block figures are compared on the two widest sets.
  const Figure figures[] = {
      {"Default", 2, Settings{}, Level::kMusic, 512, 0},
      {"Auto2", 2, Settings{false, true}, Level::kMusic, 512, 0},
      {"Oversampling", 2, Settings{true, false}, Level::kMusic, 512, 0},
      {"Mono", 1, Settings{}, Level::kMusic, 512, 2},
      {"Block32", 2, Settings{}, Level::kMusic, 32, 2},
      {"MonoBlock32", 1, Settings{}, Level::kMusic, 32, 2},
      {"Silence", 2, Settings{}, Level::kSilence, 512, 1},
      {"Quiet", 2, Settings{}, Level::kQuiet, 512, 1},
      {"Subnormal", 2, Settings{}, Level::kSubnormal, 512, 1},
  };
  for (const Figure& f : figures) {
    for (const ChainKernels* set : KernelSets(f.sets == 0, f.sets)) {
      WithMinimum(benchmark::RegisterBenchmark((std::string("Callback/") + f.name + "/" + set->name).c_str(),
                                               [f, set](benchmark::State& st) {
                                                 RunInsert<Insert>(st, f.channels, f.settings, f.level, f.block, set);
                                               }));
    }
    WithMinimum(benchmark::RegisterBenchmark((std::string("Callback/") + f.name + "/plain").c_str(),
                                             [f](benchmark::State& st) {
                                               RunInsert<PlainInsert>(st, f.channels, f.settings, f.level, f.block,
                                                                      nullptr);
                                             }));
  }
  for (const ChainKernels* set : KernelSets(false)) {
    WithMinimum(benchmark::RegisterBenchmark((std::string("Callback/64Instances/") + set->name).c_str(),
                                             [set](benchmark::State& st) { RunSession<Insert>(st, set); }));
  }
  WithMinimum(benchmark::RegisterBenchmark("Callback/64Instances/plain", [](benchmark::State& st) {
    RunSession<PlainInsert>(st, nullptr);
  }));
  return true;
}();

}  // namespace
