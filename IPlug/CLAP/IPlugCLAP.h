#pragma once
#include <atomic>
#include <cstdint>
#include <tuple>
#include <vector>

#include "IPlug/CLAP/CLAPExtensions.h"
#include "IPlug/CLAP/CLAPOutEvent.h"
#include "IPlug/CLAP/CLAPThreadCheck.h"
#include "IPlug/CLAP/InstanceInfo.h"
#include "IPlug/HostBlockRenderer.h"
#include "IPlug/HostParams.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/InsertLayouts.h"
#include "IPlug/PluginConfig.h"
#include "IPlug/TransferRing.h"

namespace iplug {

// The CLAP binding of the framework: one object that is the plug-in's host-API side and its
// audio processor, driven through a CLAP host's plug-in calls (IPlugCLAP_Entry.cpp, which
// owns the C tables and guards every call). The host owns it from create_plugin to destroy.
// It plays the part IPlugAAX and IPlugLV2 play for their hosts: parameter value events become
// parameter changes (set, then the product's hook), every block goes through the framework's
// block renderer, the host-bypass parameter is the renderer's bypass with its crossfade, and
// the state is the plug-in's complete state bytes behind a short header that names the
// plug-in and carries the host bypass and the length.
//
// Ports: the main input and output (mono or stereo, chosen through the audio-ports
// configurations, which InsertLayouts decides) and, when the plug-in has a side chain, a
// mono key input that is not the main one. Parameters: every host-visible parameter under its
// host id (HostParams), then the host-bypass parameter under id 0, which HostParams keeps
// free for it.
//
// Threads, as the interface assigns them: the main thread creates, activates, asks for
// information, saves and loads the state and runs the editor; the audio thread processes and,
// while the plug-in is active, flushes parameters. The two meet through atomics and one ring:
// the editor's gestures and values travel main -> audio in mOutEvents, and leave through the
// out-events of the next process or flush.
//
// Real time: Process() allocates nothing and takes no lock. The scratch buffers are sized at
// activation for the host's largest block; a longer block is processed in pieces.
class IPlugCLAP : public IPlugAPIBase, public IPlugProcessor {
public:
  // The parameter id of the host-bypass parameter.
  static constexpr clap_id kBypassParamID = 0;
  static constexpr int kOutEventSlots = 1025;  // 1024 usable: a drag of every knob between two flushes

  // Host main thread (create_plugin).
  IPlugCLAP(const InstanceInfo& info, const PluginConfig& config);
  ~IPlugCLAP() override;

  // The interface's plug-in object, which the entry fills with its tables.
  clap_plugin_t& ClapPlugin() { return mClapPlugin; }
  const clap_host_t* Host() const { return mHost; }
  const CLAPThreadCheck& Threads() const { return mThreads; }

  // ---- plug-in calls ----

  // Host main thread. Reads the host's extensions.
  bool Init();
  // Host main thread, not active. Sizes everything for blocks of up to maxFrames; allocates.
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  // Host main thread, active.
  void Deactivate();
  // Audio thread, active.
  bool StartProcessing();
  void StopProcessing();
  // Audio thread, active. Allocates nothing, takes no lock. The processing forgets what it
  // heard.
  void Reset();
  // Audio thread, active and processing. Allocates nothing, takes no lock.
  clap_process_status Process(const clap_process_t& process);
  // Host main thread, after request_callback.
  void OnMainThread();

  // ---- audio ports and their configurations (host main thread) ----
  uint32_t AudioPortCount(bool isInput) const;
  bool AudioPortInfo(uint32_t index, bool isInput, clap_audio_port_info_t& info) const;
  uint32_t AudioPortsConfigCount() const { return static_cast<uint32_t>(mInserts.mConfigs.size()); }
  bool AudioPortsConfigInfo(uint32_t index, clap_audio_ports_config_t& config) const;
  // Not active.
  bool SelectAudioPortsConfig(clap_id configID);

  // ---- parameters (IPlugCLAP_Params.cpp) ----
  // Host main thread.
  uint32_t ClapParamCount() const { return static_cast<uint32_t>(mParamIdxs.size()) + 1u; }
  bool ClapParamInfo(uint32_t index, clap_param_info_t& info) const;
  // Host main thread (also any thread: values are atomics).
  bool ClapParamValue(clap_id id, double& value) const;
  bool ClapParamValueToText(clap_id id, double value, char* text, uint32_t capacity) const;
  bool ClapParamTextToValue(clap_id id, const char* text, double& value) const;
  // Audio thread when active, else host main thread; never during Process.
  void FlushParams(const clap_input_events_t* in, const clap_output_events_t* out);

  // ---- state (IPlugCLAP_State.cpp; host main thread) ----
  bool SaveState(const clap_ostream_t& stream);
  // A stream that does not hold a complete state of this plug-in changes nothing.
  bool LoadState(const clap_istream_t& stream);

  // ---- latency, tail, render mode ----
  // Host main thread, active. What the processing delays its output by.
  uint32_t LatencySamples() const { return static_cast<uint32_t>(GetLatency()); }
  // Host main or audio thread. Nothing sounds on after the latency.
  uint32_t TailSamples() const { return static_cast<uint32_t>(GetLatency()); }
  // Host main thread. Offline rendering takes the same path.
  bool SetRenderMode(clap_plugin_render_mode mode);

