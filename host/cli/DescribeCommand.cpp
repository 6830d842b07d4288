#include "host/cli/DescribeCommand.h"

#include <cstdio>
#include <string>
#include <vector>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/Instance.h"
#include "host/aax/PropertyMap.h"
#include "host/cli/AAXModule.h"
#include "host/cli/ParamsCommand.h"
#include "host/cli/PluginInstance.h"

namespace tbhost {

namespace {

constexpr float kDescribeRate = 48000.0f;
constexpr uint32_t kMaxListedSteps = 32;

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

// The characters of a four-character code ("IEF1"), or its value when they are not printable.
std::string Code(uint32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return Hex32(code);
    text += c;
  }
  return text;
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string StemFormatName(uint32_t format) {
  const char* name = "unknown layout";
  switch (format) {
    case AAX_eStemFormat_Mono: name = "mono"; break;
    case AAX_eStemFormat_Stereo: name = "stereo"; break;
    case AAX_eStemFormat_LCR: name = "LCR"; break;
    case AAX_eStemFormat_Quad: name = "quad"; break;
    case AAX_eStemFormat_5_0: name = "5.0"; break;
    case AAX_eStemFormat_5_1: name = "5.1"; break;
    case AAX_eStemFormat_7_0_DTS: name = "7.0 DTS"; break;
    case AAX_eStemFormat_7_1_DTS: name = "7.1 DTS"; break;
    case AAX_eStemFormat_7_0_2: name = "7.0.2"; break;
    case AAX_eStemFormat_7_1_2: name = "7.1.2"; break;
    case AAX_eStemFormat_Ambi_3_ACN: name = "third-order ambisonics"; break;
    case AAX_eStemFormat_None: name = "none"; break;
    default: break;
  }
  return std::string(name) + " (" + Hex32(format) + ")";
}

// A property's meaning where the host gives it one, and its value in the form that reads.
void PrintProperty(int32_t property, int32_t value, std::ostream& out) {
  const uint32_t raw = static_cast<uint32_t>(value);
  std::string name;
  std::string shown = std::to_string(value);
  switch (property) {
    case AAX_eProperty_ManufacturerID: name = "manufacturer ID"; shown = Code(raw); break;
    case AAX_eProperty_ProductID: name = "product ID"; shown = Code(raw); break;
    case AAX_eProperty_PlugInID_Native: name = "native type ID"; shown = Code(raw); break;
    case AAX_eProperty_PlugInID_AudioSuite: name = "AudioSuite type ID"; shown = Code(raw); break;
    case AAX_eProperty_InputStemFormat: name = "input stem format"; shown = StemFormatName(raw); break;
    case AAX_eProperty_OutputStemFormat: name = "output stem format"; shown = StemFormatName(raw); break;
    case AAX_eProperty_HybridInputStemFormat: name = "hybrid input stem format"; shown = StemFormatName(raw); break;
    case AAX_eProperty_HybridOutputStemFormat: name = "hybrid output stem format"; shown = StemFormatName(raw); break;
    case AAX_eProperty_CanBypass: name = "can bypass"; break;
    case AAX_eProperty_SupportsSideChainInput: name = "side-chain input"; break;
    case AAX_eProperty_UsesTransport: name = "uses transport"; break;
    default: break;
  }
  char number[16];
  std::snprintf(number, sizeof number, "%6d  ", property);
  out << "      " << number << Padded(name, 26) << shown << '\n';
}

std::string FieldText(const aaxhost::FieldRegistration& field) {
  std::string text = aaxhost::FieldKindName(field.kind);
  switch (field.kind) {
    case aaxhost::FieldKind::PrivateData:
      text += ", " + std::to_string(field.size) + " bytes";
      break;
    case aaxhost::FieldKind::DataInPort:
      text += ", " + std::to_string(field.size) + "-byte packets, port type " + std::to_string(field.type);
      break;
    case aaxhost::FieldKind::MIDINode: {
      static const char* const kNodeTypes[] = {"local input", "local output", "global", "transport"};
      const char* type = field.type >= 0 && field.type < 4 ? kNodeTypes[field.type] : "unknown type";
      text += " \"" + field.name + "\" (" + type + "), mask " + Hex32(field.mask);
      break;
    }
    case aaxhost::FieldKind::Meters: {
      text += ":";
      for (AAX_CTypeID id : field.meterIDs) text += " " + Code(id);
      break;
    }
    default:
      break;
  }
  return text;
}

void PrintComponent(const aaxhost::ComponentDescriptor& component, int number, std::ostream& out) {
  const aaxhost::PropertyMap* properties = component.ProcessProperties();
  std::string layout;
  if (properties) {
    const auto in = properties->Find(AAX_eProperty_InputStemFormat);
    const auto outFormat = properties->Find(AAX_eProperty_OutputStemFormat);
    if (in && outFormat) {
      layout = ": " + std::to_string(AAX_StemFormatChannelCount(static_cast<uint32_t>(*in))) + " in, " +
               std::to_string(AAX_StemFormatChannelCount(static_cast<uint32_t>(*outFormat))) + " out";
    }
  }
  out << "\n  Component " << number << layout << '\n';
  out << "    Properties\n";
  if (properties) {
    for (const auto& [property, value] : properties->Properties()) PrintProperty(property, value, out);
  }
  out << "    Context fields\n";
  for (const aaxhost::FieldRegistration& field : component.Fields()) {
    char index[16];
    std::snprintf(index, sizeof index, "%6d  ", field.index);
    out << "      " << index << FieldText(field) << '\n';
  }
  for (const aaxhost::AuxOutputStem& stem : component.AuxOutputStems())
    out << "      aux output stem \"" << stem.name << "\" " << StemFormatName(stem.stemFormat) << '\n';
  out << "    Render callback " << (component.ProcessProc() ? "registered" : "missing") << '\n';
}

std::string Text(AAX_IACFEffectParameters& effect, const char* id, double normalized) {
  AAX_CString text;
  effect.GetParameterStringFromValue(id, normalized, &text, 64);
  return text.StdString();
}

// What the host shows for a parameter's values: every step of a discrete parameter, the ends
// of a continuous one.
std::string ValueTexts(AAX_IACFEffectParameters& effect, const char* id, AAX_EParameterType type, int32_t steps) {
  if (type == AAX_eParameterType_Discrete && steps >= 2 && static_cast<uint32_t>(steps) <= kMaxListedSteps) {
    std::string texts;
    for (int32_t s = 0; s < steps; ++s) {
      if (s) texts += " | ";
      texts += Text(effect, id, static_cast<double>(s) / static_cast<double>(steps - 1));
    }
    return texts;
  }
  return Text(effect, id, 0.0) + " to " + Text(effect, id, 1.0);
}

void PrintParameters(AAX_IACFEffectParameters& effect, std::ostream& out) {
  int32_t count = 0;
  effect.GetNumberOfParameters(&count);
  out << "\nHost parameters of a stereo instance (" << count << ")\n";
  out << "    pos  " << Padded("id", 6) << Padded("name", 28) << Padded("type", 12) << Padded("steps", 7)
      << Padded("default", 12) << "texts\n";
  for (int32_t i = 0; i < count; ++i) {
    AAX_CString id, name;
    effect.GetParameterIDFromIndex(i, &id);
    effect.GetParameterName(id.Get(), &name);
    AAX_EParameterType type = AAX_eParameterType_Continuous;
    effect.GetParameterType(id.Get(), &type);
    int32_t steps = 0;
    effect.GetParameterNumberOfSteps(id.Get(), &steps);
    double defaultValue = 0.0;
    effect.GetParameterDefaultNormalizedValue(id.Get(), &defaultValue);
    AAX_CBoolean automatable = 0;
    effect.GetParameterIsAutomatable(id.Get(), &automatable);
    char position[16];
    std::snprintf(position, sizeof position, "%7d  ", i);
    out << position << Padded("\"" + id.StdString() + "\"", 6) << Padded(name.StdString(), 28)
        << Padded(type == AAX_eParameterType_Discrete ? "discrete" : "continuous", 12)
        << Padded(std::to_string(steps), 7) << Padded(Text(effect, id.Get(), defaultValue), 12)
        << ValueTexts(effect, id.Get(), type, steps) << (automatable ? "" : "   (not automatable)") << '\n';
  }
  AAX_CString bypass;
  effect.GetMasterBypassParameter(&bypass);
  out << "  Master bypass parameter: \"" << bypass.StdString() << "\"\n";
}

void PrintChunks(AAX_IACFEffectParameters& effect, std::ostream& out) {
  int32_t chunks = 0;
  effect.GetNumberOfChunks(&chunks);
  for (int32_t i = 0; i < chunks; ++i) {
    AAX_CTypeID id = 0;
    uint32_t size = 0;
    effect.GetChunkIDFromIndex(i, &id);
    effect.GetChunkSize(id, &size);
    out << "  State chunk " << Code(id) << ", " << size << " bytes\n";
  }
}

// A registered GUI creation function may still make nothing (a module without an editor).
std::string GUIText(const aaxhost::EffectDescriptor& effect) {
  const AAX_CCreateObjectProc create = effect.CreateProc(kAAX_ProcPtrID_Create_EffectGUI);
  if (!create) return "";
  IACFUnknown* gui = create();
  if (!gui) return ", GUI (the function makes none)";
  // The object starts without references: one taken and given back deletes it.
  gui->AddRef();
  gui->Release();
  return ", GUI";
}

}  // namespace

bool DescribeCommand::Run(AAXModule& module, std::ostream& out, std::string& error) {
  const aaxhost::Collection& collection = module.Collection();
  const aaxhost::EffectDescriptor& effect = module.Effect();
  const uint32_t version = collection.PackageVersion();
  char versionText[48];
  std::snprintf(versionText, sizeof versionText, "%u.%u.%u (%s)", version >> 16, (version >> 8) & 0xFF,
                version & 0xFF, Hex32(version).c_str());
  char sdk[32];
  std::snprintf(sdk, sizeof sdk, "0x%016llX", static_cast<unsigned long long>(module.SDKVersion()));

  out << "Module        " << module.Path() << '\n';
  out << "SDK version   " << sdk << '\n';
  for (const std::string& name : collection.PackageNames()) out << "Package       " << name << '\n';
  out << "Manufacturer  " << collection.ManufacturerName() << '\n';
  out << "Version       " << versionText << '\n';
  out << "\nEffect \"" << module.EffectID() << "\"\n";
  for (const std::string& name : effect.Names()) out << "  Name        " << name << '\n';
  for (uint32_t category : effect.Categories())
    out << "  Category    " << category << (category == AAX_ePlugInCategory_Dynamics ? " (dynamics)" : "") << '\n';
  out << "  Creates     " << (effect.CreateProc(kAAX_ProcPtrID_Create_EffectParameters) ? "effect parameters" : "-")
      << GUIText(effect) << '\n';
  int number = 1;
  for (const aaxhost::ComponentDescriptor* component : effect.Components()) {
    if (component) PrintComponent(*component, number++, out);
  }

  aaxhost::Instance instance(module.Host().Log(), effect);
  instance.GetController().SetSampleRate(kDescribeRate);
  instance.GetController().SetStemFormats(AAX_eStemFormat_Stereo, AAX_eStemFormat_Stereo);
  instance.GetController().SetEffectID(module.EffectID());
  if (const AAX_Result result = instance.Create(); result != AAX_SUCCESS) {
    error = "the module made no instance to list its parameters (" + AAX::DescribeResult(result) + ")";
    return false;
  }
  PrintParameters(*instance.Effect(), out);
  PrintChunks(*instance.Effect(), out);
  return true;
}

bool DescribeCommand::Run(const std::string& path, const char* kind, PluginInstance& plugin, std::ostream& out,
                          std::string& error) {
  PluginState state;
  if (!plugin.SaveState(state, error)) return false;
  out << kind << " plug-in " << path << "\n\n";
  ParamsCommand::Print(plugin.Parameters(), out);
  out << "\nMeters: " << plugin.MeterCount() << "\n";
  for (int m = 0; m < plugin.MeterCount(); ++m) out << "  " << m << "  " << plugin.MeterName(m) << "\n";
  out << "Latency: " << plugin.Latency() << " samples\n";
  out << "State: " << state.format << ", " << state.bytes.size() << " bytes\n";
  return true;
}

}  // namespace tbhost
