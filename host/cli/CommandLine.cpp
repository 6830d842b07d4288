#include "host/cli/CommandLine.h"

#include <cctype>
#include <cstdlib>

#include "host/cli/HostRenderer.h"
#include "host/cli/RenderExtrasParser.h"

#if defined(_WIN32)
#define MODULE_ARCH_TEXT "x64/Tollenbrook.aaxplugin"
#else
#define MODULE_ARCH_TEXT "x86_64-linux/Tollenbrook.so"
#endif

namespace tbhost {
namespace {

bool ParseBlockSize(const std::string& text, int& out, std::string& error) {
  bool digits = !text.empty() && text.size() <= 6;
  for (char c : text) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  const long value = digits ? std::stol(text) : 0;
  if (!digits || value < 1 || value > RenderOptions::kMaxBlockSize) {
    error = "--block needs a whole number of frames from 1 to " + std::to_string(RenderOptions::kMaxBlockSize) +
            ", got '" + text + "'";
    return false;
  }
  out = static_cast<int>(value);
  return true;
}

// Splits "--name=value" into its parts; `hasValue` tells whether "=" was there.
void SplitOption(const std::string& arg, std::string& name, std::string& value, bool& hasValue) {
  const size_t eq = arg.find('=');
  hasValue = eq != std::string::npos;
  name = hasValue ? arg.substr(0, eq) : arg;
  value = hasValue ? arg.substr(eq + 1) : std::string();
}

// Walks a command's arguments: plain ones are collected as positional, "--" ends the options,
// and each option reaches `apply` with its value, from "=VALUE" or, for an option that takes
// one, from the next argument.
template <class TakesValue, class Apply>
bool WalkOptions(const std::vector<std::string>& args, TakesValue takesValue, Apply apply,
                 std::vector<std::string>& positional, std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name, value;
    bool hasValue = false;
    SplitOption(arg, name, value, hasValue);
    if (takesValue(name) && !hasValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
      hasValue = true;
    }
    if (!apply(arg, name, value, hasValue)) return false;
  }
  return true;
}

// The field of a render option naming a program or bank file or a factory preset, or null.
std::string* PresetOption(CommandLine& out, const std::string& name) {
  if (name == "--load-program") return &out.loadProgram;
  if (name == "--save-program") return &out.saveProgram;
  if (name == "--load-bank") return &out.loadBank;
  if (name == "--save-bank") return &out.saveBank;
  if (name == "--preset") return &out.preset;
  return nullptr;
}

bool ParseRenderArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  const auto takesValue = [&out](const std::string& name) {
    return name == "--sidechain" || name == "--set" || name == "--block" || name == "--module" ||
           name == "--save-state" || name == "--load-state" || PresetOption(out, name) ||
           RenderExtrasParser::TakesValue(name);
  };
  const auto apply = [&](const std::string& arg, const std::string& name, const std::string& value,
                         bool hasValue) {
    if (std::string* field = PresetOption(out, name)) {
      if (value.empty()) {
        error = name + (name == "--preset" ? " needs a preset name" : " needs a file name");
        return false;
      }
      *field = value;
      return true;
    }
    if (const auto extra = RenderExtrasParser::Apply(name, value, hasValue, out, error);
        extra != RenderExtrasParser::Outcome::kNotMine)
      return extra == RenderExtrasParser::Outcome::kApplied;
    if (name == "--set") {
      out.settings.push_back(value);
      return true;
    }
    if (name == "--block") return ParseBlockSize(value, out.blockSize, error);
    if (name == "--keep-latency" && !hasValue) {
      out.keepLatency = true;
      return true;
    }
    if (name == "--double-precision" && !hasValue) {
      out.doublePrecision = true;
      return true;
    }
    if (name == "--sidechain" || name == "--module" || name == "--save-state" || name == "--load-state") {
      if (value.empty()) {
        error = name + " needs a file name";
        return false;
      }
      (name == "--sidechain" ? out.sideChain
       : name == "--module"  ? out.modulePath
       : name == "--save-state" ? out.saveState
                                : out.loadState) = value;
      return true;
    }
    error = "unknown option '" + arg + "' for render (see --help)";
    return false;
  };
  std::vector<std::string> positional;
  if (!WalkOptions(args, takesValue, apply, positional, error)) return false;
  return RenderExtrasParser::AssignFiles(positional, out, error);
}

