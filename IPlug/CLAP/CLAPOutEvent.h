#pragma once
#include <type_traits>

namespace iplug {

// What the editor tells the host about a parameter, on its way from the editor's thread to
// the next process or flush, where it becomes a CLAP event. Copied through a ring: plain data.
struct CLAPOutEvent {
  enum class Kind { kGestureBegin, kValue, kGestureEnd };
  Kind mKind = Kind::kValue;
  int mParamIdx = 0;
  double mPlainValue = 0.0;  // kValue only
};

static_assert(std::is_trivially_copyable_v<CLAPOutEvent>, "events travel through a ring");

}  // namespace iplug
