#include "IPlug/CLAP/CLAPThreadCheck.h"

#include <cstdio>

namespace iplug {

void CLAPThreadCheck::Attach(const clap_host_t* host) {
  mHost = host;
  mCheck = host && host->get_extension
               ? static_cast<const clap_host_thread_check_t*>(host->get_extension(host, CLAP_EXT_THREAD_CHECK))
               : nullptr;
}

// Without the host's word, every thread passes: the check must never invent a violation.
bool CLAPThreadCheck::OnMainThread() const {
  return !mCheck || !mCheck->is_main_thread || mCheck->is_main_thread(mHost);
}

bool CLAPThreadCheck::OnAudioThread() const {
  return !mCheck || !mCheck->is_audio_thread || mCheck->is_audio_thread(mHost);
}

void CLAPThreadCheck::Expect(bool holds, const char* rule, const char* file, int line) const {
  if (holds) return;
  mViolations.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "%s:%d: CLAP call outside its thread: %s\n", file, line, rule);
}

}  // namespace iplug