// Commands whose only option is the module: params and describe.
bool ParseModuleArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  for (size_t i = 1; i < args.size(); ++i) {
    std::string name, value;
    bool hasValue = false;
    SplitOption(args[i], name, value, hasValue);
    if (name != "--module") {
      error = args[0] + " takes no arguments but --module PATH; unexpected '" + args[i] + "'";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) {
        error = "--module needs a file name";
        return false;
      }
      value = args[++i];
    }
    if (value.empty()) {
      error = "--module needs a file name";
      return false;
    }
    out.modulePath = value;
  }
  return true;
}

bool ParsePresetsArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  const auto takesValue = [](const std::string& name) { return name == "--write"; };
  const auto apply = [&](const std::string& arg, const std::string& name, const std::string& value, bool) {
    if (name == "--write" && !value.empty()) {
      out.presetsDir = value;
      return true;
    }
    error = name == "--write" ? "--write needs a directory" : "unknown option '" + arg + "' for presets (see --help)";
    return false;
  };
  std::vector<std::string> positional;
  if (!WalkOptions(args, takesValue, apply, positional, error)) return false;
  if (!positional.empty()) {
    error = "presets takes no arguments but --write DIR; unexpected '" + positional[0] + "'";
    return false;
  }
  return true;
}

bool ParseDemoArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (!optionsEnded && args[i] == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && args[i].size() > 1 && args[i][0] == '-') {
      error = "unknown option '" + args[i] + "' for demo (see --help)";
      return false;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() > 1) {
    error = "demo takes at most one output directory; unexpected '" + positional[1] + "'";
    return false;
  }
  if (!positional.empty()) out.demoDir = positional[0];
  return true;
}

bool ParseScale(const std::string& text, float& out, std::string& error) {
  char* end = nullptr;
  const double value = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= 0.5 && value <= 2.0)) {
    error = "--scale needs a number from 0.5 to 2, got '" + text + "'";
    return false;
  }
  out = static_cast<float>(value);
  return true;
}

bool ParseSnapshotArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  const auto takesValue = [](const std::string& name) { return name == "--set" || name == "--scale"; };
  const auto apply = [&](const std::string& arg, const std::string& name, const std::string& value, bool) {
    if (name == "--set") {
      out.settings.push_back(value);
      return true;
    }
    if (name == "--scale") return ParseScale(value, out.snapshotScale, error);
    error = "unknown option '" + arg + "' for snapshot (see --help)";
    return false;
  };
  std::vector<std::string> positional;
  if (!WalkOptions(args, takesValue, apply, positional, error)) return false;
  if (positional.size() != 1) {
    error = positional.empty() ? "snapshot needs an output PNG file (see --help)"
                               : "snapshot takes one output file; unexpected '" + positional[1] + "'";
    return false;
  }
  out.output = positional[0];
  return true;
}

bool ParseEditorArgs(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  const auto takesValue = [](const std::string& name) {
    return name == "--set" || name == "--module" || name == "--seconds";
  };
  const auto apply = [&](const std::string& arg, const std::string& name, const std::string& value, bool) {
    if (name == "--set") {
      out.settings.push_back(value);
      return true;
    }
    if (name == "--module") {
      if (value.empty()) error = "--module needs a file name";
      out.modulePath = value;
      return !value.empty();
    }
    if (name == "--seconds") {
      char* end = nullptr;
      const double seconds = value.empty() ? 0.0 : std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !(seconds > 0.0 && seconds <= 86400.0)) {
        error = "--seconds needs a number of seconds above 0, got '" + value + "'";
        return false;
      }
      out.editorSeconds = seconds;
      return true;
    }
    error = "unknown option '" + arg + "' for editor (see --help)";
    return false;
  };
  std::vector<std::string> positional;
  if (!WalkOptions(args, takesValue, apply, positional, error)) return false;
  if (!positional.empty()) {
    error = "editor takes no file; unexpected '" + positional[0] + "'";
    return false;
  }
  return true;
}

}  // namespace

