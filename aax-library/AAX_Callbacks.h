#pragma once
// Functions the module registers with the host, and the shape of the algorithm context.
#include <cstddef>

#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// Creation functions registered with AddProcPtr. Each returns the new object's non-delegating
// unknown with a reference count of 0 (the host takes the first reference with
// QueryInterface), or null when the object could not be made.
using AAX_CCreateObjectProc = IACFUnknown* (*)();

// The render callback. The host calls it on its real-time thread with an array of context
// pointers, one per instance, from instancesBegin up to (not including) instancesEnd.
using AAX_CProcessProc = void (*)(void* const instancesBegin[], const void* instancesEnd);

// Called by the host for each new or removed instance context; 0 on success.
enum AAX_EComponentInstanceInitAction : int32_t {
  AAX_eComponentInstanceInitAction_AddingNewInstance = 0,
  AAX_eComponentInstanceInitAction_RemovingInstance = 1,
  AAX_eComponentInstanceInitAction_ResetInstance = 2
};
using AAX_CInstanceInitProc = int32_t (*)(const void* instanceContext,
                                          AAX_EComponentInstanceInitAction action);
using AAX_CBackgroundProc = int32_t (*)();

// The algorithm context is a record of pointer-sized fields; a field's index, as the component
// description registered it, is its position. What each kind of field points to:
//   audio input / output        float* const* (one 32-bit float buffer per channel)
//   buffer length               int32_t* (samples in this block)
//   clock                       AAX_CTimestamp*
//   private data                pointer to a block of the registered size, prepared by the
//                               effect's ResetFieldData
//   data-in port                pointer to the newest packet posted to the field
//   side-chain input            int32_t* (index of the side-chain channel in the input
//                               buffers; 0 when the host routes none)
//   meters                      float* (one value per meter)
//   MIDI node                   AAX_IMIDINode*
using AAX_CContextField = void*;

inline AAX_CContextField AAX_ContextField(const void* context, AAX_CFieldIndex index) {
  return static_cast<void* const*>(context)[index];
}

constexpr std::size_t AAX_FieldOffset(AAX_CFieldIndex index) {
  return static_cast<std::size_t>(index) * sizeof(void*);
}
