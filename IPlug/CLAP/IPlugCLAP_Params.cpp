#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "IPlug/CLAP/IPlugCLAP.h"

// The parameters as a CLAP host sees them: HostParams decides which, under which id and as
// what shape; values travel as the parameters' own (plain) values, texts are the framework's.
namespace iplug {
namespace {

constexpr const char* kBypassName = "Host Bypass";

void CopyText(char* out, size_t capacity, const char* text) { std::snprintf(out, capacity, "%s", text ? text : ""); }

clap_param_info_flags FlagsOf(const IParam& param) {
  clap_param_info_flags flags = param.GetCanAutomate() ? CLAP_PARAM_IS_AUTOMATABLE : 0;
  if (HostParams::ShapeOf(param) == HostParams::Shape::kContinuous) return flags;
  flags |= CLAP_PARAM_IS_STEPPED;
  // A host shows the names of an enumerated parameter in its own lists: every value must have one.
  if (param.NDisplayTexts() > 0 && param.NDisplayTexts() == HostParams::StepCount(param)) flags |= CLAP_PARAM_IS_ENUM;
  return flags;
}

}  // namespace

int IPlugCLAP::ParamIdxOf(clap_id id) const {
  if (id == kBypassParamID) return -1;
  const int idx = mHostParams.ParamIndexFromID(id);
  return idx >= 0 && HostParams::IsVisible(*GetParam(idx)) ? idx : -1;
}

bool IPlugCLAP::ClapParamInfo(uint32_t index, clap_param_info_t& info) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (index >= ClapParamCount()) return false;
  info = clap_param_info_t{};
  info.cookie = nullptr;
  if (index == mParamIdxs.size()) {
    info.id = kBypassParamID;
    info.flags = CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_AUTOMATABLE;
    CopyText(info.name, sizeof info.name, kBypassName);
    info.min_value = 0.0;
    info.max_value = 1.0;
    info.default_value = 0.0;
    return true;
  }
  const int idx = mParamIdxs[index];
  const IParam& param = *GetParam(idx);
  info.id = HostParams::HostID(idx);
  info.flags = FlagsOf(param);
  CopyText(info.name, sizeof info.name, param.GetName());
  CopyText(info.module, sizeof info.module, param.GetGroup());
  info.min_value = param.GetMin();
  info.max_value = param.GetMax();
  info.default_value = param.GetDefault();
  return true;
}

bool IPlugCLAP::ClapParamValue(clap_id id, double& value) const {
  if (id == kBypassParamID) {
    value = mHostBypass.load(std::memory_order_relaxed) ? 1.0 : 0.0;
    return true;
  }
  const int idx = ParamIdxOf(id);
  if (idx < 0) return false;
  value = GetParam(idx)->Value();
  return true;
}

bool IPlugCLAP::ClapParamValueToText(clap_id id, double value, char* text, uint32_t capacity) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!text || capacity == 0 || std::isnan(value)) return false;
  if (id == kBypassParamID) {
    CopyText(text, capacity, value >= 0.5 ? "On" : "Off");
    return true;
  }
  const int idx = ParamIdxOf(id);
  if (idx < 0) return false;
  TextBuffer display;
  GetParam(idx)->GetDisplay(value, false, display);
  CopyText(text, capacity, display.Get());
  return true;
}

bool IPlugCLAP::ClapParamTextToValue(clap_id id, const char* text, double& value) const {
  CLAP_EXPECT_MAIN_THREAD(mThreads);
  if (!text) return false;
  if (id == kBypassParamID) {
    if (std::string_view(text) != "On" && std::string_view(text) != "Off") return false;
    value = std::string_view(text) == "On" ? 1.0 : 0.0;
    return true;
  }
  const int idx = ParamIdxOf(id);
  if (idx < 0) return false;
  const IParam& param = *GetParam(idx);
  if (param.MapDisplayText(text, &value)) return true;
  // A list's value is one of its texts; anything else must at least start with a number.
  if (param.NDisplayTexts() > 0 && HostParams::ShapeOf(param) != HostParams::Shape::kContinuous &&
      HostParams::ShapeOf(param) != HostParams::Shape::kInteger)
    return false;
  char* end = nullptr;
  std::strtod(text, &end);
  if (end == text) return false;
  value = param.StringToValue(text);
  return true;
}

