#include "host/validator/HostParams.h"

#include <algorithm>
#include <cctype>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"

namespace tbvalidate {
namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}
}  // namespace

std::vector<HostParam> ReadHostParams(const AAX_IACFEffectParameters& effect) {
  std::vector<HostParam> params;
  int32_t count = 0;
  if (effect.GetNumberOfParameters(&count) != AAX_SUCCESS) return params;
  AAX_CString bypassID;
  const bool haveBypass = effect.GetMasterBypassParameter(&bypassID) == AAX_SUCCESS;
  for (int32_t i = 0; i < count; ++i) {
    AAX_CString id;
    if (effect.GetParameterIDFromIndex(i, &id) != AAX_SUCCESS) continue;
    HostParam param;
    param.id = id.StdString();
    AAX_CString name;
    effect.GetParameterName(param.id.c_str(), &name);
    param.name = name.StdString();
    int32_t steps = 0;
    effect.GetParameterNumberOfSteps(param.id.c_str(), &steps);
    param.steps = steps;
    AAX_CBoolean automatable = 0;
    effect.GetParameterIsAutomatable(param.id.c_str(), &automatable);
    param.automatable = automatable != 0;
    effect.GetParameterDefaultNormalizedValue(param.id.c_str(), &param.defaultNormalized);
    param.masterBypass = haveBypass && param.id == bypassID.StdString();
    params.push_back(param);
  }
  return params;
}

const HostParam* RandomChangeable(const std::vector<HostParam>& params, std::mt19937_64& rng) {
  const auto changeable = std::count_if(params.begin(), params.end(), [](const HostParam& p) { return !p.masterBypass; });
  if (changeable == 0) return nullptr;
  auto pick = static_cast<std::ptrdiff_t>(rng() % static_cast<uint64_t>(changeable));
  for (const HostParam& param : params)
    if (!param.masterBypass && pick-- == 0) return &param;
  return nullptr;
}

const HostParam* FindParam(const std::vector<HostParam>& params, const std::string& part) {
  const std::string wanted = Lower(part);
  for (const HostParam& param : params)
    if (!param.masterBypass && Lower(param.name).find(wanted) != std::string::npos) return &param;
  return nullptr;
}

}  // namespace tbvalidate
