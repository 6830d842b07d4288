#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "IPlug/LV2/IPlugLV2.h"

// The plug-in's state as one LV2 state property: the complete state bytes (the product's
// SerializeState) under the plug-in's state key, typed atom:Chunk.
namespace iplug {

LV2_State_Status IPlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!store) return LV2_STATE_ERR_UNKNOWN;
  if (!mUrids.Valid()) return LV2_STATE_ERR_NO_FEATURE;
  TakeEditorZoom();
  ByteChunk state;
  if (!SerializeState(state)) return LV2_STATE_ERR_UNKNOWN;
  // Plain little-endian bytes, the same on every machine the plug-in runs on: portable. Hosts
  // (lilv) hand a restored property back as POD and portable and compare the flags too, so
  // any other flags would make an unchanged plug-in's state differ after a reload.
  static_assert(std::endian::native == std::endian::little, "the state's bytes are little-endian");
  return store(handle, mUrids.mStateKey, state.Data(), static_cast<size_t>(state.Size()), mUrids.mChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  if (!mUrids.Valid()) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, mUrids.mStateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mUrids.mChunk) return LV2_STATE_ERR_BAD_TYPE;

  if (!ApplyState(data, static_cast<int>(std::min<size_t>(size, std::numeric_limits<int>::max()))))
    return LV2_STATE_ERR_UNKNOWN;
  OnStateRestored();
  // The state wins over the controls as they stand: a control counts as a change again only
  // when the host moves it (as a host does when it sets the controls saved with the state).
  for (size_t i = 0; i < mParamPorts.size(); ++i)
    if (mParamPorts[i]) mLastParamValues[i] = *mParamPorts[i];
  mEditorZoomTaken = mEditorZoom.load(std::memory_order_relaxed);
  return LV2_STATE_SUCCESS;
}

}  // namespace iplug
