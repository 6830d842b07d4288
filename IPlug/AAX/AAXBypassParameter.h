#pragma once
#include <atomic>

#include "aax-library/AAX_CBinaryDisplayDelegate.h"
#include "aax-library/AAX_CBinaryTaperDelegate.h"
#include "aax-library/AAX_CParameter.h"

namespace iplug {

// The master bypass as a host parameter that is also the render path's one source of truth:
// every change of its value, whichever road it takes (the host's answer, a set-value request
// applied without a host, a reset to the default, a value from text, a new taper), passes
// through UpdateNormalizedValue, which publishes the value to the flag the render path reads.
// Host threads write; the render thread reads the flag only (acquire), never the parameter.
class AAXBypassParameter final : public AAX_CParameter<bool> {
public:
  // Host main thread. `published` must stay valid while the parameter's value can change;
  // the parameter never touches it from its destructor (the plug-in's members may be gone).
  AAXBypassParameter(AAX_CParamID identifier, std::atomic<bool>& published)
      : AAX_CParameter<bool>(identifier, AAX_CString("Master Bypass"), false, AAX_CBinaryTaperDelegate<bool>(),
                             AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true),
        mPublished(published) {
    SetNumberOfSteps(2);
    SetType(AAX_eParameterType_Discrete);
    Publish();  // the base constructor set the default before this object existed
  }

  // Host non-real-time thread.
  void UpdateNormalizedValue(double normalizedValue) override {
    AAX_CParameter<bool>::UpdateNormalizedValue(normalizedValue);
    Publish();
  }

private:
  void Publish() { mPublished.store(GetValue(), std::memory_order_release); }

  std::atomic<bool>& mPublished;
};

}  // namespace iplug
