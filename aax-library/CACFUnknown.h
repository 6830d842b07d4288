#pragma once
#include <atomic>
#include <cstdint>

#include "aax-library/ACFModel.h"

// Base of every reference-counted object the module hands to a host. An object has an inner
// (non-delegating) unknown; its interfaces forward QueryInterface, AddRef and Release to the
// outer unknown, which is the inner one unless another object aggregates this one.
// Every construction counts one live object of the module, every destruction one less.
class CACFUnknown {
public:
  explicit CACFUnknown(IACFUnknown* outerUnknown = nullptr);
  virtual ~CACFUnknown();
  CACFUnknown(const CACFUnknown&) = delete;
  CACFUnknown& operator=(const CACFUnknown&) = delete;

  // Any thread. The non-delegating operations the inner unknown calls. Derived classes extend
  // InternalQueryInterface with their interfaces and fall back to this one.
  virtual ACFRESULT InternalQueryInterface(const acfIID& iid, void** out);
  virtual acfUInt32 InternalAddRef();
  virtual acfUInt32 InternalRelease();
  // Runs when the count reaches 0, before the object is deleted.
  virtual void FinalRelease() {}
  // Deletes the object after its last release.
  virtual void DeleteThis() { delete this; }

  IACFUnknown* GetOuterUnknown() const { return mOuterUnknown; }
  IACFUnknown* GetPrivateUnknown() { return &mPrivateUnknown; }
  int32_t ReferenceCount() const { return mRefCount.load(std::memory_order_acquire); }

  // Any thread. Objects alive in this module (0 means the module may be unloaded).
  static int32_t GetActiveObjectCount();

private:
  class PrivateUnknown : public IACFUnknown {
  public:
    explicit PrivateUnknown(CACFUnknown* owner) : mOwner(owner) {}
    ACFRESULT QueryInterface(const acfIID& iid, void** out) override {
      return mOwner->InternalQueryInterface(iid, out);
    }
    acfUInt32 AddRef() override { return mOwner->InternalAddRef(); }
    acfUInt32 Release() override { return mOwner->InternalRelease(); }

  private:
    CACFUnknown* mOwner;
  };

  std::atomic<int32_t> mRefCount{0};
  IACFUnknown* mOuterUnknown;
  PrivateUnknown mPrivateUnknown;
};

// Gives a class that derives from CACFUnknown and from IACFUnknown-based interfaces the three
// delegating operations.
#define AAX_DECLARE_DELEGATING_UNKNOWN()                                    \
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override {        \
    return GetOuterUnknown()->QueryInterface(iid, out);                     \
  }                                                                         \
  acfUInt32 AddRef() override { return GetOuterUnknown()->AddRef(); }       \
  acfUInt32 Release() override { return GetOuterUnknown()->Release(); }