bool CommandLine::Parse(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
  out = CommandLine{};
  if (args.empty()) {
    error = "no command given (see --help)";
    return false;
  }
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out.command = Command::kHelp;
      return true;
    }
    if (arg == "--") break;
  }
  const std::string& command = args[0];
  if (command == "help") {
    out.command = Command::kHelp;
    return true;
  }
  if (command == "--version") {
    out.command = Command::kVersion;
    if (args.size() > 1) {
      error = "--version takes no arguments";
      return false;
    }
    return true;
  }
  if (command == "render") {
    out.command = Command::kRender;
    return ParseRenderArgs(args, out, error);
  }
  if (command == "params") {
    out.command = Command::kParams;
    return ParseModuleArgs(args, out, error);
  }
  if (command == "describe") {
    out.command = Command::kDescribe;
    return ParseModuleArgs(args, out, error);
  }
  if (command == "presets") {
    out.command = Command::kPresets;
    return ParsePresetsArgs(args, out, error);
  }
  if (command == "demo") {
    out.command = Command::kDemo;
    return ParseDemoArgs(args, out, error);
  }
  if (command == "snapshot") {
    out.command = Command::kSnapshot;
    return ParseSnapshotArgs(args, out, error);
  }
  if (command == "editor") {
    out.command = Command::kEditor;
    return ParseEditorArgs(args, out, error);
  }
  if (command == "validate") {
    out.command = Command::kValidate;
    return tbvalidate::ValidateOptions::Parse(args, out.validate, error);
  }
  error = "unknown command '" + command + "' (see --help)";
  return false;
}

