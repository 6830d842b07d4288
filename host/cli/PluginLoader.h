#pragma once
#include <memory>
#include <string>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// The kinds of plug-in file the host knows, told apart by the bundle they come in.
enum class PluginKind {
  kAAX,   // an .aaxplugin bundle, or a shared library taken to be an AAX module
  kLV2,   // an .lv2 bundle (the directory, or a file inside it)
  kVST3,  // a .vst3 bundle (the directory, a file inside it, or a single-file module)
  kCLAP,  // a .clap file: known, not yet loaded
};

// Loads a plug-in file as the instance class of its kind.
// Main thread.
class PluginLoader {
public:
  // The kind of `path`: the innermost bundle extension on the path decides; a file in no
  // bundle of another kind is an AAX module.
  static PluginKind KindOf(const std::string& path);
  static const char* KindName(PluginKind kind);

  // An instance of the plug-in in `path` (empty: the AAX module beside the running host);
  // null with `error` set when it cannot be loaded or the host cannot load its kind.
  static std::unique_ptr<PluginInstance> Load(const std::string& path, std::string& error);
};

}  // namespace tbhost
