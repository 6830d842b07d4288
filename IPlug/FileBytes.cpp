#include "IPlug/FileBytes.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define IPLUG_GETPID _getpid
#else
#include <unistd.h>
#define IPLUG_GETPID getpid
#endif

namespace iplug {
namespace {

std::filesystem::path PathFromUtf8(const char* text) {
  const std::string utf8(text);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool Usable(const char* path) { return path && *path; }

// Unique among concurrent writers of one directory: the process and a running count.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  static std::atomic<unsigned> sCount{0};
  std::filesystem::path name = target.filename();
  name += ".part-" + std::to_string(IPLUG_GETPID()) + "-" + std::to_string(sCount.fetch_add(1));
  return target.parent_path() / name;
}

}  // namespace

bool FileBytes::Read(const char* path, int maxSize, std::vector<uint8_t>& out) {
  if (!Usable(path)) return false;
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  const uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > static_cast<uintmax_t>(maxSize < 0 ? 0 : maxSize)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  // A file that changed size under us is not the file we measured.
  if (!in || in.peek() != std::char_traits<char>::eof()) return false;
  out = std::move(bytes);
  return true;
}

bool FileBytes::WriteReplacing(const char* path, const void* data, int size) {
  if (!Usable(path) || size < 0 || (size > 0 && !data)) return false;
  const std::filesystem::path target = PathFromUtf8(path);
  const std::filesystem::path temp = TemporaryBeside(target);
  std::error_code ec;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (size > 0) out.write(static_cast<const char*>(data), size);
    out.close();
    if (!out) {
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool FileBytes::AppendText(const char* path, const char* text) {
  if (!Usable(path) || !text) return false;
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::app);
  out.write(text, static_cast<std::streamsize>(std::strlen(text)));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace iplug
