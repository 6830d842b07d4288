#pragma once
#include <ostream>
#include <string>

#include "IPlug/LV2/LV2Catalogue.h"

namespace iplug {

class IPlugLV2;

// Writes the Turtle of an LV2 bundle from a plug-in object: manifest.ttl (the plug-ins, the
// binary, the description file) and the description of every plug-in (features, extension
// data, and every port of LV2PortLayout with the parameter's name, range, default, unit,
// steps and display texts). Nothing is typed twice: the binary lays out the same ports from
// the same object.
class LV2Turtle {
public:
  // `category` names the plug-ins' LV2 class without its suffix ("Dynamics" for
  // lv2:DynamicsPlugin); empty for none.
  LV2Turtle(const IPlugLV2& plug, std::string category);

  // Main thread.
  void WriteManifest(std::ostream& out) const;
  void WritePlugins(std::ostream& out) const;

  const LV2Catalogue& Catalogue() const { return mCatalogue; }

  // A number as Turtle reads it back exactly: "15", "-2.5", "1e-05".
  static std::string Number(double value);
  // A Turtle string literal with its quotes.
  static std::string Literal(const std::string& text);

private:
  void WritePlugin(const LV2Component& component, std::ostream& out) const;
  // The lines that declare the plug-in's version, after a statement's subject.
  std::string Versions() const;
  void WriteUI(std::ostream& out) const;

  const IPlugLV2& mPlug;
  LV2Catalogue mCatalogue;
  std::string mCategory;
};

}  // namespace iplug
