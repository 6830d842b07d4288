#include "IPlug/IParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "IPlug/Trace.h"

namespace iplug {

namespace {

void CopyName(char (&dest)[IParam::kMaxNameLength], const char* src) {
  // The field holds 31 characters; longer texts are cut rather than overflowing it.
  std::snprintf(dest, sizeof dest, "%s", src ? src : "");
}

double ClampNormalized(double n) {
  if (!(n >= 0.0)) return 0.0;  // also catches NaN
  return n > 1.0 ? 1.0 : n;
}

const char* const kNoteNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};

}  // namespace

// ---- shapes ----

double IParam::ShapeLinear::NormalizedToValue(double n, const IParam& p) const {
  return p.mMin + n * (p.mMax - p.mMin);
}

double IParam::ShapeLinear::ValueToNormalized(double v, const IParam& p) const {
  return (v - p.mMin) / (p.mMax - p.mMin);
}

int IParam::ShapePowCurve::GetCurveKind() const {
  const double e = mShapeExponent;
  if (e > 2.5) return 6;
  if (e > 1.5) return 4;
  if (e < 0.4) return 5;
  if (e < 2.0 / 3.0) return 3;
  return 0;
}

double IParam::ShapePowCurve::NormalizedToValue(double n, const IParam& p) const {
  return p.mMin + std::pow(n, mShapeExponent) * (p.mMax - p.mMin);
}

double IParam::ShapePowCurve::ValueToNormalized(double v, const IParam& p) const {
  return std::pow((v - p.mMin) / (p.mMax - p.mMin), 1.0 / mShapeExponent);
}

void IParam::ShapeExp::Init(const IParam& p) {
  const double lo = p.mMin > 0.0 ? p.mMin : 1e-8;
  mAdd = std::log(lo);
  mMul = std::log(p.mMax / lo);
}

double IParam::ShapeExp::NormalizedToValue(double n, const IParam&) const { return std::exp(n * mMul + mAdd); }

double IParam::ShapeExp::ValueToNormalized(double v, const IParam&) const { return (std::log(v) - mAdd) / mMul; }

// ---- construction and initialisers ----

IParam::IParam() : mShape(std::make_unique<ShapeLinear>()) {}

IParam::~IParam() = default;

void IParam::SetShape(const Shape& shape) {
  mShape.reset(shape.Clone());
  mShape->Init(*this);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                        const char* label, int flags, const char* group, const Shape& shape, EParamUnit unit,
                        DisplayFunc displayFunc) {
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyName(mName, name);
  CopyName(mLabel, label);
  CopyName(mParamGroup, group);
  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);  // never narrower than one step
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = static_cast<uint32_t>(flags);
  mDisplayFunction = std::move(displayFunc);
  mValue.exchange(Constrain(defaultVal));

  mDisplayPrecision = 0;
  double s = step;
  for (int p = 0; p < 6;) {
    if (s == std::floor(s)) break;
    mDisplayPrecision = ++p;
    s *= 10.0;
  }
  SetShape(shape);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label, int flags,
                     const char* group) {
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label, flags | kFlagStepped, group, ShapeLinear(), kUnitCustom);
}

void IParam::InitEnumWithTexts(const char* name, int defaultVal, int nEnums, const char* label, int flags,
                               const char* group, const char* const* texts, int nTexts) {
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, flags | kFlagStepped, group);
  // Only the texts actually given are bound, so a short list cannot read past its end.
  for (int i = 0; i < nEnums && i < nTexts && texts[i]; ++i) SetDisplayText(i, texts[i]);
}

void IParam::InitEnumFromList(const char* name, int defaultVal, const std::vector<const char*>& texts, int flags,
                              const char* group) {
  if (mType == kTypeNone) mType = kTypeEnum;
  const int n = static_cast<int>(texts.size());
  InitDouble(name, defaultVal, 0, n - 1, 1.0, "", flags | kFlagStepped, group, ShapeLinear(), kUnitCustom);
  for (int i = 0; i < n; ++i) SetDisplayText(i, texts[static_cast<size_t>(i)]);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, int flags, const char* group,
                      const char* offText, const char* onText) {
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, flags | kFlagStepped, group);
  SetDisplayText(0, offText);
  SetDisplayText(1, onText);
}

void IParam::InitGain(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                      const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, step, "dB", flags, group, ShapeLinear(), kUnitDB);
}

void IParam::InitFrequency(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                           const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, step, "Hz", flags, group, ShapeExp(), kUnitFrequency);
}

void IParam::InitSeconds(const char* name, double defaultVal, double minVal, double maxVal, double step, int flags,
                         const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, step, "Seconds", flags, group, ShapeLinear(), kUnitSeconds);
}

void IParam::InitMilliseconds(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                              const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "ms", flags, group, ShapeLinear(), kUnitMilliseconds);
}

void IParam::InitPercentage(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                            const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "%", flags, group, ShapeLinear(), kUnitPercentage);
}

void IParam::InitAngleDegrees(const char* name, double defaultVal, double minVal, double maxVal, int flags,
                              const char* group) {
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, "degrees", flags, group, ShapeLinear(), kUnitDegrees);
}

void IParam::InitPitch(const char* name, int defaultVal, int lowestNote, int highestNote, int flags,
                       const char* group, bool middleCisC4) {
  InitEnum(name, defaultVal, highestNote - lowestNote + 1, "", flags, group);
  for (int i = lowestNote; i <= highestNote; ++i) {
    char text[kMaxNameLength];
    const int octave = i / 12 - (middleCisC4 ? 1 : 2);
    std::snprintf(text, sizeof text, "%s%i", kNoteNames[((i % 12) + 12) % 12], octave);
    SetDisplayText(i - lowestNote, text);
  }
}

