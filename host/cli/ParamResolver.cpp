#include "host/cli/ParamResolver.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace tbhost {
namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

// Lower case without blanks: "-12 dB" and "oversampling on" find "-12dB" and "Oversampling On".
std::string Folded(const std::string& s) {
  std::string out;
  for (char c : s)
    if (!std::isspace(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// A plain decimal number: sign, digits, fraction, exponent; no hexadecimal, no "inf" or "nan".
bool ParseDecimal(const std::string& s, double& out) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  out = std::strtod(s.c_str(), nullptr);
  return std::isfinite(out);
}

std::string Choices(const ParamInfo& p) {
  std::string text;
  if (!p.displayTexts.empty()) {
    text = "one of ";
    for (size_t i = 0; i < p.displayTexts.size(); ++i) text += (i ? ", " : "") + p.displayTexts[i].second;
    text += ", or ";
  }
  text += "a number from " + FormatParamNumber(p.min) + " to " + FormatParamNumber(p.max);
  if (p.step > 0.0) text += " in steps of " + FormatParamNumber(p.step);
  return text;
}

// An exact match first; then one that differs only in case and blanks.
bool MatchDisplayText(const ParamInfo& p, const std::string& value, double& out) {
  for (const auto& [v, text] : p.displayTexts) {
    if (text == value) {
      out = v;
      return true;
    }
  }
  const std::string folded = Folded(value);
  for (const auto& [v, text] : p.displayTexts) {
    if (Folded(text) == folded) {
      out = v;
      return true;
    }
  }
  return false;
}

}  // namespace

const ParamInfo* ParamResolver::Find(const std::string& rawName) const {
  const std::string name = Trim(rawName);
  if (AllDigits(name)) {
    if (name.size() > 6) return nullptr;
    const int index = std::atoi(name.c_str());
    for (const ParamInfo& p : mParams)
      if (p.index == index) return &p;
    return nullptr;
  }
  for (const ParamInfo& p : mParams)
    if (!p.name.empty() && p.name == name) return &p;
  const std::string folded = Folded(name);
  for (const ParamInfo& p : mParams)
    if (!p.name.empty() && Folded(p.name) == folded) return &p;
  return nullptr;
}

bool ParamResolver::Resolve(const std::string& assignment, ParamSetting& out, std::string& error) const {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) {
    error = "--set needs NAME=VALUE, got '" + assignment + "'";
    return false;
  }
  const std::string name = Trim(assignment.substr(0, eq));
  const std::string value = Trim(assignment.substr(eq + 1));
  const ParamInfo* p = Find(name);
  if (!p) {
    error = "unknown parameter '" + name + "' (tollenbrook-host params lists them)";
    return false;
  }
  const std::string label = p->name.empty() ? "parameter " + std::to_string(p->index) : "'" + p->name + "'";
  if (!p->settable) {
    error = label + " is a meter channel and cannot be set";
    return false;
  }
  out.index = p->index;
  if (MatchDisplayText(*p, value, out.value)) return true;

  double number = 0.0;
  if (!ParseDecimal(value, number)) {
    error = "'" + value + "' is not a value of " + label + " (" + Choices(*p) + ")";
    return false;
  }
  if (number < p->min || number > p->max) {
    error = value + " is out of range for " + label + " (" + Choices(*p) + ")";
    return false;
  }
  if (p->step > 0.0) {
    const double steps = (number - p->min) / p->step;
    if (std::fabs(steps - std::round(steps)) > 1e-9) {
      error = value + " is not on a step of " + label + " (" + Choices(*p) + ")";
      return false;
    }
    number = p->min + std::round(steps) * p->step;
  }
  out.value = number;
  return true;
}

bool ParamResolver::ResolveAll(const std::vector<std::string>& assignments, std::vector<ParamSetting>& out,
                               std::string& error) const {
  for (const std::string& text : assignments) {
    ParamSetting setting;
    if (!Resolve(text, setting, error)) return false;
    out.push_back(setting);
  }
  return true;
}

}  // namespace tbhost
