#include <gtest/gtest.h>

#include "TestDescription.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/CACFUnknown.h"
#include "host/aax/Host.h"

namespace {
constexpr acfIID kProbeIID = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

class IProbe : public IACFUnknown {
public:
  virtual int Value() = 0;

protected:
  ~IProbe() = default;
};

class Probe : public IProbe, public CACFUnknown {
public:
  explicit Probe(IACFUnknown* outer = nullptr, bool* deleted = nullptr) : CACFUnknown(outer), mDeleted(deleted) {}
  ~Probe() override {
    if (mDeleted) *mDeleted = true;
  }
  AAX_DECLARE_DELEGATING_UNKNOWN()
  ACFRESULT InternalQueryInterface(const acfIID& iid, void** out) override {
    if (out && iid == kProbeIID) {
      *out = static_cast<IProbe*>(this);
      AddRef();
      return ACF_OK;
    }
    return CACFUnknown::InternalQueryInterface(iid, out);
  }
  void FinalRelease() override { ++finalReleases; }
  int Value() override { return 42; }
  int finalReleases = 0;

private:
  bool* mDeleted;
};

// An outer object that counts what its aggregated inner object forwards to it.
class Outer : public IACFUnknown {
public:
  ACFRESULT QueryInterface(const acfIID&, void** out) override {
    ++queries;
    if (out) *out = nullptr;
    return ACF_E_NOINTERFACE;
  }
  acfUInt32 AddRef() override { return static_cast<acfUInt32>(++references); }
  acfUInt32 Release() override { return static_cast<acfUInt32>(--references); }
  int queries = 0;
  int references = 0;
};
}  // namespace

TEST(CACFUnknown, ReferenceCountingDeletesOnLastRelease) {
  const int32_t before = CACFUnknown::GetActiveObjectCount();
  bool deleted = false;
  auto* probe = new Probe(nullptr, &deleted);
  EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before + 1);
  EXPECT_EQ(probe->ReferenceCount(), 0);

  IACFUnknown* inner = probe->GetPrivateUnknown();
  void* out = nullptr;
  ASSERT_EQ(inner->QueryInterface(kProbeIID, &out), ACF_OK);
  auto* interface = static_cast<IProbe*>(out);
  EXPECT_EQ(interface->Value(), 42);
  EXPECT_EQ(interface->AddRef(), 2u);
  EXPECT_EQ(interface->Release(), 1u);
  EXPECT_FALSE(deleted);
  EXPECT_EQ(interface->Release(), 0u);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(CACFUnknown::GetActiveObjectCount(), before);
}

TEST(CACFUnknown, QueryAnswersInnerUnknownAndRefusesOthers) {
  auto* probe = new Probe;
  IACFUnknown* inner = probe->GetPrivateUnknown();
  void* out = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IACFUnknown, &out), ACF_OK);
  EXPECT_EQ(out, inner);
  EXPECT_EQ(probe->ReferenceCount(), 1);

  out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(inner->QueryInterface(IID_IAAXEffectGUIV1, &out), static_cast<ACFRESULT>(0x80000004u));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(inner->QueryInterface(kProbeIID, nullptr), ACF_E_POINTER);
  EXPECT_EQ(probe->ReferenceCount(), 1);
  inner->Release();
}

namespace {
// Records, at deletion time, whether the final-release hook had run.
class HookedProbe : public Probe {
public:
  explicit HookedProbe(int* hookRunsAtDeletion) : mHookRunsAtDeletion(hookRunsAtDeletion) {}
  ~HookedProbe() override { *mHookRunsAtDeletion = finalReleases; }

private:
  int* mHookRunsAtDeletion;
};
}  // namespace

TEST(CACFUnknown, FinalReleaseHookRunsOnceBeforeDeletion) {
  int hookRunsAtDeletion = -1;
  auto* probe = new HookedProbe(&hookRunsAtDeletion);
  probe->GetPrivateUnknown()->AddRef();
  probe->GetPrivateUnknown()->AddRef();
  probe->GetPrivateUnknown()->Release();
  EXPECT_EQ(probe->finalReleases, 0);
  probe->GetPrivateUnknown()->Release();
  EXPECT_EQ(hookRunsAtDeletion, 1);
}

TEST(CACFUnknown, AggregatedObjectForwardsToItsOuter) {
  Outer outer;
  auto* probe = new Probe(&outer);
  void* out = nullptr;
  ASSERT_EQ(probe->GetPrivateUnknown()->QueryInterface(kProbeIID, &out), ACF_OK);
  auto* interface = static_cast<IProbe*>(out);
  // The interface's own AddRef went to the outer object, not to the inner count.
  EXPECT_EQ(outer.references, 1);
  EXPECT_EQ(probe->ReferenceCount(), 0);
  void* other = nullptr;
  interface->QueryInterface(kProbeIID, &other);
  EXPECT_EQ(outer.queries, 1);
  interface->Release();
  EXPECT_EQ(outer.references, 0);
  // The outer owns the inner through the non-delegating unknown.
  probe->GetPrivateUnknown()->AddRef();
  probe->GetPrivateUnknown()->Release();
}

TEST(CACFUnknown, ReleaseWithoutReferenceIsRefusedAndReported) {
  aaxhost::Host host;
  aaxtest::HostServicesScope services(host);
  bool deleted = false;
  auto* probe = new Probe(nullptr, &deleted);
  IACFUnknown* inner = probe->GetPrivateUnknown();
  inner->AddRef();
  EXPECT_EQ(inner->Release(), 0u);
  ASSERT_TRUE(deleted);

  bool deletedToo = false;
  auto* second = new Probe(nullptr, &deletedToo);
  EXPECT_EQ(second->GetPrivateUnknown()->Release(), 0u);  // count was 0: nothing happens
  EXPECT_FALSE(deletedToo);
  ASSERT_EQ(host.Services().Asserts().size(), 1u);
  EXPECT_EQ(host.Services().Asserts()[0].note, "0 < current");
  second->GetPrivateUnknown()->AddRef();
  second->GetPrivateUnknown()->Release();
  EXPECT_TRUE(deletedToo);
}
