// A small CLAP plug-in written directly on the interface, for the host's CLAP tests and the
// validator's CLAP checks: a gain with a key mix, a bypass, a switchable latency and three
// read-only values, in a mono and a stereo configuration. Built once per TB_CLAP_PROBE_FAULT:
// 0 behaves; every other number breaks one rule the validator must catch.
//   1  asks the host to rescan its parameters from process (a main-thread call on the audio thread)
//   2  takes a value event only at the start of a block (later offsets are lost)
//   3  applies a damaged state up to where it breaks, then refuses it
//   4  reads its state only when the stream hands it over in one piece
// Output = input x gain (+ key in mode "Key", x 0.5 in mode "Half"), gains applied from the
// event's frame on; with latency on, everything is delayed by kLatency frames.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "clap/entry.h"
#include "clap/ext/audio-ports.h"
#include "clap/ext/latency.h"
#include "clap/ext/params.h"
#include "clap/ext/state.h"
#include "clap/ext/timer-support.h"
#include "clap/plugin-factory.h"
#include "clap/process.h"
#include "IPlug/CLAP/CLAPExtensions.h"

#ifndef TB_CLAP_PROBE_FAULT
#define TB_CLAP_PROBE_FAULT 0
#endif

namespace {

enum ParamId : clap_id { kGain = 10, kMode = 11, kBypass = 12, kLatencyOn = 13, kPeak = 14, kTicks = 15, kBits = 16 };
constexpr int kParams = 7;
constexpr uint32_t kLatency = 16;
constexpr uint32_t kStateMagic = 0x54425052;  // "TBPR"
constexpr int kStored = 4;                    // gain, mode, bypass, latency

const char* kFeatures[] = {"audio-effect", nullptr};
const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION_INIT, "com.tollenbrook.clap-probe", "CLAP probe", "Tollenbrook", "", "", "", "1.0.0",
    "A probe for the host's CLAP tests", kFeatures};

struct Probe {
  clap_plugin_t plugin{};
  const clap_host_t* host = nullptr;
  double values[kStored] = {0.0, 0.0, 0.0, 0.0};  // gain dB, mode, bypass, latency
  double peak = 0.0;
  double ticks = 0.0;
  double bits = 0.0;  // of the samples of the last block
  uint32_t channels = 2;
  bool active = false;
  uint32_t reportedLatency = 0;
  clap_id timer = CLAP_INVALID_ID;
  float delay[2][kLatency] = {};
  uint32_t delayPos = 0;

  uint32_t Latency() const { return values[3] >= 0.5 ? kLatency : 0; }
  template <typename T>
  const T* HostExtension(const char* id) const {
    return static_cast<const T*>(host->get_extension(host, id));
  }
};

Probe& Of(const clap_plugin_t* p) { return *static_cast<Probe*>(p->plugin_data); }

int Slot(clap_id id) { return id >= kGain && id <= kLatencyOn ? static_cast<int>(id - kGain) : -1; }

// Takes one value event; true when it asks the host for a restart.
bool Apply(Probe& probe, const clap_event_header_t* header) {
  if (header->space_id != CLAP_CORE_EVENT_SPACE_ID || header->type != CLAP_EVENT_PARAM_VALUE) return false;
  const auto* event = reinterpret_cast<const clap_event_param_value_t*>(header);
  const int slot = Slot(event->param_id);
  if (slot < 0) return false;
  const uint32_t before = probe.Latency();
  probe.values[slot] = event->value;
  return probe.active && probe.Latency() != before;
}

