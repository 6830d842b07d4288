#pragma once

// Base of the library's containers and their status codes.
class AAX_IContainer {
public:
  enum EStatus {
    eStatus_Success = 0,
    eStatus_Overflow = 1,       // no room for the element
    eStatus_NotInitialized = 2,
    eStatus_Unavailable = 3,
    eStatus_Unsupported = 4     // e.g. a null element
  };

  virtual ~AAX_IContainer() = default;
  virtual void Clear() = 0;
};
