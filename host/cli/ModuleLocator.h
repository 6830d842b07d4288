#pragma once
#include <string>

namespace tbhost {

// Where the Tollenbrook module lives relative to a program that uses it: an AAX bundle
// "Tollenbrook.aaxplugin/Contents/<arch>/<file>" (x64/Tollenbrook.aaxplugin on Windows,
// x86_64-linux/Tollenbrook.so on Linux) in the program's directory or up to two directories
// above it: beside an installed host, and at the top of the build tree for the host in
// host/cli/ and the test programs in tests/.
// Any thread; reads the file system only.
class ModuleLocator {
public:
  // "Tollenbrook.aaxplugin/Contents/x64/Tollenbrook.aaxplugin" and the like.
  static std::string BundleRelativePath();
  // The module binary inside an AAX bundle named by its folder ("X.aaxplugin", as for the
  // other formats' bundles); any other path comes back as it is.
  static std::string ModuleInBundle(const std::string& path);
  // The first existing module near the running program; empty with `error` set when there is
  // none.
  static std::string FindBesideExecutable(std::string& error);
  // The same search starting at any directory (UTF-8, with or without a trailing separator).
  static std::string FindFrom(const std::string& directory);
};

}  // namespace tbhost
