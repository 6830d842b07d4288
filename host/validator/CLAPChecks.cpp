#include "host/validator/CLAPChecks.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host/cli/CLAPPluginInstance.h"
#include "host/validator/OutputCheck.h"
#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

using tbhost::CLAPHost;
using tbhost::CLAPPluginInstance;

// What the instances the checks made did on their hosts, taken from each when it is done with.
struct Instances {
  int64_t wrongThread[static_cast<size_t>(tbhost::CLAPHostCall::kCount)] = {};
  std::vector<std::string> logged;
  int count = 0;

  void push_back(std::unique_ptr<CLAPPluginInstance> plugin) { Take(*plugin); }
  void Take(const CLAPPluginInstance& plugin) {
    ++count;
    for (size_t k = 0; k < std::size(wrongThread); ++k)
      wrongThread[k] += plugin.Host().WrongThreadCount(static_cast<tbhost::CLAPHostCall>(k));
    for (std::string& line : plugin.Host().LoggedProblems()) logged.push_back(std::move(line));
  }
  std::string WrongThread() const {
    std::string text;
    for (size_t k = 0; k < std::size(wrongThread); ++k)
      if (wrongThread[k] > 0)
        text += (text.empty() ? "" : "; ") +
                CLAPHost::WrongThreadText(static_cast<tbhost::CLAPHostCall>(k), wrongThread[k]);
    return text;
  }
};
constexpr double kRate = 48000.0;

std::unique_ptr<CLAPPluginInstance> Make(const CLAPPluginInstance& first, std::string& error) {
  return CLAPPluginInstance::Create(first.SharedModule(), error);
}

