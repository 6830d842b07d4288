#pragma once
#include <string>
#include <vector>

#include "host/cli/ParamInfo.h"

namespace tbhost {

// Turns "NAME=VALUE" into a parameter setting. NAME is a parameter's name (case does not
// matter) or its index; VALUE is one of its display texts or a plain number in its range that
// lies on a step. Display texts win over numbers, so "Compressor Threshold=0dB" means the text.
class ParamResolver {
public:
  explicit ParamResolver(const std::vector<ParamInfo>& params) : mParams(params) {}

  // False with `error` set ("unknown parameter ...", "... is not a value of ...").
  bool Resolve(const std::string& assignment, ParamSetting& out, std::string& error) const;
  // Every assignment of a command line, in order; false at the first one that does not resolve.
  bool ResolveAll(const std::vector<std::string>& assignments, std::vector<ParamSetting>& out,
                  std::string& error) const;

  // The parameter named by `name` (or its index), or null.
  const ParamInfo* Find(const std::string& name) const;

private:
  const std::vector<ParamInfo>& mParams;
};

}  // namespace tbhost
