#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "host/aax/Host.h"
#include "host/aax/ModuleLoader.h"

namespace tbhost {

// An AAX module loaded at run time and registered with our host layer, as a host does before
// it offers the plug-in: load, start-up with the host object, registration (the description
// is recorded), and at the end shut-down and unload. Instances made from the registered effect
// must be released before this object goes.
// Host main thread.
class AAXModule {
public:
  // Null with `error` set when the file cannot be loaded, lacks an entry point, or registers
  // no effect.
  static std::unique_ptr<AAXModule> Open(const std::string& path, std::string& error);
  ~AAXModule();
  AAXModule(const AAXModule&) = delete;
  AAXModule& operator=(const AAXModule&) = delete;

  const std::string& Path() const { return mPath; }
  aaxhost::Host& Host() { return mHost; }
  const aaxhost::Host& Host() const { return mHost; }
  aaxhost::ModuleLoader& Loader() { return mLoader; }
  // The registered effect (the first, for a module that registers several) and its identifier.
  const aaxhost::EffectDescriptor& Effect() const { return *mEffect; }
  const std::string& EffectID() const { return mEffectID; }
  const aaxhost::Collection& Collection() const { return *mCollection; }
  // The component whose input and output stem formats both carry `channels` channels, or null.
  const aaxhost::ComponentDescriptor* ComponentFor(int channels) const;
  uint64_t SDKVersion() const { return mSDKVersion; }
  // Objects of the module still alive (0 when it could be unloaded).
  int32_t LiveObjects();

private:
  AAXModule() = default;
  bool Register(std::string& error);

  std::string mPath;
  aaxhost::Host mHost;
  aaxhost::ModuleLoader mLoader;
  bool mStarted = false;
  const aaxhost::Collection* mCollection = nullptr;
  const aaxhost::EffectDescriptor* mEffect = nullptr;
  std::string mEffectID;
  uint64_t mSDKVersion = 0;
};

}  // namespace tbhost
