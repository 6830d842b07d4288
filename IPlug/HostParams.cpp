#include "IPlug/HostParams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "IPlug/IPlugAPIBase.h"

namespace iplug {

HostParams::Shape HostParams::ShapeOf(const IParam& param) {
  switch (param.Type()) {
    case IParam::kTypeBool: return Shape::kSwitch;
    case IParam::kTypeEnum: return Shape::kList;
    case IParam::kTypeInt: return Shape::kInteger;
    case IParam::kTypeDouble: return Shape::kContinuous;
    default: return Shape::kHidden;
  }
}

int HostParams::StepCount(const IParam& param) {
  const int wholeNumbers = std::max(2, static_cast<int>(param.GetMax() - param.GetMin()) + 1);
  switch (ShapeOf(param)) {
    case Shape::kSwitch:
    case Shape::kList: return param.NDisplayTexts() > 0 ? param.NDisplayTexts() : wholeNumbers;
    case Shape::kInteger: return wholeNumbers;
    default: return 0;
  }
}

bool HostParams::IsChoice(const IParam& param) {
  const Shape shape = ShapeOf(param);
  if (shape == Shape::kList) return true;
  if (shape == Shape::kHidden || shape == Shape::kContinuous || param.NDisplayTexts() == 0) return false;
  const double lo = param.GetMin();
  const double hi = param.GetMax();
  if (lo != std::floor(lo) || hi != std::floor(hi) || param.GetRange() + 1.0 > param.NDisplayTexts()) return false;
  for (double v = lo; v <= hi; v += 1.0)
    if (!param.GetDisplayText(v)) return false;
  return true;
}

void HostParams::HostIDText(int paramIdx, char (&out)[kMaxIDTextLength]) {
  std::snprintf(out, sizeof out, "%u", static_cast<unsigned>(HostID(paramIdx)));
}

int HostParams::ParamIndexFromID(uint32_t id) const {
  return id >= 1 && id <= static_cast<uint32_t>(mPlug.NParams()) ? static_cast<int>(id - 1) : -1;
}

int HostParams::ParamIndexFromID(const char* idText) const {
  if (!idText || !*idText) return -1;
  int64_t number = 0;
  for (const char* c = idText; *c; ++c) {
    if (*c < '0' || *c > '9') return -1;
    number = number * 10 + (*c - '0');
    if (number > mPlug.NParams()) return -1;
  }
  return ParamIndexFromID(static_cast<uint32_t>(number));
}

bool HostParams::SetFromHost(int paramIdx, double value, Scale scale, EditorNotice notice) {
  if (!mPlug.IsValidParamIdx(paramIdx) || std::isnan(value)) return false;
  IParam& param = *mPlug.GetParam(paramIdx);
  if (scale == Scale::kNormalized) {
    value = std::clamp(value, 0.0, 1.0);
    param.SetNormalized(value);
  } else {
    param.Set(value);
  }
  // A queued value travels as the host stated it; the editor's thread makes the same of it.
  if (notice == EditorNotice::kQueued) mPlug.SendParamValueFromProcessor(paramIdx, value, scale == Scale::kNormalized);
  mPlug.OnParamChange(paramIdx, ParamSource::kHost, -1);
  if (notice == EditorNotice::kDirect) mPlug.SendParamValueToEditor(paramIdx, param.Value(), false);
  return true;
}

}  // namespace iplug
