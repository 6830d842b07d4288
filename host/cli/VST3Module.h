#pragma once
#include <travesty/factory.h>

#include <memory>
#include <string>

#include "host/aax/SharedLibrary.h"
#include "host/cli/VST3HostApplication.h"
#include "host/cli/VST3Ref.h"

namespace tbhost {

// A VST3 bundle's library loaded as a host loads it: the binary of this platform inside the
// bundle (Contents/x86_64-linux/NAME.so, Contents/x86_64-win/NAME.vst3), its module entry
// (ModuleEntry on Linux, InitDll on Windows), its factory with the host as its context, and
// the audio effect class the factory offers. The factory goes and the module exit is called
// (ModuleExit, ExitDll) before the library is unloaded, after every object made from it.
// Host main thread.
class VST3Module {
public:
  // `path` is the bundle's directory, a file inside it, or the binary itself. Null with `error`
  // set when the binary cannot be found or loaded, lacks an entry point, refuses to start or
  // offers no audio effect.
  static std::shared_ptr<VST3Module> Open(const std::string& path, std::string& error);
  ~VST3Module();
  VST3Module(const VST3Module&) = delete;
  VST3Module& operator=(const VST3Module&) = delete;

  const std::string& Path() const { return mPath; }
  const std::string& Binary() const { return mBinary; }
  void* LibraryHandle() const { return mLibrary.Handle(); }
  VST3HostApplication& Host() { return mHost; }
  const VST3Ref<v3_plugin_factory>& Factory() const { return mFactory; }
  // The audio effect: its class, name and sub-categories as the factory describes it.
  const v3_tuid& EffectClass() const { return mEffectClass; }
  const std::string& EffectName() const { return mEffectName; }
  const std::string& SubCategories() const { return mSubCategories; }
  const std::string& Vendor() const { return mVendor; }

  // A new object of class `cid` through interface `iid`, or null.
  void* CreateInstance(const v3_tuid cid, const v3_tuid iid) const;

private:
  VST3Module() = default;
  bool Start(std::string& error);
  bool FindEffect(std::string& error);

  std::string mPath;
  std::string mBinary;
  aaxhost::SharedLibrary mLibrary;
  bool mEntered = false;
  VST3HostApplication mHost;
  VST3Ref<v3_plugin_factory> mFactory;
  v3_tuid mEffectClass = {};
  std::string mEffectName, mSubCategories, mVendor;
};

}  // namespace tbhost
