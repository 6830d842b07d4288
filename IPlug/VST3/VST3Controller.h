#pragma once
#include <memory>
#include <vector>

#include "IPlug/VST3/VST3ClassIDs.h"
#include "IPlug/VST3/VST3EditorPeer.h"
#include "IPlug/VST3/VST3Object.h"

namespace iplug {

class IPlugVST3;
class VST3Component;
class VST3View;

// The edit-controller half of the plug-in: the parameters a host lists (VST3ParamTable), their
// texts and values, the editor's view, and the controller's state (the editor's geometry)
// over an IPlugVST3 instance of its own that never processes. The component's state reaches
// it through setComponentState. Editor gestures go to the host's component handler as
// begin, perform and end edits, in that order. The component is joined to it through the
// connection points (or made it, on a host's query): a latency the processing reports is
// then turned into the host's restart with the latency flag, on this thread, never on the
// audio thread.
//
// The host owns it through the reference count. Threads: the host's UI thread for every call.
class VST3Controller final : public VST3EditorPeer {
public:
  // Host main thread. Null when the product made no instance.
  static VST3Controller* Make(const VST3ClassIDs& ids);
  ~VST3Controller() override;

  void* Query(const v3_tuid iid);
  uint32_t Ref() { return mRefs.Ref(); }
  uint32_t Unref();

  IPlugVST3& Plug() { return *mPlug; }
  void Link(VST3Component* component) { mLinked = component; }
  // UI thread. Asks the host for a restart when the linked component's latency changed.
  void PollComponent();
  // UI thread. The view tells when it opens and closes.
  void SetView(VST3View* view) { mView = view; }

  // What the interface tables call (VST3Controller.cpp).
  v3_result Initialize(v3_funknown** context);
  v3_result Terminate();
  v3_result SetComponentState(v3_bstream** stream);
  v3_result SetState(v3_bstream** stream);
  v3_result GetState(v3_bstream** stream);
  double GetParamNormalized(v3_param_id id);
  v3_result SetParamNormalized(v3_param_id id, double normalized);
  v3_result SetComponentHandler(v3_component_handler** handler);
  void* CreateView(const char* name);
  v3_result Connect(v3_connection_point** other);
  v3_result Disconnect(v3_connection_point** other);
  v3_result Notify(v3_message** message);

  // ---- VST3EditorPeer ----
  void BeginEdit(int paramIdx) override;
  void PerformEdit(int paramIdx, double normalized) override;
  void EndEdit(int paramIdx) override;
  bool EditorResized(int width, int height) override;
  void OnEditorTick() override { PollComponent(); }

private:
  explicit VST3Controller(const VST3ClassIDs& ids);

  VST3RefCount mRefs;
  VST3ClassIDs mIDs;
  VST3Slot<VST3Controller> mController;
  VST3Slot<VST3Controller> mConnection;
  std::unique_ptr<IPlugVST3> mPlug;
  v3_funknown** mContext = nullptr;
  v3_component_handler** mHandler = nullptr;
  v3_connection_point** mPeer = nullptr;
  VST3Component* mLinked = nullptr;
  VST3View* mView = nullptr;
  std::vector<double> mMeterValues;  // normalised, as the host last handed them over

  friend class VST3Component;
};

// The table behind the controller's connection point, by which a component knows a controller
// of this bundle from a host's proxy.
const void* VST3ControllerConnectionTable();

}  // namespace iplug
