#pragma once
#include <memory>
#include <string>

#include "host/aax/SharedLibrary.h"

struct clap_plugin_entry;
struct clap_plugin_factory;
struct clap_plugin_descriptor;

namespace tbhost {

// A .clap file loaded as a host loads it: the shared library opened, its `clap_entry` checked
// for an interface version this host speaks and initialised with the file's path, and its
// plug-in factory asked for the first plug-in it describes. The entry is de-initialised and the
// library unloaded with this object, which every instance made from it shares and outlives.
// Main thread.
class CLAPModule {
public:
  // Null with `error` set when the file cannot be loaded, exports no `clap_entry`, speaks
  // another interface version, refuses to initialise, or describes no plug-in.
  static std::shared_ptr<CLAPModule> Open(const std::string& path, std::string& error);
  ~CLAPModule();
  CLAPModule(const CLAPModule&) = delete;
  CLAPModule& operator=(const CLAPModule&) = delete;

  const std::string& Path() const { return mPath; }
  void* Handle() const { return mLibrary.Handle(); }
  const clap_plugin_factory& Factory() const { return *mFactory; }
  // The plug-in this host drives: the factory's first.
  const clap_plugin_descriptor& Descriptor() const { return *mDescriptor; }

private:
  CLAPModule() = default;

  std::string mPath;
  aaxhost::SharedLibrary mLibrary;
  const clap_plugin_entry* mEntry = nullptr;
  bool mInitialised = false;
  const clap_plugin_factory* mFactory = nullptr;
  const clap_plugin_descriptor* mDescriptor = nullptr;
};

}  // namespace tbhost
