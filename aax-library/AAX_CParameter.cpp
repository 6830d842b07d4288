#include "aax-library/AAX_CParameter.h"

// The value types parameters come in; instantiated here once so that every member compiles.
template class AAX_CParameter<bool>;
template class AAX_CParameter<int32_t>;
template class AAX_CParameter<float>;
template class AAX_CParameter<double>;
