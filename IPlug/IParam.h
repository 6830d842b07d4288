#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "IPlug/TextBuffer.h"

namespace iplug {

// One parameter of the plug-in: kind, range, step, default, the current value, texts,
// and the mapping between real values and the normalised 0..1 range of hosts and controls.
//
// Threads: the value is one 64-bit double written by atomic exchange (host thread, editor,
// state restore) and read with plain loads (audio thread). Everything else is written only
// while the plug-in is constructed and is read-only afterwards.
class IParam {
public:
  enum EParamType { kTypeNone = 0, kTypeBool, kTypeInt, kTypeEnum, kTypeDouble };

  enum EParamUnit {
    kUnitPercentage = 0,
    kUnitSeconds = 1,
    kUnitMilliseconds = 2,
    kUnitSamples = 3,
    kUnitDB = 4,
    kUnitLinearGain = 5,
    kUnitPan = 6,
    kUnitPhase = 7,
    kUnitDegrees = 8,
    kUnitMeters = 9,
    kUnitRate = 10,
    kUnitRatio = 11,
    kUnitFrequency = 12,
    kUnitOctaves = 13,
    kUnitCents = 14,
    kUnitAbsCents = 15,
    kUnitSemitones = 16,
    kUnitMIDINote = 17,
    kUnitMIDICtrlNum = 18,
    kUnitBPM = 19,
    kUnitBeats = 20,
    kUnitCustom = 21,
  };

  enum EFlags : uint32_t {
    kNoFlags = 0,
    kFlagNotAutomatable = 1,
    kFlagStepped = 2,
    kFlagNegateDisplay = 4,
    kFlagSignDisplay = 8,
  };

  static constexpr int kMaxNameLength = 32;  // including the terminator
  static constexpr int kDisplayLength = 32;

  using DisplayFunc = std::function<void(double value, TextBuffer& out)>;

  struct DisplayText {
    double mValue;
    char mText[kMaxNameLength];
  };

  // Maps between real and normalised values; owned by exactly one parameter.
  class Shape {
  public:
    virtual ~Shape() = default;
    virtual Shape* Clone() const = 0;
    virtual void Init(const IParam&) {}
    virtual int GetCurveKind() const = 0;
    virtual double NormalizedToValue(double normalized, const IParam& param) const = 0;
    virtual double ValueToNormalized(double value, const IParam& param) const = 0;
  };

  class ShapeLinear : public Shape {
  public:
    Shape* Clone() const override { return new ShapeLinear(*this); }
    int GetCurveKind() const override { return 0; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;
  };

  class ShapePowCurve : public Shape {
  public:
    explicit ShapePowCurve(double shapeExponent) : mShapeExponent(shapeExponent) {}
    Shape* Clone() const override { return new ShapePowCurve(*this); }
    int GetCurveKind() const override;
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;

    double mShapeExponent;
  };

  // Exponential from max(min, 1e-8) to max; it does not re-add min.
  class ShapeExp : public Shape {
  public:
    Shape* Clone() const override { return new ShapeExp(*this); }
    void Init(const IParam& param) override;
    int GetCurveKind() const override { return 1; }
    double NormalizedToValue(double normalized, const IParam& param) const override;
    double ValueToNormalized(double value, const IParam& param) const override;

