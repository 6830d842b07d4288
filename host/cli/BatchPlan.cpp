#include "host/cli/BatchPlan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "host/cli/AudioFile.h"
#include "host/cli/RenderCommand.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {
namespace {

namespace fs = std::filesystem;

bool AddFolder(const std::string& folder, std::vector<std::string>& files, std::string& error) {
  std::error_code ec;
  std::vector<std::string> found;
  for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = PathToUtf8(it->path().filename());
    std::error_code fileEc;
    if (name.empty() || name[0] == '.' || !it->is_regular_file(fileEc) || !AudioFile::IsSoundFileName(name)) continue;
    found.push_back(PathToUtf8(it->path()));
  }
  if (ec) {
    error = "cannot list the folder " + folder + ": " + ec.message();
    return false;
  }
  if (found.empty()) {
    error = "the folder " + folder + " holds no sound files to render";
    return false;
  }
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  return true;
}

double Weight(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(PathFromUtf8(path), ec);
  return ec ? 1.0 : static_cast<double>(std::max<std::uintmax_t>(size, 1));
}

}  // namespace

bool BatchPlan::Make(const RenderExtras& extras, const std::string& sideChain, std::vector<BatchJob>& jobs,
                     std::string& error) {
  jobs.clear();
  std::error_code ec;
  const fs::path outDir = PathFromUtf8(extras.outDir);
  if (fs::exists(outDir, ec) && !fs::is_directory(outDir, ec)) {
    error = "--out-dir " + extras.outDir + " is a file, not a folder";
    return false;
  }
  std::vector<std::string> inputs;
  for (const std::string& input : extras.inputs) {
    if (fs::is_directory(PathFromUtf8(input), ec)) {
      if (!AddFolder(input, inputs, error)) return false;
    } else {
      inputs.push_back(input);
    }
  }
  std::map<std::string, std::string> outputs;  // output name in the folder -> its input
  for (const std::string& input : inputs) {
    BatchJob job;
    job.input = input;
    job.output = PathToUtf8(outDir / PathFromUtf8(input).filename());
    job.weight = Weight(input);
    const auto [at, added] = outputs.emplace(PathToUtf8(PathFromUtf8(input).filename()), input);
    if (!added) {
      error = at->second + " and " + input + " would both be written to " + job.output;
      return false;
    }
    RenderRequest request;
    request.input = job.input;
    request.output = job.output;
    request.sideChain = sideChain;
    request.overwriteInput = extras.overwriteInput;
    if (!RenderCommand::CheckOutputIsNoInput(request, error)) return false;
    jobs.push_back(job);
  }
  return true;
}

}  // namespace tbhost
