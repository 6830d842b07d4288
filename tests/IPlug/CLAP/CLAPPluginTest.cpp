#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "IPlug/CLAP/CLAPTestHost.h"
#include "product/Tollenbrook.h"
#include "product/TollenbrookConfig.h"
#include "product/TollenbrookParams.h"

// Tollenbrook.clap as a host sees it: its description, ports, parameters, state and latency.
namespace {

using claptest::Host;
using claptest::ParamEvent;
using claptest::Plugin;

clap_id IdOf(int paramIdx) { return static_cast<clap_id>(paramIdx + 1); }

std::vector<std::string> Features(const clap_plugin_descriptor_t& desc) {
  std::vector<std::string> out;
  for (const char* const* f = desc.features; f && *f; ++f) out.emplace_back(*f);
  return out;
}

TEST(CLAPPlugin, DescriptorIsThePluginsConfiguration) {
  const iplug::PluginConfig config = MakeTollenbrookConfig();
  ASSERT_EQ(claptest::Factory().get_plugin_count(&claptest::Factory()), 1u);
  const clap_plugin_descriptor_t* desc = claptest::Factory().get_plugin_descriptor(&claptest::Factory(), 0);
  ASSERT_NE(desc, nullptr);
  EXPECT_EQ(claptest::Factory().get_plugin_descriptor(&claptest::Factory(), 1), nullptr);
  EXPECT_STREQ(desc->name, config.mPluginName);
  EXPECT_STREQ(desc->vendor, config.mMfrName);
  EXPECT_STREQ(desc->id, "vantorell.tollenbrook");
  const int v = config.mVendorVersion;
  EXPECT_EQ(desc->version,
            std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF));
  EXPECT_EQ(Features(*desc), (std::vector<std::string>{"audio-effect", "compressor", "limiter", "mono", "stereo"}));
  EXPECT_TRUE(clap_version_is_compatible(desc->clap_version));

  Host host;
  EXPECT_EQ(claptest::Factory().create_plugin(&claptest::Factory(), host.Get(), "vantorell.other"), nullptr);
}

TEST(CLAPPlugin, PortsAndConfigurations) {
  Host host;
  Plugin plug(host);
  const auto* ports = plug.Extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
  const auto* configs = plug.Extension<clap_plugin_audio_ports_config_t>(CLAP_EXT_AUDIO_PORTS_CONFIG);
  ASSERT_TRUE(ports && configs);
  ASSERT_EQ(ports->count(plug.Get(), true), 2u);
  ASSERT_EQ(ports->count(plug.Get(), false), 1u);
  clap_audio_port_info_t main{}, key{}, out{};
  ASSERT_TRUE(ports->get(plug.Get(), 0, true, &main));
  ASSERT_TRUE(ports->get(plug.Get(), 1, true, &key));
  ASSERT_TRUE(ports->get(plug.Get(), 0, false, &out));
  EXPECT_FALSE(ports->get(plug.Get(), 2, true, &key));
  EXPECT_TRUE(main.flags & CLAP_AUDIO_PORT_IS_MAIN);
  EXPECT_FALSE(key.flags & CLAP_AUDIO_PORT_IS_MAIN) << "the side chain is not the main input";
  EXPECT_TRUE(out.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS);
  EXPECT_EQ(main.channel_count, 2u);
  EXPECT_EQ(key.channel_count, 1u);
  EXPECT_NE(main.id, key.id);

  ASSERT_EQ(configs->count(plug.Get()), 2u);
  clap_audio_ports_config_t mono{}, stereo{};
  ASSERT_TRUE(configs->get(plug.Get(), 0, &mono));
  ASSERT_TRUE(configs->get(plug.Get(), 1, &stereo));
  EXPECT_EQ(mono.main_input_channel_count, 1u);
  EXPECT_EQ(stereo.main_output_channel_count, 2u);
  EXPECT_STREQ(mono.main_output_port_type, CLAP_PORT_MONO);
  EXPECT_EQ(stereo.input_port_count, 2u);

  ASSERT_TRUE(configs->select(plug.Get(), mono.id));
  ASSERT_TRUE(ports->get(plug.Get(), 0, false, &out));
  EXPECT_EQ(out.channel_count, 1u);
  EXPECT_FALSE(configs->select(plug.Get(), 7));
  ASSERT_TRUE(plug.Activate(48000.0, 512));
  EXPECT_FALSE(configs->select(plug.Get(), stereo.id)) << "no new layout while active";
}

