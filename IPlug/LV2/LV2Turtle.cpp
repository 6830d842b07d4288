#include "IPlug/LV2/LV2Turtle.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "IPlug/HostParams.h"
#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2PortLayout.h"

namespace iplug {

namespace {

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// The LV2 unit of a parameter unit, or null where LV2 has none.
const char* UnitOf(IParam::EParamUnit unit) {
  switch (unit) {
    case IParam::kUnitPercentage: return "units:pc";
    case IParam::kUnitSeconds: return "units:s";
    case IParam::kUnitMilliseconds: return "units:ms";
    case IParam::kUnitSamples: return "units:frame";
    case IParam::kUnitDB: return "units:db";
    case IParam::kUnitLinearGain: return "units:coef";
    case IParam::kUnitPhase:
    case IParam::kUnitDegrees: return "units:degree";
    case IParam::kUnitMeters: return "units:m";
    case IParam::kUnitFrequency: return "units:hz";
    case IParam::kUnitOctaves: return "units:oct";
    case IParam::kUnitCents:
    case IParam::kUnitAbsCents: return "units:cent";
    case IParam::kUnitSemitones: return "units:semitone12TET";
    case IParam::kUnitMIDINote: return "units:midiNote";
    case IParam::kUnitBPM: return "units:bpm";
    case IParam::kUnitBeats: return "units:beat";
    default: return nullptr;
  }
}

bool IsWhole(double v) { return std::isfinite(v) && v == std::floor(v); }

// A parameter whose every value in its range has a display text is a choice among them.
bool EveryValueHasText(const IParam& param) {
  if (param.NDisplayTexts() == 0 || !IsWhole(param.GetMin()) || !IsWhole(param.GetMax())) return false;
  if (param.GetRange() + 1.0 > param.NDisplayTexts()) return false;
  for (double v = param.GetMin(); v <= param.GetMax(); v += 1.0)
    if (!param.GetDisplayText(v)) return false;
  return true;
}

void WriteUnit(const IParam& param, std::ostream& out) {
  if (const char* unit = UnitOf(param.Unit())) {
    out << " ;\n\t\tunits:unit " << unit;
  } else if (*param.GetLabel()) {
    const std::string label = LV2Turtle::Literal(param.GetLabel());
    out << " ;\n\t\tunits:unit [\n\t\t\ta units:Unit ;\n\t\t\trdfs:label " << label << " ;\n\t\t\tunits:symbol "
        << label << " ;\n\t\t\tunits:render " << LV2Turtle::Literal(std::string("%f ") + param.GetLabel())
        << "\n\t\t]";
  }
}

void WriteParamPort(const IParam& param, std::ostream& out) {
  const HostParams::Shape shape = HostParams::ShapeOf(param);
  const bool whole = shape != HostParams::Shape::kContinuous;
  const bool choice = shape == HostParams::Shape::kList || (whole && EveryValueHasText(param));
  const bool toggle = shape == HostParams::Shape::kSwitch ||
                      (whole && param.NDisplayTexts() == 0 && param.GetMin() == 0.0 && param.GetMax() == 1.0);
  out << " ;\n\t\tlv2:default " << LV2Turtle::Number(param.GetDefault()) << " ;\n\t\tlv2:minimum "
      << LV2Turtle::Number(param.GetMin()) << " ;\n\t\tlv2:maximum " << LV2Turtle::Number(param.GetMax());

  std::vector<const char*> properties;
  if (whole) properties.push_back("lv2:integer");
  if (choice) properties.push_back("lv2:enumeration");
  if (toggle) properties.push_back("lv2:toggled");
  if (!param.GetCanAutomate()) properties.push_back("pprops:notAutomatic");
  for (size_t i = 0; i < properties.size(); ++i) out << (i == 0 ? " ;\n\t\tlv2:portProperty " : " , ") << properties[i];

  if (param.GetStepped() && param.GetStep() > 0.0) {
    const double steps = std::floor(param.GetRange() / param.GetStep() + 0.5) + 1.0;
    out << " ;\n\t\tpprops:rangeSteps " << LV2Turtle::Number(steps);
  }
  WriteUnit(param, out);
  for (int t = 0; t < param.NDisplayTexts(); ++t) {
    double value = 0.0;
    const char* text = param.GetDisplayTextAtIdx(t, &value);
    if (!text) continue;
    out << (t == 0 ? " ;\n\t\tlv2:scalePoint [\n" : " , [\n") << "\t\t\trdfs:label " << LV2Turtle::Literal(text)
        << " ;\n\t\t\trdf:value " << LV2Turtle::Number(value) << "\n\t\t]";
  }
}

}  // namespace

LV2Turtle::LV2Turtle(const IPlugLV2& plug, std::string category)
    : mPlug(plug), mCatalogue(plug), mCategory(std::move(category)) {}

std::string LV2Turtle::Number(double value) {
  char buf[40];
  if (IsWhole(value) && std::fabs(value) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", value);
    return buf;
  }
  // Shortest text that reads back as the same double.
  for (int precision = 6; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    if (std::strtod(buf, nullptr) == value) break;
  }
  std::string text = buf;
  // A Turtle decimal needs its point ("0.5"); an exponent makes it a double ("1e-05").
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string LV2Turtle::Literal(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

void LV2Turtle::WriteManifest(std::ostream& out) const {
  out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  if (!mCatalogue.UIURI().empty()) out << "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n";
  for (const LV2Component& c : mCatalogue.Components()) {
    // The version here too: a host that finds two bundles of the plug-in picks the newer one
    // from the manifests, without reading either plug-in's data.
    out << "\n<" << c.mURI << ">\n\ta lv2:Plugin ;\n\tlv2:binary <" << mCatalogue.BinaryName() << ">" << Versions()
        << " ;\n\trdfs:seeAlso <" << mCatalogue.TurtleName() << "> .\n";
  }
  if (!mCatalogue.UIURI().empty()) {
    out << "\n<" << mCatalogue.UIURI() << ">\n\ta ui:X11UI ;\n\tui:binary <" << mCatalogue.UIBinaryName()
        << "> ;\n\trdfs:seeAlso <" << mCatalogue.TurtleName() << "> .\n";
  }
}

void LV2Turtle::WritePlugins(std::ostream& out) const {
  out << kPrefixes;
  // The plug-ins are variants of one product, whose maintainer they share.
  out << "<" << mCatalogue.BaseURI() << ">\n\ta doap:Project ;\n\tdoap:name " << Literal(mPlug.GetProductName())
      << " ;\n\tdoap:maintainer [\n\t\ta foaf:Organization ;\n\t\tfoaf:name " << Literal(mCatalogue.Maintainer())
      << "\n\t] .\n\n";
  for (const LV2Component& c : mCatalogue.Components()) WritePlugin(c, out);
  if (!mCatalogue.UIURI().empty()) WriteUI(out);
}

// The editor in an X window of its own inside the host's (ui:parent), driven by the host's
// idle calls, resizing the host's window (ui:resize) and reporting gestures (ui:touch). It
// talks to the plug-in through ports only, and wants the meters' output ports.
void LV2Turtle::WriteUI(std::ostream& out) const {
  out << "<" << mCatalogue.UIURI() << ">\n\ta ui:X11UI ;\n\tui:binary <" << mCatalogue.UIBinaryName()
      << "> ;\n\tlv2:requiredFeature ui:idleInterface ;\n\tlv2:optionalFeature ui:parent , ui:resize , ui:touch"
         " ;\n\tlv2:extensionData ui:idleInterface";
  bool first = true;
  for (const LV2Component& c : mCatalogue.Components()) {
    const LV2PortLayout layout(mPlug, c);
    for (const LV2PortEntry& port : layout.Ports()) {
      if (port.mRole != LV2PortRole::kMeter) continue;
      out << (first ? " ;\n\tui:portNotification [\n" : " , [\n") << "\t\tui:plugin <" << c.mURI
          << "> ;\n\t\tlv2:symbol " << Literal(port.mSymbol) << " ;\n\t\tui:protocol ui:floatProtocol\n\t]";
      first = false;
    }
  }
  out << " .\n";
}

// LV2 reads minor version 0 or an odd number as a development version: release major.minor.patch
// is declared as minor 1000 * major + 2 * minor and micro 2 * patch, which keeps releases in order.
std::string LV2Turtle::Versions() const {
  const int version = mCatalogue.Version();
  return " ;\n\tlv2:minorVersion " + std::to_string(1000 * (version >> 16) + 2 * ((version >> 8) & 0xFF)) +
         " ;\n\tlv2:microVersion " + std::to_string(2 * (version & 0xFF));
}

void LV2Turtle::WritePlugin(const LV2Component& component, std::ostream& out) const {
  out << "<" << component.mURI << ">\n\ta lv2:Plugin";
  if (!mCategory.empty()) out << " , lv2:" << mCategory << "Plugin";
  if (!mCatalogue.UIURI().empty()) out << " ;\n\tui:ui <" << mCatalogue.UIURI() << ">";
  out << " ;\n\tdoap:name " << Literal(component.mName) << " ;\n\tlv2:project <" << mCatalogue.BaseURI() << ">"
      << Versions()
      << " ;\n\tlv2:optionalFeature lv2:hardRTCapable , bufsz:boundedBlockLength , opts:options , urid:map"
         " ;\n\topts:supportedOption bufsz:maxBlockLength ;\n\tlv2:extensionData state:interface";

  const LV2PortLayout layout(mPlug, component);
  for (int p = 0; p < layout.NPorts(); ++p) {
    const LV2PortEntry& port = layout.Ports()[static_cast<size_t>(p)];
    out << (p == 0 ? " ;\n\tlv2:port [\n" : " , [\n") << "\t\ta ";
    switch (port.mRole) {
      case LV2PortRole::kAudioIn:
      case LV2PortRole::kSideChainIn: out << "lv2:InputPort , lv2:AudioPort"; break;
      case LV2PortRole::kAudioOut: out << "lv2:OutputPort , lv2:AudioPort"; break;
      case LV2PortRole::kParam:
      case LV2PortRole::kEnabled: out << "lv2:InputPort , lv2:ControlPort"; break;
      case LV2PortRole::kLatency:
      case LV2PortRole::kMeter: out << "lv2:OutputPort , lv2:ControlPort"; break;
      case LV2PortRole::kEditorZoom: out << "lv2:InputPort , lv2:ControlPort"; break;
    }
    out << " ;\n\t\tlv2:index " << p << " ;\n\t\tlv2:symbol " << Literal(port.mSymbol) << " ;\n\t\tlv2:name "
        << Literal(port.mName);
    switch (port.mRole) {
      case LV2PortRole::kSideChainIn:
        out << " ;\n\t\tlv2:portProperty lv2:isSideChain , lv2:connectionOptional";
        break;
      case LV2PortRole::kParam: WriteParamPort(*mPlug.GetParam(port.mIdx), out); break;
      case LV2PortRole::kEnabled:
        out << " ;\n\t\tlv2:designation lv2:enabled ;\n\t\tlv2:default 1 ;\n\t\tlv2:minimum 0 ;\n\t\tlv2:maximum 1"
               " ;\n\t\tlv2:portProperty lv2:integer , lv2:toggled";
        break;
      case LV2PortRole::kLatency:
        out << " ;\n\t\tlv2:designation lv2:latency ;\n\t\tlv2:minimum 0 ;\n\t\tlv2:maximum "
            << IPlugProcessor::kMaxBypassLatency
            << " ;\n\t\tlv2:portProperty lv2:reportsLatency , lv2:integer ;\n\t\tunits:unit units:frame";
        break;
      case LV2PortRole::kEditorZoom:
        // Only the plug-in's own interface moves it; a generic interface leaves it alone. Hosts
        // keep its value with the session; it is not marked notAutomatic, because hosts that
        // keep an automation list for every control (Ardour) warn at every session load about
        // one they may not use.
        out << " ;\n\t\tlv2:default 1 ;\n\t\tlv2:minimum " << Number(mPlug.MinEditorZoom()) << " ;\n\t\tlv2:maximum "
            << Number(mPlug.MaxEditorZoom()) << " ;\n\t\tlv2:portProperty pprops:notOnGUI";
        break;
      case LV2PortRole::kMeter: {
        const IPlugProcessor::MeterInfo meter = mPlug.GetMeterInfo(port.mIdx);
        out << " ;\n\t\tlv2:minimum " << Number(meter.mMinDb) << " ;\n\t\tlv2:maximum " << Number(meter.mMaxDb)
            << " ;\n\t\tunits:unit units:db";
        break;
      }
      default: break;
    }
    out << "\n\t]";
  }
  out << " .\n\n";
}

}  // namespace iplug
