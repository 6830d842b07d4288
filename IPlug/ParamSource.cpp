#include "IPlug/ParamSource.h"

namespace iplug {

const char* ParamSourceName(ParamSource source) {
  static const char* const kNames[] = {"Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown"};
  const int i = static_cast<int>(source);
  return (i >= 0 && i <= 6) ? kNames[i] : kNames[6];
}

}  // namespace iplug
