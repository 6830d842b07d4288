#include <gtest/gtest.h>
#include <lv2/state/state.h>

#include <string>
#include <vector>

#include "IPlug/LV2/LilvRig.h"
#include "host/TestFiles.h"

// A host that saves a session compares the plug-in's state with the one it loaded and writes
// a new state only when they differ (Ardour keeps one state folder per change). A plug-in
// reloaded from a saved state and saved again unchanged must compare equal, flags included:
// lilv hands restored properties back as POD and portable.
namespace {

using lv2test::Instance;

void RunSilence(Instance& inst, int frames) {
  std::vector<float> buf(static_cast<size_t>(frames), 0.0f);
  for (int p : inst.AudioInputs()) inst.Connect(p, buf.data());
  for (int p : inst.AudioOutputs()) inst.Connect(p, buf.data());
  lilv_instance_run(inst.Get(), static_cast<uint32_t>(frames));
}

LilvState* Snapshot(Instance& inst) {
  return lilv_state_new_from_instance(inst.Plugin(), inst.Get(), inst.Urids().MapFeature(), nullptr, nullptr, nullptr,
                                      nullptr, Instance::GetControl, &inst, 0, inst.Features());
}

TEST(LV2StateReload, AnUnchangedPlugInSavesAStateEqualToTheOneItWasLoadedFrom) {
  hosttest::ScopedTempDir dir;
  Instance a(lv2test::kStereoURI, 48000.0);
  a.Apply({{"Compressor Threshold", 5}, {"Ratio", 4}, {"Oversample", 1}});
  a.Control(a.PortBySymbol("editor_zoom")) = 1.5f;
  lilv_instance_activate(a.Get());
  RunSilence(a, 256);
  LilvState* saved = Snapshot(a);
  ASSERT_NE(saved, nullptr);
  ASSERT_EQ(lilv_state_save(lv2test::World(), a.Urids().MapFeature(), a.Urids().UnmapFeature(), saved, nullptr,
                            dir.Path().string().c_str(), "state.ttl"),
            0);

  // The session reopened: a new instance restored from the saved folder, run, saved again.
  Instance b(lv2test::kStereoURI, 48000.0);
  LilvState* loaded = lilv_state_new_from_file(lv2test::World(), b.Urids().MapFeature(), nullptr,
                                               dir.File("state.ttl").c_str());
  ASSERT_NE(loaded, nullptr);
  lilv_state_restore(loaded, b.Get(), Instance::SetControl, &b, 0, b.Features());
  lilv_instance_activate(b.Get());
  RunSilence(b, 256);
  LilvState* again = Snapshot(b);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(b.StateBytes(), a.StateBytes());
  EXPECT_TRUE(lilv_state_equals(loaded, again)) << "the host would write a new state";

  // A real change is still seen.
  b.Control(b.PortByName("Ratio")) = 1.0f;
  RunSilence(b, 64);
  LilvState* changed = Snapshot(b);
  EXPECT_FALSE(lilv_state_equals(loaded, changed));

  lilv_state_free(changed);
  lilv_state_free(again);
  lilv_state_free(loaded);
  lilv_state_free(saved);
}

}  // namespace
