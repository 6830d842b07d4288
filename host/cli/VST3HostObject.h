#pragma once
#include <travesty/base.h>

#include <atomic>
#include <cstdint>

namespace tbhost {

// The IUnknown part of an object the host hands to a VST3 plug-in. A plug-in sees every
// object as a pointer to a table of functions, so the object class keeps a pointer to its
// table as its first member (`table`), and the plug-in's `self` is the object's address.
//
// Object provides: `static bool Answers(const v3_tuid iid)` (the interfaces it has besides
// IUnknown) and the fields `refs` (std::atomic<uint32_t>) and `ownedByPlugin` (bool: deleted
// when the last reference goes; else the host owns it and outlives every reference).
// Any thread: the plug-in may count references from its own threads.
template <typename Object>
struct VST3HostObject {
  static v3_result V3_API QueryInterface(void* self, const v3_tuid iid, void** obj) {
    if (v3_tuid_match(iid, v3_funknown_iid) || Object::Answers(iid)) {
      static_cast<Object*>(self)->refs.fetch_add(1, std::memory_order_relaxed);
      *obj = self;
      return V3_OK;
    }
    *obj = nullptr;
    return V3_NO_INTERFACE;
  }
  static uint32_t V3_API Ref(void* self) {
    return static_cast<Object*>(self)->refs.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  static uint32_t V3_API Unref(void* self) {
    auto* object = static_cast<Object*>(self);
    const uint32_t left = object->refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0 && object->ownedByPlugin) delete object;
    return left;
  }
  static constexpr v3_funknown kUnknown{&QueryInterface, &Ref, &Unref};
};

}  // namespace tbhost
