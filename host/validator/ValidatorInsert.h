#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "aax-library/AAX_Types.h"
#include "host/validator/AudioThreadWatch.h"
#include "host/validator/HostParams.h"

class AAX_IACFEffectParameters;
class AAX_IACFEffectGUI;

namespace aaxhost {
class AlgorithmContext;
class HostWindow;
class ComponentDescriptor;
class Controller;
class Instance;
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

  AAX_IACFEffectParameters& Effect() const;
  aaxhost::Controller& Controller() const;
  aaxhost::Instance& Host() const;
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
  // The output gain the plug-in applies, from a parameter called "Gain" (0 without one).
  double GainDb() const;

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
  // field the host filled with `prefilled` (the record's capacity when negative).
  AAX_Result SaveState(std::vector<unsigned char>& out, int32_t prefilled = -1) const;
  // Host thread. A record holding `bytes` whose size field says `declared` (the byte count when
  // negative). Coefficients follow an accepted state (delivered when `deliver`).
  AAX_Result LoadState(const std::vector<unsigned char>& bytes, int32_t declared = -1, bool deliver = true);

  // Main thread. The editor, opened as a host opens it: the GUI object, then a view in a host
  // window. False when the module makes no GUI object (`detail` says what happened).
  bool OpenEditor(std::string& detail);
  void CloseEditor();
  AAX_IACFEffectGUI* Editor() const;
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
  std::string mGainID;
};

}  // namespace tbvalidate
