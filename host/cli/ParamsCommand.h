#pragma once
#include <ostream>
#include <vector>

#include "host/cli/ParamInfo.h"

namespace tbhost {

// Prints the parameter table for `tollenbrook-host params`: index, name, range, default and
// every display text with the value it stands for.
class ParamsCommand {
public:
  static void Print(const std::vector<ParamInfo>& params, std::ostream& out);
};

}  // namespace tbhost