// ---- params
bool ParamInfo(const clap_plugin_t*, uint32_t index, clap_param_info_t* info) {
  struct Row {
    clap_id id;
    const char* name;
    uint32_t flags;
    double min, max, def;
  };
  static const Row rows[kParams] = {
      {kGain, "Gain", CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED, -24.0, 24.0, 0.0},
      {kMode, "Mode", CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED, 0.0, 2.0, 0.0},
      {kBypass, "Bypass", CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS, 0.0, 1.0, 0.0},
      {kLatencyOn, "Latency", CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED, 0.0, 1.0, 0.0},
      {kPeak, "Peak", CLAP_PARAM_IS_READONLY, 0.0, 100.0, 0.0},
      {kTicks, "Ticks", CLAP_PARAM_IS_READONLY, 0.0, 1e9, 0.0},
      {kBits, "Sample bits", CLAP_PARAM_IS_READONLY, 0.0, 64.0, 0.0},
  };
  if (index >= kParams) return false;
  const Row& r = rows[index];
  *info = clap_param_info_t{};
  info->id = r.id;
  info->flags = r.flags;
  std::snprintf(info->name, sizeof info->name, "%s", r.name);
  std::snprintf(info->module, sizeof info->module, "%s", index < 4 ? "Main" : "Meters");
  info->min_value = r.min;
  info->max_value = r.max;
  info->default_value = r.def;
  return true;
}

bool ParamValue(const clap_plugin_t* p, clap_id id, double* value) {
  const Probe& probe = Of(p);
  const int slot = Slot(id);
  if (slot >= 0) *value = probe.values[slot];
  else if (id == kPeak) *value = probe.peak;
  else if (id == kTicks) *value = probe.ticks;
  else if (id == kBits) *value = probe.bits;
  else return false;
  return true;
}

const char* const kModeTexts[] = {"Clean", "Key", "Half"};

bool ValueToText(const clap_plugin_t*, clap_id id, double value, char* text, uint32_t size) {
  if (id == kMode && value >= 0.0 && value <= 2.0) std::snprintf(text, size, "%s", kModeTexts[static_cast<int>(value)]);
  else if (id == kGain) std::snprintf(text, size, "%g", value);
  else if (id == kBypass || id == kLatencyOn) std::snprintf(text, size, "%s", value >= 0.5 ? "On" : "Off");
  else std::snprintf(text, size, "%g", value);
  return true;
}

bool TextToValue(const clap_plugin_t*, clap_id id, const char* text, double* value) {
  if (id == kMode)
    for (int k = 0; k < 3; ++k)
      if (std::strcmp(text, kModeTexts[k]) == 0) return *value = k, true;
  if (id == kBypass || id == kLatencyOn) {
    if (std::strcmp(text, "On") == 0) return *value = 1.0, true;
    if (std::strcmp(text, "Off") == 0) return *value = 0.0, true;
    return false;
  }
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text;
}

void Flush(const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t*) {
  Probe& probe = Of(p);
  bool restart = false;
  for (uint32_t k = 0; k < in->size(in); ++k) restart |= Apply(probe, in->get(in, k));
  if (restart) probe.host->request_restart(probe.host);
}

const clap_plugin_params_t kParamsExt = {[](const clap_plugin_t*) -> uint32_t { return kParams; }, ParamInfo,
                                         ParamValue, ValueToText, TextToValue, Flush};

// ---- audio ports and their configurations
uint32_t PortCount(const clap_plugin_t*, bool isInput) { return isInput ? 2 : 1; }
bool PortInfo(const clap_plugin_t* p, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
  if (index >= PortCount(p, isInput)) return false;
  *info = clap_audio_port_info_t{};
  const bool key = isInput && index == 1;
  info->id = key ? 1 : 0;
  std::snprintf(info->name, sizeof info->name, "%s", key ? "Key" : "Main");
  info->flags = (key ? 0 : CLAP_AUDIO_PORT_IS_MAIN) | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
  info->channel_count = key ? 1 : Of(p).channels;
  info->port_type = nullptr;
  info->in_place_pair = CLAP_INVALID_ID;
  return true;
}
const clap_plugin_audio_ports_t kPortsExt = {PortCount, PortInfo};

bool ConfigInfo(const clap_plugin_t*, uint32_t index, clap_audio_ports_config_t* config) {
  if (index > 1) return false;
  *config = clap_audio_ports_config_t{};
  config->id = index + 1;
  std::snprintf(config->name, sizeof config->name, "%s", index == 0 ? "Mono" : "Stereo");
  config->input_port_count = 2;
  config->output_port_count = 1;
  config->has_main_input = config->has_main_output = true;
  config->main_input_channel_count = config->main_output_channel_count = index + 1;
  return true;
}
const clap_plugin_audio_ports_config_t kConfigsExt = {
    [](const clap_plugin_t*) -> uint32_t { return 2; }, ConfigInfo,
    [](const clap_plugin_t* p, clap_id id) {
      if (Of(p).active || id < 1 || id > 2) return false;
      Of(p).channels = id;
      return true;
    }};

