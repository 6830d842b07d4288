#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/port-props/port-props.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>

#include "host/cli/LV2PluginInstance.h"
#include "host/cli/Utf8Path.h"

namespace tbhost {

namespace {
constexpr double kFirstSampleRate = 48000.0;
constexpr int kFirstChannels = 2;
// The longest piece the plug-in is asked to run; longer host blocks are split.
constexpr int32_t kMaxPiece = 8192;
constexpr const char* kStatePrefix = "LV2 state ";

// The URIs a host maps to numbers for its plug-ins, shared by every instance of a bundle.
class UridMap {
public:
  UridMap() {
    mMap.handle = this;
    mMap.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->Map(uri); };
    mUnmap.handle = this;
    mUnmap.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID urid) { return static_cast<UridMap*>(h)->Unmap(urid); };
  }
  // Any thread: instances on several render threads map their URIs through one table.
  LV2_URID Map(const char* uri) {
    std::lock_guard lock(mMutex);
    auto [it, added] = mIds.emplace(uri, static_cast<LV2_URID>(mUris.size() + 1));
    if (added) mUris.emplace_back(uri);
    return it->second;
  }
  const char* Unmap(LV2_URID urid) {
    std::lock_guard lock(mMutex);
    return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
  }
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

private:
  std::mutex mMutex;
  std::deque<std::string> mUris;  // URID n is element n - 1; a deque keeps the texts in place
  std::map<std::string, LV2_URID> mIds;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};

// What the ports of one plug-in of the bundle are to the host.
struct PortLayout {
  const LilvPlugin* plugin = nullptr;
  uint32_t nPorts = 0;
  std::vector<uint32_t> mainIn, audioOut, params, meters;
  int sideChain = -1;
  int enabled = -1;
  int latency = -1;
  std::vector<float> defaults;
};

// The directory of the bundle `path` names: the path itself, or the .lv2 directory around it.
std::filesystem::path BundleDirectory(const std::string& path) {
  std::filesystem::path p = std::filesystem::absolute(PathFromUtf8(path));
  for (std::filesystem::path at = p; !at.empty() && at != at.root_path(); at = at.parent_path())
    if (at.extension() == ".lv2") return at;
  return p;
}

class Nodes {
public:
  explicit Nodes(LilvWorld* world) : mWorld(world) {}
  ~Nodes() {
    for (LilvNode* n : mNodes) lilv_node_free(n);
  }
  const LilvNode* Uri(const char* uri) {
    mNodes.push_back(lilv_new_uri(mWorld, uri));
    return mNodes.back();
  }

private:
  LilvWorld* mWorld;
  std::vector<LilvNode*> mNodes;
};
}  // namespace

// The bundle as lilv read it, with the features every instance is given.
struct LV2PluginInstance::Bundle {
  ~Bundle() {
    if (world) lilv_world_free(world);
  }

  std::string path;
  LilvWorld* world = nullptr;
  std::mutex mutex;  // lilv's world is one host's: instances are made and freed one at a time
  UridMap urids;
  int32_t maxBlock = kMaxPiece;
  LV2_Options_Option options[2] = {};
  LV2_Feature mapFeature{}, unmapFeature{}, optionsFeature{}, boundedFeature{};
  const LV2_Feature* features[5] = {};
  std::vector<PortLayout> plugins;
  std::vector<ParamInfo> params;        // from the plug-in a stereo insert uses
  std::vector<std::string> meterNames;

  bool Read(const std::string& bundlePath, std::string& error);
  bool Describe(const LilvPlugin* plugin, std::string& error);
  const PortLayout* For(int channels) const {
    for (const PortLayout& p : plugins)
      if (static_cast<int>(p.mainIn.size()) == channels && p.audioOut.size() == p.mainIn.size()) return &p;
    return nullptr;
  }
};

// One instance of one plug-in of the bundle, with a value for every control port.
struct LV2PluginInstance::Insert {
  Insert(Bundle& b, const PortLayout& l) : bundle(b), layout(l) {}
  ~Insert() {
    if (!instance) return;
    lilv_instance_deactivate(instance);
    std::lock_guard lock(bundle.mutex);
    lilv_instance_free(instance);
  }

