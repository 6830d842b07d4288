#include "host/cli/CLAPModule.h"

#include <filesystem>

#include "clap/entry.h"
#include "clap/plugin-factory.h"
#include "clap/version.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {

std::shared_ptr<CLAPModule> CLAPModule::Open(const std::string& path, std::string& error) {
  std::shared_ptr<CLAPModule> module(new CLAPModule());
  module->mPath = path;
  // A bare file name would send the system's loader through its search path, not to this file.
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(path), ec);
  if (!module->mLibrary.Open(ec ? path : PathToUtf8(absolute), error)) return nullptr;
  module->mEntry = static_cast<const clap_plugin_entry*>(module->mLibrary.Symbol("clap_entry"));
  if (!module->mEntry) {
    error = "cannot load " + path + ": it exports no clap_entry";
    return nullptr;
  }
  const clap_version_t& version = module->mEntry->clap_version;
  if (!clap_version_is_compatible(version)) {
    error = "cannot load " + path + ": it speaks CLAP " + std::to_string(version.major) + "." +
            std::to_string(version.minor) + ", this host speaks 1.x";
    return nullptr;
  }
  const std::string fullPath = ec ? path : PathToUtf8(absolute);
  if (!module->mEntry->init || !module->mEntry->init(fullPath.c_str())) {
    error = "cannot load " + path + ": its entry refused to initialise";
    return nullptr;
  }
  module->mInitialised = true;
  module->mFactory = module->mEntry->get_factory
                         ? static_cast<const clap_plugin_factory*>(module->mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID))
                         : nullptr;
  if (!module->mFactory || !module->mFactory->get_plugin_count || module->mFactory->get_plugin_count(module->mFactory) == 0) {
    error = "cannot load " + path + ": it offers no plug-in";
    return nullptr;
  }
  module->mDescriptor = module->mFactory->get_plugin_descriptor(module->mFactory, 0);
  if (!module->mDescriptor || !module->mDescriptor->id) {
    error = "cannot load " + path + ": its first plug-in has no description";
    return nullptr;
  }
  return module;
}

CLAPModule::~CLAPModule() {
  if (mInitialised && mEntry->deinit) mEntry->deinit();
}

}  // namespace tbhost
