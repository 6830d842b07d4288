// Modules without a Windows resource section carry a ModuleResourceTable.
#ifndef _WIN32
#include <strings.h>

#include "graphics/nanovg/ModuleResources.h"

namespace igraphics::moduleresources {

namespace {

const ModuleResourceTable* Table(void* module) { return static_cast<const ModuleResourceTable*>(module); }

bool SameText(const char* a, const char* b) { return a && b && strcasecmp(a, b) == 0; }

}  // namespace

void EnumNames(void* module, const char* type, const std::function<bool(const char* name)>& func) {
  const ModuleResourceTable* table = Table(module);
  if (!table || !type) return;
  for (int i = 0; i < table->mCount; ++i) {
    const ModuleResource& r = table->mResources[i];
    if (SameText(r.mType, type) && r.mName && !func(r.mName)) return;
  }
}

const void* Find(void* module, const char* name, const char* type) {
  const ModuleResourceTable* table = Table(module);
  if (!table || !name || !type) return nullptr;
  for (int i = 0; i < table->mCount; ++i) {
    const ModuleResource& r = table->mResources[i];
    if (SameText(r.mType, type) && SameText(r.mName, name)) return &r;
  }
  return nullptr;
}

uint32_t Size(void*, const void* resource) {
  auto r = static_cast<const ModuleResource*>(resource);
  return r && r->mData && r->mEnd > r->mData ? static_cast<uint32_t>(r->mEnd - r->mData) : 0;
}

const void* Bytes(void*, const void* resource) {
  auto r = static_cast<const ModuleResource*>(resource);
  return r ? r->mData : nullptr;
}

}  // namespace igraphics::moduleresources
#endif