  Bundle& bundle;
  const PortLayout& layout;
  LilvInstance* instance = nullptr;
  std::vector<float> controls;
  std::vector<float> scratch = std::vector<float>(1, 0.0f);
  bool hasKey = false;
};

bool LV2PluginInstance::Bundle::Read(const std::string& bundlePath, std::string& error) {
  path = bundlePath;
  const std::filesystem::path dir = BundleDirectory(bundlePath);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(dir / "manifest.ttl", ec)) {
    error = "cannot load " + bundlePath + ": not an LV2 bundle (no manifest.ttl)";
    return false;
  }
  world = lilv_world_new();
  if (!world) {
    error = "cannot load " + bundlePath + ": out of memory";
    return false;
  }
  // The bundle alone: what else the machine has installed plays no part.
  LilvNode* uri = lilv_new_file_uri(world, nullptr, (PathToUtf8(dir) + "/").c_str());
  lilv_world_load_bundle(world, uri);
  lilv_node_free(uri);

  options[0] = {LV2_OPTIONS_INSTANCE, 0, urids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                urids.Map(LV2_ATOM__Int), &maxBlock};
  options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  mapFeature = {LV2_URID__map, urids.MapFeature()};
  unmapFeature = {LV2_URID__unmap, urids.UnmapFeature()};
  optionsFeature = {LV2_OPTIONS__options, options};
  boundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
  features[0] = &mapFeature;
  features[1] = &unmapFeature;
  features[2] = &optionsFeature;
  features[3] = &boundedFeature;
  features[4] = nullptr;

  const LilvPlugins* all = lilv_world_get_all_plugins(world);
  LILV_FOREACH(plugins, i, all) {
    if (!Describe(lilv_plugins_get(all, i), error)) return false;
  }
  const PortLayout* first = For(kFirstChannels);
  if (!first) first = For(1);
  if (!first) {
    error = "cannot load " + bundlePath + ": it holds no mono or stereo insert";
    return false;
  }
  // The table is the plug-in's own: each parameter port's name, range, steps and texts.
  Nodes n(world);
  const LilvNode* integer = n.Uri(LV2_CORE__integer);
  const LilvNode* toggled = n.Uri(LV2_CORE__toggled);
  const LilvNode* rangeSteps = n.Uri(LV2_PORT_PROPS__rangeSteps);
  std::vector<float> mins(first->nPorts), maxs(first->nPorts);
  lilv_plugin_get_port_ranges_float(first->plugin, mins.data(), maxs.data(), nullptr);
  for (size_t k = 0; k < first->params.size(); ++k) {
    const uint32_t port = first->params[k];
    const LilvPort* p = lilv_plugin_get_port_by_index(first->plugin, port);
    ParamInfo info;
    info.index = static_cast<int>(k);
    LilvNode* name = lilv_port_get_name(first->plugin, p);
    info.name = name ? lilv_node_as_string(name) : "";
    lilv_node_free(name);
    info.settable = true;
    info.min = std::isnan(mins[port]) ? 0.0 : mins[port];
    info.max = std::isnan(maxs[port]) ? 1.0 : maxs[port];
    info.defaultValue = first->defaults[port];
    info.step = 0.0;
    if (lilv_port_has_property(first->plugin, p, integer) || lilv_port_has_property(first->plugin, p, toggled))
      info.step = 1.0;
    if (LilvNode* steps = lilv_port_get(first->plugin, p, rangeSteps)) {
      const double count = lilv_node_as_float(steps);
      if (count > 1.0) info.step = (info.max - info.min) / (count - 1.0);
      lilv_node_free(steps);
    }
    if (LilvScalePoints* points = lilv_port_get_scale_points(first->plugin, p)) {
      LILV_FOREACH(scale_points, s, points) {
        const LilvScalePoint* point = lilv_scale_points_get(points, s);
        info.displayTexts.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(point)),
                                       lilv_node_as_string(lilv_scale_point_get_label(point)));
      }
      lilv_scale_points_free(points);
      std::sort(info.displayTexts.begin(), info.displayTexts.end());
    }
    params.push_back(std::move(info));
  }
  for (const uint32_t port : first->meters) {
    LilvNode* name = lilv_port_get_name(first->plugin, lilv_plugin_get_port_by_index(first->plugin, port));
    meterNames.emplace_back(name ? lilv_node_as_string(name) : "");
    lilv_node_free(name);
  }
  return true;
}

