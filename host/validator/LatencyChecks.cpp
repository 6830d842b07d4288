// Latency as a host compensates it: the reported latency is the delay of an impulse through
// the plug-in in every combination of its switches (bypass and oversampling, when it has
// them) and the host's own bypass; and switching during playback never steps.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;
constexpr int kSettleFrames = 9600;  // 0.2 s: every fade and glide has ended
constexpr int kImpulseWindow = 4096;

// The plug-in's own switches, by the names they go by, and the host's bypass.
std::vector<HostParam> Switches(Validation& v, std::string& error) {
  std::vector<HostParam> found;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) return found;
  for (const char* name : {"oversampl", "bypass"})
    if (const HostParam* param = FindParam(insert->Params(), name)) found.push_back(*param);
  if (const HostParam* bypass = insert->MasterBypass()) found.push_back(*bypass);
  return found;
}

std::string Setting(const ValidatorInsert& insert, const HostParam& param) {
  return "\"" + param.name + "\" " + insert.CurrentText(param);
}

// The frame at which the impulse comes out: the largest magnitude of the first output.
int ImpulseDelay(Validation& v, ValidatorInsert& insert, std::string& problem) {
  problem = v.Play(insert, Signal::kSilence, kSettleFrames, kBlock, "settling");
  if (!problem.empty()) return -1;
  std::vector<float> out;
  for (int pos = 0; pos < kImpulseWindow; pos += kBlock) {
    problem = v.PlayBlock(insert, pos == 0 ? Signal::kImpulse : Signal::kSilence, kBlock, "impulse");
    if (!problem.empty()) return -1;
    out.insert(out.end(), insert.Output(0), insert.Output(0) + kBlock);
  }
  const auto peak = std::max_element(out.begin(), out.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
  if (std::fabs(*peak) < 1e-3f) {
    problem = "no impulse came out";
    return -1;
  }
  return static_cast<int>(peak - out.begin());
}

// The largest step between neighbouring samples of the first output over `frames`.
double LargestStep(Validation& v, ValidatorInsert& insert, int frames, float& last, std::string& problem) {
  double largest = 0.0;
  for (int done = 0; done < frames && problem.empty(); done += kBlock) {
    problem = v.PlayBlock(insert, Signal::kSine, kBlock, "");
    const float* out = insert.Output(0);
    for (int i = 0; i < kBlock; ++i) {
      largest = std::max(largest, static_cast<double>(std::fabs(out[i] - last)));
      last = out[i];
    }
  }
  return largest;
}

void CheckSwitch(Validation& v, const HostParam& param, std::vector<std::string>& done, std::string& problem) {
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) {
    problem = error;
    return;
  }
  float last = 0.0f;
  LargestStep(v, *insert, kSettleFrames, last, problem);
  const double steadyBefore = LargestStep(v, *insert, kSettleFrames / 2, last, problem);
  const double start = insert->Normalized(param.id);
  double largest = 0.0;
  for (double value : {1.0 - std::round(start), std::round(start)}) {
    insert->Automate(param.id, value);
    largest = std::max(largest, LargestStep(v, *insert, kSettleFrames / 2, last, problem));
  }
  const double steadyAfter = LargestStep(v, *insert, kSettleFrames / 2, last, problem);
  // The sine's own largest step, with room for what the plug-in does to its level.
  const double allowed = 1.25 * std::max(steadyBefore, steadyAfter) + 1e-4;
  if (problem.empty() && largest > allowed)
    problem = "switching \"" + param.name + "\" steps by " + std::to_string(largest) + " where a 1 kHz sine moves " +
              std::to_string(std::max(steadyBefore, steadyAfter)) + " at most";
  done.push_back(param.masterBypass ? "the host's bypass" : "\"" + param.name + "\"");
}

}  // namespace

void CheckLatency(Validation& v) {
  std::string error;
  const std::vector<HostParam> switches = Switches(v, error);
  if (!error.empty()) return v.Report().Fail("latency", error);

  // Every combination of the switches, each switch at its two ends.
  const int combinations = 1 << switches.size();
  for (int combination = 0; combination < combinations; ++combination) {
    std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
    if (!insert) return v.Report().Fail("latency", error);
    std::string setting;
    for (size_t s = 0; s < switches.size(); ++s) {
      insert->Automate(switches[s].id, (combination >> s) & 1 ? 1.0 : 0.0);
      setting += (setting.empty() ? "" : ", ") +
                 (switches[s].masterBypass ? std::string((combination >> s) & 1 ? "host bypass on" : "host bypass off")
                                           : Setting(*insert, switches[s]));
    }
    const std::string check = "latency with " + (setting.empty() ? std::string("the default setting") : setting);
    v.Begin(check);
    std::string problem;
    const int delay = ImpulseDelay(v, *insert, problem);
    const int reported = insert->ReportedLatency();
    if (problem.empty() && delay != reported)
      problem = "an impulse comes out after " + std::to_string(delay) + " samples, the host was told " +
                std::to_string(reported);
    v.Report().Record(check, problem, "reported " + std::to_string(reported) + " samples, measured " +
                                          std::to_string(delay));
  }
}

void CheckSwitching(Validation& v) {
  const std::string check = "switching during playback never steps";
  v.Begin(check);
  std::string error;
  const std::vector<HostParam> switches = Switches(v, error);
  if (!error.empty()) return v.Report().Fail(check, error);
  std::vector<std::string> done;
  std::string problem;
  for (const HostParam& param : switches)
    if (problem.empty()) CheckSwitch(v, param, done, problem);
  std::string names;
  for (const std::string& name : done) names += (names.empty() ? "" : ", ") + name;
  v.Report().Record(check, problem, "a 1 kHz sine through " + names + " switched each way: no step beyond the "
                                    "sine's own slope");
}

}  // namespace tbvalidate