    double mMul = 1.0;
    double mAdd = 1.0;
  };

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Initialisers. Each sets the kind only while it is still kTypeNone, so the outermost
  // initialiser decides it; all of them end in InitDouble.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", int flags = 0, const char* group = "",
                  const Shape& shape = ShapeLinear(), EParamUnit unit = kUnitCustom,
                  DisplayFunc displayFunc = nullptr);
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               int flags = 0, const char* group = "");
  // With texts, give all nEnums of them; without, pass none.
  template <typename... Texts>
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label, int flags, const char* group,
                Texts... texts) {
    static_assert((std::is_convertible_v<Texts, const char*> && ...), "display texts are C strings");
    const char* list[] = {static_cast<const char*>(texts)..., nullptr};
    InitEnumWithTexts(name, defaultVal, nEnums, label, flags, group, list, static_cast<int>(sizeof...(Texts)));
  }
  void InitEnumFromList(const char* name, int defaultVal, const std::vector<const char*>& texts, int flags = 0,
                        const char* group = "");
  void InitBool(const char* name, bool defaultVal, const char* label = "", int flags = 0, const char* group = "",
                const char* offText = "off", const char* onText = "on");
  void InitGain(const char* name, double defaultVal = 0., double minVal = -70., double maxVal = 24.,
                double step = 0.5, int flags = 0, const char* group = "");
  void InitFrequency(const char* name, double defaultVal = 1000., double minVal = 0.1, double maxVal = 10000.,
                     double step = 0.1, int flags = 0, const char* group = "");
  void InitSeconds(const char* name, double defaultVal = 1., double minVal = 0., double maxVal = 10.,
                   double step = 0.1, int flags = 0, const char* group = "");
  void InitMilliseconds(const char* name, double defaultVal = 1., double minVal = 0., double maxVal = 100.,
                        int flags = 0, const char* group = "");
  void InitPercentage(const char* name, double defaultVal = 0., double minVal = 0., double maxVal = 100.,
                      int flags = 0, const char* group = "");
  void InitAngleDegrees(const char* name, double defaultVal = 0., double minVal = 0., double maxVal = 360.,
                        int flags = 0, const char* group = "");
  void InitPitch(const char* name, int defaultVal = 60, int lowestNote = 0, int highestNote = 128, int flags = 0,
                 const char* group = "", bool middleCisC4 = false);
  void InitFromParam(const IParam& source, const char* searchText = nullptr, const char* replacementText = nullptr,
                     const char* newGroup = nullptr);

  // Values.
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  int Int() const { return static_cast<int>(Value()); }
  bool Bool() const { return Value() >= 0.5; }
  void Set(double value) { mValue.exchange(Constrain(value)); }
  void SetNormalized(double normalized) { Set(FromNormalized(normalized)); }
  double GetNormalized() const { return ToNormalized(Value()); }
  double FromNormalized(double normalized) const;
  double ToNormalized(double value) const;
  double Constrain(double value) const;
  double ConstrainNormalized(double normalized) const;
  double GetDefault(bool normalized = false) const;
  void GetBounds(double& lo, double& hi) const;
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }

  const char* GetName() const { return mName; }
  const char* GetLabel() const;
  const char* GetGroup() const { return mParamGroup; }
  void SetDisplayPrecision(int precision) { mDisplayPrecision = precision; }

  EParamType Type() const { return static_cast<EParamType>(mType); }
  EParamUnit Unit() const { return static_cast<EParamUnit>(mUnit); }
  int GetFlags() const { return static_cast<int>(mFlags); }
  bool GetCanAutomate() const { return !(mFlags & kFlagNotAutomatable); }
  bool GetStepped() const { return mFlags & kFlagStepped; }
  bool GetNegateDisplay() const { return mFlags & kFlagNegateDisplay; }
  bool GetSignDisplay() const { return mFlags & kFlagSignDisplay; }
  double GetStep() const { return mStep; }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  const Shape& GetShape() const { return *mShape; }

  // Display.
  void GetDisplay(double value, bool normalized, TextBuffer& out, bool withDisplayText = true) const;
  void GetDisplay(TextBuffer& out, bool withDisplayText = true) const { GetDisplay(Value(), false, out, withDisplayText); }
  void GetDisplayWithLabel(TextBuffer& out, bool withDisplayText = true) const;
  void SetDisplayText(double value, const char* text);
  const char* GetDisplayText(double value) const;
  const char* GetDisplayTextAtIdx(int idx, double* value = nullptr) const;
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  bool MapDisplayText(const char* text, double* value) const;
  double StringToValue(const char* text) const;
  void GetJSON(TextBuffer& out, int index) const;

private:
  void InitEnumWithTexts(const char* name, int defaultVal, int nEnums, const char* label, int flags,
                         const char* group, const char* const* texts, int nTexts);
  void SetShape(const Shape& shape);

  int32_t mType = kTypeNone;
  int32_t mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int32_t mDisplayPrecision = 0;
  uint32_t mFlags = 0;
  char mName[kMaxNameLength] = {};
  char mLabel[kMaxNameLength] = {};
  char mParamGroup[kMaxNameLength] = {};
  std::unique_ptr<Shape> mShape;
  DisplayFunc mDisplayFunction;
  std::vector<DisplayText> mDisplayTexts;
};

}  // namespace iplug
