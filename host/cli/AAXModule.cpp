#include "host/cli/AAXModule.h"

#include "aax-library/AAX_Results.h"
#include "host/aax/PropertyMap.h"
#include "host/cli/ModuleLocator.h"

namespace tbhost {

std::unique_ptr<AAXModule> AAXModule::Open(const std::string& pathGiven, std::string& error) {
  // A bundle may be named by its folder, as the other formats' bundles are.
  const std::string path = ModuleLocator::ModuleInBundle(pathGiven);
  std::unique_ptr<AAXModule> module(new AAXModule());
  module->mPath = path;
  if (!module->mLoader.Load(path)) {
    error = module->mLoader.Error();
    return nullptr;
  }
  if (!module->Register(error)) return nullptr;
  return module;
}

bool AAXModule::Register(std::string& error) {
  acfUInt64 version = 0;
  if (mLoader.GetSDKVersion(&version) == ACF_OK) mSDKVersion = version;
  if (const ACFRESULT result = mLoader.Startup(mHost.Unknown()); result != ACF_OK) {
    error = mPath + " refused to start (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  mStarted = true;
  IACFPluginDefinition* definition = nullptr;
  const ACFRESULT result = mLoader.RegisterPlugin(mHost.Unknown(), &definition);
  if (definition) definition->Release();
  if (result != ACF_OK) {
    error = mPath + " could not describe itself (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  for (const auto& collection : mHost.Collections()) {
    if (!collection->Effects().empty() && collection->Effects()[0].descriptor) {
      mCollection = collection.get();
      mEffect = collection->Effects()[0].descriptor;
      mEffectID = collection->Effects()[0].id;
      return true;
    }
  }
  error = mPath + " registered no effect";
  return false;
}

// The loader unloads the module after this; the host object outlives both.
AAXModule::~AAXModule() {
  if (mStarted) mLoader.Shutdown(mHost.Unknown());
}

int32_t AAXModule::LiveObjects() {
  return mLoader.IsLoaded() && mLoader.CanUnloadNow ? mLoader.CanUnloadNow(mHost.Unknown()) : 0;
}

const aaxhost::ComponentDescriptor* AAXModule::ComponentFor(int channels) const {
  for (const aaxhost::ComponentDescriptor* component : mEffect->Components()) {
    const aaxhost::PropertyMap* properties = component ? component->ProcessProperties() : nullptr;
    if (!properties) continue;
    const auto input = properties->Find(AAX_eProperty_InputStemFormat);
    const auto output = properties->Find(AAX_eProperty_OutputStemFormat);
    if (!input || !output) continue;
    if (AAX_StemFormatChannelCount(static_cast<uint32_t>(*input)) == channels &&
        AAX_StemFormatChannelCount(static_cast<uint32_t>(*output)) == channels) {
      return component;
    }
  }
  return nullptr;
}

}  // namespace tbhost
