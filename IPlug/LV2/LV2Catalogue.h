#pragma once
#include <string>
#include <vector>

namespace iplug {

class IPlugLV2;

// One LV2 plug-in of the bundle: an insert with one main input bus and one output bus, and
// a single side-chain (key) input when the plug-in's configurations have a second input bus,
// as the AAX module offers its components.
struct LV2Component {
  int mNInputs = 0;   // main input channels
  int mNOutputs = 0;
  bool mSideChain = false;
  std::string mURI;   // "urn:vantorell:tollenbrook:stereo"
  std::string mName;  // "Tollenbrook (Stereo)"
};

// What the bundle holds, read from a plug-in object: its plug-ins, their URIs and the files.
// Everything follows from the plug-in's own identity and channel configurations, so the
// Turtle description and the binary never disagree about it.
class LV2Catalogue {
public:
  // Main thread.
  explicit LV2Catalogue(const IPlugLV2& plug);

  const std::vector<LV2Component>& Components() const { return mComponents; }
  // "urn:<manufacturer>:<plug-in>", lower case; the plug-ins' URIs extend it.
  const std::string& BaseURI() const { return mBaseURI; }
  // The key the plug-in's state is stored under.
  const std::string& StateKeyURI() const { return mStateKeyURI; }
  const std::string& Maintainer() const { return mMaintainer; }
  // Packed version of the plug-in (major << 16 | minor << 8 | patch).
  int Version() const { return mVersion; }
  // "Tollenbrook.so", "Tollenbrook.ttl": file names inside the bundle.
  const std::string& BinaryName() const { return mBinaryName; }
  const std::string& TurtleName() const { return mTurtleName; }
  // The user interface every plug-in of the bundle shares (an X11 editor): its URI
  // ("urn:vantorell:tollenbrook:ui") and binary ("TollenbrookUI.so"); empty for a plug-in
  // without an editor.
  const std::string& UIURI() const { return mUIURI; }
  const std::string& UIBinaryName() const { return mUIBinaryName; }
  // The plug-in of a URI, or null.
  const LV2Component* Find(const char* uri) const;

  // Lower case letters, digits and `separator` for everything else, runs folded, no
  // separator at either end: "High Pass Filter" -> "high_pass_filter".
  static std::string Slug(const char* text, char separator);

private:
  std::vector<LV2Component> mComponents;
  std::string mBaseURI;
  std::string mStateKeyURI;
  std::string mMaintainer;
  int mVersion = 0;
  std::string mBinaryName;
  std::string mTurtleName;
  std::string mUIURI;
  std::string mUIBinaryName;
};

}  // namespace iplug