TEST(CLAPPlugin, ParamsCarryIdsRangesFlagsAndTextsBothWays) {
  Host host;
  Plugin plug(host);
  const auto* params = plug.Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
  ASSERT_NE(params, nullptr);
  // Every parameter but the two meter channels, and the host's bypass.
  ASSERT_EQ(params->count(plug.Get()), static_cast<uint32_t>(kNumParams - 2 + 1));
  bool sawBypass = false, sawHighPass = false;
  for (uint32_t i = 0; i < params->count(plug.Get()); ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(params->get_info(plug.Get(), i, &info));
    EXPECT_NE(info.id, IdOf(kParamLimiterMeter));
    EXPECT_NE(info.id, IdOf(kParamCompMeter));
    EXPECT_LE(info.min_value, info.default_value);
    EXPECT_LE(info.default_value, info.max_value);
    if (info.flags & CLAP_PARAM_IS_BYPASS) {
      sawBypass = true;
      EXPECT_EQ(info.id, 0u);
      continue;
    }
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED) << info.name;
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE) << info.name;
    if (info.id != IdOf(kParamHighPass)) continue;
    sawHighPass = true;
    EXPECT_STREQ(info.name, "High Pass Filter");
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_ENUM);
    EXPECT_EQ(info.max_value, 4.0);
    // Every value's text, and back.
    for (double v = info.min_value; v <= info.max_value; v += 1.0) {
      char text[CLAP_NAME_SIZE];
      ASSERT_TRUE(params->value_to_text(plug.Get(), info.id, v, text, sizeof text));
      double back = -1.0;
      ASSERT_TRUE(params->text_to_value(plug.Get(), info.id, text, &back)) << text;
      EXPECT_EQ(back, v) << text;
    }
  }
  EXPECT_TRUE(sawBypass && sawHighPass);
  char text[CLAP_NAME_SIZE];
  ASSERT_TRUE(params->value_to_text(plug.Get(), IdOf(kParamHighPass), 3.0, text, sizeof text));
  EXPECT_STREQ(text, "160Hz");
  double value = -1.0;
  EXPECT_FALSE(params->text_to_value(plug.Get(), IdOf(kParamHighPass), "loud", &value));
  EXPECT_FALSE(params->text_to_value(plug.Get(), IdOf(kParamGain), "abc", &value));
  ASSERT_TRUE(params->text_to_value(plug.Get(), IdOf(kParamGain), "7", &value));
  EXPECT_EQ(value, 7.0);
  EXPECT_FALSE(params->get_value(plug.Get(), IdOf(kParamCompMeter), &value)) << "a meter channel is no host parameter";
  EXPECT_FALSE(params->get_value(plug.Get(), 9999, &value));
}

// Outside processing the host flushes: values apply at once.
TEST(CLAPPlugin, FlushAppliesValues) {
  Host host;
  Plugin plug(host);
  plug.Flush({{0, IdOf(kParamRatio), 4.0}, {0, IdOf(kParamGain), 250.0}, {0, 0, 1.0}});
  EXPECT_EQ(plug.Value(IdOf(kParamRatio)), 4.0);
  EXPECT_EQ(plug.Value(IdOf(kParamGain)), 20.0) << "held to the range";
  EXPECT_EQ(plug.Value(0), 1.0);
}

