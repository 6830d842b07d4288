#include "host/cli/GainReductionPlot.h"

namespace tbhost {
namespace {
constexpr const char* kWhy = "the plot is not available in the Windows build (it has no Cairo)";
}  // namespace

bool GainReductionPlot::Available(std::string& why) {
  why = kWhy;
  return false;
}

bool GainReductionPlot::Write(const std::string&, const PlotData&, std::string& error) {
  error = kWhy;
  return false;
}

}  // namespace tbhost
