#include "host/cli/RenderExtrasParser.h"

#include <cctype>

#include "host/cli/CommandLine.h"

namespace tbhost {
namespace {

bool ParseJobs(const std::string& text, int& out, std::string& error) {
  bool digits = !text.empty() && text.size() <= 3;
  for (char c : text) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  const int value = digits ? std::stoi(text) : 0;
  if (value < 1 || value > RenderExtras::kMaxJobs) {
    error = "--jobs needs a whole number from 1 to " + std::to_string(RenderExtras::kMaxJobs) + ", got '" + text + "'";
    return false;
  }
  out = value;
  return true;
}

}  // namespace

bool RenderExtrasParser::TakesValue(const std::string& name) {
  return name == "--out-dir" || name == "--jobs" || name == "--report-json" || name == "--plot";
}

RenderExtrasParser::Outcome RenderExtrasParser::Apply(const std::string& name, const std::string& value,
                                                      bool hasValue, CommandLine& out, std::string& error) {
  RenderExtras& extras = out.extras;
  if (name == "--report" || name == "--overwrite-input") {
    if (hasValue) return Outcome::kNotMine;  // a switch given a value is an unknown option
    (name == "--report" ? extras.report : extras.overwriteInput) = true;
    return Outcome::kApplied;
  }
  if (name == "--jobs") return ParseJobs(value, extras.jobs, error) ? Outcome::kApplied : Outcome::kFailed;
  if (name == "--out-dir" || name == "--report-json" || name == "--plot") {
    if (value.empty()) {
      error = name + (name == "--out-dir" ? " needs a folder name" : " needs a file name");
      return Outcome::kFailed;
    }
    (name == "--out-dir" ? extras.outDir : name == "--plot" ? extras.plot : extras.reportJson) = value;
    return Outcome::kApplied;
  }
  return Outcome::kNotMine;
}

bool RenderExtrasParser::AssignFiles(const std::vector<std::string>& positional, CommandLine& out,
                                     std::string& error) {
  RenderExtras& extras = out.extras;
  if (extras.IsBatch()) {
    if (positional.empty()) {
      error = "render --out-dir needs at least one input file or folder (see --help)";
      return false;
    }
    if (!extras.plot.empty()) {
      error = "--plot draws one render (render IN OUT --plot FILE.png); it does not take a batch with --out-dir";
      return false;
    }
    extras.inputs = positional;
    return true;
  }
  if (extras.jobs > 0) {
    error = "--jobs applies to batches: render IN... --out-dir DIR --jobs N";
    return false;
  }
  if (positional.size() != 2) {
    error = positional.size() < 2 ? "render needs an input and an output file (see --help)"
                                  : "render takes one input and one output file; unexpected '" + positional[2] +
                                        "' (to render several files, give --out-dir DIR)";
    return false;
  }
  out.input = positional[0];
  out.output = positional[1];
  return true;
}

}  // namespace tbhost
