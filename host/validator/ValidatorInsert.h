#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/validator/AudioThreadWatch.h"
#include "host/validator/HostParams.h"

namespace aaxhost {
class HostWindow;
class ViewContainer;
}  // namespace aaxhost

namespace tbhost {
class AAXInsert;
class AAXModule;
}

namespace tbvalidate {

// One instance of the module as a host holds it for validation: made through the registered
// creation function for the mono or stereo component, initialised at a sample rate, rendered
// through the registered callback with blocks of any length up to the capacity made at
// creation. Before every block the outputs are marked, so a sample the plug-in did not write
// shows; every render call is watched for allocations and locks. Parameters are set as the
// host's automation sets them, and the state travels through chunk records as in a session.
//
// Host main thread, except: Automate on a host parameter thread; Render, Input, Key, Output on
// the one audio thread; SaveState and LoadState on a host thread.
class ValidatorInsert {
public:
  // Null with `error` set.
  static std::unique_ptr<ValidatorInsert> Create(tbhost::AAXModule& module, int channels, double sampleRate,
                                                 int maxBlock, std::string& error);
  ~ValidatorInsert();
  ValidatorInsert(const ValidatorInsert&) = delete;
  ValidatorInsert& operator=(const ValidatorInsert&) = delete;

  int Channels() const;
  double SampleRate() const;
  int MaxBlock() const;
  bool HasKey() const;
  const std::vector<HostParam>& Params() const { return mParams; }
  const HostParam* MasterBypass() const;

  // Host parameter thread. A change as automation makes it: touch, set, release, then new
  // coefficients (delivered to the context only when `deliver`: not while audio runs).
  void Automate(const std::string& id, double normalized, bool deliver = true);
  double Normalized(const std::string& id) const;
  // Host thread. A value the host sets on its own side (a session, a control surface), without
  // a gesture; the plug-in hears of it as of any host change.
  void SetFromHost(const std::string& id, double normalized);
  // Editor side (any thread but the audio thread). A gesture of `count` values, then the open
  // editor told of the change.
  void EditorGesture(const std::string& id, const double* values, int count);

  // Main thread. What the parameter shows now, and what it would show at `normalized` (empty
  // when it shows nothing).
  std::string CurrentText(const HostParam& param) const;
  std::string Text(const HostParam& param, double normalized) const;
  // Main thread. The normalised value `text` reads as; false when the plug-in does not read it.
  bool ValueFromText(const HostParam& param, const std::string& text, double& normalized) const;

  // Main thread. The latency the plug-in reports to the host, in samples.
  int ReportedLatency() const;
  // Main thread. The host's own trouble: while `failing`, the host's queries about the insert's
  // channel formats fail. False when the format has no such query (nothing changes then).
  bool FailHostQueries(bool failing);
  // Main thread. The host's running position in samples: where the next block starts.
  int64_t Position() const;

  // Audio thread. The buffers of the next block: main inputs, the key (null without a
  // side-chain input), outputs.
  float* Input(int channel);
  float* Key();
  float* Output(int channel);
  // Audio thread. Marks the outputs unwritten, renders n frames (with the key routed or not)
  // under the watch, and moves the transport on. Returns what the watch counted.
  AudioThreadUse Render(int n, bool withKey = false);
  // Every output sample of the last block fine? Empty when so (see OutputCheck).
  std::string ExamineOutputs(int n, double limit) const;

  // Host thread. The state as a session saves it: size, then a record of that size whose size
  // field the host filled with `prefilled` (the record's capacity when negative). False with
  // `error` saying why when the plug-in gives none.
  bool SaveState(std::vector<unsigned char>& out, std::string& error, int32_t prefilled = -1) const;
  // Host thread. A record holding `bytes` whose size field says `declared` (the byte count when
  // negative). Coefficients follow an accepted state (delivered when `deliver`). False with
  // `error` saying why when the plug-in refuses it.
  bool LoadState(const std::vector<unsigned char>& bytes, std::string& error, int32_t declared = -1,
                 bool deliver = true);

  // Main thread. The editor, opened as a host opens it: the GUI object, then a view in a host
  // window. False when the module makes no GUI object (`detail` says what happened).
  bool OpenEditor(std::string& detail);
  void CloseEditor();
  bool EditorOpen() const;
  // Main thread. The host's idle work: the plug-in's timer and the window's messages.
  void Idle();

private:
  ValidatorInsert() = default;
  void DeliverCoefficients();

  tbhost::AAXModule* mModule = nullptr;
  std::unique_ptr<tbhost::AAXInsert> mInsert;
  std::unique_ptr<aaxhost::HostWindow> mWindow;
  std::unique_ptr<aaxhost::ViewContainer> mView;
  std::vector<HostParam> mParams;
};

}  // namespace tbvalidate
