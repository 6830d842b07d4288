#include "host/aax/SharedLibrary.h"

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

bool SharedLibrary::Open(const std::string& path, std::string& error) {
  Close();
  mHandle = LoadLibraryW(Widen(path).c_str());
  if (!mHandle) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  return mHandle != nullptr;
}

void SharedLibrary::Close() {
  if (mHandle) FreeLibrary(static_cast<HMODULE>(mHandle));
  mHandle = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const {
  return mHandle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mHandle), name)) : nullptr;
}

std::string SharedLibrary::ExecutableDirectory() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::string path = Narrow(std::wstring(buffer.data(), length));
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SharedLibrary::FileName(const std::string& name) { return name + ".dll"; }

#else

bool SharedLibrary::Open(const std::string& path, std::string& error) {
  Close();
  mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* why = dlerror();
    error = "cannot load " + path + (why ? std::string(": ") + why : std::string());
  }
  return mHandle != nullptr;
}

void SharedLibrary::Close() {
  if (mHandle) dlclose(mHandle);
  mHandle = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const { return mHandle ? dlsym(mHandle, name) : nullptr; }

std::string SharedLibrary::ExecutableDirectory() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return std::string();
  const std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string SharedLibrary::FileName(const std::string& name) { return name + ".so"; }

#endif

}  // namespace aaxhost
