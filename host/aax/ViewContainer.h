#pragma once
#include <string>

#include "aax-library/AAX_IACFViewContainer.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

class CallLog;
class HostWindow;

// The host window that holds an editor: a native window the test supplies (may be null), or
// the host's own top-level window whose client area follows the plug-in's size requests, and
// a record of every size request and parameter mouse event. Like a host with no modifier
// shortcuts of its own on controls, it leaves parameter mouse events to the plug-in (a
// non-zero answer), unless told to take them as a host does for its automation clicks.
class ViewContainer final : public AAX_IACFViewContainer_V2 {
public:
  ViewContainer(CallLog& log, void* nativeWindow, int32_t type, std::string label = "view");
  // Holds the editor in `window` (an HWND container), which must outlive this object.
  ViewContainer(CallLog& log, HostWindow& window, std::string label = "view");

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  int32_t GetType() override { return mType; }
  void* GetPtr() override;
  AAX_Result GetModifiers(uint32_t* outModifiers) override;
  AAX_Result SetViewSize(AAX_Point& size) override;
  AAX_Result HandleParameterMouseDown(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseDrag(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseUp(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseEnter(AAX_CParamID parameterID, uint32_t modifiers) override;
  AAX_Result HandleParameterMouseExit(AAX_CParamID parameterID, uint32_t modifiers) override;

  AAX_Point ViewSize() const { return mSize; }
  // Whether parameter mouse events are answered AAX_SUCCESS ("the host handled it, the
  // plug-in does nothing more") from now on.
  void TakeParameterMouseEvents(bool take) { mTakesMouseEvents = take; }

private:
  AAX_Result RecordMouse(const char* name, AAX_CParamID parameterID, uint32_t modifiers);

  CallLog& mLog;
  void* mNativeWindow;
  int32_t mType;
  std::string mLabel;
  RefCount mRefs;
  AAX_Point mSize;
  HostWindow* mHostWindow = nullptr;
  bool mTakesMouseEvents = false;
};

}  // namespace aaxhost
