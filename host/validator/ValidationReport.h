#pragma once
#include <ostream>
#include <string>

namespace tbvalidate {

// The validator's output: one line per check, "pass  NAME: what was shown" or
// "FAIL  NAME: what went wrong", and at the end the summary "N passed, N failed".
// Lines go out as soon as a check ends, so a crash shows how far the run came.
// Main thread.
class ValidationReport {
public:
  explicit ValidationReport(std::ostream& out) : mOut(out) {}

  void Pass(const std::string& check, const std::string& detail);
  void Fail(const std::string& check, const std::string& reason);
  // A check that holds when `problem` is empty.
  void Record(const std::string& check, const std::string& problem, const std::string& detail);
  void Note(const std::string& text);  // a line that is not a check ("module ...", "seed ...")
  void Summary();

  int Passed() const { return mPassed; }
  int Failed() const { return mFailed; }

private:
  std::ostream& mOut;
  int mPassed = 0;
  int mFailed = 0;
};

}  // namespace tbvalidate
