#include "host/cli/ModuleLocator.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include "host/aax/ModuleLoader.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {

namespace {
constexpr int kLevelsUp = 2;
}

std::string ModuleLocator::BundleRelativePath() {
#if defined(_WIN32)
  return "Tollenbrook.aaxplugin/Contents/x64/Tollenbrook.aaxplugin";
#else
  return "Tollenbrook.aaxplugin/Contents/x86_64-linux/Tollenbrook.so";
#endif
}

std::string ModuleLocator::ModuleInBundle(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path bundle = PathFromUtf8(path).lexically_normal();
  const std::filesystem::path folder = bundle.has_filename() ? bundle : bundle.parent_path();
  if (folder.extension() != ".aaxplugin" || !std::filesystem::is_directory(folder, ec)) return path;
  // The bundle's inner path with the bundle's own name for the binary.
  const std::filesystem::path inner = PathFromUtf8(BundleRelativePath());
  const std::filesystem::path binary = *std::prev(inner.end());
  std::filesystem::path resolved = folder;
  for (auto part = std::next(inner.begin()); part != std::prev(inner.end()); ++part) resolved /= *part;
  return PathToUtf8(resolved / (PathToUtf8(folder.stem()) + PathToUtf8(binary.extension())));
}

std::string ModuleLocator::FindFrom(const std::string& directory) {
  std::error_code ec;
  std::filesystem::path dir = PathFromUtf8(directory);
  for (int level = 0; level <= kLevelsUp && !dir.empty(); ++level) {
    const std::filesystem::path candidate = dir / PathFromUtf8(BundleRelativePath());
    if (std::filesystem::is_regular_file(candidate, ec)) return PathToUtf8(candidate.lexically_normal());
    const std::filesystem::path parent = dir.parent_path();
    if (parent == dir) break;
    dir = parent;
  }
  return std::string();
}

std::string ModuleLocator::FindBesideExecutable(std::string& error) {
  std::string directory = aaxhost::ModuleLoader::ExecutableDirectory();
  // A trailing separator would make the directory its own parent.
  while (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\')) directory.pop_back();
  const std::string found = FindFrom(directory);
  if (found.empty()) {
    error = "no Tollenbrook module found beside the host (looked for " + BundleRelativePath() + " in " + directory +
            " and the two directories above it); build it or name it with --module PATH";
  }
  return found;
}

}  // namespace tbhost
