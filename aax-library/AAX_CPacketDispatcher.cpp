#include "aax-library/AAX_CPacketDispatcher.h"

#include <string_view>
#include <utility>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_IController.h"

void AAX_CPacketDispatcher::Initialize(AAX_IController* controller, AAX_IEffectParameters* owner) {
  AAX_StLock_Guard guard(mLock);
  mController = controller;
  mOwner = owner;
}

AAX_Result AAX_CPacketDispatcher::RegisterPacket(AAX_CParamID identifier, AAX_CFieldIndex fieldIndex,
                                                 Handler handler) {
  if (!identifier || !handler) return AAX_ERROR_NULL_ARGUMENT;
  AAX_StLock_Guard guard(mLock);
  mPackets.emplace(identifier, Entry{AAX_CPacket(fieldIndex), std::move(handler), true});
  return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::SetDirty(AAX_CParamID identifier, bool dirty) {
  if (!identifier) return AAX_SUCCESS;
  AAX_StLock_Guard guard(mLock);
  auto [first, last] = mPackets.equal_range(std::string_view(identifier));
  for (auto entry = first; entry != last; ++entry) entry->second.dirty = dirty;
  return AAX_SUCCESS;
}

AAX_Result AAX_CPacketDispatcher::Dispatch() {
  AAX_StLock_Guard guard(mLock);
  AAX_Result firstError = AAX_SUCCESS;
  for (auto& [identifier, entry] : mPackets) {
    if (!entry.dirty) continue;
    AAX_Result result = entry.handler(identifier.c_str(), entry.packet);
    if (result == AAX_SUCCESS) {
      result = mController ? mController->PostPacket(entry.packet.FieldIndex(), entry.packet.Data(),
                                                     entry.packet.Size())
                           : AAX_ERROR_NULL_OBJECT;
    }
    if (result == AAX_SUCCESS) entry.dirty = false;
    if (firstError == AAX_SUCCESS) firstError = result;
  }
  return firstError;
}
