#pragma once
#include <cstdint>

#include "IPlug/IParam.h"

namespace iplug {

class IPlugAPIBase;

// The plug-in's parameters as every host sees them, decided once for all bindings: which
// parameters a host sees, as what shape, under which identifier, and what a value from the
// host does. A binding only translates these into its host's vocabulary.
//
// Identifiers: parameter i is host parameter i + 1 (hosts keep 0, or an empty name, for
// something of their own such as a master bypass); written as text, the decimal number.
// A parameter without a kind (a meter channel) has no host parameter, but keeps its
// identifier, so the others never move.
class HostParams {
public:
  enum class Shape {
    kHidden,      // no host parameter
    kContinuous,  // any value of the range
    kInteger,     // whole numbers of the range
    kSwitch,      // two states, each with its text
    kList,        // one of a list of named values
  };
  // How a host states a value: 0..1 over the range, or the parameter's own value.
  enum class Scale { kNormalized, kPlain };
  // Where the editor learns of a host's value: queued for its thread (the host calls on
  // another thread), at once (the host calls on the editor's thread), or not at all (no editor
  // lives beside this object).
  enum class EditorNotice { kQueued, kDirect, kNone };

  static constexpr int kMaxIDTextLength = 12;  // "2147483647" and the terminator, rounded up

  // Main thread or host thread; the object only refers to the plug-in.
  explicit HostParams(IPlugAPIBase& plug) : mPlug(plug) {}

  static Shape ShapeOf(const IParam& param);
  static bool IsVisible(const IParam& param) { return ShapeOf(param) != Shape::kHidden; }
  // The number of values a host steps through: one per text of a list or switch (one per
  // whole number of the range without texts), one per whole number of an integer; 0 for a
  // continuous parameter.
  static int StepCount(const IParam& param);
  // A choice among named values: a list, or a whole-number parameter each of whose values has
  // its own text (hosts offer a menu of the texts).
  static bool IsChoice(const IParam& param);

  static uint32_t HostID(int paramIdx) { return static_cast<uint32_t>(paramIdx) + 1u; }
  // Writes HostID as decimal text.
  static void HostIDText(int paramIdx, char (&out)[kMaxIDTextLength]);
  // Any thread. The parameter a host identifier names, or -1 (0, or past the last parameter).
  int ParamIndexFromID(uint32_t id) const;
  // Any thread. The same for a decimal text; -1 for anything else (empty, null, signs, spaces).
  int ParamIndexFromID(const char* idText) const;

  // A host's thread (for kDirect the editor's). The parameter takes a value from the host: set
  // (normalized values clamped to 0..1, then constrained to the range and steps), the editor
  // told as `notice` says, then the product's hook runs. False, with nothing changed, for an
  // index that is not a parameter or a value that is not a number.
  bool SetFromHost(int paramIdx, double value, Scale scale, EditorNotice notice);

private:
  IPlugAPIBase& mPlug;
};

}  // namespace iplug
