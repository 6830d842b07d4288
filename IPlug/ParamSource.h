#pragma once

namespace iplug {

// Where a parameter change came from; traces print the names.
enum class ParamSource : int {
  kReset = 0,
  kHost = 1,
  kPresetRecall = 2,  // preset or state recall
  kUI = 3,            // the editor
  kDelegate = 4,      // the editor delegate
  kRecompile = 5,
  kUnknown = 6,
};

const char* ParamSourceName(ParamSource source);

}  // namespace iplug
