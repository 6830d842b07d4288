#pragma once
#include <travesty/base.h>

#include <utility>

namespace tbhost {

// One counted reference to an object of a VST3 plug-in, seen through interface T: the
// reference is given back (unref) when this goes. Any thread that owns it.
template <typename T>
class VST3Ref {
public:
  VST3Ref() = default;
  // Takes over a reference the plug-in handed out (create_instance, query_interface).
  explicit VST3Ref(T** adopted) : mObject(adopted) {}
  ~VST3Ref() { Reset(); }
  VST3Ref(VST3Ref&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
  VST3Ref& operator=(VST3Ref&& other) noexcept {
    if (this != &other) {
      Reset();
      mObject = std::exchange(other.mObject, nullptr);
    }
    return *this;
  }
  VST3Ref(const VST3Ref&) = delete;
  VST3Ref& operator=(const VST3Ref&) = delete;

  void Reset() {
    if (mObject) v3_cpp_obj_unref(mObject);
    mObject = nullptr;
  }
  T** Get() const { return mObject; }
  explicit operator bool() const { return mObject != nullptr; }
  // The object's table of functions for T (past the IUnknown part).
  auto* operator->() const { return v3_cpp_obj(mObject); }

  // The same object through another interface, or an empty reference when it has none.
  template <typename U>
  VST3Ref<U> Query(const v3_tuid iid) const {
    U** other = nullptr;
    if (!mObject || v3_cpp_obj_query_interface(mObject, iid, &other) != V3_OK) return VST3Ref<U>();
    return VST3Ref<U>(other);
  }

private:
  T** mObject = nullptr;
};

}  // namespace tbhost
