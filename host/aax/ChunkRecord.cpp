#include "host/aax/ChunkRecord.h"

#include <algorithm>
#include <cstring>

#include "aax-library/AAX_Errors.h"

namespace aaxhost {

ChunkRecord::ChunkRecord(std::size_t dataCapacity)
    : mCapacity(dataCapacity), mStorage((kAAX_ChunkHeaderSize + dataCapacity + 7) / 8 + 1, 0) {
  Get()->fSize = static_cast<int32_t>(dataCapacity);
}

ChunkRecord ChunkRecord::WithData(AAX_CTypeID chunkID, const void* data, std::size_t size) {
  ChunkRecord record(size);
  record.Get()->fChunkID = chunkID;
  if (size) std::memcpy(record.Get()->fData, data, size);
  return record;
}

std::vector<unsigned char> ChunkRecord::Data() const {
  const std::size_t size = std::min(AAX_ChunkDataSize(*Get()), mCapacity);
  const unsigned char* bytes = Get()->fData;
  return std::vector<unsigned char>(bytes, bytes + size);
}

AAX_Result ReadChunk(const AAX_IACFEffectParameters& effect, AAX_CTypeID chunkID, ChunkRecord* out) {
  if (!out) return AAX_ERROR_NULL_ARGUMENT;
  uint32_t size = 0;
  if (const AAX_Result result = effect.GetChunkSize(chunkID, &size); result != AAX_SUCCESS) return result;
  ChunkRecord record(size);
  record.Get()->fChunkID = chunkID;
  const AAX_Result result = effect.GetChunk(chunkID, record.Get());
  if (result == AAX_SUCCESS) *out = std::move(record);
  return result;
}

}  // namespace aaxhost
