#pragma once
#include <string>

#include "aax-library/AAX_Exports.h"
#include "host/aax/SharedLibrary.h"

namespace aaxhost {

// Loads an AAX module at run time as a shared library and resolves its seven entry points. A
// module that lacks any of them is refused and unloaded again.
class ModuleLoader {
public:
  ModuleLoader() = default;
  ~ModuleLoader() { Unload(); }
  ModuleLoader(const ModuleLoader&) = delete;
  ModuleLoader& operator=(const ModuleLoader&) = delete;

  // path is UTF-8. False with Error() set when loading or resolving fails.
  bool Load(const std::string& path);
  void Unload();
  bool IsLoaded() const { return mLibrary.IsOpen(); }
  const std::string& Error() const { return mError; }
  void* Handle() const { return mLibrary.Handle(); }

  ACFStartupProc Startup = nullptr;
  ACFShutdownProc Shutdown = nullptr;
  ACFGetSDKVersionProc GetSDKVersion = nullptr;
  ACFRegisterPluginProc RegisterPlugin = nullptr;
  ACFRegisterComponentProc RegisterComponent = nullptr;
  ACFGetClassFactoryProc GetClassFactory = nullptr;
  ACFCanUnloadNowProc CanUnloadNow = nullptr;

  // The directory of the running program, with a trailing separator.
  static std::string ExecutableDirectory();
  // "name.dll" on Windows, "name.so" elsewhere.
  static std::string ModuleFileName(const std::string& name);

private:
  template <typename Proc>
  bool ResolveInto(const char* name, Proc* out);

  SharedLibrary mLibrary;
  std::string mError;
};

}  // namespace aaxhost
