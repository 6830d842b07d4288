#include "host/cli/RenderCommand.h"

#include <system_error>

#include "host/cli/SameFile.h"
#include "host/cli/TempOutputFile.h"
#include "host/cli/TruncationWarning.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {

bool RenderCommand::CheckReadable(const std::string& path, std::string& error) {
  std::error_code ec;
  const auto status = std::filesystem::status(PathFromUtf8(path), ec);
  if (!std::filesystem::exists(status)) {
    error = "cannot read " + path + ": no such file";
    return false;
  }
  if (std::filesystem::is_directory(status)) {
    error = "cannot read " + path + ": it is a directory";
    return false;
  }
  return true;
}

bool RenderCommand::CheckWritable(const std::string& path, std::string& error) {
  std::error_code ec;
  const std::filesystem::path target = PathFromUtf8(path);
  if (std::filesystem::is_directory(target, ec)) {
    error = "cannot write " + path + ": it is a directory";
    return false;
  }
  const std::filesystem::path dir = target.parent_path();
  if (!dir.empty() && !std::filesystem::is_directory(dir, ec)) {
    error = "cannot write " + path + ": directory " + PathToUtf8(dir) + " does not exist";
    return false;
  }
  return true;
}

bool RenderCommand::CheckOutputIsNoInput(const RenderRequest& request, std::string& error) {
  if (request.overwriteInput) return true;
  for (const std::string* input : {&request.input, &request.sideChain}) {
    if (input->empty() || !SameFile(request.output, *input)) continue;
    error = "will not write " + request.output + ": it is the " + (input == &request.input ? "input" : "side-chain") +
            " file " + *input + " (give --overwrite-input to replace it with the rendered audio)";
    return false;
  }
  return true;
}

bool RenderCommand::Run(const RenderRequest& request, PluginInstance& plugin, RenderObserver* observer,
                        RenderResult& result, std::string& error) {
  if (!CheckReadable(request.input, error)) return false;
  if (!request.sideChain.empty() && !CheckReadable(request.sideChain, error)) return false;
  if (!CheckWritable(request.output, error) || !CheckOutputIsNoInput(request, error)) return false;

  std::unique_ptr<AudioFile> main = AudioFile::OpenForReading(request.input, error);
  if (!main) return false;
  std::unique_ptr<AudioFile> key;
  if (!request.sideChain.empty()) {
    key = AudioFile::OpenForReading(request.sideChain, error);
    if (!key) return false;
  }
  if (!HostRenderer::CheckInputs(main->Format(), nullptr, error)) {
    error = request.input + ": " + error;
    return false;
  }
  // A side-chain that does not fit is the side-chain file's fault: the message names it.
  if (key && !HostRenderer::CheckInputs(main->Format(), &key->Format(), error)) {
    error = request.sideChain + ": " + error;
    return false;
  }

  TempOutputFile temp(request.output);
  std::unique_ptr<AudioFile> out = AudioFile::CreateForWriting(temp.Path(), main->Format(), error);
  if (!out) {
    // The user knows the file by its final name, not by the temporary one.
    const size_t at = error.find(temp.Path());
    if (at != std::string::npos) error.replace(at, temp.Path().size(), request.output);
    else error = "cannot write " + request.output + ": " + error;
    return false;
  }
  HostRenderer renderer(plugin, request.options);
  if (!renderer.Render(*main, key.get(), *out, observer, result, error)) return false;
  for (const std::string& warning : {TruncationWarning::For(request.input, main->Format()),
                                     key ? TruncationWarning::For(request.sideChain, key->Format()) : std::string()})
    if (!warning.empty()) result.warnings.push_back(warning);
  if (!out->Close()) {
    error = "cannot write " + request.output + ": " + out->LastError();
    return false;
  }
  out.reset();
  // The inputs are closed first: on Windows an open file cannot be replaced, and the output
  // may be one of them.
  main.reset();
  key.reset();
  return temp.Commit(error);
}

}  // namespace tbhost