bool LV2PluginInstance::Bundle::Describe(const LilvPlugin* plugin, std::string& error) {
  Nodes n(world);
  const LilvNode* audio = n.Uri(LV2_CORE__AudioPort);
  const LilvNode* control = n.Uri(LV2_CORE__ControlPort);
  const LilvNode* input = n.Uri(LV2_CORE__InputPort);
  const LilvNode* output = n.Uri(LV2_CORE__OutputPort);
  const LilvNode* sideChain = n.Uri(LV2_CORE_PREFIX "isSideChain");
  const LilvNode* optional = n.Uri(LV2_CORE__connectionOptional);
  const LilvNode* designation = n.Uri(LV2_CORE__designation);
  const LilvNode* enabled = n.Uri(LV2_CORE_PREFIX "enabled");
  const LilvNode* reportsLatency = n.Uri(LV2_CORE__reportsLatency);
  const LilvNode* notOnGUI = n.Uri(LV2_PORT_PROPS__notOnGUI);
  PortLayout layout;
  layout.plugin = plugin;
  layout.nPorts = lilv_plugin_get_num_ports(plugin);
  layout.defaults.assign(layout.nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, layout.defaults.data());
  for (float& d : layout.defaults)
    if (std::isnan(d)) d = 0.0f;
  for (uint32_t i = 0; i < layout.nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    const bool in = lilv_port_is_a(plugin, port, input);
    const bool out = lilv_port_is_a(plugin, port, output);
    if (lilv_port_is_a(plugin, port, audio)) {
      if (out) layout.audioOut.push_back(i);
      else if (in && lilv_port_has_property(plugin, port, sideChain)) layout.sideChain = static_cast<int>(i);
      else if (in) layout.mainIn.push_back(i);
      continue;
    }
    if (!lilv_port_is_a(plugin, port, control)) {
      // A port of a kind this host does not feed may be left alone only when it says so.
      if (lilv_port_has_property(plugin, port, optional)) continue;
      LilvNode* symbol = lilv_node_duplicate(lilv_port_get_symbol(plugin, port));
      error = "cannot load " + path + ": port " + lilv_node_as_string(symbol) + " is of a kind this host cannot feed";
      lilv_node_free(symbol);
      return false;
    }
    LilvNode* designated = lilv_port_get(plugin, port, designation);
    const bool isEnabled = designated && lilv_node_equals(designated, enabled);
    lilv_node_free(designated);
    if (out && lilv_port_has_property(plugin, port, reportsLatency)) layout.latency = static_cast<int>(i);
    else if (out) layout.meters.push_back(i);
    else if (isEnabled) layout.enabled = static_cast<int>(i);
    else if (!lilv_port_has_property(plugin, port, notOnGUI)) layout.params.push_back(i);
  }
  plugins.push_back(std::move(layout));
  return true;
}

std::unique_ptr<PluginInstance> LV2PluginInstance::Create(const std::string& bundle, std::string& error) {
  auto read = std::make_shared<Bundle>();
  if (!read->Read(bundle, error)) return nullptr;
  std::unique_ptr<PluginInstance> plugin = LV2PluginInstance(read).NewInstance(error);
  return plugin;
}

LV2PluginInstance::LV2PluginInstance(std::shared_ptr<Bundle> bundle) : mBundle(std::move(bundle)) {}

LV2PluginInstance::~LV2PluginInstance() = default;

const std::vector<ParamInfo>& LV2PluginInstance::Parameters() const { return mBundle->params; }

