#include "host/cli/SameFile.h"

#include <filesystem>
#include <system_error>

#include "host/cli/Utf8Path.h"

namespace tbhost {

bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  const fs::path pa = PathFromUtf8(a), pb = PathFromUtf8(b);
  std::error_code ec;
  if (fs::exists(pa, ec) && fs::exists(pb, ec)) {
    // Device and file number: the only test that also sees hard links.
    const bool same = fs::equivalent(pa, pb, ec);
    if (!ec) return same;
  }
  const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ec), ec);
  if (ec) return false;
  const fs::path cb = fs::weakly_canonical(fs::absolute(pb, ec), ec);
  return !ec && ca == cb;
}

}  // namespace tbhost
