// The command-line parameter text (--set NAME=VALUE) on any text: an accepted setting names a
// settable parameter and a value in its range that lies on one of its steps.
#include <cmath>
#include <cstdint>
#include <string>

#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<tbhost::ParamInfo> params = tbhost::InProcessPluginInstance::ProductParameters();
  const tbhost::ParamResolver resolver(params);
  const std::string text(reinterpret_cast<const char*>(data), size);
  tbhost::ParamSetting setting;
  std::string error;
  if (!resolver.Resolve(text, setting, error)) {
    fuzz::Require(!error.empty(), "a refusal says why");
    return 0;
  }
  fuzz::Require(setting.index >= 0 && setting.index < static_cast<int>(params.size()), "the index names a parameter");
  const tbhost::ParamInfo& param = params[static_cast<size_t>(setting.index)];
  fuzz::Require(param.settable, "only settable parameters are set");
  fuzz::Require(std::isfinite(setting.value) && setting.value >= param.min && setting.value <= param.max,
                "the value lies in the range");
  const double steps = (setting.value - param.min) / param.step;
  fuzz::Require(std::fabs(steps - std::round(steps)) < 1e-6, "the value lies on a step");
  return 0;
}
