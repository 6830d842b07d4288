#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_SPlugInChunk.h"

namespace aaxhost {

// A chunk record with room for a given number of data bytes, as a host allocates it for
// GetChunk and hands it to SetChunk and CompareActiveChunk.
class ChunkRecord {
public:
  explicit ChunkRecord(std::size_t dataCapacity = 0);
  static ChunkRecord WithData(AAX_CTypeID chunkID, const void* data, std::size_t size);

  AAX_SPlugInChunk* Get() { return reinterpret_cast<AAX_SPlugInChunk*>(mStorage.data()); }
  const AAX_SPlugInChunk* Get() const { return reinterpret_cast<const AAX_SPlugInChunk*>(mStorage.data()); }
  std::size_t Capacity() const { return mCapacity; }
  // The data bytes the record declares, never beyond its capacity.
  std::vector<unsigned char> Data() const;
  // A size that disagrees with the bytes held, for tests of a module's checks.
  void SetDeclaredSize(int32_t size) { Get()->fSize = size; }

private:
  std::size_t mCapacity;
  std::vector<uint64_t> mStorage;  // 8-byte aligned
};

// Asks an effect for a chunk the way a host saves a project: its size, then its bytes.
AAX_Result ReadChunk(const AAX_IACFEffectParameters& effect, AAX_CTypeID chunkID, ChunkRecord* out);

}  // namespace aaxhost
