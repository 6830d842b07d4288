#include "host/cli/ParamsCommand.h"

#include <cstdio>
#include <string>

namespace tbhost {
namespace {

constexpr size_t kLineWidth = 100;
constexpr const char* kIndent = "                ";

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// "0=-20dB  1=-18dB ..." wrapped under the parameter's line.
void PrintTexts(const ParamInfo& p, std::ostream& out) {
  std::string line = kIndent;
  for (const auto& [value, text] : p.displayTexts) {
    const std::string item = FormatParamNumber(value) + "=" + text;
    if (line.size() > std::string(kIndent).size() && line.size() + item.size() + 2 > kLineWidth) {
      out << line << '\n';
      line = kIndent;
    }
    if (line.size() > std::string(kIndent).size()) line += "  ";
    line += item;
  }
  out << line << '\n';
}

}  // namespace

void ParamsCommand::Print(const std::vector<ParamInfo>& params, std::ostream& out) {
  out << "Tollenbrook parameters. Set them with --set NAME=VALUE, by name or index, to a display text\n"
         "or to a number in the range: --set \"Ratio=4:1\" or --set 4=3.\n\n";
  out << "index  name                       range      default\n";
  for (const ParamInfo& p : params) {
    char index[16];
    std::snprintf(index, sizeof index, "%5d  ", p.index);
    const std::string name = p.name.empty() ? "(meter channel)" : p.name;
    const std::string range = FormatParamNumber(p.min) + " to " + FormatParamNumber(p.max);
    std::string def = FormatParamNumber(p.defaultValue);
    if (!p.displayTexts.empty()) def += " (" + p.DisplayFor(p.defaultValue) + ")";
    out << index << Padded(name, 27) << Padded(range, 11) << def;
    if (!p.settable) out << "   read-only: carries a meter value out of the plug-in";
    out << '\n';
    if (!p.displayTexts.empty()) PrintTexts(p, out);
  }
}

}  // namespace tbhost
