#include "host/cli/VST3ComponentHandler.h"

namespace tbhost {
namespace {

VST3ComponentHandler& Of(void* self) { return *static_cast<VST3ComponentHandler*>(self); }

v3_result V3_API BeginEdit(void* self, v3_param_id) {
  Of(self).openGestures.fetch_add(1, std::memory_order_relaxed);
  return V3_OK;
}

v3_result V3_API PerformEdit(void* self, v3_param_id id, double value) {
  VST3ComponentHandler& h = Of(self);
  if (h.openGestures.load(std::memory_order_relaxed) <= 0) h.editsOutsideGestures.fetch_add(1, std::memory_order_relaxed);
  if (!h.edits || !h.edits->Push(VST3Edit{id, value})) h.editsDropped.fetch_add(1, std::memory_order_relaxed);
  return V3_OK;
}

v3_result V3_API EndEdit(void* self, v3_param_id) {
  VST3ComponentHandler& h = Of(self);
  if (h.openGestures.fetch_sub(1, std::memory_order_relaxed) <= 0) {
    h.openGestures.fetch_add(1, std::memory_order_relaxed);
    h.editsOutsideGestures.fetch_add(1, std::memory_order_relaxed);
  }
  return V3_OK;
}

v3_result V3_API RestartComponent(void* self, int32_t flags) {
  VST3ComponentHandler& h = Of(self);
  if (h.audioThread && h.audioThread->load(std::memory_order_acquire) == std::this_thread::get_id())
    h.restartsFromAudioThread.fetch_add(1, std::memory_order_relaxed);
  h.restartFlags.fetch_or(flags, std::memory_order_acq_rel);
  return V3_OK;
}

}  // namespace

const VST3ComponentHandler::Table VST3ComponentHandler::kTable{
    VST3HostObject<VST3ComponentHandler>::kUnknown, {&BeginEdit, &PerformEdit, &EndEdit, &RestartComponent}};

}  // namespace tbhost
