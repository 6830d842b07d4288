#include "IPlug/LV2/LilvRig.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace lv2test {

std::string VocabulariesDir() {
  const char* folder = std::getenv("TOLLENBROOK_LV2_VOCABULARIES");
  return folder ? folder : "(TOLLENBROOK_LV2_VOCABULARIES unset)";
}

std::vector<std::string> VocabularyTurtle() {
  std::vector<std::string> files;
  const std::filesystem::directory_options follow = std::filesystem::directory_options::follow_directory_symlink;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(VocabulariesDir(), follow, error), end; !error && it != end;
       it.increment(error))
    if (it->path().extension() == ".ttl") files.push_back(it->path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string LV2Path() {
  const char* built = std::getenv("TOLLENBROOK_LV2_PATH");
  return std::string(built ? built : "") + ":" + VocabulariesDir();
}

std::string HostProgram() {
  const char* host = std::getenv("TOLLENBROOK_HOST");
  return host ? host : "";
}

bool SanitizedBuild() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return true;
#else
  return false;
#endif
}

UridMap::UridMap() {
  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->Map(uri); };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID urid) { return static_cast<UridMap*>(h)->Unmap(urid); };
}

LV2_URID UridMap::Map(const char* uri) {
  auto [it, added] = mIds.emplace(uri, static_cast<LV2_URID>(mUris.size() + 1));
  if (added) mUris.emplace_back(uri);
  return it->second;
}

const char* UridMap::Unmap(LV2_URID urid) const {
  return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}

LilvWorld* World() {
  static LilvWorld* world = [] {
    setenv("LV2_PATH", LV2Path().c_str(), 1);
    LilvWorld* w = lilv_world_new();
    lilv_world_load_all(w);
    return w;
  }();
  return world;
}

const LilvPlugin* FindPlugin(const char* uri) {
  LilvNode* node = lilv_new_uri(World(), uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(World()), node);
  lilv_node_free(node);
  return plugin;
}

Instance::Instance(const char* uri, double sampleRate, int maxBlock) : mMaxBlock(maxBlock) {
  mPlugin = FindPlugin(uri);
  if (!mPlugin) throw std::runtime_error(std::string("no plug-in ") + uri + " in " + LV2Path());

  mOptions[0] = {LV2_OPTIONS_INSTANCE, 0, mUrids.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                 mUrids.Map(LV2_ATOM__Int), &mMaxBlock};
  mOptions[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  mMapFeature = {LV2_URID__map, mUrids.MapFeature()};
  mUnmapFeature = {LV2_URID__unmap, mUrids.UnmapFeature()};
  mOptionsFeature = {LV2_OPTIONS__options, mOptions};
  mBoundedFeature = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
  mFeatures = {&mMapFeature, &mUnmapFeature};
  if (maxBlock > 0) {
    mFeatures.push_back(&mOptionsFeature);
    mFeatures.push_back(&mBoundedFeature);
  }
  mFeatures.push_back(nullptr);
  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, mFeatures.data());
  if (!mInstance) throw std::runtime_error(std::string("cannot instantiate ") + uri);

  const uint32_t n = lilv_plugin_get_num_ports(mPlugin);
  std::vector<float> defaults(n);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  mControls.assign(n, 0.0f);
  LilvNode* audio = lilv_new_uri(World(), LV2_CORE__AudioPort);
  LilvNode* input = lilv_new_uri(World(), LV2_CORE__InputPort);
  LilvNode* sideChain = lilv_new_uri(World(), LV2_CORE_PREFIX "isSideChain");
  for (uint32_t p = 0; p < n; ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, p);
    mSymbols.emplace_back(lilv_node_as_string(lilv_port_get_symbol(mPlugin, port)));
    LilvNode* name = lilv_port_get_name(mPlugin, port);
    mNames.emplace_back(lilv_node_as_string(name));
    lilv_node_free(name);
    if (lilv_port_is_a(mPlugin, port, audio)) {
      if (!lilv_port_is_a(mPlugin, port, input)) {
        mAudioOut.push_back(static_cast<int>(p));
      } else {
        mAudioIn.push_back(static_cast<int>(p));
        if (lilv_port_has_property(mPlugin, port, sideChain)) mSideChain = static_cast<int>(p);
      }
      continue;
    }
    mControls[p] = std::isnan(defaults[p]) ? 0.0f : defaults[p];
    lilv_instance_connect_port(mInstance, p, &mControls[p]);
  }
  lilv_node_free(audio);
  lilv_node_free(input);
  lilv_node_free(sideChain);
}

Instance::~Instance() {
  if (mInstance) lilv_instance_free(mInstance);
}

int Instance::PortBySymbol(const char* symbol) const {
  for (size_t p = 0; p < mSymbols.size(); ++p)
    if (mSymbols[p] == symbol) return static_cast<int>(p);
  return -1;
}

int Instance::PortByName(const std::string& name) const {
  for (size_t p = 0; p < mNames.size(); ++p)
    if (mNames[p] == name) return static_cast<int>(p);
  return -1;
}

void Instance::Apply(const Settings& settings) {
  for (const auto& [name, value] : settings) {
    const int port = PortByName(name);
    if (port < 0) throw std::runtime_error("no control named " + name);
    Control(port) = static_cast<float>(value);
  }
}

