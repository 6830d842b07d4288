#pragma once
// The record a host and the module exchange state in. The host allocates the record with
// room for the data size the module reported; the module reads and writes the size, the
// chunk identifier and the data.
#include <cstddef>
#include <cstdint>

#include "aax-library/AAX_Types.h"

struct AAX_SPlugInChunkHeader {
  int32_t fSize;               // bytes of data that follow the header
  int32_t fVersion;
  AAX_CTypeID fManufacturerID;
  AAX_CTypeID fProductID;
  AAX_CTypeID fPlugInID;
  AAX_CTypeID fChunkID;        // byte 20
  unsigned char fName[32];
};

// The header followed by the data; the record continues for fSize bytes after fData[0].
struct AAX_SPlugInChunk {
  int32_t fSize;
  int32_t fVersion;
  AAX_CTypeID fManufacturerID;
  AAX_CTypeID fProductID;
  AAX_CTypeID fPlugInID;
  AAX_CTypeID fChunkID;
  unsigned char fName[32];
  unsigned char fData[1];  // byte 56
};

static_assert(offsetof(AAX_SPlugInChunk, fSize) == 0);
static_assert(offsetof(AAX_SPlugInChunk, fChunkID) == 20);
static_assert(offsetof(AAX_SPlugInChunk, fData) == 56);
static_assert(sizeof(AAX_SPlugInChunkHeader) == 56);

constexpr std::size_t kAAX_ChunkHeaderSize = sizeof(AAX_SPlugInChunkHeader);

// Data bytes a record claims to carry; a negative size counts as none.
inline std::size_t AAX_ChunkDataSize(const AAX_SPlugInChunk& chunk) {
  return chunk.fSize > 0 ? static_cast<std::size_t>(chunk.fSize) : 0;
}
