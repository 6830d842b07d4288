#include "host/validator/ValidationReport.h"

namespace tbvalidate {

void ValidationReport::Pass(const std::string& check, const std::string& detail) {
  ++mPassed;
  mOut << "pass  " << check << ": " << detail << std::endl;
}

void ValidationReport::Fail(const std::string& check, const std::string& reason) {
  ++mFailed;
  mOut << "FAIL  " << check << ": " << reason << std::endl;
}

void ValidationReport::Record(const std::string& check, const std::string& problem, const std::string& detail) {
  if (problem.empty())
    Pass(check, detail);
  else
    Fail(check, problem);
}

void ValidationReport::Note(const std::string& text) { mOut << "      " << text << std::endl; }

void ValidationReport::Summary() { mOut << mPassed << " passed, " << mFailed << " failed" << std::endl; }

}  // namespace tbvalidate
