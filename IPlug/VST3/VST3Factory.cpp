#include "IPlug/VST3/VST3Factory.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "IPlug/EntryGuard.h"
#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Component.h"
#include "IPlug/VST3/VST3Controller.h"
#include "IPlug/VST3/VST3Text.h"

namespace iplug {
namespace {

using Unknown = VST3Unknown<VST3Factory>;
VST3Factory& Self(void* self) { return VST3Slot<VST3Factory>::Of(self); }

template <size_t N>
void CopyText(char (&out)[N], const std::string& text) {
  std::snprintf(out, N, "%s", text.c_str());
}

// Every call: any thread the host uses for discovery.
v3_result V3_API GetFactoryInfo(void* self, v3_factory_info* info) {
  if (!info) return V3_INVALID_ARG;
  return Self(self).FactoryInfo(*info);
}
int32_t V3_API NumClasses(void* self) { return Self(self).ClassCount(); }
v3_result V3_API GetClassInfo(void* self, int32_t idx, v3_class_info* info) {
  if (!info) return V3_INVALID_ARG;
  return Self(self).ClassInfo(idx, *info);
}
v3_result V3_API CreateInstance(void* self, const v3_tuid classID, const v3_tuid iid, void** instance) {
  if (!instance) return V3_INVALID_ARG;
  *instance = nullptr;
  return GuardedEntry([&] { return Self(self).CreateInstance(classID, iid, instance); }, V3_INTERNAL_ERR);
}
v3_result V3_API GetClassInfo2(void* self, int32_t idx, v3_class_info_2* info) {
  if (!info) return V3_INVALID_ARG;
  return Self(self).ClassInfo2(idx, *info);
}
v3_result V3_API GetClassInfoUtf16(void* self, int32_t idx, v3_class_info_3* info) {
  if (!info) return V3_INVALID_ARG;
  return Self(self).ClassInfo3(idx, *info);
}
v3_result V3_API SetHostContext(void* /*self*/, v3_funknown** /*host*/) { return V3_OK; }

const v3_plugin_factory_cpp kFactoryTable{{Unknown::Query, Unknown::Ref, Unknown::Unref},
                                          {GetFactoryInfo, NumClasses, GetClassInfo, CreateInstance},
                                          {GetClassInfo2},
                                          {GetClassInfoUtf16, SetHostContext}};

}  // namespace

VST3Factory& VST3Factory::Get(const VST3BundleInfo& info) {
  static VST3Factory factory(info);
  return factory;
}

VST3Factory::VST3Factory(const VST3BundleInfo& info) : mInfo(info), mFactory{&kFactoryTable, this} {
  mValid = GuardedEntry(
      [this] {
        std::unique_ptr<IPlugVST3> prototype(mInfo.mIDs.mMakePlug(InstanceInfo{}));
        if (!prototype) return false;
        mName = prototype->GetPluginName();
        mVendor = prototype->GetMfrName();
        const int32_t v = prototype->VersionNumber();
        char version[32];
        std::snprintf(version, sizeof version, "%d.%d.%d", static_cast<int>(v >> 16), static_cast<int>((v >> 8) & 0xFF),
                      static_cast<int>(v & 0xFF));
        mVersion = version;
        return true;
      },
      false);
}

void* VST3Factory::Query(const v3_tuid iid) {
  if (VST3Is(iid, v3_funknown_iid) || VST3Is(iid, v3_plugin_factory_iid) || VST3Is(iid, v3_plugin_factory_2_iid) ||
      VST3Is(iid, v3_plugin_factory_3_iid))
    return mFactory.Interface();
  return nullptr;
}

v3_result VST3Factory::FactoryInfo(v3_factory_info& info) const {
  std::memset(&info, 0, sizeof info);
  CopyText(info.vendor, mVendor);
  info.flags = 0x10;  // texts in Unicode
  return V3_OK;
}

v3_result VST3Factory::ClassInfo(int32_t idx, v3_class_info& info) const {
  if (idx < 0 || idx >= ClassCount()) return V3_INVALID_ARG;
  std::memset(&info, 0, sizeof info);
  VST3ClassIDs::ToTUID(idx == 0 ? mInfo.mIDs.mComponent : mInfo.mIDs.mController, info.class_id);
  info.cardinality = 0x7FFFFFFF;  // as many instances as the host wants
  CopyText(info.category, idx == 0 ? kComponentCategory : kControllerCategory);
  CopyText(info.name, mName);
  return V3_OK;
}

v3_result VST3Factory::ClassInfo2(int32_t idx, v3_class_info_2& info) const {
  v3_class_info basic;
  if (ClassInfo(idx, basic) != V3_OK) return V3_INVALID_ARG;
  std::memset(&info, 0, sizeof info);
  std::memcpy(info.class_id, basic.class_id, sizeof info.class_id);
  info.cardinality = basic.cardinality;
  std::memcpy(info.category, basic.category, sizeof info.category);
  std::memcpy(info.name, basic.name, sizeof info.name);
  CopyText(info.sub_categories, idx == 0 ? mInfo.mSubCategories : "");
  CopyText(info.vendor, mVendor);
  CopyText(info.version, mVersion);
  CopyText(info.sdk_version, kSDKVersion);
  return V3_OK;
}

v3_result VST3Factory::ClassInfo3(int32_t idx, v3_class_info_3& info) const {
  v3_class_info_2 narrow;
  if (ClassInfo2(idx, narrow) != V3_OK) return V3_INVALID_ARG;
  std::memset(&info, 0, sizeof info);
  std::memcpy(info.class_id, narrow.class_id, sizeof info.class_id);
  info.cardinality = narrow.cardinality;
  std::memcpy(info.category, narrow.category, sizeof info.category);
  std::memcpy(info.sub_categories, narrow.sub_categories, sizeof info.sub_categories);
  Utf8ToUtf16(mName.c_str(), info.name, 64);
  Utf8ToUtf16(mVendor.c_str(), info.vendor, 64);
  Utf8ToUtf16(mVersion.c_str(), info.version, 64);
  Utf8ToUtf16(kSDKVersion, info.sdk_version, 64);
  return V3_OK;
}

v3_result VST3Factory::CreateInstance(const v3_tuid classID, const v3_tuid iid, void** instance) {
  if (!classID || !iid || !mValid) return V3_INVALID_ARG;
  v3_tuid component;
  v3_tuid controller;
  VST3ClassIDs::ToTUID(mInfo.mIDs.mComponent, component);
  VST3ClassIDs::ToTUID(mInfo.mIDs.mController, controller);
  // Made with one reference, which the query's own reference replaces.
  if (VST3Is(classID, component)) {
    VST3Component* made = VST3Component::Make(mInfo.mIDs);
    if (!made) return V3_INTERNAL_ERR;
    *instance = made->Query(iid);
    made->Unref();
  } else if (VST3Is(classID, controller)) {
    VST3Controller* made = VST3Controller::Make(mInfo.mIDs);
    if (!made) return V3_INTERNAL_ERR;
    *instance = made->Query(iid);
    made->Unref();
  } else {
    return V3_INVALID_ARG;
  }
  return *instance ? V3_OK : V3_NO_INTERFACE;
}

}  // namespace iplug
