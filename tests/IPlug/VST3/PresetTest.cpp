#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3PresetFile.h"
#include "IPlug/VST3/VST3Rig.h"

// The factory presets as a host loads them: each sets exactly its program's settings.
namespace {

using namespace vst3test;
namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(VST3Presets, EachPresetLoadsItsProgramsSettingsExactly) {
  const char* dir = std::getenv("TOLLENBROOK_VST3_PRESETS");
  if (!dir) GTEST_SKIP() << "the presets are made by a native build";
  Module module;
  Plugin p(module);
  ASSERT_TRUE(p.mController) << module.mError;
  int presets = 0;
  for (const auto& fxp : fs::directory_iterator(fs::path(std::getenv("TOLLENBROOK_SOURCE_DIR")) / "presets")) {
    std::unique_ptr<iplug::IPlugVST3> program(MakePlugInstance(iplug::InstanceInfo{}));
    ASSERT_TRUE(program->ReadProgramFile(fxp.path().string().c_str())) << fxp.path();
    iplug::ByteChunk expected;
    ASSERT_TRUE(program->SerializeState(expected));
    const fs::path file = fs::path(dir) / (std::string(program->PresetName(program->GetCurrentPresetIdx())) + ".vstpreset");

    iplug::VST3PresetFile preset;
    ASSERT_TRUE(preset.Parse(ReadBytes(file))) << file;
    Stream state(preset.mComponentState);
    ASSERT_EQ(p.C()->set_state(p.mComponent, state.Get()), V3_OK) << file;
    EXPECT_EQ(p.State(), std::vector<uint8_t>(expected.Data(), expected.Data() + expected.Size())) << file;
    ++presets;
  }
  EXPECT_EQ(presets, 5);
}

TEST(VST3Presets, AFileCutAnywhereIsRefused) {
  iplug::VST3PresetFile preset;
  preset.mClassID = "544C4B3156746F725653543343FF6D70";
  preset.mComponentState = {1, 2, 3, 4, 5};
  preset.mControllerState = {6, 7};
  const std::vector<uint8_t> bytes = preset.Write();
  iplug::VST3PresetFile back;
  ASSERT_TRUE(back.Parse(bytes));
  EXPECT_EQ(back.mClassID, preset.mClassID);
  EXPECT_EQ(back.mComponentState, preset.mComponentState);
  EXPECT_EQ(back.mControllerState, preset.mControllerState);
  for (size_t n = 0; n < bytes.size(); ++n)
    EXPECT_FALSE(back.Parse(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)))) << n;
}

}  // namespace
