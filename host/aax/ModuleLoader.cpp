#include "host/aax/ModuleLoader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

#include <vector>

namespace aaxhost {

#if defined(_WIN32)
namespace {
std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}
}  // namespace

bool ModuleLoader::Open(const std::string& path) {
  mHandle = LoadLibraryW(Widen(path).c_str());
  if (!mHandle) mError = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  return mHandle != nullptr;
}

void ModuleLoader::Unload() {
  if (mHandle) FreeLibrary(static_cast<HMODULE>(mHandle));
  mHandle = nullptr;
  Startup = nullptr;
  Shutdown = nullptr;
  GetSDKVersion = nullptr;
  RegisterPlugin = nullptr;
  RegisterComponent = nullptr;
  GetClassFactory = nullptr;
  CanUnloadNow = nullptr;
}

void* ModuleLoader::Resolve(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mHandle), name));
}

std::string ModuleLoader::ExecutableDirectory() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::string path = Narrow(std::wstring(buffer.data(), length));
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModuleLoader::ModuleFileName(const std::string& name) { return name + ".dll"; }

#else

bool ModuleLoader::Open(const std::string& path) {
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* error = dlerror();
    mError = "cannot load " + path + (error ? std::string(": ") + error : std::string());
  }
  return mHandle != nullptr;
}

void ModuleLoader::Unload() {
  if (mHandle) dlclose(mHandle);
  mHandle = nullptr;
  Startup = nullptr;
  Shutdown = nullptr;
  GetSDKVersion = nullptr;
  RegisterPlugin = nullptr;
  RegisterComponent = nullptr;
  GetClassFactory = nullptr;
  CanUnloadNow = nullptr;
}

void* ModuleLoader::Resolve(const char* name) { return dlsym(mHandle, name); }

std::string ModuleLoader::ExecutableDirectory() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return std::string();
  const std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModuleLoader::ModuleFileName(const std::string& name) { return name + ".so"; }

#endif

template <typename Proc>
bool ModuleLoader::ResolveInto(const char* name, Proc* out) {
  *out = reinterpret_cast<Proc>(Resolve(name));
  if (!*out && mError.empty()) mError = std::string("entry point ") + name + " missing";
  return *out != nullptr;
}

bool ModuleLoader::Load(const std::string& path) {
  Unload();
  mError.clear();
  if (!Open(path)) return false;
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
