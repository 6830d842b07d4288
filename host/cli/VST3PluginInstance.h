#pragma once
#include <travesty/audio_processor.h>
#include <travesty/component.h>
#include <travesty/edit_controller.h>
#include <travesty/message.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/cli/PluginInstance.h"
#include "host/cli/VST3ComponentHandler.h"
#include "host/cli/VST3Module.h"
#include "host/cli/VST3ParameterChanges.h"
#include "host/cli/VST3Ref.h"

namespace tbhost {

// A plug-in of a VST3 bundle as a VST3 host drives it: the component and its controller made
// through the bundle's factory (two objects joined through their connection points, or one
// that is both), the controller told of the component's state and handed the host's component
// handler. Parameters are the controller's (its titles, ranges, step counts and texts), but
// for the read-only ones, which are meters, and the one flagged as the host's bypass, which
// this host leaves off. Initialise arranges the buses (main input and output mono or stereo,
// the auxiliary side-chain input active only when the insert has a key), sets up processing
// and activates; a host change reaches the processor as a point of the next process call's
// input parameter changes (the controller is told at once), meters come back in the output
// parameter changes. The state is the component's (format "VST3"); the controller hears of a
// loaded one through setComponentState.
//
// Until Initialise the instance is an active stereo one at 48 kHz, enough for the parameter
// table, states and changes. An instance is used as PluginInstance says, except that edits
// the plug-in's editor performs may arrive on the host's main thread while another thread
// renders (they travel through a ring to the next process call).
class VST3PluginInstance final : public PluginInstance {
public:
  // Main thread. `path` is the bundle (its directory, or a file inside). Null with `error` set
  // when the bundle cannot be loaded or its effect cannot be made and set up.
  static std::unique_ptr<VST3PluginInstance> Create(const std::string& path, std::string& error);
  ~VST3PluginInstance() override;

  const std::vector<ParamInfo>& Parameters() const override;
  // Another instance of the same loaded bundle, with this one's sample size.
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  // 64-bit samples when the processor can take them; the host converts at its edges.
  bool UseDoublePrecision(bool on, std::string& error) override;
  void* LibraryHandle() const override { return mModule->LibraryHandle(); }
  bool HasSideChain() const override { return mHasKey; }
  void SetParameter(int index, double value) override;
  // Audio thread stand-in. Allocates nothing, takes no lock. Blocks longer than the set-up
  // maximum are processed in pieces; pending changes go with the first piece, at offset 0.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  int Latency() const override;
  int MeterCount() const override;
  std::string MeterName(int meter) const override;
  // The meter parameter's last value out of the processor, as the controller shows it (plain);
  // 0 before the processor reported one.
  double MeterValue(int meter) const override;
  bool SaveState(PluginState& state, std::string& error) override;
  bool LoadState(const PluginState& state, std::string& error) override;

  // Main thread. What the editor and the tests reach: the controller, the host's handler.
  const VST3Ref<v3_edit_controller>& Controller() const { return mController; }
  VST3ComponentHandler& Handler() { return mHandler; }
  VST3Module& Module() { return *mModule; }
  // Main thread. The parameter id a settable parameter has, or -1; the host bypass's, or -1.
  int64_t ParamID(int index) const;
  int64_t BypassID() const;
  // Main thread. Sends a change of a parameter id to the processor (and the controller), as a
  // host's automation lane does; applied in a process call of no frames when no audio runs.
  void SetNormalized(v3_param_id id, double normalized);
  // Main thread, while no audio runs: a process call of no frames that applies what is pending.
  void Flush();
  // Main thread. The meters' last readings out of the processor, handed to the controller as
  // a host passes on output parameter changes (its editor shows them from there).
  void ShowMetersInController();

  struct Table;

private:
  VST3PluginInstance(std::shared_ptr<VST3Module> module, std::shared_ptr<const Table> table);
  bool Make(std::string& error);
  bool Connect(std::string& error);
  bool Setup(double sampleRate, int channels, bool sideChain, std::string& error);
  void Deactivate();
  void AllocateBuffers();
  void ProcessPiece(const float* const* mainInputs, const float* sideChain, float* const* outputs, int offset,
                    int nFrames);
  void ReadMeters();

  std::shared_ptr<VST3Module> mModule;  // goes after every object made from it
  std::shared_ptr<const Table> mTable;  // shared by every instance of the bundle
  VST3EditRing mEdits;
  VST3ComponentHandler mHandler;
  VST3Ref<v3_component> mComponent;
  VST3Ref<v3_audio_processor> mProcessor;
  VST3Ref<v3_edit_controller> mController;
  VST3Ref<v3_connection_point> mComponentPoint, mControllerPoint;
  bool mSeparateController = false;
  bool mComponentInitialised = false, mControllerInitialised = false;

  std::unique_ptr<VST3ParameterChanges> mInputChanges, mOutputChanges;
  std::unique_ptr<std::atomic<double>[]> mMeterValues;  // normalised, written by the audio thread
  std::atomic<std::thread::id> mAudioThread{};

  double mSampleRate = 0.0;
  int mChannels = 0;
  int mInputBuses = 1;
  int mKeyChannels = 0;  // of the auxiliary input bus, when there is one
  bool mHasKey = false;
  bool mDouble = false;
  bool mActive = false;
  int64_t mPosition = 0;
  std::vector<float> mSilence;                 // for an unfed key and for calls of no frames
  std::vector<std::vector<double>> mDoubles;   // 64-bit: inputs, outputs, key
};

}  // namespace tbhost
