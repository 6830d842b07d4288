#include "host/aax/HostContext.h"

#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/AutomationDelegate.h"
#include "host/aax/Controller.h"
#include "host/aax/Transport.h"

namespace aaxhost {

ACFRESULT HostContext::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid == IID_IACFUnknown) {
    *out = static_cast<IACFUnknown*>(this);
    AddRef();
    return ACF_OK;
  }
  if (iid == IID_IAAXControllerV1 && mController) return mController->QueryInterface(iid, out);
  if (iid == IID_IAAXAutomationDelegateV1 && mAutomation) return mAutomation->QueryInterface(iid, out);
  if (iid == IID_IAAXTransportV1 && mTransport) return mTransport->QueryInterface(iid, out);
  if (iid == IID_IAAXEffectParametersV1 && mEffect) return mEffect->QueryInterface(iid, out);
  return ACF_E_NOINTERFACE;
}

}  // namespace aaxhost