void IParam::InitFromParam(const IParam& source, const char* searchText, const char* replacementText,
                           const char* newGroup) {
  if (mType == kTypeNone) mType = source.mType;
  std::string name = source.mName;
  if (searchText && *searchText) {
    const auto at = name.find(searchText);
    if (at != std::string::npos) name.replace(at, std::strlen(searchText), replacementText ? replacementText : "");
  }
  const char* group = (newGroup && *newGroup) ? newGroup : source.mParamGroup;
  InitDouble(name.c_str(), source.mDefault, source.mMin, source.mMax, source.mStep, source.mLabel,
             static_cast<int>(source.mFlags), group, *source.mShape, static_cast<EParamUnit>(source.mUnit),
             source.mDisplayFunction);
  for (const DisplayText& entry : source.mDisplayTexts) SetDisplayText(entry.mValue, entry.mText);
}

// ---- values ----

double IParam::Constrain(double value) const {
  // A NaN (from a damaged state or a misbehaving host) would pass every comparison below
  // and poison the audio; it is pinned to the bottom of the range instead.
  if (std::isnan(value)) return mMin;
  if (mFlags & kFlagStepped) value = std::round(value / mStep) * mStep;
  if (value < mMin) return mMin;
  if (value > mMax) return mMax;
  return value;
}

double IParam::FromNormalized(double normalized) const { return Constrain(mShape->NormalizedToValue(normalized, *this)); }

double IParam::ToNormalized(double value) const {
  return ClampNormalized(mShape->ValueToNormalized(Constrain(value), *this));
}

double IParam::ConstrainNormalized(double normalized) const {
  const double value = Constrain(mShape->NormalizedToValue(normalized, *this));
  return ClampNormalized(mShape->ValueToNormalized(value, *this));
}

double IParam::GetDefault(bool normalized) const { return normalized ? ToNormalized(mDefault) : mDefault; }

void IParam::GetBounds(double& lo, double& hi) const {
  lo = mMin;
  hi = mMax;
}

const char* IParam::GetLabel() const {
  // A value shown by a display text carries no unit label.
  const double truncated = std::trunc(Value());
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.mValue == truncated && entry.mText[0]) return "";
  return mLabel;
}

// ---- display ----

void IParam::GetDisplay(double value, bool normalized, TextBuffer& out, bool withDisplayText) const {
  if (normalized) value = FromNormalized(value);
  if (mDisplayFunction) {
    mDisplayFunction(value, out);
    return;
  }
  if (withDisplayText) {
    const char* text = GetDisplayText(value);
    if (text[0]) {
      out.Set(text, kDisplayLength);
      return;
    }
  }
  if (mFlags & kFlagNegateDisplay) value = -value;
  if (value == 0.0) value = 0.0;  // no "-0"

  if (mDisplayPrecision == 0) {
    const double rounded = std::round(value);
    const double clamped = std::clamp(rounded, -2147483648.0, 2147483647.0);
    out.SetFormatted(kDisplayLength, "%d", std::isnan(rounded) ? 0 : static_cast<int>(clamped));
  } else if ((mFlags & kFlagSignDisplay) && value != 0.0) {
    char format[16];
    std::snprintf(format, sizeof format, "%%+.%df", mDisplayPrecision);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    out.SetFormatted(kDisplayLength, format, value);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
  } else {
    out.SetFormatted(kDisplayLength, "%.*f", mDisplayPrecision, value);
  }
}

void IParam::GetDisplayWithLabel(TextBuffer& out, bool withDisplayText) const {
  GetDisplay(Value(), false, out, withDisplayText);
  const char* label = GetLabel();
  if (label[0]) {
    out.Append(" ");
    out.Append(label);
  }
}

void IParam::SetDisplayText(double value, const char* text) {
  DisplayText entry{};
  entry.mValue = value;
  CopyName(entry.mText, text);
  mDisplayTexts.push_back(entry);
}

const char* IParam::GetDisplayText(double value) const {
  for (const DisplayText& entry : mDisplayTexts)
    if (entry.mValue == value) return entry.mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, double* value) const {
  if (idx < 0 || idx >= NDisplayTexts()) return "";
  const DisplayText& entry = mDisplayTexts[static_cast<size_t>(idx)];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, double* value) const {
  if (!text) return false;
  for (const DisplayText& entry : mDisplayTexts) {
    if (std::strcmp(entry.mText, text) == 0) {
      if (value) *value = entry.mValue;
      return true;
    }
  }
  return false;
}

double IParam::StringToValue(const char* text) const {
  double value = 0.0;
  if (MapDisplayText(text, &value)) return value;
  if (mType == kTypeBool || mType == kTypeEnum) return 0.0;
  value = text ? std::strtod(text, nullptr) : 0.0;
  if (mFlags & kFlagNegateDisplay) value = -value;
  return Constrain(value);
}

void IParam::GetJSON(TextBuffer& out, int index) const {
  static const char* const kTypeTexts[] = {"", "bool", "int", "enum", "float"};
  constexpr int kMax = 8192;
  out.AppendFormatted(kMax, "{");
  out.AppendFormatted(kMax, "\"id\":%i, ", index);
  out.AppendFormatted(kMax, "\"name\":\"%s\", ", mName);
  if (mType > kTypeNone && mType <= kTypeDouble) out.AppendFormatted(kMax, "\"type\":\"%s\", ", kTypeTexts[mType]);
  out.AppendFormatted(kMax, "\"min\":%f, ", mMin);
  out.AppendFormatted(kMax, "\"max\":%f, ", mMax);
  out.AppendFormatted(kMax, "\"default\":%f, ", mDefault);
  out.AppendFormatted(kMax, "\"rate\":\"control\"");
  out.AppendFormatted(kMax, "}");
}

}  // namespace iplug
