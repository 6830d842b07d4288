#include "host/cli/LV2PluginInstance.h"

// This build has no LV2 host library.
namespace tbhost {

struct LV2PluginInstance::Bundle {};
struct LV2PluginInstance::Insert {};

std::unique_ptr<PluginInstance> LV2PluginInstance::Create(const std::string& bundle, std::string& error) {
  error = bundle + ": this build of the host loads no LV2 bundles";
  return nullptr;
}

LV2PluginInstance::LV2PluginInstance(std::shared_ptr<Bundle> bundle) : mBundle(std::move(bundle)) {}
LV2PluginInstance::~LV2PluginInstance() = default;

const std::vector<ParamInfo>& LV2PluginInstance::Parameters() const {
  static const std::vector<ParamInfo> none;
  return none;
}
std::unique_ptr<PluginInstance> LV2PluginInstance::NewInstance(std::string& error) const {
  return Create("", error);
}
bool LV2PluginInstance::Initialise(double, int, bool, std::string& error) {
  error = "this build of the host loads no LV2 bundles";
  return false;
}
bool LV2PluginInstance::HasSideChain() const { return false; }
void LV2PluginInstance::SetParameter(int, double) {}
void LV2PluginInstance::ProcessBlock(const float* const*, const float*, float* const*, int) {}
int LV2PluginInstance::Latency() const { return 0; }
int LV2PluginInstance::MeterCount() const { return 0; }
std::string LV2PluginInstance::MeterName(int) const { return {}; }
double LV2PluginInstance::MeterValue(int) const { return 0.0; }
bool LV2PluginInstance::SaveState(PluginState&, std::string& error) {
  error = "this build of the host loads no LV2 bundles";
  return false;
}
bool LV2PluginInstance::LoadState(const PluginState&, std::string& error) {
  error = "this build of the host loads no LV2 bundles";
  return false;
}

}  // namespace tbhost
