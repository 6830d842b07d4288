#include "host/aax/Instance.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"
#include "host/aax/EffectDescriptor.h"

namespace aaxhost {

namespace {
// Takes the first reference through QueryInterface; an object without the interface is
// released again (which deletes it).
template <typename T>
T* Acquire(IACFUnknown* object, const acfIID& iid) {
  if (!object) return nullptr;
  object->AddRef();
  void* out = nullptr;
  object->QueryInterface(iid, &out);
  object->Release();
  return static_cast<T*>(out);
}
}  // namespace

Instance::Instance(CallLog& log, AAX_CCreateObjectProc createEffect, AAX_CCreateObjectProc createGUI)
    : mLog(log), mCreateEffect(createEffect), mCreateGUI(createGUI), mController(log), mAutomation(log),
      mContext(&mController, &mAutomation, &mTransport) {}

Instance::Instance(CallLog& log, const EffectDescriptor& effect)
    : Instance(log, effect.CreateProc(kAAX_ProcPtrID_Create_EffectParameters),
               effect.CreateProc(kAAX_ProcPtrID_Create_EffectGUI)) {}

Instance::~Instance() { Destroy(); }

AAX_Result Instance::Create() { return Adopt(mCreateEffect ? mCreateEffect() : nullptr); }

AAX_Result Instance::Adopt(IACFUnknown* object) {
  Destroy();
  mEffect = Acquire<AAX_IACFEffectParameters>(object, IID_IAAXEffectParametersV1);
  if (!mEffect) return AAX_ERROR_NULL_OBJECT;
  mAutomation.SetEffect(mEffect);
  mContext.SetEffect(mEffect);
  mLog.Add({"host", "Initialize", {"effect"}});
  return mEffect->Initialize(&mContext);
}

AAX_Result Instance::CreateGUI() {
  if (mGUI) {
    mGUI->Uninitialize();
    mGUI->Release();
    mGUI = nullptr;
  }
  mGUI = Acquire<AAX_IACFEffectGUI>(mCreateGUI ? mCreateGUI() : nullptr, IID_IAAXEffectGUIV1);
  if (!mGUI) return AAX_ERROR_NULL_OBJECT;
  mLog.Add({"host", "Initialize", {"gui"}});
  return mGUI->Initialize(&mContext);
}

void Instance::Destroy() {
  if (mGUI) {
    mGUI->Uninitialize();
    mGUI->Release();
    mGUI = nullptr;
  }
  if (mEffect) {
    mEffect->Uninitialize();
    mAutomation.SetEffect(nullptr);
    mContext.SetEffect(nullptr);
    mEffect->Release();
    mEffect = nullptr;
  }
}

}  // namespace aaxhost
