#pragma once
// The component model every object that crosses the module boundary follows.
//
// Binary form: interfaces are C++ classes whose only members are pure virtual functions,
// declared without a virtual destructor, so the table of a class holds exactly the listed
// functions in the listed order (on top of its base's). Both sides are built with the same
// compiler family (g++ on Linux, mingw-w64 g++ for Windows x64), which fixes the table layout
// and the calling convention. Objects are never deleted through an interface: the last
// Release does that inside the side that created the object.
#include <cstdint>

using ACFRESULT = int32_t;
using acfUInt32 = uint32_t;
using acfUInt64 = uint64_t;

constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<int32_t>(0x80000004u);
constexpr ACFRESULT ACF_E_POINTER = static_cast<int32_t>(0x80004003u);
constexpr ACFRESULT ACF_E_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);
constexpr ACFRESULT ACF_E_UNEXPECTED = static_cast<int32_t>(0x8000FFFFu);
constexpr ACFRESULT ACF_E_CLASSNOTREG = static_cast<int32_t>(0x80040154u);

// 128-bit interface and class identifier, laid out like a Windows GUID.
struct acfIID {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
using acfCLSID = acfIID;

constexpr bool operator==(const acfIID& a, const acfIID& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}
constexpr bool operator!=(const acfIID& a, const acfIID& b) { return !(a == b); }

// The root of every interface: identity, and lifetime by reference count.
class IACFUnknown {
public:
  // Any thread. On success *out holds the interface with one reference added; otherwise
  // *out is null and the result is ACF_E_NOINTERFACE (ACF_E_POINTER when out is null).
  virtual ACFRESULT QueryInterface(const acfIID& iid, void** out) = 0;
  // Any thread. Return the new count.
  virtual acfUInt32 AddRef() = 0;
  virtual acfUInt32 Release() = 0;

protected:
  ~IACFUnknown() = default;
};

// Creates the objects a host offers by class identifier (collection, descriptors, property
// maps, host services).
class IACFComponentFactory : public IACFUnknown {
public:
  // Host main thread. outer is the aggregating object or null; on success *out holds the
  // interface iid of a new object with one reference.
  virtual ACFRESULT CreateComponent(IACFUnknown* outer, const acfCLSID& clsid, const acfIID& iid,
                                    void** out) = 0;

protected:
  ~IACFComponentFactory() = default;
};

// What ACFRegisterPlugin hands back: the registered plug-in as the host's collection object
// sees it. It carries no operations of its own beyond identity.
class IACFPluginDefinition : public IACFUnknown {
protected:
  ~IACFPluginDefinition() = default;
};
