#include "host/cli/PluginLoader.h"

#include <algorithm>
#include <cctype>

#include "host/cli/CLAPPluginInstance.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/LV2PluginInstance.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/AAXPluginInstance.h"
#include "host/cli/VST3PluginInstance.h"

namespace tbhost {

namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The bundle extension a path component ends in, e.g. ".lv2" for "Tollenbrook.lv2".
std::string BundleExtension(const std::string& component) {
  for (const char* ext : {".aaxplugin", ".lv2", ".vst3", ".clap"}) {
    const std::string e(ext);
    if (component.size() > e.size() && component.compare(component.size() - e.size(), e.size(), e) == 0) return e;
  }
  return {};
}
}  // namespace

PluginKind PluginLoader::KindOf(const std::string& path) {
  // Components from the end: the file itself, then the bundles around it.
  const std::string lower = Lower(path);
  size_t end = lower.size();
  while (end > 0) {
    const size_t start = lower.find_last_of("/\\", end - 1);
    const size_t from = start == std::string::npos ? 0 : start + 1;
    const std::string ext = BundleExtension(lower.substr(from, end - from));
    if (ext == ".lv2") return PluginKind::kLV2;
    if (ext == ".vst3") return PluginKind::kVST3;
    if (ext == ".clap") return PluginKind::kCLAP;
    if (ext == ".aaxplugin") return PluginKind::kAAX;
    if (start == std::string::npos) break;
    end = start;
  }
  return PluginKind::kAAX;
}

const char* PluginLoader::KindName(PluginKind kind) {
  switch (kind) {
    case PluginKind::kAAX: return "AAX";
    case PluginKind::kLV2: return "LV2";
    case PluginKind::kVST3: return "VST3";
    case PluginKind::kCLAP: return "CLAP";
  }
  return "unknown";
}

std::unique_ptr<PluginInstance> PluginLoader::Load(const std::string& path, std::string& error) {
  const std::string file = path.empty() ? ModuleLocator::FindBesideExecutable(error) : path;
  if (file.empty()) return nullptr;
  switch (KindOf(file)) {
    case PluginKind::kAAX:
      return AAXPluginInstance::Create(file, InProcessPluginInstance::ProductParameters(), error);
    case PluginKind::kLV2:
      return LV2PluginInstance::Create(file, error);
    case PluginKind::kVST3:
      return VST3PluginInstance::Create(file, error);
    case PluginKind::kCLAP:
      return CLAPPluginInstance::Create(file, error);
  }
  return nullptr;
}

}  // namespace tbhost