// Plays `frames` of noise in blocks of `block`; the first problem with an output, or empty.
std::string PlayNoise(CLAPPluginInstance& plugin, int channels, int frames, int block, std::mt19937_64& rng) {
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  std::vector<std::vector<float>> in(2, std::vector<float>(static_cast<size_t>(block)));
  std::vector<std::vector<float>> out(2, std::vector<float>(static_cast<size_t>(block)));
  std::vector<float> key(static_cast<size_t>(block));
  const float* ins[2] = {in[0].data(), in[1].data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  for (int done = 0; done < frames; done += block) {
    for (auto& channel : in)
      for (float& s : channel) s = noise(rng);
    for (float& s : key) s = noise(rng);
    for (int c = 0; c < channels; ++c) OutputCheck::MarkUnwritten(outs[c], block);
    plugin.ProcessBlock(ins, key.data(), outs, block);
    for (int c = 0; c < channels; ++c)
      if (std::string problem = OutputCheck::Examine(outs[c], block, OutputCheck::Limit(0.5, 60.0)); !problem.empty())
        return "output " + std::to_string(c) + ": " + problem;
  }
  return {};
}

std::vector<int> Settable(const CLAPPluginInstance& plugin) {
  std::vector<int> indices;
  for (const tbhost::ParamInfo& p : plugin.Parameters())
    if (p.settable && p.max > p.min) indices.push_back(p.index);
  return indices;
}

double PlainAt(const tbhost::ParamInfo& p, double unit) {
  const double v = p.min + unit * (p.max - p.min);
  return p.step > 0.0 ? std::clamp(p.min + std::round((v - p.min) / p.step) * p.step, p.min, p.max) : v;
}

void Randomise(CLAPPluginInstance& plugin, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (const int index : Settable(plugin))
    plugin.SetParameter(index, PlainAt(plugin.Parameters()[static_cast<size_t>(index)], unit(rng)));
}

// Random settings for two instances that differ in every parameter, stepped ones included: half
// a range apart is at least one step, so a state that half takes another's values always shows.
void RandomiseApart(CLAPPluginInstance& a, CLAPPluginInstance& b, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (const int index : Settable(a)) {
    const tbhost::ParamInfo& p = a.Parameters()[static_cast<size_t>(index)];
    const double u = unit(rng);
    a.SetParameter(index, PlainAt(p, u));
    b.SetParameter(index, PlainAt(p, u < 0.5 ? u + 0.5 : u - 0.5));
  }
}

bool Save(CLAPPluginInstance& plugin, size_t piece, std::vector<uint8_t>& bytes, std::string& error) {
  plugin.SetStatePiece(piece);
  tbhost::PluginState state;
  const bool saved = plugin.SaveState(state, error);
  plugin.SetStatePiece(0);
  bytes = std::move(state.bytes);
  return saved;
}

bool Load(CLAPPluginInstance& plugin, size_t piece, const std::vector<uint8_t>& bytes, std::string& error) {
  plugin.SetStatePiece(piece);
  const bool loaded = plugin.LoadState({"CLAP", bytes}, error);
  plugin.SetStatePiece(0);
  return loaded;
}

void CheckActivation(Validation& v, const CLAPPluginInstance& first, Instances& made) {
  const std::string check = "clap: activation at several sample rates and maximum block sizes";
  v.Begin(check);
  const std::vector<int> maxBlocks = {1, 64, 512, 2027, 8192};
  std::string error;
  std::unique_ptr<CLAPPluginInstance> plugin = Make(first, error);
  if (!plugin) return v.Report().Fail(check, error);
  int activations = 0;
  for (const double rate : v.Plan().sampleRates) {
    for (const int maxBlock : maxBlocks) {
      for (const int channels : {2, 1}) {
        plugin->Deactivate();
        plugin->SetMaxPiece(maxBlock);
        const std::string where = " (" + tbhost::FormatParamNumber(rate) + " Hz, blocks up to " +
                                  std::to_string(maxBlock) + ", " + (channels == 2 ? "stereo" : "mono") + ")";
        if (!plugin->Initialise(rate, channels, true, error)) return v.Report().Fail(check, error + where);
        const int64_t errors = plugin->ProcessErrors();
        if (std::string problem = PlayNoise(*plugin, channels, 3 * maxBlock + 5, std::max(maxBlock / 2, 1) + 3, v.Rng());
            !problem.empty())
          return v.Report().Fail(check, problem + where);
        if (plugin->ProcessErrors() != errors) return v.Report().Fail(check, "process failed" + where);
        ++activations;
      }
    }
  }
  plugin->Deactivate();
  v.Report().Pass(check, std::to_string(activations) + " activations, each played and deactivated");
  made.push_back(std::move(plugin));
}

// A value sent at each offset of a block must be the plug-in's value after the block.
void CheckEventOffsets(Validation& v, const CLAPPluginInstance& first, Instances& made) {
  const std::string check = "clap: parameter events at every offset of a block";
  v.Begin(check);
  constexpr int kBlock = 64;
  std::string error;
  std::unique_ptr<CLAPPluginInstance> plugin = Make(first, error);
  if (!plugin || !plugin->Initialise(kRate, 2, true, error)) return v.Report().Fail(check, error);
  std::vector<float> silence(kBlock), out0(kBlock), out1(kBlock);
  const float* ins[2] = {silence.data(), silence.data()};
  float* outs[2] = {out0.data(), out1.data()};
  const std::vector<int> indices = Settable(*plugin);
  for (const int index : indices) {
    const tbhost::ParamInfo& p = plugin->Parameters()[static_cast<size_t>(index)];
    for (int offset = 0; offset < kBlock; ++offset) {
      const double sent = offset % 2 ? p.min : p.max;
      plugin->SetParameterAt(index, sent, offset);
      plugin->ProcessBlock(ins, silence.data(), outs, kBlock);
      plugin->ServiceRequests();
      double got = 0.0;
      const double tolerance = 1e-6 * (p.max - p.min);
      if (!plugin->CurrentValue(index, got) || !(std::fabs(got - sent) <= tolerance))
        return v.Report().Fail(check, "\"" + p.name + "\": the value " + tbhost::FormatParamNumber(sent) +
                                          " sent at offset " + std::to_string(offset) + " of a " +
                                          std::to_string(kBlock) + "-frame block was not taken (the plug-in has " +
                                          tbhost::FormatParamNumber(got) + ")");
    }
  }
  v.Report().Pass(check, std::to_string(indices.size()) + " parameters, a value at each of " +
                             std::to_string(kBlock) + " offsets taken");
  made.push_back(std::move(plugin));
}

// Save and load through streams that move `piece` bytes per call: the same state.
void CheckStatePieces(Validation& v, const CLAPPluginInstance& first, Instances& made) {
  const std::string check = "clap: state round trips in pieces";
  v.Begin(check);
  std::string error;
  const std::vector<size_t> pieces = {1, 3, 7, 64, 0};
  for (int round = 0; round < v.Plan().stateRoundTrips; ++round) {
    std::unique_ptr<CLAPPluginInstance> a = Make(first, error);
    if (!a) return v.Report().Fail(check, error);
    Randomise(*a, v.Rng());
    std::vector<uint8_t> whole;
    if (!Save(*a, 0, whole, error)) return v.Report().Fail(check, "no state (" + error + ")");
    for (const size_t piece : pieces) {
      const std::string how = piece ? "in pieces of " + std::to_string(piece) + (piece == 1 ? " byte" : " bytes")
                                    : std::string("at once");
      std::vector<uint8_t> saved, again;
      if (!Save(*a, piece, saved, error) || saved != whole)
        return v.Report().Fail(check, "the state saved " + how + " differs from the one saved at once");
      std::unique_ptr<CLAPPluginInstance> b = Make(first, error);
      if (!b) return v.Report().Fail(check, error);
      if (!Load(*b, piece, saved, error))
        return v.Report().Fail(check, "the plug-in refused its own state handed over " + how + " (" + error + ")");
      if (!Save(*b, 0, again, error) || again != whole)
        return v.Report().Fail(check, "the state loaded " + how + " does not save back the same");
      made.push_back(std::move(b));
    }
    made.push_back(std::move(a));
  }
  v.Report().Pass(check, std::to_string(v.Plan().stateRoundTrips) + " random settings through streams of 1, 3, 7 "
                                                                   "and 64 bytes per call and at once");
}

void CheckDamagedStates(Validation& v, const CLAPPluginInstance& first, Instances& made) {
  const std::string check = "clap: damaged state streams are refused and change nothing";
  v.Begin(check);
  std::string error;
  std::unique_ptr<CLAPPluginInstance> donor = Make(first, error);
  std::unique_ptr<CLAPPluginInstance> plugin = Make(first, error);
  if (!donor || !plugin) return v.Report().Fail(check, error);
  RandomiseApart(*donor, *plugin, v.Rng());
  std::vector<uint8_t> valid, before;
  if (!Save(*donor, 0, valid, error) || !Save(*plugin, 0, before, error))
    return v.Report().Fail(check, "no state (" + error + ")");

  std::vector<std::pair<std::string, std::vector<uint8_t>>> damaged;
  std::vector<size_t> cuts;
  if (v.Plan().everyTruncation)
    for (size_t n = 0; n < valid.size(); ++n) cuts.push_back(n);
  else
    cuts = {0, 1, valid.size() / 2, valid.size() - 1};
  for (const size_t n : cuts)
    damaged.emplace_back("cut to " + std::to_string(n) + " of " + std::to_string(valid.size()) + " bytes",
                         std::vector<uint8_t>(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(n)));
  std::uniform_int_distribution<int> byte(0, 255);
  for (int k = 0; k < std::max(v.Plan().randomChunks, 1); ++k) {
    std::vector<uint8_t> garbage(std::min<size_t>(static_cast<size_t>(v.Plan().randomChunkBytes), 65536));
    for (uint8_t& b : garbage) b = static_cast<uint8_t>(byte(v.Rng()));
    damaged.emplace_back(std::to_string(garbage.size()) + " random bytes", std::move(garbage));
  }
  for (const auto& [what, bytes] : damaged) {
    for (const size_t piece : {size_t{0}, size_t{5}}) {
      if (Load(*plugin, piece, bytes, error)) return v.Report().Fail(check, "the plug-in took a state " + what);
      std::vector<uint8_t> after;
      if (!Save(*plugin, 0, after, error) || after != before)
        return v.Report().Fail(check, "the plug-in's state changed when it refused a state " + what);
    }
  }
  v.Report().Pass(check, std::to_string(damaged.size()) + " damaged states refused, the plug-in's own unchanged");
  made.push_back(std::move(plugin));
  made.push_back(std::move(donor));
}

// Audio on a thread of its own while this thread works as the host's main thread; the two take
// turns, as the command-line host's instances are used.
void RunThreads(CLAPPluginInstance& plugin, std::mt19937_64& rng) {
  std::mutex turn;
  std::thread audio([&] {
    std::vector<float> in(256, 0.25f), out0(256), out1(256);
    const float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    for (int b = 0; b < 200; ++b) {
      std::lock_guard lock(turn);
      plugin.ProcessBlock(ins, in.data(), outs, 256);
    }
  });
  std::vector<int> indices = Settable(plugin);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int k = 0; k < 50; ++k) {
    std::lock_guard lock(turn);
    if (!indices.empty()) {
      const int index = indices[static_cast<size_t>(k) % indices.size()];
      plugin.SetParameter(index, PlainAt(plugin.Parameters()[static_cast<size_t>(index)], unit(rng)));
    }
    for (int m = 0; m < plugin.MeterCount(); ++m) plugin.MeterValue(m);
    plugin.Latency();
    tbhost::PluginState state;
    std::string error;
    if (plugin.SaveState(state, error)) plugin.LoadState(state, error);
  }
  audio.join();
}

void CheckThreadRules(Validation& v, const CLAPPluginInstance& first, Instances& made) {
  const std::string check = "clap: calls from the threads the interface assigns";
  v.Begin(check);
  std::string error;
  std::unique_ptr<CLAPPluginInstance> plugin = Make(first, error);
  if (!plugin || !plugin->Initialise(kRate, 2, true, error)) return v.Report().Fail(check, error);
  RunThreads(*plugin, v.Rng());
  made.push_back(std::move(plugin));
  made.Take(first);
  for (const std::string& line : made.logged) v.Report().Note("the plug-in logged " + line);
  v.Report().Record(check, made.WrongThread(),
                    std::to_string(made.count) + " instances, audio on a thread of its own in one: no call on the "
                                                 "host from a thread the interface does not allow");
}

}  // namespace

void CheckCLAP(Validation& v, const CLAPPluginInstance& first) {
  Instances made;
  CheckActivation(v, first, made);
  CheckEventOffsets(v, first, made);
  CheckStatePieces(v, first, made);
  CheckDamagedStates(v, first, made);
  CheckThreadRules(v, first, made);
}

}  // namespace tbvalidate
