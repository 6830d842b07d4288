#pragma once
#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A small LV2 host on lilv, the LV2 reference host library: it loads the built bundle the way
// Linux hosts do and keeps a buffer for every port of an instance.
namespace lv2test {

constexpr const char* kMonoURI = "urn:vantorell:tollenbrook:mono";
constexpr const char* kStereoURI = "urn:vantorell:tollenbrook:stereo";

// The folder of built bundles, then the system's LV2 vocabularies.
// The folder of links to the system's LV2 vocabulary bundles (no other vendor's plug-ins),
// and the Turtle files in it, sorted.
std::string VocabulariesDir();
std::vector<std::string> VocabularyTurtle();
std::string LV2Path();
// The command-line host built beside the bundle.
std::string HostProgram();
// True when the plug-in is built with a sanitizer: programs that are not (the Debian LV2
// tools) cannot load it.
bool SanitizedBuild();

// The URID map and unmap a host keeps.
class UridMap {
public:
  UridMap();
  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID urid) const;
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

private:
  std::deque<std::string> mUris;  // URID n is element n - 1; a deque keeps the texts in place
  std::map<std::string, LV2_URID> mIds;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

// lilv's world with the system's LV2 resources and the built bundle, loaded once.
LilvWorld* World();
const LilvPlugin* FindPlugin(const char* uri);

// Named parameter values, applied to the controls of the same name.
using Settings = std::vector<std::pair<std::string, double>>;

// One instance with a float for every control port and host-owned audio buffers.
class Instance {
public:
  // maxBlock goes to the plug-in as the bounded block length; 0 offers no options at all.
  Instance(const char* uri, double sampleRate, int maxBlock = 4096);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  LilvInstance* Get() const { return mInstance; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  UridMap& Urids() { return mUrids; }
  const LV2_Feature* const* Features() const { return mFeatures.data(); }

  // Port numbers by symbol and by name; -1 when there is none.
  int PortBySymbol(const char* symbol) const;
  int PortByName(const std::string& name) const;
  const std::string& Symbol(int port) const { return mSymbols[static_cast<size_t>(port)]; }
  // The control ports' values as the host holds them (defaults at first).
  float& Control(int port) { return mControls[static_cast<size_t>(port)]; }
  void Apply(const Settings& settings);

  // The audio ports in index order.
  const std::vector<int>& AudioInputs() const { return mAudioIn; }   // main inputs, then the key
  const std::vector<int>& AudioOutputs() const { return mAudioOut; }
  int SideChainPort() const { return mSideChain; }
  int MainChannels() const { return static_cast<int>(mAudioIn.size()) - (mSideChain >= 0 ? 1 : 0); }
  void Connect(int port, void* data) { lilv_instance_connect_port(mInstance, static_cast<uint32_t>(port), data); }

  // lilv's callbacks for the controls of a saved or restored state (lilv_state_new_from_instance,
  // lilv_state_restore); `user` is the Instance.
  static const void* GetControl(const char* symbol, void* user, uint32_t* size, uint32_t* type);
  static void SetControl(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type);

  // The plug-in's state bytes through its state interface (empty when it saves none).
  std::vector<uint8_t> StateBytes();

private:
  UridMap mUrids;
  int32_t mMaxBlock = 0;
  LV2_Options_Option mOptions[2];
  LV2_Feature mMapFeature, mUnmapFeature, mOptionsFeature, mBoundedFeature;
  std::vector<const LV2_Feature*> mFeatures;
  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls;
  std::vector<std::string> mSymbols;
  std::vector<std::string> mNames;
  std::vector<int> mAudioIn;
  std::vector<int> mAudioOut;
  int mSideChain = -1;
};

// Audio as planar channels.
using Channels = std::vector<std::vector<float>>;

struct RenderResult {
  Channels out;
  int latency = 0;
};

struct RenderOptions {
  std::vector<int> blocks{512};  // block lengths, taken in turn
  bool inPlace = false;          // outputs connected to the input buffers
  int maxBlock = 4096;           // the bound announced to the plug-in
  Settings afterPreRoll;         // control changes once the settings have settled
  // A preset of World() (its URI), restored through lilv's state API (controls and state)
  // before the settings, as hosts apply presets.
  const LilvNode* preset = nullptr;
};

// Plays `in` through a fresh instance as tollenbrook-host render does: the settings, one
// second of silence, then the input, followed by as much silence as the plug-in's latency,
// whose frames are dropped from the front. `key` (may be null) goes to the side chain;
// without it the side chain is left unconnected.
RenderResult Render(const char* uri, const Channels& in, const std::vector<float>* key, const Settings& settings,
                    double sampleRate, const RenderOptions& options = {});

}  // namespace lv2test
