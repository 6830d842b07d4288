#include "aax-library/CACFUnknown.h"

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_UIDs.h"

namespace {
std::atomic<int32_t> gActiveObjects{0};
}

CACFUnknown::CACFUnknown(IACFUnknown* outerUnknown)
    : mOuterUnknown(outerUnknown ? outerUnknown : &mPrivateUnknown), mPrivateUnknown(this) {
  gActiveObjects.fetch_add(1, std::memory_order_acq_rel);
}

CACFUnknown::~CACFUnknown() { gActiveObjects.fetch_sub(1, std::memory_order_acq_rel); }

ACFRESULT CACFUnknown::InternalQueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid == IID_IACFUnknown) {
    *out = &mPrivateUnknown;
    mPrivateUnknown.AddRef();
    return ACF_OK;
  }
  return ACF_E_NOINTERFACE;
}

acfUInt32 CACFUnknown::InternalAddRef() {
  return static_cast<acfUInt32>(mRefCount.fetch_add(1, std::memory_order_acq_rel) + 1);
}

acfUInt32 CACFUnknown::InternalRelease() {
  // A release without a matching reference would drive the count negative and later free the
  // object twice; it is refused and reported instead.
  int32_t current = mRefCount.load(std::memory_order_acquire);
  do {
    if (current <= 0) {
      AAX_ASSERT(0 < current);
      return 0;
    }
  } while (!mRefCount.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel));
  const int32_t count = current - 1;
  if (count == 0) {
    FinalRelease();
    DeleteThis();
  }
  return static_cast<acfUInt32>(count);
}

int32_t CACFUnknown::GetActiveObjectCount() { return gActiveObjects.load(std::memory_order_acquire); }
