#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/AudioFileFormat.h"
#include "host/cli/GainReductionStats.h"
#include "host/cli/HostRenderer.h"
#include "host/cli/LoudnessMeter.h"

namespace tbhost {

// What became of one file of a render: where it went, or why it failed, and what was
// measured (loudness and peaks of input and output, the plug-in's gain reduction).
struct FileReport {
  std::string input;
  std::string output;
  bool rendered = false;
  std::string error;  // why it failed

  AudioFileFormat format;  // of the input
  RenderResult result;

  bool loudnessMeasured = false;
  LoudnessFigures inputLoudness;
  LoudnessFigures outputLoudness;

  bool reductionAvailable = false;
  GainReductionStats::Window reduction;                // the whole file
  std::vector<GainReductionStats::Window> perSecond;   // second by second
};

// What holds for every file of one render command.
struct ReportHeader {
  std::vector<std::pair<std::string, std::string>> settings;  // parameter name and display text, as applied
  std::string loadState;                                      // --load-state, when given
  std::string plugin;                                         // the module file, or the plug-in linked in
  int blockSize = 0;
  bool keepLatency = false;
  std::string loudnessUnavailable;  // why there are no loudness figures; empty when there are
};

class RenderReport {
public:
  // The figures of one rendered file as a few aligned lines of text.
  static void Print(const FileReport& file, const std::string& loudnessUnavailable, std::ostream& out);
  // The figures, the settings and the gain reduction of every file as one JSON document
  // (written to a temporary file and renamed, so a failure leaves nothing behind).
  static bool WriteJson(const std::string& path, const ReportHeader& header, const std::vector<FileReport>& files,
                        std::string& error);
};

}  // namespace tbhost
