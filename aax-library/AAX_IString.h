#pragma once
#include <cstdint>

// A text either side can fill: the caller owns the object, the callee sets its content.
class AAX_IString {
public:
  virtual ~AAX_IString() = default;
  virtual uint32_t Length() const = 0;     // characters, without the terminator
  virtual uint32_t MaxLength() const = 0;  // the most characters Set keeps
  virtual const char* Get() const = 0;     // never null
  virtual void Set(const char* text) = 0;  // null means empty; longer texts are cut
};
