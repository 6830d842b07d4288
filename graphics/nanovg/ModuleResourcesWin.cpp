// The module's Windows resource section.
#ifdef _WIN32
#include <windows.h>

#include "graphics/nanovg/ModuleResources.h"

namespace igraphics::moduleresources {

namespace {

using NameFunc = std::function<bool(const char* name)>;

BOOL CALLBACK OnResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  if (IS_INTRESOURCE(name)) return TRUE;  // numeric identifiers never match a file name
  return (*reinterpret_cast<const NameFunc*>(param))(name) ? TRUE : FALSE;
}

}  // namespace

void EnumNames(void* module, const char* type, const NameFunc& func) {
  if (!module || !type) return;
  EnumResourceNamesA(static_cast<HMODULE>(module), type, &OnResourceName, reinterpret_cast<LONG_PTR>(&func));
}

const void* Find(void* module, const char* name, const char* type) {
  if (!module || !name || !type) return nullptr;
  return FindResourceA(static_cast<HMODULE>(module), name, type);
}

uint32_t Size(void* module, const void* resource) {
  if (!module || !resource) return 0;
  return SizeofResource(static_cast<HMODULE>(module), static_cast<HRSRC>(const_cast<void*>(resource)));
}

const void* Bytes(void* module, const void* resource) {
  if (!module || !resource) return nullptr;
  HGLOBAL loaded = LoadResource(static_cast<HMODULE>(module), static_cast<HRSRC>(const_cast<void*>(resource)));
  return loaded ? LockResource(loaded) : nullptr;
}

}  // namespace igraphics::moduleresources
#endif
