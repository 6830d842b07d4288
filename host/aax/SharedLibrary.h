#pragma once
#include <string>

namespace aaxhost {

// A shared library loaded at run time (LoadLibraryW on Windows, dlopen elsewhere), whatever
// plug-in format it carries; symbols are looked up by name. Unloaded with this object.
// The loading thread.
class SharedLibrary {
public:
  SharedLibrary() = default;
  ~SharedLibrary() { Close(); }
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // path is UTF-8. False with `error` set ("cannot load PATH ...") when the system refuses it.
  bool Open(const std::string& path, std::string& error);
  void Close();
  bool IsOpen() const { return mHandle != nullptr; }
  void* Handle() const { return mHandle; }
  // The symbol's address, or null.
  void* Symbol(const char* name) const;

  // The directory of the running program, with a trailing separator.
  static std::string ExecutableDirectory();
  // "name.dll" on Windows, "name.so" elsewhere.
  static std::string FileName(const std::string& name);

private:
  void* mHandle = nullptr;
};

}  // namespace aaxhost
