// Parameters as a host moves them: every step, random settings, automation at the fastest
// rates, display texts read back, and values outside the range.
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 256;

std::string Named(const HostParam& param) { return "\"" + param.name + "\" (" + param.id + ")"; }

// Every parameter at every step (or at its two ends), two blocks of noise each.
void CheckSteps(Validation& v, ValidatorInsert& insert) {
  const std::string check = v.Plan().everyStep ? "every step of every parameter" : "every parameter at both ends";
  v.Begin(check);
  std::string problem;
  int settings = 0;
  for (const HostParam& param : insert.Params()) {
    const int steps = std::max(param.steps, 2);
    for (int k = 0; k < steps && problem.empty(); ++k) {
      if (!v.Plan().everyStep && k != 0 && k != steps - 1) continue;
      const double value = static_cast<double>(k) / (steps - 1);
      insert.Automate(param.id, value);
      ++settings;
      problem = v.Play(insert, Signal::kNoise, 2 * kBlock, kBlock, Named(param) + " at " +
                                                                      insert.Text(param, value));
    }
    insert.Automate(param.id, param.defaultNormalized);
  }
  v.Report().Record(check, problem, std::to_string(settings) + " settings, each heard for two blocks");
}

void CheckRandomSettings(Validation& v, ValidatorInsert& insert) {
  const std::string check = "random settings";
  v.Begin(check);
  std::uniform_int_distribution<int> size(1, 2048);
  std::string problem;
  for (int round = 0; round < v.Plan().randomSettings && problem.empty(); ++round) {
    for (const HostParam& param : insert.Params())
      if (!param.masterBypass) insert.Automate(param.id, v.RandomValue(param));
    for (int b = 0; b < v.Plan().blocksPerSetting && problem.empty(); ++b)
      problem = v.PlayBlock(insert, Signal::kNoise, size(v.Rng()), "setting " + std::to_string(round + 1));
  }
  v.Report().Record(check, problem,
                    std::to_string(v.Plan().randomSettings) + " settings of every parameter, " +
                        std::to_string(v.Plan().blocksPerSetting) + " blocks each");
}

// A parameter changes before every block of `interval` samples, for a quarter of a second.
void CheckAutomation(Validation& v, ValidatorInsert& insert, int interval) {
  const std::string check = "automation every " + std::to_string(interval) + (interval == 1 ? " sample" : " samples");
  v.Begin(check);
  // A plug-in without settable parameters has nothing to automate (and no index to draw).
  if (insert.Params().empty()) {
    v.Report().Record(check, "", "no parameter to automate");
    return;
  }
  std::uniform_int_distribution<size_t> pick(0, insert.Params().size() - 1);
  std::string problem;
  const int blocks = static_cast<int>(kRate / 4) / interval;
  for (int b = 0; b < blocks && problem.empty(); ++b) {
    const HostParam& param = insert.Params()[pick(v.Rng())];
    insert.Automate(param.id, v.RandomValue(param));
    problem = v.PlayBlock(insert, Signal::kNoise, interval, "");
  }
  v.Report().Record(check, problem, std::to_string(blocks) + " changes of random parameters to random values");
}

// What a parameter shows reads back to what it shows.
void CheckDisplayTexts(Validation& v, ValidatorInsert& insert) {
  const std::string check = "every display text reads back to its value";
  std::string problem;
  int texts = 0;
  for (const HostParam& param : insert.Params()) {
    const int steps = std::max(param.steps, 2);
    for (int k = 0; k < steps && problem.empty(); ++k) {
      const double value = static_cast<double>(k) / (steps - 1);
      const std::string text = insert.Text(param, value);
      double back = -1.0;
      if (text.empty()) {
        problem = Named(param) + " shows nothing at " + std::to_string(value);
      } else if (!insert.ValueFromText(param, text, back)) {
        problem = Named(param) + " does not read its own text \"" + text + "\"";
      } else if (!(back >= 0.0 && back <= 1.0) || insert.Text(param, back) != text) {
        problem = Named(param) + " reads \"" + text + "\" as " + std::to_string(back) + ", which shows \"" +
                  insert.Text(param, back) + "\"";
      }
      ++texts;
    }
  }
  v.Report().Record(check, problem, std::to_string(texts) + " texts of " + std::to_string(insert.Params().size()) +
                                        " parameters");
}

// Values beyond 0 .. 1 are clamped, a NaN changes nothing, and what is stored stays in range.
void CheckOutOfRange(Validation& v, ValidatorInsert& insert) {
  const std::string check = "values outside the range are clamped, never stored";
  v.Begin(check);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Attempt {
    double value;
    double expected;  // negative: unchanged
  };
  const Attempt attempts[] = {{1.5, 1.0}, {-0.5, 0.0}, {1e300, 1.0}, {-1e300, 0.0}, {inf, 1.0}, {-inf, 0.0}, {nan, -1.0}};
  std::string problem;
  for (const HostParam& param : insert.Params()) {
    for (const Attempt& attempt : attempts) {
      for (bool hostSide : {false, true}) {
        const double before = insert.Normalized(param.id);
        if (hostSide)
          insert.SetFromHost(param.id, attempt.value);
        else
          insert.Automate(param.id, attempt.value);
        const double now = insert.Normalized(param.id);
        const double expected = attempt.expected < 0.0 ? before : attempt.expected;
        if (problem.empty() && !(now == expected))
          problem = Named(param) + " set to " + std::to_string(attempt.value) + (hostSide ? " by the host" : "") +
                    " holds " + std::to_string(now) + ", not " + std::to_string(expected);
      }
    }
    double parsed = -1.0;
    for (const char* text : {"1e300", "-1e300", "99999", "-99999"})
      if (problem.empty() && insert.ValueFromText(param, text, parsed) &&
          !(parsed >= 0.0 && parsed <= 1.0))
        problem = Named(param) + " reads \"" + text + "\" as " + std::to_string(parsed);
    insert.Automate(param.id, param.defaultNormalized);
  }
  if (problem.empty()) problem = v.Play(insert, Signal::kNoise, 2 * kBlock, kBlock, "afterwards");
  v.Report().Record(check, problem, "1.5, -0.5, +-1e300 and +-infinity clamped, NaN refused, by automation and by the "
                                    "host; out-of-range texts read inside the range");
}

}  // namespace

void CheckParameters(Validation& v) {
  std::string error;
  std::unique_ptr<ValidatorInsert> insert = v.NewInsert(2, kRate, error);
  if (!insert) {
    v.Report().Fail("parameters", error);
    return;
  }
  CheckSteps(v, *insert);
  if (v.Plan().randomSettings > 0) CheckRandomSettings(v, *insert);
  for (int interval : v.Plan().automationIntervals) CheckAutomation(v, *insert, interval);
  CheckDisplayTexts(v, *insert);
  CheckOutOfRange(v, *insert);
}

}  // namespace tbvalidate