const char* CommandLine::Usage() {
  return "Usage:\n"
         "  tollenbrook-host render IN OUT [--sidechain FILE] [--set NAME=VALUE]... [--block N] [--keep-latency]\n"
         "                          [--load-state FILE] [--save-state FILE] [--module PATH] [--double-precision]\n"
         "                          [--preset NAME] [--load-program FILE.fxp] [--save-program FILE.fxp]\n"
         "                          [--load-bank FILE.fxb] [--save-bank FILE.fxb]\n"
         "                          [--report] [--report-json FILE] [--plot FILE.png] [--overwrite-input]\n"
         "  tollenbrook-host render IN... --out-dir DIR [--jobs N] [the options above but --plot]\n"
         "  tollenbrook-host params [--module PATH]\n"
         "  tollenbrook-host presets [--write DIR]\n"
         "  tollenbrook-host describe [--module PATH]\n"
         "  tollenbrook-host demo [OUTDIR]\n"
         "  tollenbrook-host snapshot OUT.png [--scale S] [--set NAME=VALUE]...\n"
         "  tollenbrook-host editor [--set NAME=VALUE]... [--module PATH] [--seconds N]\n"
         "  tollenbrook-host validate [--strictness 1..10] [--module PATH] [--seed N] [--double-precision]\n"
         "  tollenbrook-host --help | --version\n"
         "\n"
         "render   Plays IN through Tollenbrook and writes OUT with the same sample rate, channels and\n"
         "         sample format. A mono file uses the plug-in as a mono insert, a stereo file as a\n"
         "         stereo insert; more channels are refused. The Linux build reads every format\n"
         "         libsndfile reads (WAV, AIFF, FLAC, Ogg ...), the Windows build RIFF WAVE files.\n"
         "           --sidechain FILE  key input: the file's channels are averaged into the plug-in's\n"
         "                             side-chain input (same sample rate as IN; silence after its end).\n"
         "                             Takes effect with --set \"External Sidechain=1\".\n"
         "           --set NAME=VALUE  a parameter by name or index, set to one of its display texts or\n"
         "                             to a number in its range: --set Ratio=4:1\n"
         "                             --set \"Compressor Threshold=-12dB\" --set Bypass=0 --set 4=3\n"
         "           --block N         render block size in frames, 1 to 65536 (default 512)\n"
         "           --keep-latency    keep the plug-in's latency (64 frames with oversampling) in OUT\n"
         "                             instead of aligning OUT with IN\n"
         "           --double-precision  hand the plug-in 64-bit samples (a VST3 bundle; the files keep\n"
         "                             their format); refused by a plug-in that takes 32-bit only\n"
         "           --load-state FILE start from a state saved with --save-state (settings given with\n"
         "                             --set apply on top of it); a file that holds no valid state is\n"
         "                             refused before anything is rendered\n"
         "           --save-state FILE after rendering, save the plug-in's state (its \"TLK1\" chunk)\n"
         "           --preset NAME     start from a factory preset (see presets)\n"
         "           --load-program FILE, --load-bank FILE\n"
         "                             start from a program (.fxp) or bank (.fxb) file, after --load-state\n"
         "                             and before --set; a file the plug-in refuses stops the render\n"
         "           --save-program FILE, --save-bank FILE\n"
         "                             after rendering, save the settings used as a program or bank file\n"
         "           --report          print the integrated loudness (LUFS), loudness range (LU), sample\n"
         "                             peak (dBFS) and true peak (dBTP) of IN and OUT, and the gain\n"
         "                             reduction of both sections (not available in the Windows build)\n"
         "           --report-json FILE the same figures, the settings and the gain reduction second by\n"
         "                             second, as JSON\n"
         "           --plot FILE.png   draw the waveforms of IN and OUT and the gain reduction of the\n"
         "                             compressor and the limiter over time (not in the Windows build)\n"
         "           --overwrite-input allow OUT to be IN or the side-chain file itself; without it such\n"
         "                             a render is refused, however the name is spelt or linked\n"
         "         With --out-dir DIR every IN (a file, or a folder for the sound files in it) is\n"
         "         rendered into DIR under its own name and format, --jobs N files at a time (default:\n"
         "         one per core), each by a fresh plug-in instance, so every output equals a render of\n"
         "         that file alone. A file that fails is named with the reason and leaves no output;\n"
         "         the others complete, and the exit status is 1.\n"
         "         Warnings (samples clipped in OUT, an IN that holds fewer frames than its header\n"
         "         promises, which is rendered for what it holds) leave the exit status at 0.\n"
         "params   Lists the parameters: index, name, range, default and display texts.\n"
         "presets  Lists the factory presets with their settings and what each does to the demo clip\n"
         "         and to a loud finished mix (gain reduction of both sections, output sample and true\n"
         "         peak); --write DIR writes their program files into DIR, made afresh by the plug-in.\n"
         "describe Prints what a host learns from the module: the effect, its components with their\n"
         "         properties and context fields, and the host parameters with steps, types and texts.\n"
         "demo     Synthesises a 10-second test clip, renders it with a musical setting and prints\n"
         "         levels, loudness and gain reduction; writes demo-input.wav, demo-output.wav,\n"
         "         demo-plot.png and editor.png (the editor at that setting) into OUTDIR (default\n"
         "         ./tollenbrook-demo).\n"
         "snapshot Draws the editor with the settings applied and the needles showing a short render\n"
         "         of the demo clip into a PNG (off-screen on Linux; on Windows in a window whose\n"
         "         picture is read back); --scale S zooms it (0.5 to 2).\n"
         "editor   Opens the plug-in's editor in a window of its own, as an AAX host does, with the demo\n"
         "         clip looping through the plug-in so the meters move; runs until the window is\n"
         "         closed (or for --seconds N). On Linux the window is an X11 window on DISPLAY (no\n"
         "         display: it says so and exits with status 2); on Windows a Win32 window. A VST3\n"
         "         bundle's view opens there as a VST3 host opens it (on Linux on the host's run loop).\n"
         "validate Loads the module as a host does and checks it: audio at many sample rates and block\n"
         "         sizes, parameters, state, threads, latency, switching, bad input, and that the audio\n"
         "         thread allocates nothing and takes no lock. One line per check, then \"N passed, N\n"
         "         failed\"; exit status 0 only when every check passed (1 otherwise). --strictness sets\n"
         "         how much is checked (default 10, everything); --seed replays a run's random choices;\n"
         "         --double-precision runs every check with 64-bit samples (a VST3 bundle).\n"
         "\n"
         "\n"
         "render, params, describe, editor and validate load the AAX module at run time, as a host\n"
         "does: the one named with --module PATH, or else\n"
         "Tollenbrook.aaxplugin/Contents/" MODULE_ARCH_TEXT " beside the host (or up to two\n"
         "directories above it). --module also takes an LV2 bundle (Linux) and a VST3 bundle\n"
         "(PATH/Tollenbrook.vst3, whose Contents hold the binary of each system). demo, snapshot and presets use the plug-in linked into the host,\n"
         "which reports the gain reduction of each block.\n"
         "\n"
         "Errors print one line starting with \"tollenbrook-host:\" and exit with status 2; a batch in\n"
         "which some files failed (or that was interrupted) exits with status 1.\n";
}

}  // namespace tbhost
