#pragma once
#include <atomic>
#include <cstdint>

#include "IPlug/VST3/VST3Interfaces.h"

namespace iplug {

// How the binding's objects present their interfaces to a host. A host holds a pointer to a
// place whose first word points to the interface's table of functions, and passes that place
// back as `self` with every call; each interface an object offers is one such place
// (a VST3Slot) inside the object, which also leads back to the object.
template <typename Owner>
struct VST3Slot {
  const void* mTable;
  Owner* mOwner;

  static Owner& Of(void* self) { return *static_cast<VST3Slot*>(self)->mOwner; }
  // What a host receives for this interface.
  void* Interface() { return this; }
};

// The reference count every interface of an object shares: the object is deleted when the
// last reference goes. Any thread; lock-free.
class VST3RefCount {
public:
  uint32_t Ref() { return mCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  // True when this was the last reference.
  bool Unref(uint32_t& remaining) {
    remaining = mCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    return remaining == 0;
  }

private:
  std::atomic<uint32_t> mCount{1};
};

// Calls on an object of the host: its table starts with the three calls of FUnknown.
template <typename T>
uint32_t VST3Release(T** object) {
  return object ? v3_cpp_obj_unref(object) : 0;
}

template <typename T>
uint32_t VST3AddRef(T** object) {
  return object ? v3_cpp_obj_ref(object) : 0;
}

// Asks a host object for another of its interfaces; null when it has none. The result
// carries a reference the caller releases.
template <typename Wanted, typename T>
Wanted** VST3Query(T** object, const v3_tuid iid) {
  if (!object) return nullptr;
  Wanted** wanted = nullptr;
  if (v3_cpp_obj_query_interface(object, iid, &wanted) != V3_OK) return nullptr;
  return wanted;
}

inline bool VST3Is(const v3_tuid a, const v3_tuid b) { return v3_tuid_match(a, b); }

}  // namespace iplug

namespace iplug {

// The three FUnknown calls of every interface of an Owner (which has Query, Ref and Unref).
// Nothing thrown inside reaches the host.
template <typename Owner>
struct VST3Unknown {
  // Any thread.
  static v3_result V3_API Query(void* self, const v3_tuid iid, void** obj) {
    if (!obj) return V3_INVALID_ARG;
    *obj = nullptr;
    try {
      *obj = VST3Slot<Owner>::Of(self).Query(iid);
    } catch (...) {
      *obj = nullptr;
    }
    return *obj ? V3_OK : V3_NO_INTERFACE;
  }
  // Any thread.
  static uint32_t V3_API Ref(void* self) { return VST3Slot<Owner>::Of(self).Ref(); }
  static uint32_t V3_API Unref(void* self) { return VST3Slot<Owner>::Of(self).Unref(); }
};

}  // namespace iplug
