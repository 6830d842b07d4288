#include "tools/lv2-turtle/LV2PresetWriter.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "IPlug/FxFile.h"
#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Catalogue.h"
#include "IPlug/LV2/LV2PortLayout.h"
#include "IPlug/LV2/LV2Turtle.h"

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A port value as a Turtle decimal ("9.0"): hosts take port values as floats.
std::string Decimal(double value) {
  std::string text = iplug::LV2Turtle::Number(value);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

}  // namespace

bool LV2PresetWriter::Read(iplug::IPlugLV2& plug, const std::filesystem::path& dir, std::string& error) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.path().extension() == ".fxp") files.push_back(entry.path());
  if (ec) {
    error = "cannot list " + dir.string() + ": " + ec.message();
    return false;
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    const std::vector<uint8_t> bytes = ReadFile(file);
    iplug::FxFile::Program parsed;
    iplug::TextBuffer why;
    const int size = static_cast<int>(bytes.size());
    if (!iplug::FxFile::ParseProgram(bytes.data(), size, parsed, &why) ||
        !plug.ReadProgramData(bytes.data(), size, &why)) {
      error = file.string() + ": " + why.Get();
      return false;
    }
    Program program;
    program.mName = parsed.name;
    for (int i = 0; i < plug.NParams(); ++i) program.mValues.push_back(plug.GetParam(i)->Value());
    iplug::ByteChunk state;
    if (program.mName.empty() || !plug.SerializeState(state)) {
      error = file.string() + ": no program name or no state";
      return false;
    }
    program.mState.assign(state.Data(), state.Data() + state.Size());
    mPrograms.push_back(std::move(program));
  }
  return true;
}

std::string LV2PresetWriter::PresetURI(const std::string& pluginURI, const std::string& name) {
  return pluginURI + ":preset:" + iplug::LV2Catalogue::Slug(name.c_str(), '-');
}

std::string LV2PresetWriter::Base64(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) group = group << 8 | (k < n ? bytes[i + k] : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

void LV2PresetWriter::WriteManifestEntries(const iplug::LV2Catalogue& catalogue, const std::string& presetsFile,
                                           std::ostream& out) const {
  if (mPrograms.empty()) return;
  out << "\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n";
  for (const iplug::LV2Component& c : catalogue.Components())
    for (const Program& p : mPrograms)
      out << "\n<" << PresetURI(c.mURI, p.mName) << ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" << c.mURI
          << "> ;\n\trdfs:label " << iplug::LV2Turtle::Literal(p.mName) << " ;\n\trdfs:seeAlso <" << presetsFile
          << "> .\n";
}

void LV2PresetWriter::WritePresets(const iplug::IPlugLV2& plug, const iplug::LV2Catalogue& catalogue,
                                   std::ostream& out) const {
  out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
         "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
         "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n";
  // The key the plug-in stores its state under, described for validators.
  out << "\n<" << catalogue.StateKeyURI() << ">\n\ta rdf:Property ;\n\trdfs:label "
      << iplug::LV2Turtle::Literal(std::string(plug.GetPluginName()) + " state")
      << " ;\n\trdfs:comment \"The plug-in's complete state: editor geometry, then every parameter value.\" .\n";
  for (const iplug::LV2Component& c : catalogue.Components()) {
    const iplug::LV2PortLayout layout(plug, c);
    for (const Program& p : mPrograms) {
      out << "\n<" << PresetURI(c.mURI, p.mName) << ">\n\ta pset:Preset ;\n\tlv2:appliesTo <" << c.mURI
          << "> ;\n\trdfs:label " << iplug::LV2Turtle::Literal(p.mName);
      bool first = true;
      for (const iplug::LV2PortEntry& port : layout.Ports()) {
        if (port.mRole != iplug::LV2PortRole::kParam) continue;
        out << (first ? " ;\n\tlv2:port [\n" : " , [\n") << "\t\tlv2:symbol " << iplug::LV2Turtle::Literal(port.mSymbol)
            << " ;\n\t\tpset:value " << Decimal(p.mValues[static_cast<size_t>(port.mIdx)])
            << "\n\t]";
        first = false;
      }
      // The state is stored as a host stores it, so hosts restore it as the plug-in saved it.
      out << " ;\n\tstate:state [\n\t\t<" << catalogue.StateKeyURI() << "> \"" << Base64(p.mState)
          << "\"^^xsd:base64Binary\n\t] .\n";
    }
  }
}