TEST(CLAPPlugin, StateRoundTripsInOneBytePiecesAndRefusesDamage) {
  Host host;
  Plugin plug(host);
  plug.Flush({{0, IdOf(kParamRatio), 4.0}, {0, IdOf(kParamMix), 5.0}, {0, IdOf(kParamOversample), 1.0}, {0, 0, 1.0}});
  std::vector<uint8_t> saved;
  ASSERT_TRUE(plug.Save(saved, 1));
  std::vector<uint8_t> whole;
  ASSERT_TRUE(plug.Save(whole, 1 << 20));
  EXPECT_EQ(saved, whole);

  Plugin other(host);
  ASSERT_TRUE(other.Load(saved, 1));
  EXPECT_EQ(other.Value(IdOf(kParamRatio)), 4.0);
  EXPECT_EQ(other.Value(IdOf(kParamMix)), 5.0);
  EXPECT_EQ(other.Value(IdOf(kParamOversample)), 1.0);
  EXPECT_EQ(other.Value(0), 1.0) << "the host's bypass travels with the state";

  Plugin fresh(host);
  std::vector<uint8_t> before;
  ASSERT_TRUE(fresh.Save(before, 4096));
  std::vector<std::vector<uint8_t>> damaged;
  damaged.emplace_back();                                   // empty
  damaged.emplace_back(saved.begin(), saved.begin() + 15);  // header cut short
  damaged.emplace_back(saved.begin(), saved.end() - 1);     // state cut short
  damaged.push_back(saved);
  damaged.back().push_back(0);  // runs on past the state
  damaged.push_back(saved);
  damaged.back()[0] ^= 0x20;  // another plug-in's
  damaged.push_back(saved);
  damaged.back()[9] = 1;  // a flag this build does not know
  damaged.push_back(saved);
  damaged.back()[12] = 4;  // a length too short for a state
  damaged.back()[13] = damaged.back()[14] = damaged.back()[15] = 0;
  damaged.back().resize(20);
  for (size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_FALSE(fresh.Load(damaged[i], 3)) << "stream " << i;
    std::vector<uint8_t> after;
    ASSERT_TRUE(fresh.Save(after, 4096));
    EXPECT_EQ(after, before) << "stream " << i << " changed the plug-in";
  }
}

TEST(CLAPPlugin, ZeroFramesOnlyApplyEvents) {
  Host host;
  Plugin plug(host);
  ASSERT_TRUE(plug.Activate(44100.0, 256));
  std::vector<std::vector<float>> in(2, std::vector<float>(8, 0.5f)), out(2, std::vector<float>(8, 7.0f));
  EXPECT_EQ(plug.Process(in, nullptr, out, 0, {{0, IdOf(kParamRatio), 1.0}, {5, IdOf(kParamMid), 4.0}}),
            CLAP_PROCESS_CONTINUE);
  EXPECT_EQ(plug.Value(IdOf(kParamRatio)), 1.0);
  EXPECT_EQ(plug.Value(IdOf(kParamMid)), 4.0);
  for (const auto& channel : out)
    for (float s : channel) EXPECT_EQ(s, 7.0f) << "nothing rendered";
}

// Oversampling adds latency: while active the plug-in asks for a restart, from the main thread
// only (the audio thread asks for a main-thread callback first), and the new activation
// reports the latency.
TEST(CLAPPlugin, LatencyChangeAsksForARestartOnTheMainThread) {
  Host host;
  Plugin plug(host);
  const auto* latency = plug.Extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
  ASSERT_NE(latency, nullptr);
  ASSERT_TRUE(plug.Activate(48000.0, 512));
  EXPECT_EQ(latency->get(plug.Get()), 0u);
  std::vector<std::vector<float>> in(2, std::vector<float>(512, 0.1f)), out(2, std::vector<float>(512));
  plug.Process(in, nullptr, out, 512, {{0, IdOf(kParamOversample), 1.0}});
  plug.Process(in, nullptr, out, 512);
  EXPECT_EQ(host.Log().mCallbacks.load(), 1) << "asked once, however many blocks follow";
  EXPECT_EQ(host.Log().mRestarts.load(), 0) << "not from the audio thread";
  plug.Get()->on_main_thread(plug.Get());
  EXPECT_EQ(host.Log().mRestarts.load(), 1);
  EXPECT_EQ(host.Log().mRestartsOffMain.load(), 0);
  plug.Deactivate();
  ASSERT_TRUE(plug.Activate(48000.0, 512));
  EXPECT_EQ(latency->get(plug.Get()), 64u) << "known at activation, before any block";
  plug.Process(in, nullptr, out, 512);
  EXPECT_EQ(host.Log().mCallbacks.load(), 1);
}

}  // namespace

