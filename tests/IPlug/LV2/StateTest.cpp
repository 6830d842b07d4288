#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <cstring>
#include <string>
#include <vector>

#include "IPlug/LV2/LilvRig.h"

// The plug-in's state through the LV2 state extension: saved as a host saves a session (lilv's
// state API, written out as Turtle and read back) and restored into a new instance, byte for
// byte; states that are not the plug-in's complete state are refused and change nothing.
namespace {

using lv2test::Instance;

const void* GetControl(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* inst = static_cast<Instance*>(user);
  const int port = inst->PortBySymbol(symbol);
  if (port < 0) return nullptr;
  *size = sizeof(float);
  *type = inst->Urids().Map(LV2_ATOM__Float);
  return &inst->Control(port);
}

void SetControl(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  auto* inst = static_cast<Instance*>(user);
  const int port = inst->PortBySymbol(symbol);
  if (port >= 0 && size == sizeof(float) && type == inst->Urids().Map(LV2_ATOM__Float))
    std::memcpy(&inst->Control(port), value, sizeof(float));
}

void RunSilence(Instance& inst, int frames) {
  std::vector<float> buf(static_cast<size_t>(frames), 0.0f);
  for (int p : inst.AudioInputs()) inst.Connect(p, buf.data());
  for (int p : inst.AudioOutputs()) inst.Connect(p, buf.data());
  lilv_instance_run(inst.Get(), static_cast<uint32_t>(frames));
}

TEST(LV2State, ASavedSessionRestoresEveryByteInANewInstance) {
  Instance a(lv2test::kStereoURI, 48000.0);
  a.Apply({{"Compressor Threshold", 3}, {"Limit Level", 7}, {"Mix", 11}, {"Ratio", 4}, {"Oversample", 1},
           {"Level Recovery Time", 5}});
  lilv_instance_activate(a.Get());
  RunSilence(a, 256);
  const std::vector<uint8_t> saved = a.StateBytes();
  ASSERT_EQ(saved.size(), 132u) << "editor geometry and fifteen parameter values";

  LilvState* state = lilv_state_new_from_instance(a.Plugin(), a.Get(), a.Urids().MapFeature(), nullptr, nullptr,
                                                  nullptr, nullptr, GetControl, &a, 0, a.Features());
  ASSERT_NE(state, nullptr);
  char* text = lilv_state_to_string(lv2test::World(), a.Urids().MapFeature(), a.Urids().UnmapFeature(), state,
                                    "urn:tollenbrook:test:session", nullptr);
  ASSERT_NE(text, nullptr);

  Instance b(lv2test::kStereoURI, 48000.0);
  ASSERT_NE(b.StateBytes(), saved) << "a new instance starts elsewhere";
  LilvState* reread = lilv_state_new_from_string(lv2test::World(), b.Urids().MapFeature(), text);
  ASSERT_NE(reread, nullptr) << text;
  lilv_state_restore(reread, b.Get(), SetControl, &b, 0, b.Features());
  EXPECT_EQ(b.StateBytes(), saved);
  EXPECT_EQ(b.Control(b.PortByName("Ratio")), 4.0f) << "the controls come back with the state";

  // Running on with the restored controls keeps the restored state.
  lilv_instance_activate(b.Get());
  RunSilence(b, 64);
  EXPECT_EQ(b.StateBytes(), saved);

  lilv_state_free(reread);
  lilv_free(text);
  lilv_state_free(state);
}

struct Stored {
  std::vector<uint8_t> bytes;
  uint32_t type = 0;
  bool present = true;
};

const void* Retrieve(LV2_State_Handle h, uint32_t, size_t* size, uint32_t* type, uint32_t* flags) {
  const auto* s = static_cast<const Stored*>(h);
  if (!s->present) return nullptr;
  *size = s->bytes.size();
  *type = s->type;
  *flags = LV2_STATE_IS_POD;
  return s->bytes.data();
}

TEST(LV2State, RefusesWhatIsNotACompleteStateAndKeepsItsOwn) {
  Instance donor(lv2test::kStereoURI, 48000.0);
  donor.Apply({{"Gain", 9}, {"Mid", 0}});
  lilv_instance_activate(donor.Get());
  const std::vector<uint8_t> complete = donor.StateBytes();

  Instance inst(lv2test::kStereoURI, 48000.0);
  const uint32_t chunk = inst.Urids().Map(LV2_ATOM__Chunk);
  const auto* iface =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(inst.Get(), LV2_STATE__interface));
  ASSERT_NE(iface, nullptr);
  const std::vector<uint8_t> own = inst.StateBytes();

  std::vector<uint8_t> longer = complete;
  longer.insert(longer.end(), {1, 2, 3});
  const struct {
    const char* what;
    Stored stored;
    LV2_State_Status status;
  } cases[] = {
      {"nothing stored", {complete, chunk, false}, LV2_STATE_ERR_NO_PROPERTY},
      {"another type", {complete, inst.Urids().Map(LV2_ATOM__String), true}, LV2_STATE_ERR_BAD_TYPE},
      {"one byte", {{complete.begin(), complete.begin() + 1}, chunk, true}, LV2_STATE_ERR_UNKNOWN},
      {"cut after the editor", {{complete.begin(), complete.begin() + 12}, chunk, true}, LV2_STATE_ERR_UNKNOWN},
      {"one byte short", {{complete.begin(), complete.end() - 1}, chunk, true}, LV2_STATE_ERR_UNKNOWN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(iface->restore(lilv_instance_get_handle(inst.Get()), Retrieve, const_cast<Stored*>(&c.stored), 0,
                             inst.Features()),
              c.status);
    EXPECT_EQ(inst.StateBytes(), own);
  }
  // Bytes past a complete state are not read.
  Stored extra{longer, chunk, true};
  EXPECT_EQ(iface->restore(lilv_instance_get_handle(inst.Get()), Retrieve, &extra, 0, inst.Features()),
            LV2_STATE_SUCCESS);
  EXPECT_EQ(inst.StateBytes(), complete);
}

}  // namespace

namespace {

// The editor's interface writes its zoom to the editor_zoom port; the state saved next holds
// it in the editor geometry in front of the parameter values (width, height, zoom).
TEST(LV2State, TheEditorZoomPortTravelsWithTheState) {
  Instance a(lv2test::kStereoURI, 48000.0);
  const int zoomPort = a.PortBySymbol("editor_zoom");
  ASSERT_GE(zoomPort, 0);
  EXPECT_EQ(a.Control(zoomPort), 1.0f) << "the default";
  a.Control(zoomPort) = 1.5f;
  lilv_instance_activate(a.Get());
  RunSilence(a, 64);
  const std::vector<uint8_t> saved = a.StateBytes();
  ASSERT_GE(saved.size(), 12u);
  int32_t width = 0, height = 0;
  float zoom = 0.f;
  std::memcpy(&width, &saved[0], 4);
  std::memcpy(&height, &saved[4], 4);
  std::memcpy(&zoom, &saved[8], 4);
  EXPECT_EQ(width, 378);
  EXPECT_EQ(height, 591);
  EXPECT_EQ(zoom, 1.5f);
}

}  // namespace
