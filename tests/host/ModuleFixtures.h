#pragma once
#include <string>
#include <vector>

#include "host/ReferenceWav.h"
#include "host/cli/HostMain.h"

namespace hosttest {

// The module built beside the test program (at the top of the build tree).
std::string BuiltModule();

struct HostRun {
  int status = -1;
  std::string out;
  std::string err;
};

// tollenbrook-host as the program runs it: render and params load the module (--module PATH
// or the one beside the test program), the demo uses the plug-in linked in.
HostRun RunModuleHost(const std::vector<std::string>& args);
// The same command line with the plug-in linked into the host doing everything.
HostRun RunInProcessHost(const std::vector<std::string>& args);

// 32-bit float WAVE files, so nothing is lost between plug-in and comparison.
void WriteFloatWav(const std::string& path, int channels, int sampleRate, const std::vector<double>& interleaved);
// A music-like signal: a chord, a bass line and noise bursts that come and go, loud enough
// for both sections to work. Channel c of `channels`, deterministic.
std::vector<double> MusicSignal(int frames, int channels, int sampleRate, double peak);

// The largest difference between two files' samples; infinity when their shapes differ.
double MaxDifference(const ReferenceWav& a, const ReferenceWav& b);

}  // namespace hosttest
