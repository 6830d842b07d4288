#pragma once
#include <cstdint>
#include <memory>

#include "IPlug/VST3/VST3ClassIDs.h"
#include "IPlug/VST3/VST3Object.h"

namespace iplug {

class IPlugVST3;
class VST3Controller;

// The processing half of the plug-in a VST3 host makes from the factory: the component and
// audio-processor interfaces over one IPlugVST3 instance, and a connection point through which
// the host joins it to its controller. Buses: the main input and output (mono or stereo, as an
// insert of the plug-in's channel configurations allows) and, when the plug-in has a side
// chain, an auxiliary mono input, inactive until the host activates it; then it is the key.
// A host that asks the component itself for the controller interface gets a controller made
// for this component.
//
// The host owns it through the reference count. Threads: Process() on the audio thread, every
// other call on the host's main thread.
class VST3Component {
public:
  // Host main thread. Null when the product made no instance.
  static VST3Component* Make(const VST3ClassIDs& ids);
  ~VST3Component();

  // The interface a host asks for, with a reference; null for one the component lacks.
  void* Query(const v3_tuid iid);
  uint32_t Ref() { return mRefs.Ref(); }
  uint32_t Unref();

  IPlugVST3& Plug() { return *mPlug; }
  const VST3ClassIDs& ClassIDs() const { return mIDs; }
  // Host main thread. The controller the host joined to this component (null when none).
  VST3Controller* LinkedController() const { return mLinked; }
  void Link(VST3Controller* controller) { mLinked = controller; }
  void Unlink(VST3Controller* controller) {
    if (mLinked == controller) mLinked = nullptr;
  }

  // What the interface tables call (VST3Component.cpp).
  v3_result Initialize(v3_funknown** context);
  v3_result Terminate();
  int32_t BusCount(int32_t mediaType, int32_t direction) const;
  v3_result BusInfo(int32_t mediaType, int32_t direction, int32_t idx, v3_bus_info& info) const;
  v3_result ActivateBus(int32_t mediaType, int32_t direction, int32_t idx, bool active);
  v3_result SetState(v3_bstream** stream);
  v3_result GetState(v3_bstream** stream);
  v3_result SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t nIn, const v3_speaker_arrangement* outputs,
                               int32_t nOut);
  v3_result BusArrangement(int32_t direction, int32_t idx, v3_speaker_arrangement& arrangement) const;
  v3_result Connect(v3_connection_point** other);
  v3_result Disconnect(v3_connection_point** other);

private:
  // Host main thread. Tells a controller behind a host's proxy which component it serves.
  void SendLink(v3_connection_point** other);

  explicit VST3Component(const VST3ClassIDs& ids);

  VST3RefCount mRefs;
  VST3ClassIDs mIDs;
  VST3Slot<VST3Component> mComponent;
  VST3Slot<VST3Component> mProcessor;
  VST3Slot<VST3Component> mConnection;
  std::unique_ptr<IPlugVST3> mPlug;
  v3_funknown** mContext = nullptr;
  v3_connection_point** mPeer = nullptr;
  VST3Controller* mLinked = nullptr;
  VST3Controller* mOwnController = nullptr;  // made on a host's query; one reference held
};

// What a component tells a controller it is connected to through a host's proxy, in a message
// with this id and the link as its binary attribute: the two are then joined as when connected
// directly, provided they live in the same process.
struct VST3ComponentLink {
  static constexpr const char* kMessageID = "TollenbrookComponentLink";
  static constexpr const char* kAttribute = "link";
  static constexpr uint32_t kMagic = 0x544C4B4C;  // "TLKL"
  uint32_t mMagic = kMagic;
  uint64_t mProcess = 0;
  VST3Component* mComponent = nullptr;

  static uint64_t ThisProcess();
};

// The table behind the component's connection point, by which a controller knows a component
// of this bundle from a host's proxy.
const void* VST3ComponentConnectionTable();

}  // namespace iplug