// ---- latency, state, timer
const clap_plugin_latency_t kLatencyExt = {[](const clap_plugin_t* p) { return Of(p).reportedLatency; }};

bool WriteAll(const clap_ostream_t* stream, const void* data, uint64_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const int64_t n = stream->write(stream, bytes, size);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<uint64_t>(n);
  }
  return true;
}

// Reads up to `size` bytes; the count read.
uint64_t ReadAll(const clap_istream_t* stream, void* data, uint64_t size) {
  auto* bytes = static_cast<char*>(data);
  uint64_t done = 0;
  while (done < size) {
    const int64_t n = stream->read(stream, bytes + done, size - done);
    if (n <= 0) break;
    done += static_cast<uint64_t>(n);
    if (TB_CLAP_PROBE_FAULT == 4) break;
  }
  return done;
}

bool SaveState(const clap_plugin_t* p, const clap_ostream_t* stream) {
  const uint32_t magic = kStateMagic;
  return WriteAll(stream, &magic, sizeof magic) && WriteAll(stream, Of(p).values, sizeof Of(p).values);
}

bool LoadState(const clap_plugin_t* p, const clap_istream_t* stream) {
  Probe& probe = Of(p);
  uint32_t magic = 0;
  double values[kStored] = {};
  char extra = 0;
  if (ReadAll(stream, &magic, sizeof magic) != sizeof magic || magic != kStateMagic) return false;
  const uint64_t got = ReadAll(stream, values, sizeof values);
  if (TB_CLAP_PROBE_FAULT == 3 && got >= sizeof(double)) probe.values[0] = values[0];
  if (got != sizeof values || ReadAll(stream, &extra, 1) != 0) return false;
  for (const double v : values)
    if (!std::isfinite(v)) return false;
  if (values[0] < -24.0 || values[0] > 24.0 || values[1] < 0.0 || values[1] > 2.0) return false;
  const uint32_t before = probe.Latency();
  std::memcpy(probe.values, values, sizeof values);
  if (probe.active && probe.Latency() != before) probe.host->request_restart(probe.host);
  return true;
}
const clap_plugin_state_t kStateExt = {SaveState, LoadState};

const clap_plugin_timer_support_t kTimerExt = {[](const clap_plugin_t* p, clap_id id) {
  if (id == Of(p).timer) Of(p).ticks += 1.0;
}};

// ---- processing
template <typename T>
clap_process_status Process(Probe& probe, const clap_process_t* process, T* const* in, T* const* key, T* const* out) {
  const clap_input_events_t* events = process->in_events;
  const uint32_t nEvents = events->size(events);
  uint32_t next = 0;
  double peak = 0.0;
  for (uint32_t i = 0; i < process->frames_count; ++i) {
    for (; next < nEvents; ++next) {
      const clap_event_header_t* header = events->get(events, next);
      if (header->time > i) break;
      if (TB_CLAP_PROBE_FAULT == 2 && header->time > 0) continue;
      if (Apply(probe, header)) probe.host->request_restart(probe.host);
    }
    const double gain = std::pow(10.0, probe.values[0] / 20.0) * (probe.values[1] == 2.0 ? 0.5 : 1.0);
    const bool bypass = probe.values[2] >= 0.5;
    for (uint32_t c = 0; c < probe.channels; ++c) {
      // A sample that is not a number is heard as silence.
      double y = std::isfinite(in[c][i]) ? static_cast<double>(in[c][i]) : 0.0;
      peak = std::fmax(peak, std::fabs(y));
      if (!bypass) y = y * gain + (probe.values[1] == 1.0 && key ? static_cast<double>(key[0][i]) : 0.0);
      if (probe.reportedLatency > 0) {
        float& slot = probe.delay[c][probe.delayPos];
        const double delayed = slot;
        slot = static_cast<float>(y);
        y = delayed;
      }
      out[c][i] = static_cast<T>(y);
    }
    if (probe.reportedLatency > 0) probe.delayPos = (probe.delayPos + 1) % kLatency;
  }
  probe.peak = peak;
  probe.bits = 8.0 * sizeof(T);
  if (TB_CLAP_PROBE_FAULT == 1) {
    const auto* params = probe.HostExtension<clap_host_params_t>(CLAP_EXT_PARAMS);
    if (params) params->rescan(probe.host, CLAP_PARAM_RESCAN_VALUES);
  }
  return CLAP_PROCESS_CONTINUE;
}

