#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

namespace iplug {

// The data of the host feature named `uri`, or null when the host did not offer it.
// Thread: wherever the host instantiates (a plug-in or its user interface).
inline const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  return nullptr;
}

}  // namespace iplug
