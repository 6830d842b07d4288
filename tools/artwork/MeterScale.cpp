#include "MeterScale.h"

#include <cmath>
#include <limits>

namespace artwork {

double MeterScale::ValueForDb(double reductionDb)
{
  return 1.0 - std::pow(10.0, -reductionDb / 20.0);
}

double MeterScale::DbForValue(double value)
{
  if (value >= 1.0)
    return std::numeric_limits<double>::infinity();
  return -20.0 * std::log10(1.0 - value);
}

}  // namespace artwork
