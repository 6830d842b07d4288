#pragma once
#include <cstdint>
#include <functional>

namespace igraphics {

// Resources carried by the module itself. On Windows they are the module's resource section
// and the module handle is its HMODULE. Elsewhere the module carries an equivalent table
// (generated at build time) and the handle points to a ModuleResourceTable. Both are reached
// through the functions below, so the lookup rules are one piece of code.
//
// Names are stored as on Windows: upper case, with a double quote at each end as part of the
// name ("\"BG@2X.PNG\""); types are upper case ("PNG", "TTF").
struct ModuleResource {
  const char* mType;
  const char* mName;
  const unsigned char* mData;
  const unsigned char* mEnd;
};

struct ModuleResourceTable {
  const ModuleResource* mResources;
  int mCount;
};

namespace moduleresources {

// Calls func with each string name of the type (numeric identifiers are skipped) until it
// returns false. Any thread: the resources are read-only.
void EnumNames(void* module, const char* type, const std::function<bool(const char* name)>& func);
// The resource of that name and type (names and types compare without regard to case),
// or null. The result is an opaque handle for Size and Bytes.
const void* Find(void* module, const char* name, const char* type);
uint32_t Size(void* module, const void* resource);
// The bytes in place inside the module; valid while the module is loaded.
const void* Bytes(void* module, const void* resource);

}  // namespace moduleresources
}  // namespace igraphics
