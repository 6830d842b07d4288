#include "graphics/nanovg/ResourceLookup.h"

#include <cctype>
#include <string>

#include "graphics/IGraphicsConstants.h"
#include "graphics/nanovg/ModuleResources.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>
#else
#include <sys/stat.h>
#endif

namespace igraphics {

namespace {

std::string Lower(const char* s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper(const char* s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A stored name stripped of its first and last characters (the quotes), lower-cased.
// Names too short to hold anything between them give "".
std::string Unquoted(const char* stored) {
  std::string s = Lower(stored);
  return s.size() < 2 ? std::string() : s.substr(1, s.size() - 2);
}

bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      (path[2] == '\\' || path[2] == '/'))
    return true;
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
#else
  return !path.empty() && path[0] == '/';
#endif
}

// A file for a name the module does not hold. Never the process's working directory: a
// "BG.png" lying in a host's session folder must not replace the artwork (and move the hit
// areas). An absolute path names its file; a bare name is looked up only in the folder a
// development build names.
std::string FileFor(const char* name) {
  const std::string path(name);
  if (IsAbsolutePath(path)) return FileExistsAt(name) ? path : std::string();
#ifdef TOLLENBROOK_DEV_RESOURCE_DIR
  const std::string dev = std::string(TOLLENBROOK_DEV_RESOURCE_DIR) + "/" + path;
  if (FileExistsAt(dev.c_str())) return dev;
#endif
  return std::string();
}

}  // namespace

int LocateModuleResource(const char* name, const char* type, iplug::TextBuffer& result, void* module) {
  if (!name || !*name) return kNotFound;
  const std::string wanted = Lower(name);
  std::string found;
  moduleresources::EnumNames(module, Upper(type ? type : "").c_str(), [&](const char* stored) {
    std::string candidate = Unquoted(stored);
    if (candidate != wanted) return true;
    found = std::move(candidate);
    return false;
  });
  if (!found.empty()) {
    result.Set(("\"" + found + "\"").c_str());
    return kWinBinary;
  }
  const std::string file = FileFor(name);
  if (!file.empty()) {
    result.Set(file.c_str());
    return kAbsolutePath;
  }
  return kNotFound;
}

const void* LoadWinResource(const char* resourceName, const char* type, int& size, void* module) {
  size = 0;
  if (!resourceName || !type) return nullptr;
  const void* resource = moduleresources::Find(module, resourceName, Upper(type).c_str());
  if (!resource) return nullptr;
  const uint32_t bytes = moduleresources::Size(module, resource);
  if (bytes < 8) return nullptr;  // too small to be any image or font
  const void* data = moduleresources::Bytes(module, resource);
  if (!data) return nullptr;
  size = static_cast<int>(bytes);
  return data;
}

bool FileExistsAt(const char* path) {
  if (!path || !*path) return false;
#ifdef _WIN32
  return PathFileExistsA(path) != FALSE;
#else
  struct stat st {};
  return stat(path, &st) == 0;
#endif
}

}  // namespace igraphics
