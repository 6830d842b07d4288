#include "host/cli/ParamInfo.h"

#include <cmath>
#include <cstdio>

namespace tbhost {

std::string ParamInfo::DisplayFor(double value) const {
  for (const auto& [v, text] : displayTexts)
    if (v == value) return text;
  return FormatParamNumber(value);
}

std::string FormatParamNumber(double value) {
  char buf[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15)
    std::snprintf(buf, sizeof buf, "%.0f", value);
  else
    std::snprintf(buf, sizeof buf, "%g", value);
  return buf;
}

}  // namespace tbhost