clap_process_status ProcessEntry(const clap_plugin_t* p, const clap_process_t* process) {
  Probe& probe = Of(p);
  if (process->audio_inputs_count != 2 || process->audio_outputs_count != 1) return CLAP_PROCESS_ERROR;
  const clap_audio_buffer_t& in = process->audio_inputs[0];
  const clap_audio_buffer_t& key = process->audio_inputs[1];
  const clap_audio_buffer_t& out = process->audio_outputs[0];
  if (in.channel_count != probe.channels || out.channel_count != probe.channels) return CLAP_PROCESS_ERROR;
  if (in.data64 && out.data64) return Process<double>(probe, process, in.data64, key.data64, out.data64);
  if (in.data32 && out.data32) return Process<float>(probe, process, in.data32, key.data32, out.data32);
  return CLAP_PROCESS_ERROR;
}

// ---- the plug-in
const void* Extension(const clap_plugin_t*, const char* id) {
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParamsExt;
  if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kPortsExt;
  if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS_CONFIG) == 0) return &kConfigsExt;
  if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) return &kLatencyExt;
  if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kStateExt;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimerExt;
  return nullptr;
}

bool Init(const clap_plugin_t* p) {
  Probe& probe = Of(p);
  if (const auto* timers = probe.HostExtension<clap_host_timer_support_t>(CLAP_EXT_TIMER_SUPPORT))
    if (!timers->register_timer(probe.host, 10, &probe.timer)) probe.timer = CLAP_INVALID_ID;
  return true;
}

void Destroy(const clap_plugin_t* p) {
  Probe* probe = &Of(p);
  if (const auto* timers = probe->HostExtension<clap_host_timer_support_t>(CLAP_EXT_TIMER_SUPPORT))
    if (probe->timer != CLAP_INVALID_ID) timers->unregister_timer(probe->host, probe->timer);
  delete probe;
}

bool Activate(const clap_plugin_t* p, double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  Probe& probe = Of(p);
  if (!(sampleRate > 0.0) || minFrames > maxFrames || maxFrames == 0) return false;
  std::memset(probe.delay, 0, sizeof probe.delay);
  probe.delayPos = 0;
  if (probe.reportedLatency != probe.Latency()) {
    probe.reportedLatency = probe.Latency();
    if (const auto* latency = probe.HostExtension<clap_host_latency_t>(CLAP_EXT_LATENCY)) latency->changed(probe.host);
  }
  probe.active = true;
  return true;
}

const clap_plugin_t* Create(const clap_host_t* host) {
  auto* probe = new (std::nothrow) Probe;
  if (!probe) return nullptr;
  probe->host = host;
  clap_plugin_t& p = probe->plugin;
  p.desc = &kDescriptor;
  p.plugin_data = probe;
  p.init = Init;
  p.destroy = Destroy;
  p.activate = Activate;
  p.deactivate = [](const clap_plugin_t* q) { Of(q).active = false; };
  p.start_processing = [](const clap_plugin_t*) { return true; };
  p.stop_processing = [](const clap_plugin_t*) {};
  p.reset = [](const clap_plugin_t*) {};
  p.process = ProcessEntry;
  p.get_extension = Extension;
  p.on_main_thread = [](const clap_plugin_t*) {};
  return &p;
}

const clap_plugin_factory_t kFactory = {
    [](const clap_plugin_factory_t*) -> uint32_t { return 1; },
    [](const clap_plugin_factory_t*, uint32_t index) { return index == 0 ? &kDescriptor : nullptr; },
    [](const clap_plugin_factory_t*, const clap_host_t* host, const char* id) {
      return host && id && std::strcmp(id, kDescriptor.id) == 0 ? Create(host) : nullptr;
    }};

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION_INIT, [](const char*) { return true; }, []() {},
    [](const char* id) -> const void* { return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr; }};
