#include "host/cli/CLAPEventLists.h"

#include <algorithm>

namespace tbhost {

CLAPInputEvents::CLAPInputEvents(size_t capacity) : mCapacity(capacity) {
  mEvents.reserve(capacity);
  mTimes.reserve(capacity);
  mList.ctx = this;
  mList.size = &Size;
  mList.get = &At;
}

bool CLAPInputEvents::Push(clap_id paramId, void* cookie, uint32_t time, double value) {
  if (mEvents.size() >= mCapacity) return false;
  clap_event_param_value_t event{};
  event.header.size = sizeof event;
  event.header.time = time;
  event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
  event.header.type = CLAP_EVENT_PARAM_VALUE;
  event.param_id = paramId;
  event.cookie = cookie;
  event.note_id = -1;
  event.port_index = -1;
  event.channel = -1;
  event.key = -1;
  event.value = value;
  // A plug-in reads the list in time order; an event joins the end of its time.
  const auto at = std::upper_bound(mTimes.begin(), mTimes.end(), time);
  const auto index = at - mTimes.begin();
  mTimes.insert(at, time);
  mEvents.insert(mEvents.begin() + index, event);
  return true;
}

void CLAPInputEvents::ShowPiece(uint32_t from, uint32_t frames, bool last) {
  mBegin = static_cast<size_t>(std::lower_bound(mTimes.begin(), mTimes.end(), from) - mTimes.begin());
  mEnd = last ? mTimes.size()
              : static_cast<size_t>(std::lower_bound(mTimes.begin(), mTimes.end(), from + frames) - mTimes.begin());
  const uint32_t lastFrame = frames > 0 ? frames - 1 : 0;
  for (size_t k = mBegin; k < mEnd; ++k) mEvents[k].header.time = std::min(mTimes[k] - from, lastFrame);
}

void CLAPInputEvents::ShowAll() {
  mBegin = 0;
  mEnd = mEvents.size();
  for (clap_event_param_value_t& event : mEvents) event.header.time = 0;
}

uint32_t CLAPInputEvents::Size(const clap_input_events_t* list) {
  const auto* self = static_cast<const CLAPInputEvents*>(list->ctx);
  return static_cast<uint32_t>(self->mEnd - self->mBegin);
}

const clap_event_header_t* CLAPInputEvents::At(const clap_input_events_t* list, uint32_t index) {
  const auto* self = static_cast<const CLAPInputEvents*>(list->ctx);
  if (index >= self->mEnd - self->mBegin) return nullptr;
  return &self->mEvents[self->mBegin + index].header;
}

CLAPOutputEvents::CLAPOutputEvents(size_t capacity) : mCapacity(capacity) {
  mEvents.reserve(capacity);
  mList.ctx = this;
  mList.try_push = &TryPush;
}

bool CLAPOutputEvents::TryPush(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto* self = static_cast<CLAPOutputEvents*>(list->ctx);
  if (!event || self->mEvents.size() >= self->mCapacity || event->space_id != CLAP_CORE_EVENT_SPACE_ID) {
    ++self->mRefused;
    return false;
  }
  Event kept;
  kept.type = event->type;
  if (event->type == CLAP_EVENT_PARAM_VALUE && event->size >= sizeof(clap_event_param_value_t)) {
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
    kept.paramId = value->param_id;
    kept.value = value->value;
  } else if ((event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event->type == CLAP_EVENT_PARAM_GESTURE_END) &&
             event->size >= sizeof(clap_event_param_gesture_t)) {
    kept.paramId = reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
  } else {
    ++self->mRefused;
    return false;
  }
  self->mEvents.push_back(kept);
  return true;
}

}  // namespace tbhost
