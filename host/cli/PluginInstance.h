#pragma once
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/ParamInfo.h"
#include "host/cli/PluginState.h"

namespace tbhost {

// One insert of a plug-in as the command-line host drives it, whatever format it comes in: a
// mono or stereo main input with an optional single-channel key (side-chain) input, and as
// many outputs as main inputs. The render loop, the reports and the commands talk only to
// this; each format (the plug-in linked in, an AAX module, an LV2 bundle) is one class.
//
// An instance is used by one thread at a time: the thread that made it, or the render thread
// it was handed to. No call is real-time: the host renders files, not a live stream.
class PluginInstance {
public:
  virtual ~PluginInstance() = default;

  // Any thread. The inserts every instance offers: mono or stereo main channels at a positive,
  // finite sample rate; false with `error` set for anything else.
  static bool CheckInsert(double sampleRate, int mainChannels, std::string& error) {
    if (mainChannels < 1 || mainChannels > 2) {
      error = "the plug-in is a mono or stereo insert";
      return false;
    }
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) {
      error = "the sample rate must be positive";
      return false;
    }
    return true;
  }

  // The owning thread. The plug-in's parameters as the plug-in itself describes them to its
  // host; valid right after creation.
  virtual const std::vector<ParamInfo>& Parameters() const = 0;

  // The owning thread. A fresh instance of the same plug-in (from the same loaded file), in
  // its constructed state, for another thread to render another file with; null with `error`
  // set when there is none.
  virtual std::unique_ptr<PluginInstance> NewInstance(std::string& error) const {
    error = "this plug-in makes no further instances";
    return nullptr;
  }

  // The owning thread. The host's initialisation for this insert: channel layout, sample
  // rate, reset. The state the instance holds is kept.
  virtual bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) = 0;

  // The owning thread, before Initialise. Asks for 64-bit samples between the host and the
  // plug-in (the host converts at its edges; the files stay what they are); false with `error`
  // set when the format or the plug-in takes 32-bit samples only.
  virtual bool UseDoublePrecision(bool on, std::string& error) {
    if (!on) return true;
    error = "this plug-in takes 32-bit samples only";
    return false;
  }

  // The owning thread. The system's handle of the library the plug-in's code was loaded from
  // (for a watch that hooks one library's imports), or null when it came with the host or
  // through a loader that does not say.
  virtual void* LibraryHandle() const { return nullptr; }

  // The owning thread. Whether the insert, as initialised, has a key input the plug-in hears.
  virtual bool HasSideChain() const { return false; }

  // The owning thread. Sets a parameter to a plain value the way a host does: from the
  // normalised value, with the editor and the plug-in told about the change. An index that
  // names no settable parameter changes nothing.
  virtual void SetParameter(int index, double value) = 0;

  // The owning thread, standing in for a host's audio thread. One host render call:
  // `mainInputs` holds mainChannels pointers, `sideChain` is the key channel (ignored without
  // one), `outputs` mainChannels pointers; all nFrames long.
  virtual void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                            int nFrames) = 0;

  // The owning thread. The latency the plug-in reports to its host, in samples.
  virtual int Latency() const = 0;

  // The owning thread. The meters the plug-in reports to its host, valid right after
  // creation, and each one's value over the last block (after ProcessBlock; 0 before).
  virtual int MeterCount() const { return 0; }
  virtual std::string MeterName(int /*meter*/) const { return {}; }
  virtual double MeterValue(int /*meter*/) const { return 0.0; }

  // The owning thread. The plug-in's state as a host keeps it in a session.
  virtual bool SaveState(PluginState& /*state*/, std::string& error) {
    error = "this plug-in keeps no state";
    return false;
  }
  // The owning thread. Restores a saved state, parameters and all; false with `error` set when
  // the plug-in refuses it (another format, or bytes it does not take), and nothing changes then.
  virtual bool LoadState(const PluginState& /*state*/, std::string& error) {
    error = "this plug-in takes no state";
    return false;
  }
};

// Makes a fresh instance, or null with `error` set.
using PluginFactory = std::function<std::unique_ptr<PluginInstance>(std::string& error)>;
// Makes a fresh instance from a plug-in file (empty: the module beside the host), or null
// with `error` set.
using PluginFileFactory =
    std::function<std::unique_ptr<PluginInstance>(const std::string& path, std::string& error)>;

}  // namespace tbhost