void IPlugCLAP::ApplyEvent(const clap_event_header_t& header) {
  if (header.space_id != CLAP_CORE_EVENT_SPACE_ID || header.type != CLAP_EVENT_PARAM_VALUE ||
      header.size < sizeof(clap_event_param_value_t))
    return;
  const auto& event = reinterpret_cast<const clap_event_param_value_t&>(header);
  if (event.param_id == kBypassParamID) {
    if (!std::isnan(event.value)) mHostBypass.store(event.value >= 0.5, std::memory_order_relaxed);
    return;
  }
  const int idx = ParamIdxOf(event.param_id);
  // The editor lives on another thread: it learns of the value through the queue.
  if (idx >= 0) mHostParams.SetFromHost(idx, event.value, HostParams::Scale::kPlain, HostParams::EditorNotice::kQueued);
}

void IPlugCLAP::FlushParams(const clap_input_events_t* in, const clap_output_events_t* out) {
  const uint32_t n = in && in->size ? in->size(in) : 0;
  for (uint32_t i = 0; i < n; ++i)
    if (const clap_event_header_t* header = in->get(in, i)) ApplyEvent(*header);
  SendQueuedEvents(out);
}

// ---- the editor's gestures and values, on their way to the host ----

void IPlugCLAP::QueueEvent(CLAPOutEvent::Kind kind, int paramIdx, double plainValue) {
  if (!IsValidParamIdx(paramIdx) || !HostParams::IsVisible(*GetParam(paramIdx))) return;
  // A full ring drops the event rather than wait: the host hears of the value at the end of
  // the gesture at the latest, through the state it reads.
  mOutEvents.Push(CLAPOutEvent{kind, paramIdx, plainValue});
  if (mHostExt.mParams && mHostExt.mParams->request_flush) mHostExt.mParams->request_flush(mHost);
}

void IPlugCLAP::BeginHostParamGesture(int paramIdx) { QueueEvent(CLAPOutEvent::Kind::kGestureBegin, paramIdx, 0.0); }

void IPlugCLAP::EndHostParamGesture(int paramIdx) { QueueEvent(CLAPOutEvent::Kind::kGestureEnd, paramIdx, 0.0); }

void IPlugCLAP::SendParamValueToHost(int paramIdx, double normalizedValue) {
  if (IsValidParamIdx(paramIdx))
    QueueEvent(CLAPOutEvent::Kind::kValue, paramIdx, GetParam(paramIdx)->FromNormalized(normalizedValue));
}

void IPlugCLAP::SendQueuedEvents(const clap_output_events_t* out) {
  CLAPOutEvent event;
  // Events the host cannot take are still taken off the ring: the next block must not repeat
  // them out of order.
  while (mOutEvents.Pop(event)) {
    if (!out || !out->try_push) continue;
    const clap_id id = HostParams::HostID(event.mParamIdx);
    if (event.mKind == CLAPOutEvent::Kind::kValue) {
      clap_event_param_value_t value{};
      value.header = {sizeof value, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      value.param_id = id;
      value.note_id = -1;
      value.port_index = -1;
      value.channel = -1;
      value.key = -1;
      value.value = event.mPlainValue;
      out->try_push(out, &value.header);
    } else {
      clap_event_param_gesture_t gesture{};
      const uint16_t type = event.mKind == CLAPOutEvent::Kind::kGestureBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                                             : CLAP_EVENT_PARAM_GESTURE_END;
      gesture.header = {sizeof gesture, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      gesture.param_id = id;
      out->try_push(out, &gesture.header);
    }
  }
}

}  // namespace iplug