namespace {
std::unique_ptr<LV2PluginInstance::Insert> MakeInsert(LV2PluginInstance::Bundle& bundle, int channels,
                                                      double sampleRate, std::string& error) {
  const PortLayout* layout = bundle.For(channels);
  if (!layout) {
    error = bundle.path + " has no " + (channels == 1 ? "mono" : "stereo") + " plug-in";
    return nullptr;
  }
  auto insert = std::make_unique<LV2PluginInstance::Insert>(bundle, *layout);
  {
    std::lock_guard lock(bundle.mutex);
    insert->instance = lilv_plugin_instantiate(layout->plugin, sampleRate, bundle.features);
  }
  if (!insert->instance) {
    error = bundle.path + " made no instance at " + std::to_string(sampleRate) + " Hz";
    return nullptr;
  }
  insert->controls = layout->defaults;
  if (layout->enabled >= 0) insert->controls[static_cast<size_t>(layout->enabled)] = 1.0f;
  for (uint32_t p = 0; p < layout->nPorts; ++p) {
    const bool isAudio = std::find(layout->mainIn.begin(), layout->mainIn.end(), p) != layout->mainIn.end() ||
                         std::find(layout->audioOut.begin(), layout->audioOut.end(), p) != layout->audioOut.end() ||
                         static_cast<int>(p) == layout->sideChain;
    lilv_instance_connect_port(insert->instance, p, isAudio ? nullptr : &insert->controls[p]);
  }
  lilv_instance_activate(insert->instance);
  return insert;
}

// A run of no frames: the plug-in takes the controls as they stand (the values just set go
// into a state saved next) and reports its latency.
void Settle(LV2PluginInstance::Insert& insert) {
  for (uint32_t p : insert.layout.mainIn) lilv_instance_connect_port(insert.instance, p, insert.scratch.data());
  for (uint32_t p : insert.layout.audioOut) lilv_instance_connect_port(insert.instance, p, insert.scratch.data());
  lilv_instance_run(insert.instance, 0);
}
}  // namespace

std::unique_ptr<PluginInstance> LV2PluginInstance::NewInstance(std::string& error) const {
  std::unique_ptr<LV2PluginInstance> plugin(new LV2PluginInstance(mBundle));
  plugin->mInsert = MakeInsert(*mBundle, kFirstChannels, kFirstSampleRate, error);
  if (!plugin->mInsert) plugin->mInsert = MakeInsert(*mBundle, 1, kFirstSampleRate, error);
  if (!plugin->mInsert) return nullptr;
  Settle(*plugin->mInsert);
  return plugin;
}

bool LV2PluginInstance::Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) {
  if (!CheckInsert(sampleRate, mainChannels, error)) return false;
  // A fresh instance at the file's rate, as a host makes one per insert; the parameters and
  // the state go over.
  PluginState state;
  std::string unused;
  const bool haveState = SaveState(state, unused);
  std::unique_ptr<Insert> insert = MakeInsert(*mBundle, mainChannels, sampleRate, error);
  if (!insert) return false;
  const std::vector<uint32_t>& oldParams = mInsert->layout.params;
  const std::vector<uint32_t>& newParams = insert->layout.params;
  for (size_t k = 0; k < std::min(oldParams.size(), newParams.size()); ++k)
    insert->controls[newParams[k]] = mInsert->controls[oldParams[k]];
  std::swap(mInsert, insert);
  if (haveState && !LoadState(state, error)) {
    std::swap(mInsert, insert);
    return false;
  }
  mInsert->hasKey = sideChain && mInsert->layout.sideChain >= 0;
  Settle(*mInsert);
  return true;
}

bool LV2PluginInstance::HasSideChain() const { return mInsert->hasKey; }

void LV2PluginInstance::SetParameter(int index, double value) {
  const std::vector<uint32_t>& params = mInsert->layout.params;
  if (index < 0 || static_cast<size_t>(index) >= params.size()) return;
  mInsert->controls[params[static_cast<size_t>(index)]] = static_cast<float>(value);
}

void LV2PluginInstance::ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                                     int nFrames) {
  Insert& insert = *mInsert;
  const PortLayout& layout = insert.layout;
  for (int done = 0; done < nFrames;) {
    const int n = std::min(nFrames - done, static_cast<int>(kMaxPiece));
    // LV2 hands the plug-in writable pointers; an input port is only read.
    for (size_t c = 0; c < layout.mainIn.size(); ++c)
      lilv_instance_connect_port(insert.instance, layout.mainIn[c], const_cast<float*>(mainInputs[c] + done));
    for (size_t c = 0; c < layout.audioOut.size(); ++c)
      lilv_instance_connect_port(insert.instance, layout.audioOut[c], outputs[c] + done);
    if (layout.sideChain >= 0)
      lilv_instance_connect_port(insert.instance, static_cast<uint32_t>(layout.sideChain),
                                 insert.hasKey && sideChain ? const_cast<float*>(sideChain + done) : nullptr);
    lilv_instance_run(insert.instance, static_cast<uint32_t>(n));
    done += n;
  }
}

