#pragma once
#include <travesty/host.h>

#include <atomic>
#include <cstdint>

#include "host/cli/VST3HostObject.h"

namespace tbhost {

// The host itself as a VST3 plug-in sees it (the context of initialize and of the factory):
// its name, and the objects it makes on request (messages and attribute lists for the
// connection between component and controller). The host owns it; it outlives every object
// of the plug-in. Any thread.
struct VST3HostApplication {
  struct Table : v3_funknown {
    v3_host_application app;
  };

  static bool Answers(const v3_tuid iid) { return v3_tuid_match(iid, v3_host_application_iid); }
  v3_funknown** Interface() { return reinterpret_cast<v3_funknown**>(this); }

  const Table* table = &kTable;  // first: see VST3HostObject
  std::atomic<uint32_t> refs{1};
  bool ownedByPlugin = false;

private:
  static const Table kTable;
};

}  // namespace tbhost