std::vector<uint8_t> Instance::StateBytes() {
  const auto* iface =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  std::vector<uint8_t> bytes;
  if (!iface) return bytes;
  auto store = [](LV2_State_Handle h, uint32_t, const void* value, size_t size, uint32_t, uint32_t) {
    auto* out = static_cast<std::vector<uint8_t>*>(h);
    out->assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    return LV2_STATE_SUCCESS;
  };
  iface->save(lilv_instance_get_handle(mInstance), store, &bytes, LV2_STATE_IS_POD, mFeatures.data());
  return bytes;
}

const void* Instance::GetControl(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* inst = static_cast<Instance*>(user);
  const int port = inst->PortBySymbol(symbol);
  if (port < 0) return nullptr;
  *size = sizeof(float);
  *type = inst->Urids().Map(LV2_ATOM__Float);
  return &inst->Control(port);
}

void Instance::SetControl(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  auto* inst = static_cast<Instance*>(user);
  const int port = inst->PortBySymbol(symbol);
  if (port >= 0 && size == sizeof(float) && type == inst->Urids().Map(LV2_ATOM__Float))
    std::memcpy(&inst->Control(port), value, sizeof(float));
}

namespace {

// The host side of a render: buffers for the largest block and the block lengths in turn.
class Player {
public:
  Player(Instance& inst, const RenderOptions& options, bool keyed)
      : mInst(inst), mOptions(options), mChannels(inst.MainChannels()) {
    const int largest = *std::max_element(options.blocks.begin(), options.blocks.end());
    const auto size = static_cast<size_t>(std::max(largest, 1));
    mIn.assign(static_cast<size_t>(mChannels), std::vector<float>(size));
    mOut.assign(static_cast<size_t>(mChannels), std::vector<float>(size));
    mKey.assign(size, 0.0f);
    for (int c = 0; c < mChannels; ++c) {
      const auto i = static_cast<size_t>(c);
      inst.Connect(inst.AudioInputs()[i], mIn[i].data());
      inst.Connect(inst.AudioOutputs()[i], options.inPlace ? mIn[i].data() : mOut[i].data());
    }
    if (inst.SideChainPort() >= 0) inst.Connect(inst.SideChainPort(), keyed ? mKey.data() : nullptr);
  }

  // Frames [pos, pos + n) of the input (silence past its end) through the plug-in; the
  // output is appended to `out`, when given. Returns n.
  int Play(const Channels* in, const std::vector<float>* key, int64_t pos, int64_t left, Channels* out) {
    const int n = static_cast<int>(std::min<int64_t>(left, mOptions.blocks[mNext++ % mOptions.blocks.size()]));
    for (int c = 0; c < mChannels; ++c) {
      const auto ci = static_cast<size_t>(c);
      for (int i = 0; i < n; ++i) mIn[ci][static_cast<size_t>(i)] = Sample(in ? &(*in)[ci] : nullptr, pos + i);
    }
    for (int i = 0; i < n; ++i) mKey[static_cast<size_t>(i)] = Sample(key, pos + i);
    lilv_instance_run(mInst.Get(), static_cast<uint32_t>(n));
    if (out) {
      for (int c = 0; c < mChannels; ++c) {
        const auto& produced = mOptions.inPlace ? mIn[static_cast<size_t>(c)] : mOut[static_cast<size_t>(c)];
        (*out)[static_cast<size_t>(c)].insert((*out)[static_cast<size_t>(c)].end(), produced.begin(),
                                             produced.begin() + n);
      }
    }
    return n;
  }

private:
  static float Sample(const std::vector<float>* v, int64_t at) {
    return v && at < static_cast<int64_t>(v->size()) ? (*v)[static_cast<size_t>(at)] : 0.0f;
  }

  Instance& mInst;
  const RenderOptions& mOptions;
  int mChannels;
  Channels mIn, mOut;
  std::vector<float> mKey;
  size_t mNext = 0;
};

}  // namespace

RenderResult Render(const char* uri, const Channels& in, const std::vector<float>* key, const Settings& settings,
                    double sampleRate, const RenderOptions& options) {
  Instance inst(uri, sampleRate, options.maxBlock);
  if (static_cast<int>(in.size()) != inst.MainChannels())
    throw std::runtime_error("channel count does not fit the plug-in");
  Player player(inst, options, key != nullptr);
  if (options.preset) {
    lilv_world_load_resource(World(), options.preset);
    LilvState* preset = lilv_state_new_from_world(World(), inst.Urids().MapFeature(), options.preset);
    if (!preset) throw std::runtime_error("no such preset");
    lilv_state_restore(preset, inst.Get(), Instance::SetControl, &inst, 0, inst.Features());
    lilv_state_free(preset);
  }
  inst.Apply(settings);
  lilv_instance_activate(inst.Get());

  // One second of silence lets every setting settle.
  const int64_t preRoll = std::llround(sampleRate);
  for (int64_t pos = 0; pos < preRoll;) pos += player.Play(nullptr, nullptr, 0, preRoll - pos, nullptr);
  inst.Apply(options.afterPreRoll);

  RenderResult result;
  result.latency = static_cast<int>(inst.Control(inst.PortBySymbol("latency")));
  result.out.assign(in.size(), {});
  const int64_t total = static_cast<int64_t>(in[0].size()) + result.latency;
  for (int64_t pos = 0; pos < total;) pos += player.Play(&in, key, pos, total - pos, &result.out);
  for (auto& out : result.out) out.erase(out.begin(), out.begin() + result.latency);
  lilv_instance_deactivate(inst.Get());
  return result;
}

}  // namespace lv2test
