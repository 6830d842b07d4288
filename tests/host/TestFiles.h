#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hosttest {

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScopedTempDir {
public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& Path() const { return mPath; }
  // UTF-8 path of a file in the directory.
  std::string File(const std::string& name) const;
  // Names of the entries in the directory, sorted.
  std::vector<std::string> Entries() const;
  // Names of the entries of any directory, sorted; none when it does not exist.
  static std::vector<std::string> List(const std::filesystem::path& dir);

private:
  std::filesystem::path mPath;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace hosttest
