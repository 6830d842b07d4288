#include <cstring>
#include <memory>

#include "IPlug/CLAP/CLAPDescriptor.h"
#include "IPlug/CLAP/IPlugCLAP.h"
#include "IPlug/EntryGuard.h"

// The bundle's one exported symbol, clap_entry, and the C tables it leads to: the plug-in
// factory, the plug-in calls and the extensions. Every call is guarded: nothing thrown inside
// the plug-in reaches the host. The product's words for the factory's features come from the
// build (CLAP_PRODUCT_FEATURES, comma-separated).
#ifndef CLAP_PRODUCT_FEATURES
#define CLAP_PRODUCT_FEATURES ""
#endif

namespace iplug {
namespace {

IPlugCLAP& Plug(const clap_plugin_t* plugin) { return *static_cast<IPlugCLAP*>(plugin->plugin_data); }

// The description, read once from a plug-in object made for the purpose; null when none
// could be made.
const CLAPDescriptor* TheDescriptor() {
  static const std::unique_ptr<CLAPDescriptor> descriptor = [] {
    return GuardedEntry(
        []() -> std::unique_ptr<CLAPDescriptor> {
          std::unique_ptr<IPlugCLAP> prototype(MakePlugInstance(InstanceInfo{}));
          return prototype ? std::make_unique<CLAPDescriptor>(*prototype, CLAP_PRODUCT_FEATURES) : nullptr;
        },
        nullptr);
  }();
  return descriptor.get();
}

// ---- plug-in calls ----

// [main-thread]
bool Init(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).Init(); }, false);
}

// [main-thread]
void Destroy(const clap_plugin_t* plugin) {
  GuardedEntry([&] {
    Plug(plugin).GuiDestroy();
    delete &Plug(plugin);
  });
}

// [main-thread & !active]
bool Activate(const clap_plugin_t* plugin, double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  return GuardedEntry([&] { return Plug(plugin).Activate(sampleRate, minFrames, maxFrames); }, false);
}

// [main-thread & active]
void Deactivate(const clap_plugin_t* plugin) {
  GuardedEntry([&] { Plug(plugin).Deactivate(); });
}

// [audio-thread & active & !processing]
bool StartProcessing(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).StartProcessing(); }, false);
}

// [audio-thread & active & processing]
void StopProcessing(const clap_plugin_t* plugin) {
  GuardedEntry([&] { Plug(plugin).StopProcessing(); });
}

// [audio-thread & active]
void Reset(const clap_plugin_t* plugin) {
  GuardedEntry([&] { Plug(plugin).Reset(); });
}

// [audio-thread & active & processing]. Allocates nothing, takes no lock.
clap_process_status Process(const clap_plugin_t* plugin, const clap_process_t* process) {
  if (!process) return CLAP_PROCESS_ERROR;
  return GuardedEntry([&] { return Plug(plugin).Process(*process); }, CLAP_PROCESS_ERROR);
}

const void* GetExtension(const clap_plugin_t* plugin, const char* id);

// [main-thread]
void OnMainThread(const clap_plugin_t* plugin) {
  GuardedEntry([&] { Plug(plugin).OnMainThread(); });
}

// ---- audio ports and their configurations: [main-thread] ----

uint32_t AudioPortsCount(const clap_plugin_t* plugin, bool isInput) {
  return GuardedEntry([&] { return Plug(plugin).AudioPortCount(isInput); }, 0u);
}

bool AudioPortsGet(const clap_plugin_t* plugin, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
  return info && GuardedEntry([&] { return Plug(plugin).AudioPortInfo(index, isInput, *info); }, false);
}

const clap_plugin_audio_ports_t kAudioPorts{AudioPortsCount, AudioPortsGet};

uint32_t ConfigsCount(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).AudioPortsConfigCount(); }, 0u);
}

bool ConfigsGet(const clap_plugin_t* plugin, uint32_t index, clap_audio_ports_config_t* config) {
  return config && GuardedEntry([&] { return Plug(plugin).AudioPortsConfigInfo(index, *config); }, false);
}

// [main-thread & !active]
bool ConfigsSelect(const clap_plugin_t* plugin, clap_id configID) {
  return GuardedEntry([&] { return Plug(plugin).SelectAudioPortsConfig(configID); }, false);
}

const clap_plugin_audio_ports_config_t kAudioPortsConfig{ConfigsCount, ConfigsGet, ConfigsSelect};

