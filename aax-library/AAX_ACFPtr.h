#pragma once
#include <utility>

#include "aax-library/ACFModel.h"

// Holds one reference to a host interface and releases it when dropped.
template <typename T>
class AAX_ACFPtr {
public:
  AAX_ACFPtr() = default;
  ~AAX_ACFPtr() { Reset(); }
  AAX_ACFPtr(const AAX_ACFPtr&) = delete;
  AAX_ACFPtr& operator=(const AAX_ACFPtr&) = delete;
  AAX_ACFPtr(AAX_ACFPtr&& other) noexcept : mPtr(std::exchange(other.mPtr, nullptr)) {}
  AAX_ACFPtr& operator=(AAX_ACFPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      mPtr = std::exchange(other.mPtr, nullptr);
    }
    return *this;
  }

  // Queries `from` for iid; stays empty when from is null or lacks the interface.
  static AAX_ACFPtr Query(IACFUnknown* from, const acfIID& iid) {
    AAX_ACFPtr result;
    void* out = nullptr;
    if (from && from->QueryInterface(iid, &out) == ACF_OK) result.mPtr = static_cast<T*>(out);
    return result;
  }
  // Asks a component factory for a new object of class clsid and its interface iid.
  static AAX_ACFPtr Create(IACFComponentFactory* factory, const acfCLSID& clsid, const acfIID& iid) {
    AAX_ACFPtr result;
    void* out = nullptr;
    if (factory && factory->CreateComponent(nullptr, clsid, iid, &out) == ACF_OK) {
      result.mPtr = static_cast<T*>(out);
    }
    return result;
  }
  // Takes an extra reference on an interface the caller holds.
  static AAX_ACFPtr Share(T* p) {
    AAX_ACFPtr result;
    result.mPtr = p;
    if (p) p->AddRef();
    return result;
  }

  void Reset() {
    if (mPtr) mPtr->Release();
    mPtr = nullptr;
  }
  T* Get() const { return mPtr; }
  T* operator->() const { return mPtr; }
  explicit operator bool() const { return mPtr != nullptr; }

private:
  T* mPtr = nullptr;
};
