#include "host/validator/InstanceValidatorInsert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstddef>
#include <cstring>

#include "host/validator/OutputCheck.h"

namespace tbvalidate {
namespace {

HostParam HostParamOf(const tbhost::ParamInfo& info) {
  HostParam param;
  param.id = std::to_string(info.index);
  param.name = info.name;
  const double span = info.max - info.min;
  if (info.step > 0.0 && span > 0.0) param.steps = static_cast<int>(std::lround(span / info.step)) + 1;
  param.automatable = true;
  param.defaultNormalized = span > 0.0 ? std::clamp((info.defaultValue - info.min) / span, 0.0, 1.0) : 0.0;
  return param;
}

void PutFloat(std::vector<unsigned char>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(bits >> shift));
}

float GetFloat(const unsigned char* in) {
  uint32_t bits = 0;
  for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(in[k]) << (8 * k);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

std::unique_ptr<ValidatorInsert> InstanceValidatorInsert::Create(std::unique_ptr<tbhost::PluginInstance> plugin,
                                                                 int channels, double sampleRate, int maxBlock,
                                                                 std::string& error) {
  std::unique_ptr<InstanceValidatorInsert> insert(new InstanceValidatorInsert());
  if (!plugin->Initialise(sampleRate, channels, /*sideChain=*/true, error)) return nullptr;
  // The format the plug-in's states come in; a plug-in without state fails the state checks.
  tbhost::PluginState state;
  std::string noState;
  if (plugin->SaveState(state, noState)) insert->mStateFormat = state.format;
  for (const tbhost::ParamInfo& info : plugin->Parameters()) {
    if (!info.settable) continue;
    insert->mInfos.push_back(info);
    insert->mParams.push_back(HostParamOf(info));
    insert->mValues.push_back(insert->mParams.back().defaultNormalized);
  }
  insert->mPlugin = std::move(plugin);
  insert->mChannels = channels;
  insert->mSampleRate = sampleRate;
  insert->mMaxBlock = maxBlock;
  insert->mHasKey = insert->mPlugin->HasSideChain();
  const auto frames = static_cast<size_t>(maxBlock);
  insert->mInputs.assign(static_cast<size_t>(channels), std::vector<float>(frames));
  insert->mOutputs.assign(static_cast<size_t>(channels), std::vector<float>(frames));
  insert->mKey.assign(frames, 0.0f);
  return insert;
}

int InstanceValidatorInsert::Slot(const std::string& id) const {
  for (size_t k = 0; k < mParams.size(); ++k)
    if (mParams[k].id == id) return static_cast<int>(k);
  return -1;
}

double InstanceValidatorInsert::Rounded(int slot, double normalized) const {
  if (std::isnan(normalized)) return normalized;
  const double clamped = std::clamp(normalized, 0.0, 1.0);
  const int steps = mParams[static_cast<size_t>(slot)].steps;
  return steps > 1 ? std::round(clamped * (steps - 1)) / (steps - 1) : clamped;
}

double InstanceValidatorInsert::Plain(int slot, double normalized) const {
  const tbhost::ParamInfo& info = mInfos[static_cast<size_t>(slot)];
  const double plain = info.min + Rounded(slot, normalized) * (info.max - info.min);
  // On the step grid exactly, where the plug-in's texts are.
  return info.step > 0.0 ? info.min + std::round((plain - info.min) / info.step) * info.step : plain;
}

void InstanceValidatorInsert::SetLocked(int slot, double normalized) {
  if (slot < 0 || std::isnan(normalized)) return;  // a NaN changes nothing
  mValues[static_cast<size_t>(slot)] = Rounded(slot, normalized);
  mPlugin->SetParameter(mInfos[static_cast<size_t>(slot)].index, Plain(slot, normalized));
}

void InstanceValidatorInsert::Automate(const std::string& id, double normalized, bool /*deliver*/) {
  std::lock_guard lock(mTurn);
  SetLocked(Slot(id), normalized);
}

double InstanceValidatorInsert::Normalized(const std::string& id) const {
  std::lock_guard lock(mTurn);
  const int slot = Slot(id);
  return slot < 0 ? -1.0 : mValues[static_cast<size_t>(slot)];
}

void InstanceValidatorInsert::SetFromHost(const std::string& id, double normalized) { Automate(id, normalized); }

void InstanceValidatorInsert::EditorGesture(const std::string& id, const double* values, int count) {
  for (int i = 0; i < count; ++i) Automate(id, values[i]);
}

std::string InstanceValidatorInsert::CurrentText(const HostParam& param) const {
  return Text(param, Normalized(param.id));
}

std::string InstanceValidatorInsert::Text(const HostParam& param, double normalized) const {
  const int slot = Slot(param.id);
  if (slot < 0 || std::isnan(normalized)) return {};
  return mInfos[static_cast<size_t>(slot)].DisplayFor(Plain(slot, normalized));
}

bool InstanceValidatorInsert::ValueFromText(const HostParam& param, const std::string& text,
                                            double& normalized) const {
  const int slot = Slot(param.id);
  if (slot < 0) return false;
  const tbhost::ParamInfo& info = mInfos[static_cast<size_t>(slot)];
  double plain = 0.0;
  const auto shown = std::find_if(info.displayTexts.begin(), info.displayTexts.end(),
                                  [&](const auto& entry) { return entry.second == text; });
  if (shown != info.displayTexts.end()) {
    plain = shown->first;
  } else {
    char* end = nullptr;
    plain = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || std::isnan(plain)) return false;
  }
  const double span = info.max - info.min;
  normalized = span > 0.0 ? Rounded(slot, (plain - info.min) / span) : 0.0;
  return true;
}

int InstanceValidatorInsert::ReportedLatency() const {
  std::lock_guard lock(mTurn);
  return mPlugin->Latency();
}

int64_t InstanceValidatorInsert::Position() const { return mPosition; }

float* InstanceValidatorInsert::Input(int channel) { return mInputs[static_cast<size_t>(channel)].data(); }
float* InstanceValidatorInsert::Key() { return mHasKey ? mKey.data() : nullptr; }
float* InstanceValidatorInsert::Output(int channel) { return mOutputs[static_cast<size_t>(channel)].data(); }

AudioThreadUse InstanceValidatorInsert::Render(int n, bool withKey) {
  // The turn is taken before the watch starts: it is the host's, not the plug-in's.
  std::lock_guard lock(mTurn);
  const float* inputs[2] = {};
  float* outputs[2] = {};
  for (int c = 0; c < mChannels; ++c) {
    inputs[c] = Input(c);
    outputs[c] = Output(c);
    OutputCheck::MarkUnwritten(outputs[c], n);
  }
  AudioThreadWatch& watch = ProcessAudioThreadWatch();
  watch.Begin();
  mPlugin->ProcessBlock(inputs, withKey ? Key() : nullptr, outputs, n);
  const AudioThreadUse use = watch.End();
  mPosition += n;
  return use;
}

bool InstanceValidatorInsert::SaveState(std::vector<unsigned char>& out, std::string& error,
                                        int32_t /*prefilled*/) const {
  std::lock_guard lock(mTurn);
  tbhost::PluginState state;
  if (!mPlugin->SaveState(state, error)) return false;
  std::vector<unsigned char> bytes;
  for (size_t k = 0; k < mValues.size(); ++k)
    PutFloat(bytes, static_cast<float>(Plain(static_cast<int>(k), mValues[k])));
  bytes.insert(bytes.end(), state.bytes.begin(), state.bytes.end());
  out = std::move(bytes);
  return true;
}

bool InstanceValidatorInsert::LoadState(const std::vector<unsigned char>& bytes, std::string& error,
                                        int32_t declared, bool /*deliver*/) {
  std::lock_guard lock(mTurn);
  const size_t size = declared < 0 ? bytes.size() : std::min(bytes.size(), static_cast<size_t>(declared));
  const size_t valuesSize = 4 * mValues.size();
  if (size < valuesSize) {
    error = "the session holds " + std::to_string(size) + " bytes, fewer than its " +
            std::to_string(mValues.size()) + " parameter values";
    return false;
  }
  std::vector<double> values(mValues.size());
  for (size_t k = 0; k < values.size(); ++k) {
    const tbhost::ParamInfo& info = mInfos[k];
    const double plain = GetFloat(bytes.data() + 4 * k);
    if (!std::isfinite(plain)) {
      error = "the session's value of \"" + info.name + "\" is not a number";
      return false;
    }
    const double span = info.max - info.min;
    values[k] = span > 0.0 ? (plain - info.min) / span : 0.0;
  }
  tbhost::PluginState state{mStateFormat, {bytes.begin() + static_cast<std::ptrdiff_t>(valuesSize),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(size)}};
  if (!mPlugin->LoadState(state, error)) return false;
  for (size_t k = 0; k < values.size(); ++k) SetLocked(static_cast<int>(k), values[k]);
  return true;
}

}  // namespace tbvalidate
