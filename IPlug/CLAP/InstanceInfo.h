#pragma once
#include <clap/host.h>

namespace iplug {

// What the CLAP entry knows when a host creates a plug-in: the host's interface, which the
// plug-in keeps (the host outlives every plug-in it made). Null for the object the factory
// makes only to describe the plug-in.
struct InstanceInfo {
  const clap_host_t* mHost = nullptr;
};

}  // namespace iplug
