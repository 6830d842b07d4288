#include <algorithm>
#include <cstring>

#include "IPlug/AAX/IPlugAAX.h"
#include "aax-library/AAX_Errors.h"

// The plug-in's state as the host's one chunk, identified by the plug-in's unique ID.
namespace iplug {

int IPlugAAX::CompleteStateSize() const {
  ByteChunk state;
  return SerializeState(state) ? state.Size() : 0;
}

AAX_Result IPlugAAX::GetNumberOfChunks(int32_t* outCount) const {
  if (!outCount) return AAX_ERROR_NULL_ARGUMENT;
  *outCount = 1;
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outID) const {
  if (!outID) return AAX_ERROR_NULL_ARGUMENT;
  if (index != 0) {
    *outID = 0;
    return AAX_ERROR_INVALID_CHUNK_INDEX;
  }
  *outID = static_cast<AAX_CTypeID>(GetUniqueID());
  return AAX_SUCCESS;
}

// The state is serialised afresh for every request: nothing is kept between the size and
// the bytes, so both always describe the current state. The size reported is remembered as
// the room the host was asked to make.
AAX_Result IPlugAAX::GetChunkSize(AAX_CTypeID id, uint32_t* outSize) const {
  if (!outSize) return AAX_ERROR_NULL_ARGUMENT;
  *outSize = 0;
  if (id != static_cast<AAX_CTypeID>(GetUniqueID())) return AAX_ERROR_INVALID_CHUNK_ID;
  ByteChunk state;
  if (!SerializeState(state)) return AAX_ERROR_INVALID_CHUNK_ID;
  *outSize = static_cast<uint32_t>(state.Size());
  mReportedChunkSize = state.Size();
  return AAX_SUCCESS;
}

// Hosts size the record from GetChunkSize; what they leave in its size field beforehand varies
// (0, the capacity, or a size from an earlier save), so the field alone must not fail a save.
AAX_Result IPlugAAX::GetChunk(AAX_CTypeID id, AAX_SPlugInChunk* chunk) const {
  if (!chunk) return AAX_ERROR_NULL_ARGUMENT;
  if (id != static_cast<AAX_CTypeID>(GetUniqueID())) return AAX_ERROR_INVALID_CHUNK_ID;
  ByteChunk state;
  if (!SerializeState(state)) return AAX_ERROR_INVALID_CHUNK_ID;
  const int room = std::max(chunk->fSize, mReportedChunkSize.Load());
  if (state.Size() > room) return AAX_ERROR_INCORRECT_CHUNK_SIZE;
  chunk->fSize = state.Size();
  chunk->fChunkID = id;
  if (state.Size() > 0) std::memcpy(chunk->fData, state.Data(), static_cast<size_t>(state.Size()));
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk* chunk) {
  if (!chunk) return AAX_ERROR_NULL_ARGUMENT;
  if (id != static_cast<AAX_CTypeID>(GetUniqueID())) return AAX_ERROR_INVALID_CHUNK_ID;
  if (chunk->fSize <= 0) return AAX_ERROR_INCORRECT_CHUNK_SIZE;

  // The record's size is the host's claim: no more is read than a complete state needs.
  if (!ApplyState(chunk->fData, chunk->fSize)) return AAX_ERROR_MALFORMED_CHUNK;

  for (int i = 0; i < NParams(); ++i) {
    if (const char* paramID = ParamID(i)) SetParameterNormalizedValue(paramID, GetParam(i)->GetNormalized());
  }
  OnStateRestored();
  ++mNumPlugInChanges;
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const {
  if (!outIsEqual) return AAX_ERROR_NULL_ARGUMENT;
  if (!chunk) return AAX_ERROR_NULL_ARGUMENT;
  if (chunk->fChunkID != static_cast<AAX_CTypeID>(GetUniqueID())) {
    *outIsEqual = 1;
    return AAX_SUCCESS;
  }
  const int size = std::clamp(chunk->fSize, 0, CompleteStateSize());
  *outIsEqual = CompareState(chunk->fData, 0, size) ? 1 : 0;
  return AAX_SUCCESS;
}

}  // namespace iplug
