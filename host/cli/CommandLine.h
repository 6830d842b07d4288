#pragma once
#include <string>
#include <vector>

#include "host/validator/ValidateOptions.h"
#include "host/cli/RenderExtras.h"

namespace tbhost {

// The parsed command line of tollenbrook-host. Parameter settings stay text here; they are
// resolved against the plug-in's own parameter table.
struct CommandLine {
  enum class Command { kHelp, kVersion, kRender, kParams, kDescribe, kDemo, kSnapshot, kPresets, kEditor, kValidate };

  Command command = Command::kHelp;
  std::string input;
  std::string output;
  std::string sideChain;                 // empty: no key input
  std::vector<std::string> settings;     // "NAME=VALUE", in command-line order
  int blockSize = 512;                   // frames per render call, as RenderOptions
  bool keepLatency = false;
  bool doublePrecision = false;          // render --double-precision: 64-bit samples to the plug-in
  std::string demoDir = "tollenbrook-demo";
  float snapshotScale = 1.0f;            // draw scale of `snapshot` (output is `output`)
  std::string modulePath;                // --module: the module file; empty for the one beside the host
  std::string saveState;                 // render --save-state FILE
  std::string loadState;                 // render --load-state FILE
  // render: program and bank files, applied after --load-state (bank, program, factory preset
  // in that order) and saved after rendering.
  std::string loadProgram, saveProgram, loadBank, saveBank, preset;
  std::string presetsDir;                // presets --write DIR; empty: list the presets
  RenderExtras extras;                   // render: batches, reports, plot, --overwrite-input
  double editorSeconds = 0.0;            // editor --seconds N: close by itself after N seconds
  tbvalidate::ValidateOptions validate;  // validate [--strictness N] [--module PATH] [--seed N]

  // False with `error` set for an unknown command or option, a missing or surplus argument,
  // or a bad block size.
  static bool Parse(const std::vector<std::string>& args, CommandLine& out, std::string& error);

  static const char* Usage();
};

}  // namespace tbhost