// ---- params: [main-thread], flush [active ? audio-thread : main-thread] ----

uint32_t ParamsCount(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).ClapParamCount(); }, 0u);
}

bool ParamsGetInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
  return info && GuardedEntry([&] { return Plug(plugin).ClapParamInfo(index, *info); }, false);
}

bool ParamsGetValue(const clap_plugin_t* plugin, clap_id id, double* value) {
  return value && GuardedEntry([&] { return Plug(plugin).ClapParamValue(id, *value); }, false);
}

bool ParamsValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* text, uint32_t capacity) {
  return GuardedEntry([&] { return Plug(plugin).ClapParamValueToText(id, value, text, capacity); }, false);
}

bool ParamsTextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
  return value && GuardedEntry([&] { return Plug(plugin).ClapParamTextToValue(id, text, *value); }, false);
}

void ParamsFlush(const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
  GuardedEntry([&] { Plug(plugin).FlushParams(in, out); });
}

const clap_plugin_params_t kParams{ParamsCount,       ParamsGetInfo,     ParamsGetValue,
                                   ParamsValueToText, ParamsTextToValue, ParamsFlush};

// ---- state: [main-thread] ----

bool StateSave(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
  return stream && GuardedEntry([&] { return Plug(plugin).SaveState(*stream); }, false);
}

bool StateLoad(const clap_plugin_t* plugin, const clap_istream_t* stream) {
  return stream && GuardedEntry([&] { return Plug(plugin).LoadState(*stream); }, false);
}

const clap_plugin_state_t kState{StateSave, StateLoad};

// ---- latency [main-thread & active], tail [main-thread, audio-thread], render [main-thread] ----

uint32_t LatencyGet(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).LatencySamples(); }, 0u);
}

const clap_plugin_latency_t kLatency{LatencyGet};

uint32_t TailGet(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).TailSamples(); }, 0u);
}

const clap_plugin_tail_t kTail{TailGet};

bool RenderHardRealtime(const clap_plugin_t* /*plugin*/) { return false; }

bool RenderSet(const clap_plugin_t* plugin, clap_plugin_render_mode mode) {
  return GuardedEntry([&] { return Plug(plugin).SetRenderMode(mode); }, false);
}

const clap_plugin_render_t kRender{RenderHardRealtime, RenderSet};

// ---- gui, timer and file descriptors: [main-thread] ----

bool GuiIsApiSupported(const clap_plugin_t* plugin, const char* api, bool isFloating) {
  return GuardedEntry([&] { return Plug(plugin).GuiApiSupported(api, isFloating); }, false);
}

bool GuiGetPreferredApi(const clap_plugin_t* plugin, const char** api, bool* isFloating) {
  return GuardedEntry([&] { return Plug(plugin).GuiPreferredApi(api, isFloating); }, false);
}

bool GuiCreate(const clap_plugin_t* plugin, const char* api, bool isFloating) {
  return GuardedEntry([&] { return Plug(plugin).GuiCreate(api, isFloating); }, false);
}

void GuiDestroy(const clap_plugin_t* plugin) {
  GuardedEntry([&] { Plug(plugin).GuiDestroy(); });
}

bool GuiSetScale(const clap_plugin_t* plugin, double scale) {
  return GuardedEntry([&] { return Plug(plugin).GuiSetScale(scale); }, false);
}

bool GuiGetSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
  return width && height && GuardedEntry([&] { return Plug(plugin).GuiGetSize(*width, *height); }, false);
}

bool GuiCanResize(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).GuiCanResize(); }, false);
}

bool GuiGetResizeHints(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints) {
  return hints && GuardedEntry([&] { return Plug(plugin).GuiResizeHints(*hints); }, false);
}

bool GuiAdjustSize(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height) {
  return width && height && GuardedEntry([&] { return Plug(plugin).GuiAdjustSize(*width, *height); }, false);
}

bool GuiSetSize(const clap_plugin_t* plugin, uint32_t width, uint32_t height) {
  return GuardedEntry([&] { return Plug(plugin).GuiSetSize(width, height); }, false);
}

bool GuiSetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
  return window && GuardedEntry([&] { return Plug(plugin).GuiSetParent(*window); }, false);
}

// Only embedded windows are offered: there is no window to be transient for.
bool GuiSetTransient(const clap_plugin_t* /*plugin*/, const clap_window_t* /*window*/) { return false; }

