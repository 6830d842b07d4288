#pragma once
#include <string>

#include "IPlug/VST3/VST3ClassIDs.h"
#include "IPlug/VST3/VST3Object.h"

namespace iplug {

// What a bundle states about its classes beyond what the plug-in object knows: the class
// identifiers and the sub-categories of the component ("Fx|Dynamics").
struct VST3BundleInfo {
  VST3ClassIDs mIDs;
  const char* mSubCategories;
};

// The bundle's plug-in factory (with the second and third factory interfaces): two classes,
// the component ("Audio Module Class") and its controller ("Component Controller Class"),
// named, versioned and attributed from a plug-in object the factory makes once for the
// purpose. One factory per process, never deleted (hosts release it, and may ask for it again).
class VST3Factory {
public:
  static constexpr const char* kComponentCategory = "Audio Module Class";
  static constexpr const char* kControllerCategory = "Component Controller Class";
  static constexpr const char* kSDKVersion = "VST 3.7.0";

  // Any thread. The factory of the bundle; the first call fixes `info`.
  static VST3Factory& Get(const VST3BundleInfo& info);
  void* Interface() { return mFactory.Interface(); }

  void* Query(const v3_tuid iid);
  uint32_t Ref() { return 1; }
  uint32_t Unref() { return 1; }

  v3_result FactoryInfo(v3_factory_info& info) const;
  int32_t ClassCount() const { return mValid ? 2 : 0; }
  v3_result ClassInfo(int32_t idx, v3_class_info& info) const;
  v3_result ClassInfo2(int32_t idx, v3_class_info_2& info) const;
  v3_result ClassInfo3(int32_t idx, v3_class_info_3& info) const;
  v3_result CreateInstance(const v3_tuid classID, const v3_tuid iid, void** instance);

private:
  explicit VST3Factory(const VST3BundleInfo& info);

  VST3BundleInfo mInfo;
  VST3Slot<VST3Factory> mFactory;
  bool mValid = false;
  std::string mName;
  std::string mVendor;
  std::string mVersion;
};

}  // namespace iplug
