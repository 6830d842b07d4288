#pragma once
#include <cstdint>
#include <string>

#include "aax-library/AAX_Callbacks.h"
#include "aax-library/AAX_IACFEffectGUI.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "host/aax/AutomationDelegate.h"
#include "host/aax/Controller.h"
#include "host/aax/HostContext.h"
#include "host/aax/Transport.h"

namespace aaxhost {

class CallLog;
class EffectDescriptor;

// One plug-in instance as a host holds it: the effect-parameters object (and optionally the
// GUI object) made by the registered creation functions, with its own controller, automation
// delegate, transport and host context. Host main thread.
class Instance {
public:
  Instance(CallLog& log, AAX_CCreateObjectProc createEffect, AAX_CCreateObjectProc createGUI = nullptr);
  // Takes the creation functions the description registered on an effect.
  Instance(CallLog& log, const EffectDescriptor& effect);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Makes the effect-parameters object and initialises it: AAX_ERROR_NULL_OBJECT when the
  // creation function gives nothing or an object without the effect-parameters interface;
  // otherwise Initialize's result.
  AAX_Result Create();
  // The same for an object the caller made (its non-delegating unknown, reference count 0).
  AAX_Result Adopt(IACFUnknown* object);
  AAX_Result CreateGUI();
  // Uninitialises and releases the GUI and effect objects (also done by the destructor).
  void Destroy();

  AAX_IACFEffectParameters* Effect() const { return mEffect; }
  AAX_IACFEffectGUI* GUI() const { return mGUI; }
  Controller& GetController() { return mController; }
  AutomationDelegate& Automation() { return mAutomation; }
  Transport& GetTransport() { return mTransport; }
  HostContext& Context() { return mContext; }

private:
  CallLog& mLog;
  AAX_CCreateObjectProc mCreateEffect = nullptr;
  AAX_CCreateObjectProc mCreateGUI = nullptr;
  Controller mController;
  AutomationDelegate mAutomation;
  Transport mTransport;
  HostContext mContext;
  AAX_IACFEffectParameters* mEffect = nullptr;
  AAX_IACFEffectGUI* mGUI = nullptr;
};

}  // namespace aaxhost
