#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "clap/events.h"

namespace tbhost {

// The host's side of a CLAP plug-in's event traffic, with capacity fixed beforehand so the audio
// thread neither allocates nor locks: parameter value events into a block, kept in time order,
// and the events the plug-in sends back (values, gesture begin and end), in the order it sent
// them. The main thread fills the input list and reads the output list between blocks; the
// thread that calls the plug-in (process or flush) hands both over.
class CLAPInputEvents {
public:
  explicit CLAPInputEvents(size_t capacity);
  // Main thread, between blocks. A value for a parameter at `time` frames into the next block,
  // after those already at that time; false when the list is full (nothing is queued then).
  bool Push(clap_id paramId, void* cookie, uint32_t time, double value);
  bool Empty() const { return mEvents.empty(); }
  void Clear() {
    mEvents.clear();
    mTimes.clear();
    mBegin = mEnd = 0;
  }
  // Audio thread. Shows the plug-in only the events in [from, from + frames) of the block, with
  // their times counted from `from`; the last piece of a block also takes anything later.
  void ShowPiece(uint32_t from, uint32_t frames, bool last);
  // Shows every event at time 0 (a flush, which has no block).
  void ShowAll();
  const clap_input_events_t* Get() const { return &mList; }

private:
  static uint32_t Size(const clap_input_events_t* list);
  static const clap_event_header_t* At(const clap_input_events_t* list, uint32_t index);
  clap_input_events_t mList{};
  std::vector<clap_event_param_value_t> mEvents;
  std::vector<uint32_t> mTimes;  // each event's time in the whole block
  size_t mBegin = 0, mEnd = 0;
  size_t mCapacity;
};

class CLAPOutputEvents {
public:
  struct Event {
    uint16_t type = 0;
    clap_id paramId = 0;
    double value = 0.0;
  };
  explicit CLAPOutputEvents(size_t capacity);
  // Main thread, between blocks.
  const std::vector<Event>& Events() const { return mEvents; }
  // Events the plug-in sent that did not fit or were of an unknown kind.
  int Refused() const { return mRefused; }
  void Clear() { mEvents.clear(); mRefused = 0; }
  const clap_output_events_t* Get() const { return &mList; }

private:
  static bool TryPush(const clap_output_events_t* list, const clap_event_header_t* event);
  clap_output_events_t mList{};
  std::vector<Event> mEvents;
  size_t mCapacity;
  int mRefused = 0;
};

}  // namespace tbhost
