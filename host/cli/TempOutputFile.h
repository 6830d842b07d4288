#pragma once
#include <filesystem>
#include <string>

namespace tbhost {

// The name under which an output file is written until it is complete: a hidden file in the
// target's own directory (so the final rename stays on one file system). Commit() renames it to
// the target; destruction without a commit removes it, so a failed or interrupted render
// leaves no half-written file behind.
// Main thread.
class TempOutputFile {
public:
  explicit TempOutputFile(const std::string& targetUtf8);
  ~TempOutputFile();
  TempOutputFile(const TempOutputFile&) = delete;
  TempOutputFile& operator=(const TempOutputFile&) = delete;

  // UTF-8 path to write to.
  const std::string& Path() const { return mTempUtf8; }
  const std::string& Target() const { return mTargetUtf8; }

  bool Commit(std::string& error);
  void Discard();

private:
  std::string mTargetUtf8;
  std::string mTempUtf8;
  bool mDone = false;
};

}  // namespace tbhost