  // ---- editor (IPlugCLAP_Editor.cpp; host main thread) ----
  bool GuiApiSupported(const char* api, bool isFloating) const;
  bool GuiPreferredApi(const char** api, bool* isFloating) const;
  bool GuiCreate(const char* api, bool isFloating);
  void GuiDestroy();
  bool GuiSetScale(double scale);
  bool GuiGetSize(uint32_t& width, uint32_t& height) const;
  bool GuiCanResize() const { return HasUI(); }
  bool GuiResizeHints(clap_gui_resize_hints_t& hints) const;
  bool GuiAdjustSize(uint32_t& width, uint32_t& height) const;
  bool GuiSetSize(uint32_t width, uint32_t height);
  bool GuiSetParent(const clap_window_t& window);
  bool GuiShow();
  bool GuiHide();
  // The host's timer and file-descriptor calls that run the editor on Linux.
  void OnTimer(clap_id timerID);
  void OnFd(int fd, clap_posix_fd_flags_t flags);

  // ---- the framework's host-facing operations (editor thread = host main thread) ----
  void BeginHostParamGesture(int paramIdx) override;
  void EndHostParamGesture(int paramIdx) override;
  void SendParamValueToHost(int paramIdx, double normalizedValue) override;
  bool ResizeEditorWindow(int width, int height) override;
  // Audio thread. The plug-in has no note ports: nothing is sent.
  bool EmitMidi(const MidiMessage& /*msg*/) override { return false; }

protected:
  // Host main thread. On Linux the editor draws on a run-loop timer, which the host's timer
  // calls pump, rather than on a thread of its own.
  igraphics::IGraphics* MakeGraphicsContext() override;

private:
  struct HostExtensions {
    const clap_host_params_t* mParams = nullptr;
    const clap_host_latency_t* mLatency = nullptr;
    const clap_host_gui_t* mGui = nullptr;
    const clap_host_timer_support_t* mTimer = nullptr;
    const clap_host_posix_fd_support_t* mFd = nullptr;
    const clap_host_state_t* mState = nullptr;
  };

  // ---- processing (IPlugCLAP.cpp) ----
  // The host's buffers of one block in one sample size, with the channels each port has.
  template <typename Sample>
  struct PortBuffers {
    Sample* const* mIn = nullptr;
    int mNIn = 0;
    const Sample* mKey = nullptr;
    Sample* const* mOut = nullptr;
    int mNOut = 0;
  };
  template <typename Sample>
  void RenderEvents(const clap_process_t& process, const PortBuffers<Sample>& buffers);
  template <typename Sample>
  void RenderRange(const PortBuffers<Sample>& buffers, int start, int end);
  // Audio thread (or the flush). Applies one event of the host's list.
  void ApplyEvent(const clap_event_header_t& header);
  void NoteLatency();
  int MainChannels() const;

  // ---- parameters ----
  // The parameter of a CLAP id, or -1 (the bypass or an unknown id).
  int ParamIdxOf(clap_id id) const;
  // Audio or main thread: every event the editor queued, onto the host's list.
  void SendQueuedEvents(const clap_output_events_t* out);
  void QueueEvent(CLAPOutEvent::Kind kind, int paramIdx, double plainValue);

  // ---- editor ----
  void OpenEditorIn(void* parent);
  void WatchEditorConnection();
  void ForgetEditorConnection();
  // The editor's zoom for a physical size, kept within its limits.
  float ZoomFor(uint32_t width, uint32_t height) const;
  void EditorUnits(int& width, int& height) const;

  clap_plugin_t mClapPlugin{};
  const clap_host_t* mHost = nullptr;
  HostExtensions mHostExt;
  CLAPThreadCheck mThreads;

  InsertLayouts mInserts;
  int mSelectedConfig = 0;      // into mInserts.mConfigs
  std::vector<int> mParamIdxs;  // the host-visible parameters, in the order the host lists them

  std::atomic<bool> mActive{false};
  std::atomic<bool> mHostBypass{false};
  int mActiveLatency = 0;                                 // reported at activation
  std::atomic<bool> mLatencyChanged{false};               // audio -> main: ask for a restart
  TransferRing<CLAPOutEvent, kOutEventSlots> mOutEvents;  // editor -> the next process or flush

  // The host's channel pointers of one range of a block, for each sample size; sized at
  // construction.
  template <typename Sample>
  struct RangePointers {
    std::vector<const Sample*> mIn;
    std::vector<Sample*> mOut;
  };
  std::tuple<RangePointers<float>, RangePointers<double>> mRangePointers;
  HostParams mHostParams{*this};
  HostBlockRenderer mRenderer{*this};

  // Editor.
  bool mGuiCreated = false;
  double mScreenScale = 0.0;  // the host's set_scale; 0 until it gives one
  clap_id mTimerID = CLAP_INVALID_ID;
  int mWatchedFd = -1;
};

}  // namespace iplug

// The product's factory, defined by the product: creates one instance for the host.
// Host main thread; instances are created one at a time. Null when creation failed.
iplug::IPlugCLAP* MakePlugInstance(const iplug::InstanceInfo& info);
