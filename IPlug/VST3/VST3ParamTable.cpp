#include "IPlug/VST3/VST3ParamTable.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Text.h"

namespace iplug {
namespace {

constexpr const char* kBypassTitle = "Host Bypass";
constexpr const char* kBypassTexts[] = {"Off", "On"};

bool IsSet(double normalized) { return normalized >= 0.5; }

}  // namespace

VST3ParamTable::VST3ParamTable(const IPlugVST3& plug) : mPlug(plug) {
  for (int i = 0; i < plug.NParams(); ++i)
    if (HostParams::IsVisible(*plug.GetParam(i))) mEntries.push_back({Kind::kParam, i, HostParams::HostID(i)});
  mEntries.push_back({Kind::kBypass, 0, kBypassID});
  for (int m = 0; m < plug.NMeters(); ++m)
    mEntries.push_back({Kind::kMeter, m, kMeterIDBase + static_cast<v3_param_id>(m)});
}

const VST3ParamTable::Entry* VST3ParamTable::At(int listIdx) const {
  return listIdx >= 0 && listIdx < Count() ? &mEntries[static_cast<size_t>(listIdx)] : nullptr;
}

// A few dozen entries: a plain search costs less than any index would.
const VST3ParamTable::Entry* VST3ParamTable::Find(v3_param_id id) const {
  for (const Entry& e : mEntries)
    if (e.mID == id) return &e;
  return nullptr;
}

bool VST3ParamTable::Info(int listIdx, v3_param_info& info) const {
  const Entry* e = At(listIdx);
  if (!e) return false;
  std::memset(&info, 0, sizeof info);
  info.param_id = e->mID;
  info.unit_id = 0;  // the root unit: the plug-in has no groups a host should nest
  switch (e->mKind) {
    case Kind::kParam: {
      const IParam& p = *mPlug.GetParam(e->mIdx);
      Utf8ToUtf16(p.GetName(), info.title, 128);
      Utf8ToUtf16(p.GetName(), info.short_title, 128);
      Utf8ToUtf16(p.GetLabel(), info.units, 128);
      // VST3 counts the steps between values, the framework the values.
      info.step_count = std::max(0, HostParams::StepCount(p) - 1);
      info.default_normalised_value = p.GetDefault(true);
      if (p.GetCanAutomate()) info.flags |= V3_PARAM_CAN_AUTOMATE;
      if (HostParams::IsChoice(p)) info.flags |= V3_PARAM_IS_LIST;
      break;
    }
    case Kind::kBypass:
      Utf8ToUtf16(kBypassTitle, info.title, 128);
      Utf8ToUtf16("Bypass", info.short_title, 128);
      info.step_count = 1;
      info.default_normalised_value = 0.0;
      info.flags = V3_PARAM_CAN_AUTOMATE | V3_PARAM_IS_BYPASS | V3_PARAM_IS_LIST;
      break;
    case Kind::kMeter: {
      const IPlugProcessor::MeterInfo meter = mPlug.GetMeterInfo(e->mIdx);
      Utf8ToUtf16(meter.mName, info.title, 128);
      Utf8ToUtf16(meter.mName, info.short_title, 128);
      Utf8ToUtf16("dB", info.units, 128);
      info.default_normalised_value = MeterNormalized(e->mIdx, 0.0);
      info.flags = V3_PARAM_READ_ONLY;
      break;
    }
  }
  return true;
}

bool VST3ParamTable::ValueText(v3_param_id id, double normalized, TextBuffer& out) const {
  const Entry* e = Find(id);
  if (!e || std::isnan(normalized)) return false;
  normalized = std::clamp(normalized, 0.0, 1.0);
  switch (e->mKind) {
    case Kind::kParam: mPlug.GetParam(e->mIdx)->GetDisplay(normalized, true, out); break;
    case Kind::kBypass: out.Set(kBypassTexts[IsSet(normalized) ? 1 : 0]); break;
    case Kind::kMeter: out.SetFormatted(32, "%.1f", ToPlain(id, normalized)); break;
  }
  return true;
}

bool VST3ParamTable::TextValue(v3_param_id id, const char* text, double& normalized) const {
  const Entry* e = Find(id);
  if (!e || !text) return false;
  if (e->mKind == Kind::kBypass) {
    for (int i = 0; i < 2; ++i)
      if (std::strcmp(text, kBypassTexts[i]) == 0) {
        normalized = i;
        return true;
      }
    return false;
  }
  double plain = 0.0;
  if (e->mKind == Kind::kParam) {
    const IParam& p = *mPlug.GetParam(e->mIdx);
    if (!p.MapDisplayText(text, &plain)) {
      // A choice names its values; anything else must be a number.
      if (HostParams::IsChoice(p)) return false;
      char* end = nullptr;
      const double number = std::strtod(text, &end);
      if (end == text || !std::isfinite(number)) return false;
      plain = p.StringToValue(text);
    }
    normalized = p.ToNormalized(plain);
    return true;
  }
  char* end = nullptr;
  plain = std::strtod(text, &end);
  if (end == text || !std::isfinite(plain)) return false;
  normalized = ToNormalized(id, plain);
  return true;
}

double VST3ParamTable::ToPlain(v3_param_id id, double normalized) const {
  const Entry* e = Find(id);
  if (!e) return normalized;
  switch (e->mKind) {
    case Kind::kParam: return mPlug.GetParam(e->mIdx)->FromNormalized(std::clamp(normalized, 0.0, 1.0));
    case Kind::kBypass: return IsSet(normalized) ? 1.0 : 0.0;
    case Kind::kMeter: {
      const IPlugProcessor::MeterInfo meter = mPlug.GetMeterInfo(e->mIdx);
      return meter.mMinDb + std::clamp(normalized, 0.0, 1.0) * (meter.mMaxDb - meter.mMinDb);
    }
  }
  return normalized;
}

double VST3ParamTable::ToNormalized(v3_param_id id, double plain) const {
  const Entry* e = Find(id);
  if (!e) return plain;
  switch (e->mKind) {
    case Kind::kParam: return mPlug.GetParam(e->mIdx)->ToNormalized(plain);
    case Kind::kBypass: return plain >= 0.5 ? 1.0 : 0.0;
    case Kind::kMeter: return MeterNormalized(e->mIdx, plain);
  }
  return plain;
}

double VST3ParamTable::MeterNormalized(int meterIdx, double db) const {
  const IPlugProcessor::MeterInfo meter = mPlug.GetMeterInfo(meterIdx);
  const double range = meter.mMaxDb - meter.mMinDb;
  if (!(range > 0.0) || std::isnan(db)) return 0.0;
  return std::clamp((db - meter.mMinDb) / range, 0.0, 1.0);
}

}  // namespace iplug
