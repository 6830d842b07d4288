#include "product/Tollenbrook.h"

#include <initializer_list>
#include <mutex>
#include <new>

#include "product/TollenbrookConfig.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"

namespace {

struct ParamDeclaration {
  int mIdx;
  const char* mName;
  int mDefault;
  int mMin;
  int mMax;
  std::initializer_list<const char*> mTexts;  // for values mMin, mMin + 1, ... in order
};

// Parameters 12 and 13 carry the meters to the editor and are never declared.
const ParamDeclaration kParamDeclarations[] = {
    {kParamCompThreshold, "Compressor Threshold", 15, 0, 15,
     {"-20dB", "-18dB", "-16dB", "-14dB", "-12dB", "-11dB", "-10dB", "-8dB", "-4dB", "-2dB", "0dB", "2dB", "4dB",
      "6dB", "8dB", "10dB"}},
    {kParamLimitLevel, "Limit Level", 22, 0, 22,
     {"4dB", "4.5dB", "5dB", "5.5dB", "6dB", "6.5dB", "7dB", "7.5dB", "8dB", "8.5dB", "9dB", "9.5dB", "10dB",
      "10.5dB", "11dB", "11.5dB", "12dB", "12.5dB", "13dB", "13.5dB", "14dB", "14.5dB", "15dB"}},
    {kParamGain, "Gain", 0, 0, 20,
     {"0dB", "1dB", "2dB", "3dB", "4dB", "5dB", "6dB", "7dB", "8dB", "9dB", "10dB", "11dB", "12dB", "13dB", "14dB",
      "15dB", "16dB", "17dB", "18dB", "19dB", "20dB"}},
    {kParamMix, "Mix", 22, 0, 22,
     {"100/0", "95/5", "90/10", "85/15", "80/20", "75/25", "70/30", "65/35", "60/40", "55/45", "53/47", "50/50",
      "47/53", "45/55", "40/60", "35/65", "30/70", "25/75", "20/80", "15/85", "10/90", "5/95", "0/100"}},
    {kParamRatio, "Ratio", 2, 0, 4, {"1.5:1", "2:1", "3:1", "4:1", "6:1"}},
    {kParamHigh, "High", 2, 0, 4, {"-6dB", "-3dB", "0dB", "3dB", "6dB"}},
    {kParamMid, "Mid", 2, 0, 4, {"-6dB", "-3dB", "0dB", "3dB", "6dB"}},
    {kParamHighPass, "High Pass Filter", 0, 0, 4, {"OFF", "50Hz", "80Hz", "160Hz", "360Hz"}},
    {kParamCompRecovery, "Compressor Recovery Time", 1, 0, 5,
     {"100ms", "400ms", "800ms", "1500ms", "Auto-1", "Auto-2"}},
    {kParamLevelRecovery, "Level Recovery Time", 1, 0, 5, {"50ms", "100ms", "200ms", "800ms", "Auto-1", "Auto-2"}},
    {kParamBypass, "Bypass", 1, 0, 1, {}},  // 1 means processing is in
    {kParamExtSidechain, "External Sidechain", 0, 0, 1, {}},
    {kParamOversample, "Oversample", 0, 0, 1, {"Oversampling Off", "Oversampling On"}},
};

}  // namespace

Tollenbrook::Tollenbrook(const iplug::InstanceInfo& info)
    : iplug::Plugin(info, MakeTollenbrookConfig()), mChain(std::make_unique<TollenbrookChain>()) {
  DeclareParameters();
  InstallTollenbrookEditor(*this, MakeTollenbrookGraphics);
  // Every target takes its value from the hook, so run it once for each parameter before
  // the host can ask for audio.
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void Tollenbrook::DeclareParameters() {
  for (const ParamDeclaration& decl : kParamDeclarations) {
    iplug::IParam* param = GetParam(decl.mIdx);
    param->InitInt(decl.mName, decl.mDefault, decl.mMin, decl.mMax, "", 0, "");
    int value = decl.mMin;
    for (const char* text : decl.mTexts) param->SetDisplayText(value++, text);
  }
}

bool Tollenbrook::SerializeState(iplug::ByteChunk& chunk) const {
  // Both parts are always written, and a failure of either is reported: a host must not
  // store a state that lacks its parameters.
  const bool geometry = SerializeStateHeader(chunk);
  const bool params = SerializeParams(chunk);
  return geometry && params;
}

int Tollenbrook::UnserializeState(const iplug::ByteChunk& chunk, int startPos) {
  const int pos = ReadEditorGeometry(chunk, startPos);
  return UnserializeParams(chunk, pos);
}

bool Tollenbrook::CompareState(const uint8_t* data, int startIdx, int dataSize) const {
  if (!data || dataSize < kEditorGeometryBytes) return false;
  return iplug::Plugin::CompareState(data + kEditorGeometryBytes, startIdx, dataSize - kEditorGeometryBytes);
}

iplug::Plugin* MakePlugInstance(const iplug::InstanceInfo& info) {
  // Instances are created one at a time, whichever threads the host uses.
  static std::mutex sCreationLock;
  std::lock_guard lock(sCreationLock);
  try {
    return new Tollenbrook(info);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
