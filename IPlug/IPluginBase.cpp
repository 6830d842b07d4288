#include "IPlug/IPluginBase.h"

#include <algorithm>
#include <cmath>

#include "IPlug/Trace.h"

namespace iplug {

IPluginBase::IPluginBase(const PluginConfig& config, EAPI plugAPI)
    : PluginEditorDelegate(config.mNParams),
      mPluginName(config.mPluginName, kMaxNameLength),
      mProductName(config.mProductName, kMaxNameLength),
      mMfrName(config.mMfrName, kMaxNameLength),
      mUniqueID(config.mUniqueID),
      mMfrID(config.mMfrID),
      mVersion(config.mVendorVersion),
      mStateChunks(config.mStateIsChunk),
      mAPI(plugAPI),
      mExtraText(config.mExtraText),
      mHasUI(config.mHasUI),
      mEditorOption(config.mEditorOption) {
  const int nPresets = std::max(config.mNPresets, 0);
  mPresets.reserve(static_cast<size_t>(nPresets));
  for (int i = 0; i < nPresets; ++i) mPresets.push_back(std::make_unique<IPreset>());
}

IPluginBase::~IPluginBase() = default;

const char* IPluginBase::PresetName(int idx) const {
  return (idx >= 0 && idx < NPresets()) ? mPresets[static_cast<size_t>(idx)]->mName : "";
}

bool IPluginBase::IsPresetInitialized(int idx) const {
  return idx >= 0 && idx < NPresets() && mPresets[static_cast<size_t>(idx)]->mInitialized;
}

bool IPluginBase::SerializeParams(ByteChunk& chunk) const {
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    const double value = param->Value();
    TRACE_LOG("iplug::IPluginBase::SerializeParams", "%d %s %f", i, param->GetName(), value);
    // Growth is checked rather than the size alone: a failed append to a non-empty chunk
    // leaves a positive size behind.
    const int before = chunk.Size();
    if (chunk.Append(value) != before + static_cast<int>(sizeof value)) return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(const ByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double value = 0.0;
    pos = chunk.Read(value, pos);
    // A missing value is not a zero: the parameter keeps what it had, and so does one whose
    // stored value is not a number.
    if (pos < 0) break;
    IParam* param = GetParam(i);
    if (!std::isnan(value)) param->Set(value);
    TRACE_LOG("iplug::IPluginBase::UnserializeParams", "%d %s %f", i, param->GetName(), param->Value());
  }
  NotifyAllParamsChanged(ParamSource::kPresetRecall);
  return pos;
}

}  // namespace iplug
