#include "host/cli/TempOutputFile.h"

#include <atomic>
#include <chrono>
#include <system_error>

#include "host/cli/Utf8Path.h"

#ifdef _WIN32
#include <process.h>
#define TB_GETPID _getpid
#else
#include <unistd.h>
#define TB_GETPID getpid
#endif

namespace tbhost {
namespace {

std::atomic<unsigned> sCounter{0};

}  // namespace

TempOutputFile::TempOutputFile(const std::string& targetUtf8) : mTargetUtf8(targetUtf8) {
  const std::filesystem::path target = PathFromUtf8(targetUtf8);
  // The name only has to be unique among concurrent writers of the same directory.
  const std::string name = "." + PathToUtf8(target.filename()) + ".tollenbrook-" + std::to_string(TB_GETPID()) + "-" +
                           std::to_string(sCounter.fetch_add(1)) + ".tmp";
  mTempUtf8 = PathToUtf8(target.parent_path() / PathFromUtf8(name));
}

TempOutputFile::~TempOutputFile() { Discard(); }

bool TempOutputFile::Commit(std::string& error) {
  std::error_code ec;
  std::filesystem::rename(PathFromUtf8(mTempUtf8), PathFromUtf8(mTargetUtf8), ec);
  if (ec) {
    error = "cannot write " + mTargetUtf8 + ": " + ec.message();
    Discard();
    return false;
  }
  mDone = true;
  return true;
}

void TempOutputFile::Discard() {
  if (mDone) return;
  std::error_code ec;
  std::filesystem::remove(PathFromUtf8(mTempUtf8), ec);
  mDone = true;
}

}  // namespace tbhost
