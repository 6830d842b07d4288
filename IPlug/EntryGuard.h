#pragma once
#include <type_traits>

namespace iplug {

// Every call a host makes into the plug-in's entry points goes through here: nothing thrown
// inside the plug-in may unwind into a host, which was not built to catch it. The host gets
// `fallback` instead (a failure its API can express), or nothing for a call without result.
template <typename Call>
auto GuardedEntry(Call&& call, std::invoke_result_t<Call> fallback) noexcept -> std::invoke_result_t<Call> {
  try {
    return call();
  } catch (...) {
    return fallback;
  }
}

template <typename Call>
void GuardedEntry(Call&& call) noexcept {
  try {
    call();
  } catch (...) {
  }
}

}  // namespace iplug
