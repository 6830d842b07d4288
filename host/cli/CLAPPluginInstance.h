#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/CLAPEventLists.h"
#include "host/cli/CLAPHost.h"
#include "host/cli/CLAPModule.h"
#include "host/cli/PluginInstance.h"

struct clap_plugin;
struct clap_plugin_params;
struct clap_plugin_state;
struct clap_plugin_latency;
struct clap_plugin_audio_ports;
struct clap_plugin_gui;

namespace tbhost {

// A plug-in of a .clap file as a CLAP host drives it: made through the module's factory with a
// host object of our own (CLAPHost), its parameters read from the params extension, activated
// for the insert (the audio-ports configuration of the channel count selected first) with the
// sample rate and the longest block it will see, and processed with 32-bit or, when asked,
// 64-bit buffers; the key goes to the second input port, the one that is not the main one.
// Parameter values go to the plug-in as value events: a plain SetParameter is flushed at once
// (so a state saved next holds it), a value for an offset waits for the next block. A restart
// the plug-in asks for (its latency changed) is made when the host next asks for the latency. The bypass is the parameter flagged as
// the bypass; read-only parameters are the meters. The state is the plug-in's state stream.
//
// Until Initialise the instance is an active stereo one at 48 kHz, enough for the parameter
// table, the latency and states. The plug-in keeps its own state across a re-activation.
// Threads as PluginInstance gives them: the calling thread is the plug-in's main thread, and its
// audio thread inside ProcessBlock.
class CLAPPluginInstance final : public PluginInstance {
public:
  // Main thread. Null with `error` set when the file cannot be loaded or its plug-in refuses to
  // be made, initialised or activated, or offers no mono or stereo insert.
  static std::unique_ptr<CLAPPluginInstance> Create(const std::string& path, std::string& error);
  static std::unique_ptr<CLAPPluginInstance> Create(std::shared_ptr<CLAPModule> module, std::string& error);
  ~CLAPPluginInstance() override;

  const std::vector<ParamInfo>& Parameters() const override { return mParams; }
  // Another instance from the file this one was made from (loaded once).
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  // Refused when the plug-in's main ports do not take 64-bit samples.
  bool UseDoublePrecision(bool on, std::string& error) override;
  bool HasSideChain() const override { return mHasKey; }
  void SetParameter(int index, double value) override;
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override;
  int MeterCount() const override { return static_cast<int>(mMeters.size()); }
  std::string MeterName(int meter) const override;
  double MeterValue(int meter) const override;
  // Format "CLAP", the bytes the plug-in wrote into its state stream.
  bool SaveState(PluginState& state, std::string& error) override;
  bool LoadState(const PluginState& state, std::string& error) override;

  // Main thread, between blocks. A value that takes effect `offset` frames into the next block;
  // false for a parameter that cannot be set or a full event list.
  bool SetParameterAt(int index, double value, int offset);
  // Main thread. The plug-in's bypass parameter, if it has one; set as any value, at once.
  bool HasBypass() const { return mBypass >= 0; }
  void SetBypass(bool on);
  // Main thread. The plug-in's texts for a plain value of a parameter, and back (false when it
  // has none or does not read the text).
  bool ValueToText(int index, double value, std::string& text) const;
  bool TextToValue(int index, const std::string& text, double& value) const;
  // Main thread. The plug-in's current plain value of a parameter; false when it gives none.
  bool CurrentValue(int index, double& value) const;
  // Main thread, before Initialise. The longest block the plug-in is told to expect (longer
  // host blocks are split); 8192 unless set.
  void SetMaxPiece(int frames) { mMaxPiece = frames > 0 ? frames : 1; }
  std::shared_ptr<CLAPModule> SharedModule() const { return mModule; }
  // Main thread. The longest piece the state streams move per call (0: any length).
  void SetStatePiece(size_t bytes) { mStatePiece = bytes; }
  // Main thread. Stops processing and deactivates (Initialise activates again).
  void Deactivate();
  bool Active() const { return mActive; }
  // Main thread. Carries out what the plug-in asked of the host: a main-thread callback, a flush.
  void ServiceRequests() const;
  // Main thread, while another thread may be processing: only the main-thread callback (a
  // flush must not run beside process).
  void ServiceCallbacks() const;
  // Main thread. Also the restart it asked for (a re-activation at the same rate), if it did.
  void RestartIfAsked() const;
  // Main thread. The events the plug-in sent in the last block or flush, and how many process
  // calls it failed since creation.
  const CLAPOutputEvents& SentEvents() const { return mOutEvents; }
  int64_t ProcessErrors() const { return mProcessErrors; }

  CLAPHost& Host() const { return *mHost; }
  CLAPModule& Module() const { return *mModule; }
  void* LibraryHandle() const override { return mModule->Handle(); }
  const clap_plugin* Plugin() const { return mPlugin; }
  const clap_plugin_gui* Gui() const;

private:
  struct Param {
    uint32_t id = 0;
    void* cookie = nullptr;
    uint32_t flags = 0;
    std::string module;
  };
  struct Port {
    uint32_t channels = 0;
    bool main = false;
    bool takes64 = false;
  };
  // The ports this host feeds: up to this many each way, of one or two channels.
  static constexpr size_t kMaxPorts = 4;

  explicit CLAPPluginInstance(std::shared_ptr<CLAPModule> module);
  bool Make(std::string& error);
  bool ReadParameters(std::string& error);
  bool SelectConfiguration(int channels, std::string& error);
  bool ReadPorts(int channels, std::string& error);
  bool Activate(double sampleRate, std::string& error);
  // Hands queued values to the plug-in outside a block: a flush, on the audio thread's side when
  // the plug-in is active.
  void Settle() const;
  void Restart() const;
  void ProcessPiece(const float* const* mainInputs, const float* sideChain, float* const* outputs, int from, int n,
                    bool last);

  std::shared_ptr<CLAPModule> mModule;
  std::unique_ptr<CLAPHost> mHost;
  const clap_plugin* mPlugin = nullptr;
  const clap_plugin_params* mParamsExt = nullptr;
  const clap_plugin_state* mStateExt = nullptr;
  const clap_plugin_latency* mLatencyExt = nullptr;
  const clap_plugin_audio_ports* mPortsExt = nullptr;
  std::vector<ParamInfo> mParams;
  std::vector<Param> mClapParams;  // beside mParams, index for index
  std::vector<int> mMeters;        // indices of the read-only parameters
  int mBypass = -1;                // index into mBypassParam's table: the one flagged as bypass
  Param mBypassParam;
  mutable CLAPInputEvents mInEvents{4096};
  mutable CLAPOutputEvents mOutEvents{4096};
  std::vector<Port> mIns, mOuts;
  int mMainIn = -1, mKeyIn = -1, mMainOut = -1;
  int mChannels = 0;
  double mSampleRate = 0.0;
  bool mDouble = false;
  bool mHasKey = false;
  mutable bool mActive = false;
  mutable bool mProcessing = false;
  size_t mStatePiece = 0;
  int mMaxPiece = 8192;
  int64_t mPosition = 0;
  int64_t mProcessErrors = 0;
  // Buffers of the ports, made by Activate for the longest piece: 64-bit copies of every
  // channel, and silence for inputs the host has nothing for and room for outputs it drops.
  std::vector<std::vector<double>> mIns64, mOuts64;
  std::vector<float> mSilence;
  std::vector<std::vector<float>> mDropped;
};

}  // namespace tbhost
