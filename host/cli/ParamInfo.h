#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tbhost {

// One parameter as a host sees it: what it is called, the values it takes and the texts it
// shows for them. Values are the plug-in's own (not normalised).
struct ParamInfo {
  int index = 0;
  std::string name;
  bool settable = false;  // false for channels that only carry values out of the plug-in (meters)
  double min = 0.0;
  double max = 1.0;
  double step = 1.0;
  double defaultValue = 0.0;
  std::vector<std::pair<double, std::string>> displayTexts;  // (value, text) in value order

  // The text the plug-in shows for `value`, or the number itself when it has none.
  std::string DisplayFor(double value) const;
};

// A parameter value as the host prints it: whole numbers without decimals ("15", "-2.5").
std::string FormatParamNumber(double value);

// A value chosen for one parameter.
struct ParamSetting {
  int index = 0;
  double value = 0.0;
};

}  // namespace tbhost