void GuiSuggestTitle(const clap_plugin_t* /*plugin*/, const char* /*title*/) {}

bool GuiShow(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).GuiShow(); }, false);
}

bool GuiHide(const clap_plugin_t* plugin) {
  return GuardedEntry([&] { return Plug(plugin).GuiHide(); }, false);
}

const clap_plugin_gui_t kGui{GuiIsApiSupported, GuiGetPreferredApi, GuiCreate,         GuiDestroy,    GuiSetScale,
                             GuiGetSize,        GuiCanResize,       GuiGetResizeHints, GuiAdjustSize, GuiSetSize,
                             GuiSetParent,      GuiSetTransient,    GuiSuggestTitle,   GuiShow,       GuiHide};

void TimerOnTimer(const clap_plugin_t* plugin, clap_id timerID) {
  GuardedEntry([&] { Plug(plugin).OnTimer(timerID); });
}

const clap_plugin_timer_support_t kTimerSupport{TimerOnTimer};

void FdOnFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags) {
  GuardedEntry([&] { Plug(plugin).OnFd(fd, flags); });
}

const clap_plugin_posix_fd_support_t kPosixFdSupport{FdOnFd};

// [thread-safe]
const void* GetExtension(const clap_plugin_t* plugin, const char* id) {
  if (!id) return nullptr;
  const auto is = [id](const char* name) { return std::strcmp(id, name) == 0; };
  if (is(CLAP_EXT_AUDIO_PORTS)) return &kAudioPorts;
  if (is(CLAP_EXT_AUDIO_PORTS_CONFIG)) return &kAudioPortsConfig;
  if (is(CLAP_EXT_PARAMS)) return &kParams;
  if (is(CLAP_EXT_STATE)) return &kState;
  if (is(CLAP_EXT_LATENCY)) return &kLatency;
  if (is(CLAP_EXT_TAIL)) return &kTail;
  if (is(CLAP_EXT_RENDER)) return &kRender;
  if (!Plug(plugin).HasUI()) return nullptr;
  if (is(CLAP_EXT_GUI)) return &kGui;
  if (is(CLAP_EXT_TIMER_SUPPORT)) return &kTimerSupport;
#ifndef _WIN32
  if (is(CLAP_EXT_POSIX_FD_SUPPORT)) return &kPosixFdSupport;
#endif
  return nullptr;
}

// ---- factory: [thread-safe] ----

uint32_t FactoryCount(const clap_plugin_factory_t* /*factory*/) { return TheDescriptor() ? 1u : 0u; }

const clap_plugin_descriptor_t* FactoryDescriptor(const clap_plugin_factory_t* /*factory*/, uint32_t index) {
  const CLAPDescriptor* descriptor = TheDescriptor();
  return descriptor && index == 0 ? &descriptor->Descriptor() : nullptr;
}

// [main-thread]
const clap_plugin_t* FactoryCreate(const clap_plugin_factory_t* /*factory*/, const clap_host_t* host,
                                   const char* pluginID) {
  return GuardedEntry(
      [&]() -> const clap_plugin_t* {
        const CLAPDescriptor* descriptor = TheDescriptor();
        if (!descriptor || !host || !pluginID || std::strcmp(pluginID, descriptor->Descriptor().id) != 0 ||
            !clap_version_is_compatible(host->clap_version))
          return nullptr;
        std::unique_ptr<IPlugCLAP> plug(MakePlugInstance(InstanceInfo{host}));
        if (!plug) return nullptr;
        clap_plugin_t& table = plug->ClapPlugin();
        table = clap_plugin_t{&descriptor->Descriptor(), plug.get(),     Init,  Destroy, Activate,     Deactivate,
                              StartProcessing,           StopProcessing, Reset, Process, GetExtension, OnMainThread};
        return &plug.release()->ClapPlugin();
      },
      nullptr);
}

const clap_plugin_factory_t kFactory{FactoryCount, FactoryDescriptor, FactoryCreate};

// ---- entry ----

bool EntryInit(const char* /*pluginPath*/) { return true; }

void EntryDeinit() {}

const void* EntryGetFactory(const char* factoryID) {
  return factoryID && std::strcmp(factoryID, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}

}  // namespace
}  // namespace iplug

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry{CLAP_VERSION_INIT, iplug::EntryInit, iplug::EntryDeinit,
                                                            iplug::EntryGetFactory};
