#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/ParamInfo.h"
#include "host/cli/SavedChunk.h"

namespace tbhost {

// Gain reduction of the plug-in's sections over the last processed block, in dB (0 or
// positive: how far each section pulled the signal down at its deepest point in the block).
struct SectionReduction {
  double limiterDb = 0.0;
  double compressorDb = 0.0;
};

// One insert of the plug-in as the command-line host drives it: a mono or stereo main input
// with an optional single-channel key (side-chain) input, and as many outputs as main inputs.
// The render loop talks only to this, so another way of loading the plug-in (a module loaded
// at run time) is one more implementation.
class PluginInstance {
public:
  virtual ~PluginInstance() = default;

  // Main thread. Valid right after creation.
  virtual const std::vector<ParamInfo>& Parameters() const = 0;

  // The thread that will render with it. A fresh instance of the same plug-in (from the same
  // loaded module), in its constructed state, to render another file alongside this one; null
  // with `error` set when there is none.
  virtual std::unique_ptr<PluginInstance> NewInstance(std::string& error) const {
    error = "this plug-in makes no further instances";
    return nullptr;
  }

  // Main thread. The host's initialisation for this insert: channel layout, sample rate, reset.
  virtual bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) = 0;

  // Host non-real-time thread. Sets a parameter to a plain value the way a host does: from the
  // normalised value, with the editor and the plug-in told about the change.
  virtual void SetParameter(int index, double value) = 0;

  // Audio thread. One host render call: `mainInputs` holds mainChannels pointers, `sideChain` is
  // the key channel (ignored without one), `outputs` mainChannels pointers; all nFrames long.
  virtual void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                            int nFrames) = 0;

  // The latency the plug-in reports to its host, in samples.
  virtual int Latency() const = 0;

  // Per-section gain reduction of the last block, when the plug-in offers it.
  virtual bool LastBlockReduction(SectionReduction& /*out*/) const { return false; }

  // Main thread. The plug-in's state as a host keeps it in a session: its one chunk.
  virtual bool SaveState(SavedChunk& /*chunk*/, std::string& error) {
    error = "this plug-in keeps no state";
    return false;
  }
  // Main thread. Restores a saved state, parameters and all; false with `error` set when the
  // plug-in refuses it, and nothing changes then.
  virtual bool LoadState(const SavedChunk& /*chunk*/, std::string& error) {
    error = "this plug-in takes no state";
    return false;
  }
};

// Makes a fresh instance, or null with `error` set.
using PluginFactory = std::function<std::unique_ptr<PluginInstance>(std::string& error)>;
// Makes a fresh instance from a module file (empty: the module beside the host), or null
// with `error` set.
using ModulePluginFactory =
    std::function<std::unique_ptr<PluginInstance>(const std::string& modulePath, std::string& error)>;

}  // namespace tbhost
