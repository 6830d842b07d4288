#pragma once
#include <atomic>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/PluginInstance.h"

namespace tbhost {

// `tollenbrook-host demo`: synthesises the test clip, renders it with a musical setting and
// prints levels, loudness and the gain reduction of both sections over time, and draws the plot.
class DemoCommand {
public:
  static constexpr const char* kInputName = "demo-input.wav";
  static constexpr const char* kOutputName = "demo-output.wav";
  static constexpr const char* kPlotName = "demo-plot.png";

  // The setting the demo renders with, as --set arguments.
  static const std::vector<std::string>& Setting();

  static bool Run(const std::string& dir, const PluginFactory& makePlugin, std::FILE* progress,
                  const std::atomic<bool>* cancel, std::ostream& out, std::string& error);
};

}  // namespace tbhost