namespace {

// The editor's gestures, made as the editor makes them through the framework, reach the host
// as begin, value, end events in order: through a flush the plug-in asks for when inactive,
// through the next block when processing.
struct Collected {
  struct Event {
    uint16_t type;
    clap_id id;
    double value;
  };
  std::vector<Event> events;
  clap_output_events_t list{
      this, [](const clap_output_events_t* l, const clap_event_header_t* e) {
        auto* self = static_cast<Collected*>(l->ctx);
        const auto* v = reinterpret_cast<const clap_event_param_value_t*>(e);
        const auto* g = reinterpret_cast<const clap_event_param_gesture_t*>(e);
        self->events.push_back({e->type, e->type == CLAP_EVENT_PARAM_VALUE ? v->param_id : g->param_id,
                                e->type == CLAP_EVENT_PARAM_VALUE ? v->value : 0.0});
        return true;
      }};
};

TEST(CLAPPlugin, EditorGesturesLeaveAsBeginValueEndInOrder) {
  claptest::Host host;
  std::unique_ptr<iplug::IPlugCLAP> plug(MakePlugInstance(iplug::InstanceInfo{host.Get()}));
  ASSERT_TRUE(plug->Init());
  const double normalized = plug->GetParam(kParamRatio)->ToNormalized(3.0);
  plug->BeginParamGestureFromEditor(kParamRatio);
  plug->SetParamFromEditor(kParamRatio, normalized);
  plug->EndParamGestureFromEditor(kParamRatio);
  EXPECT_EQ(host.Log().mFlushes.load(), 3) << "a flush asked for each";
  Collected out;
  plug->FlushParams(nullptr, &out.list);
  ASSERT_EQ(out.events.size(), 3u);
  EXPECT_EQ(out.events[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(out.events[1].type, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(out.events[1].value, 3.0) << "the parameter's own value";
  EXPECT_EQ(out.events[2].type, CLAP_EVENT_PARAM_GESTURE_END);
  for (const auto& e : out.events) EXPECT_EQ(e.id, IdOf(kParamRatio));

  ASSERT_TRUE(plug->Activate(48000.0, 1, 64));
  plug->BeginParamGestureFromEditor(kParamGain);
  plug->SetParamFromEditor(kParamGain, 1.0);
  plug->EndParamGestureFromEditor(kParamGain);
  Collected block;
  std::vector<float> l(64), r(64);
  float* chans[2] = {l.data(), r.data()};
  clap_audio_buffer_t in{chans, nullptr, 2, 0, 0}, outBuf{chans, nullptr, 2, 0, 0};
  clap_process_t process{};
  process.frames_count = 64;
  process.audio_inputs = &in;
  process.audio_inputs_count = 1;
  process.audio_outputs = &outBuf;
  process.audio_outputs_count = 1;
  process.out_events = &block.list;
  {
    const claptest::AudioScope audio;
    plug->Process(process);
  }
  ASSERT_EQ(block.events.size(), 3u);
  EXPECT_EQ(block.events[1].value, 20.0);
  EXPECT_EQ(block.events[2].type, CLAP_EVENT_PARAM_GESTURE_END);
  plug->Deactivate();
}

}  // namespace

namespace {

// Builds with assertions check every call against the thread the interface assigns it,
// through the host's thread-check extension; a call on the wrong thread is reported.
TEST(CLAPPlugin, WrongThreadCallsAreReportedInCheckedBuilds) {
  claptest::Host host;
  std::unique_ptr<iplug::IPlugCLAP> plug(MakePlugInstance(iplug::InstanceInfo{host.Get()}));
  ASSERT_TRUE(plug->Init());
  ASSERT_TRUE(plug->Activate(48000.0, 1, 64));
  plug->Reset();  // an audio-thread call, made on the main thread
  {
    const claptest::AudioScope audio;
    plug->Reset();
  }
  std::thread([&] { plug->OnMainThread(); }).join();  // a main-thread call, made on another thread
#ifdef NDEBUG
  EXPECT_EQ(plug->Threads().Violations(), 0);
#else
  EXPECT_EQ(plug->Threads().Violations(), 2);
#endif
  plug->Deactivate();
}

}  // namespace
