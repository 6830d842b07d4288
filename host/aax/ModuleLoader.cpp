#include "host/aax/ModuleLoader.h"

namespace aaxhost {

void ModuleLoader::Unload() {
  mLibrary.Close();
  Startup = nullptr;
  Shutdown = nullptr;
  GetSDKVersion = nullptr;
  RegisterPlugin = nullptr;
  RegisterComponent = nullptr;
  GetClassFactory = nullptr;
  CanUnloadNow = nullptr;
}

std::string ModuleLoader::ExecutableDirectory() { return SharedLibrary::ExecutableDirectory(); }

std::string ModuleLoader::ModuleFileName(const std::string& name) { return SharedLibrary::FileName(name); }

template <typename Proc>
bool ModuleLoader::ResolveInto(const char* name, Proc* out) {
  *out = reinterpret_cast<Proc>(mLibrary.Symbol(name));
  if (!*out && mError.empty()) mError = std::string("entry point ") + name + " missing";
  return *out != nullptr;
}

bool ModuleLoader::Load(const std::string& path) {
  Unload();
  mError.clear();
  if (!mLibrary.Open(path, mError)) return false;
  bool complete = ResolveInto("ACFStartup", &Startup);
  complete = ResolveInto("ACFShutdown", &Shutdown) && complete;
  complete = ResolveInto("ACFGetSDKVersion", &GetSDKVersion) && complete;
  complete = ResolveInto("ACFRegisterPlugin", &RegisterPlugin) && complete;
  complete = ResolveInto("ACFRegisterComponent", &RegisterComponent) && complete;
  complete = ResolveInto("ACFGetClassFactory", &GetClassFactory) && complete;
  complete = ResolveInto("ACFCanUnloadNow", &CanUnloadNow) && complete;
  if (!complete) {
    const std::string error = mError;
    Unload();
    mError = error;
  }
  return complete;
}

}  // namespace aaxhost
