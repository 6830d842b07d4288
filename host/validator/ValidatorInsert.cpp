#include "host/validator/ValidatorInsert.h"

#include "host/validator/OutputCheck.h"

namespace tbvalidate {

const HostParam* ValidatorInsert::MasterBypass() const {
  for (const HostParam& param : mParams)
    if (param.masterBypass) return &param;
  return nullptr;
}

std::string ValidatorInsert::ExamineOutputs(int n, double limit) {
  for (int c = 0; c < Channels(); ++c) {
    const std::string problem = OutputCheck::Examine(Output(c), n, limit);
    if (!problem.empty()) return "output " + std::to_string(c) + ": " + problem;
  }
  return {};
}

}  // namespace tbvalidate
