#include "host/cli/LoudnessMeter.h"

namespace tbhost {
namespace {
constexpr const char* kWhy = "the loudness report is not available in the Windows build (it has no libebur128)";
}  // namespace

bool LoudnessMeter::Available(std::string& why) {
  why = kWhy;
  return false;
}

std::unique_ptr<LoudnessMeter> LoudnessMeter::Create(int, int, std::string& error) {
  error = kWhy;
  return nullptr;
}

}  // namespace tbhost
