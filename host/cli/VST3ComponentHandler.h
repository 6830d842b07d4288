#pragma once
#include <travesty/edit_controller.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "IPlug/TransferRing.h"
#include "host/cli/VST3HostObject.h"

namespace tbhost {

// A change of a parameter's normalised value on its way to the plug-in's processor.
struct VST3Edit {
  v3_param_id id = 0;
  double value = 0.0;
};
using VST3EditRing = iplug::TransferRing<VST3Edit, 1024>;

// The host's side of a VST3 controller's edits: a value the editor performs goes to the next
// process call, as the host's automation would send it; begin and end only frame it, and an
// edit outside a gesture of its parameter is counted. Restart requests are kept as flags for
// the host to act on, with a count of those made on the audio thread (which the plug-in must
// never do). The host owns it; it outlives the controller.
// The plug-in's UI thread (the host's main thread), except where said.
struct VST3ComponentHandler {
  struct Table : v3_funknown {
    v3_component_handler handler;
  };

  static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_component_handler_iid); }
  v3_component_handler** Interface() { return reinterpret_cast<v3_component_handler**>(this); }

  // Any thread. The restart flags asked for since the last call, cleared.
  int32_t TakeRestartFlags() { return restartFlags.exchange(0, std::memory_order_acq_rel); }

  const Table* table = &kTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;
  VST3EditRing* edits = nullptr;           // where performed values go
  std::atomic<std::thread::id>* audioThread = nullptr;  // the thread in process, while it is
  std::atomic<int32_t> restartFlags{0};
  std::atomic<int> restartsFromAudioThread{0};
  std::atomic<int> openGestures{0};
  std::atomic<int> editsOutsideGestures{0};
  std::atomic<int> editsDropped{0};

private:
  static const Table kTable;
};

}  // namespace tbhost