int LV2PluginInstance::Latency() const {
  const int port = mInsert->layout.latency;
  return port < 0 ? 0 : static_cast<int>(std::lround(mInsert->controls[static_cast<size_t>(port)]));
}

int LV2PluginInstance::MeterCount() const { return static_cast<int>(mBundle->meterNames.size()); }

std::string LV2PluginInstance::MeterName(int meter) const {
  return meter >= 0 && meter < MeterCount() ? mBundle->meterNames[static_cast<size_t>(meter)] : std::string();
}

double LV2PluginInstance::MeterValue(int meter) const {
  const std::vector<uint32_t>& meters = mInsert->layout.meters;
  if (meter < 0 || static_cast<size_t>(meter) >= meters.size()) return 0.0;
  return mInsert->controls[meters[static_cast<size_t>(meter)]];
}

namespace {
struct StoredProperty {
  std::string key, type;
  std::vector<uint8_t> bytes;
  int count = 0;
  UridMap* urids = nullptr;
};

const LV2_State_Interface* StateInterface(LilvInstance* instance) {
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}
}  // namespace

bool LV2PluginInstance::SaveState(PluginState& state, std::string& error) {
  const LV2_State_Interface* iface = StateInterface(mInsert->instance);
  if (!iface || !iface->save) {
    error = "the plug-in keeps no state";
    return false;
  }
  Settle(*mInsert);
  StoredProperty stored;
  stored.urids = &mBundle->urids;
  auto store = [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t) {
    auto* out = static_cast<StoredProperty*>(h);
    if (++out->count > 1) return LV2_STATE_SUCCESS;
    const char* keyUri = out->urids->Unmap(key);
    const char* typeUri = out->urids->Unmap(type);
    out->key = keyUri ? keyUri : "";
    out->type = typeUri ? typeUri : "";
    out->bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    return LV2_STATE_SUCCESS;
  };
  const LV2_State_Status status = iface->save(lilv_instance_get_handle(mInsert->instance), store, &stored,
                                              LV2_STATE_IS_POD, mBundle->features);
  if (status != LV2_STATE_SUCCESS || stored.count == 0) {
    error = "the plug-in gave no state (status " + std::to_string(status) + ")";
    return false;
  }
  if (stored.count > 1) {
    error = "the plug-in's state has " + std::to_string(stored.count) + " properties; this host keeps one";
    return false;
  }
  state.format = kStatePrefix + stored.key + " " + stored.type;
  state.bytes = std::move(stored.bytes);
  return true;
}

bool LV2PluginInstance::LoadState(const PluginState& state, std::string& error) {
  const LV2_State_Interface* iface = StateInterface(mInsert->instance);
  PluginState mine;
  if (!iface || !iface->restore || !SaveState(mine, error)) {
    error = "the plug-in takes no state";
    return false;
  }
  if (state.format != mine.format) {
    error = "holds a state " + state.format + ", not the plug-in's " + mine.format;
    return false;
  }
  struct Retrieved {
    const PluginState& state;
    uint32_t key, type;
  } retrieved{state, 0, 0};
  const std::string uris = state.format.substr(std::string(kStatePrefix).size());
  const size_t space = uris.find(' ');
  retrieved.key = mBundle->urids.Map(uris.substr(0, space).c_str());
  retrieved.type = mBundle->urids.Map(uris.substr(space + 1).c_str());
  auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) -> const void* {
    const auto* in = static_cast<const Retrieved*>(h);
    if (key != in->key) return nullptr;
    *size = in->state.bytes.size();
    *type = in->type;
    *flags = LV2_STATE_IS_POD;
    return in->state.bytes.data();
  };
  const LV2_State_Status status =
      iface->restore(lilv_instance_get_handle(mInsert->instance), retrieve, &retrieved, 0, mBundle->features);
  if (status != LV2_STATE_SUCCESS) {
    error = "does not hold a state the plug-in accepts (status " + std::to_string(status) + ")";
    return false;
  }
  Settle(*mInsert);
  return true;
}

}  // namespace tbhost
