#include "host/validator/ValidateOptions.h"

#include <cctype>

namespace tbvalidate {
namespace {

bool ParseWhole(const std::string& text, uint64_t max, uint64_t& out) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = value;
  return true;
}

}  // namespace

bool ValidateOptions::Parse(const std::vector<std::string>& args, ValidateOptions& out, std::string& error) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    std::string value;
    if (arg == "--double-precision") {
      out.doublePrecision = true;
      continue;
    }
    if (name != "--strictness" && name != "--seed" && name != "--module") {
      error = "unknown option '" + arg + "' for validate (see --help)";
      return false;
    }
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      error = name + " needs a value";
      return false;
    }
    uint64_t number = 0;
    if (name == "--strictness") {
      if (!ParseWhole(value, kMaxStrictness, number) || number < 1) {
        error = "--strictness needs a whole number from 1 to 10, got '" + value + "'";
        return false;
      }
      out.strictness = static_cast<int>(number);
    } else if (name == "--seed") {
      if (!ParseWhole(value, UINT64_MAX, number)) {
        error = "--seed needs a whole number from 0 to 18446744073709551615, got '" + value + "'";
        return false;
      }
      out.seed = number;
      out.seedGiven = true;
    } else {
      if (value.empty()) {
        error = "--module needs a file name";
        return false;
      }
      out.modulePath = value;
    }
  }
  return true;
}

}  // namespace tbvalidate
