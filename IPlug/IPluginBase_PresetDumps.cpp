// Source dumps of IPluginBase: the current preset as one construction call, appended to a
// file, to be pasted into a product's constructor.
#include <string>

#include "IPlug/Base64.h"
#include "IPlug/FileBytes.h"
#include "IPlug/IPluginBase.h"

namespace iplug {
namespace {

// A preset name as a C string literal: quotes and backslashes escaped, so any name compiles.
std::string Quoted(const char* name) {
  std::string text = "\"";
  for (const char* p = name; *p; ++p) {
    if (*p == '"' || *p == '\\') text.push_back('\\');
    if (*p == '\n') {
      text += "\\n";
      continue;
    }
    text.push_back(*p);
  }
  return text + "\"";
}

}  // namespace

void IPluginBase::ValueText(int idx, double value, TextBuffer& out) const {
  switch (GetParam(idx)->Type()) {
    case IParam::kTypeBool:
      out.Set(value >= 0.5 ? "true" : "false");
      break;
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      out.SetFormatted(32, "%d", static_cast<int>(value));
      break;
    default:
      out.SetFormatted(64, "%.6f", value);
      break;
  }
}

bool IPluginBase::AppendMakePresetCall(const char* path) const {
  std::string call = "MakePreset(" + Quoted(CurrentPresetName());
  TextBuffer value;
  for (int i = 0; i < NParams(); ++i) {
    ValueText(i, GetParam(i)->Value(), value);
    call += ", " + std::string(value.Get());
  }
  call += ");\n";
  return FileBytes::AppendText(path, call.c_str());
}

bool IPluginBase::AppendNamedParamsPresetCall(const char* path, const char* const* paramEnumNames) const {
  if (!paramEnumNames && NParams() > 0) return false;
  std::string call = "  MakePresetFromNamedParams(" + Quoted(CurrentPresetName()) + ", " + std::to_string(NParams());
  TextBuffer value;
  for (int i = 0; i < NParams(); ++i) {
    ValueText(i, GetParam(i)->Value(), value);
    call += ",\n    " + std::string(paramEnumNames[i] ? paramEnumNames[i] : "") + ", " + value.Get();
  }
  call += ");\n";
  return FileBytes::AppendText(path, call.c_str());
}

// The whole of the slot's data, however large: a blob cut short would rebuild another preset.
bool IPluginBase::AppendBlobPresetCall(const char* path) const {
  const ByteChunk* data = PresetData(mCurrentPresetIdx);
  const int size = data ? data->Size() : 0;
  const std::string call = "MakePresetFromBlob(" + Quoted(CurrentPresetName()) + ", \"" +
                           Base64::Encode(data ? data->Data() : nullptr, size) + "\", " + std::to_string(size) + ");\n";
  return FileBytes::AppendText(path, call.c_str());
}

}  // namespace iplug
