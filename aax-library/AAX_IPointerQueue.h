#pragma once
#include "aax-library/AAX_IContainer.h"

// A first-in, first-out queue of pointers it does not own.
template <typename T>
class AAX_IPointerQueue : public AAX_IContainer {
public:
  virtual EStatus Push(T* element) = 0;
  virtual T* Pop() = 0;          // null when empty
  virtual T* Peek() const = 0;   // the next element without removing it; null when empty
};
