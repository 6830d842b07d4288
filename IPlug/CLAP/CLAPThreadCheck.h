#pragma once
#include <atomic>

#include "IPlug/CLAP/CLAPExtensions.h"

namespace iplug {

// The thread rules of the CLAP interface ([main-thread], [audio-thread]) checked against the
// host's thread-check extension. In builds with assertions, a call on the wrong thread is
// reported (file, line, the rule) on standard error and counted, and the call goes on as it
// would have: a host that breaks a rule learns of it without losing its session. Without the
// extension, or in release builds, nothing is checked.
class CLAPThreadCheck {
public:
  // Host main thread (plugin init).
  void Attach(const clap_host_t* host);

  // Any thread.
  bool OnMainThread() const;
  bool OnAudioThread() const;
  // Any thread. Reports when `holds` is false.
  void Expect(bool holds, const char* rule, const char* file, int line) const;
  // Any thread. The violations reported so far.
  int Violations() const { return mViolations.load(std::memory_order_relaxed); }

private:
  const clap_host_t* mHost = nullptr;
  const clap_host_thread_check_t* mCheck = nullptr;
  mutable std::atomic<int> mViolations{0};
};

}  // namespace iplug

#ifdef NDEBUG
#define CLAP_EXPECT_MAIN_THREAD(checker) \
  do {                                   \
  } while (0)
#define CLAP_EXPECT_AUDIO_THREAD(checker) \
  do {                                    \
  } while (0)
#else
#define CLAP_EXPECT_MAIN_THREAD(checker)                                             \
  do {                                                                               \
    (checker).Expect((checker).OnMainThread(), "[main-thread]", __FILE__, __LINE__); \
  } while (0)
#define CLAP_EXPECT_AUDIO_THREAD(checker)                                              \
  do {                                                                                 \
    (checker).Expect((checker).OnAudioThread(), "[audio-thread]", __FILE__, __LINE__); \
  } while (0)
#endif
