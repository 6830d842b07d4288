#pragma once
#include <string>

#include "aax-library/ACFModel.h"
#include "host/aax/RefCount.h"

class AAX_IACFEffectParameters;

namespace aaxhost {

class AutomationDelegate;
class Controller;
class Transport;

// What an instance's Initialize receives: answers the controller, automation-delegate and
// transport interfaces, and (for the GUI object) the instance's effect parameters. Each can be
// withheld to see how a module copes with a host that lacks it.
class HostContext : public IACFUnknown {
public:
  HostContext(Controller* controller, AutomationDelegate* automation, Transport* transport)
      : mController(controller), mAutomation(automation), mTransport(transport) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()

  void SetEffect(AAX_IACFEffectParameters* effect) { mEffect = effect; }
  void WithholdController() { mController = nullptr; }
  void WithholdAutomation() { mAutomation = nullptr; }
  void WithholdTransport() { mTransport = nullptr; }

private:
  RefCount mRefs;
  Controller* mController;
  AutomationDelegate* mAutomation;
  Transport* mTransport;
  AAX_IACFEffectParameters* mEffect = nullptr;
};

}  // namespace aaxhost
