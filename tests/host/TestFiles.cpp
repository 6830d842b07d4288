#include "host/TestFiles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/cli/Utf8Path.h"

namespace hosttest {
namespace {
std::atomic<int> sDirCounter{0};
}

ScopedTempDir::ScopedTempDir() {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0;; ++attempt) {
    mPath = std::filesystem::temp_directory_path() /
            ("tollenbrook-host-test-" + std::to_string(stamp) + "-" + std::to_string(sDirCounter++));
    std::error_code ec;
    if (std::filesystem::create_directory(mPath, ec) || attempt > 100) break;
  }
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(mPath, ec);
}

std::string ScopedTempDir::File(const std::string& name) const {
  return tbhost::PathToUtf8(mPath / tbhost::PathFromUtf8(name));
}

std::vector<std::string> ScopedTempDir::Entries() const { return List(mPath); }

std::vector<std::string> ScopedTempDir::List(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(tbhost::PathToUtf8(it->path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(tbhost::PathFromUtf8(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(tbhost::PathFromUtf8(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace hosttest
