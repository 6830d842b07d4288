#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/ModuleFixtures.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/PluginState.h"

// The loader tells a plug-in file's kind by the bundle it lies in.
namespace {

using tbhost::PluginKind;
using tbhost::PluginLoader;

TEST(PluginLoader, TellsTheKindByTheInnermostBundle) {
  const struct {
    const char* path;
    PluginKind kind;
  } cases[] = {
      {"build/Tollenbrook.aaxplugin/Contents/x86_64-linux/Tollenbrook.so", PluginKind::kAAX},
      {"C:\\Plug-Ins\\Tollenbrook.aaxplugin\\Contents\\x64\\Tollenbrook.aaxplugin", PluginKind::kAAX},
      {"/usr/lib/lv2/Tollenbrook.lv2", PluginKind::kLV2},
      {"/usr/lib/lv2/Tollenbrook.lv2/", PluginKind::kLV2},
      {"/usr/lib/lv2/Tollenbrook.LV2/Tollenbrook.so", PluginKind::kLV2},
      {"Plug-Ins/Tollenbrook.vst3/Contents/x86_64-linux/Tollenbrook.so", PluginKind::kVST3},
      {"Tollenbrook.clap", PluginKind::kCLAP},
      {"odd.lv2/inner.aaxplugin/Contents/x64/m.so", PluginKind::kAAX},
      {"tests/probes/validator_probe_0.so", PluginKind::kAAX},
      {"notalv2/m.so", PluginKind::kAAX},
      {".lv2", PluginKind::kAAX},
  };
  for (const auto& c : cases) EXPECT_EQ(PluginLoader::KindOf(c.path), c.kind) << c.path;
}

TEST(PluginLoader, AKindItCannotLoadIsAClearError) {
  for (const char* path : {"x/Tollenbrook.vst3"}) {
    std::string error;
    EXPECT_EQ(PluginLoader::Load(path, error), nullptr);
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
    EXPECT_NE(error.find(PluginLoader::KindName(PluginLoader::KindOf(path))), std::string::npos) << error;
  }
}

TEST(PluginLoader, AnAAXBundleFolderLoadsTheModuleInside) {
  const std::string module = hosttest::BuiltModule();
  ASSERT_FALSE(module.empty());
  const std::filesystem::path folder = std::filesystem::path(module).parent_path().parent_path().parent_path();
  ASSERT_EQ(folder.extension(), ".aaxplugin");
  for (const std::string& path : {folder.string(), folder.string() + "/"}) {
    EXPECT_EQ(tbhost::ModuleLocator::ModuleInBundle(path), std::filesystem::path(module).lexically_normal().string())
        << path;
    std::string error;
    EXPECT_NE(PluginLoader::Load(path, error), nullptr) << error;
  }
  EXPECT_EQ(tbhost::ModuleLocator::ModuleInBundle(module), module) << "a binary stays what it is";
}

TEST(PluginState, AChunkFormatNamesItsIdentifierAndNothingElseIsOne) {
  for (uint32_t id : {0x544C4B31u /* TLK1 */, 0x00000001u, 0xFFFFFFFFu, 0x20202020u}) {
    uint32_t back = 0;
    EXPECT_TRUE(tbhost::ChunkIDOf(tbhost::ChunkFormat(id), back)) << tbhost::ChunkFormat(id);
    EXPECT_EQ(back, id);
  }
  EXPECT_EQ(tbhost::ChunkFormat(0x544C4B31u), "'TLK1'");
  for (const char* other : {"", "TLK1", "'TLK'", "'TLK12'", "0x1", "0x0000000G", "LV2 state urn:x urn:y", "0x544C4B31"}) {
    uint32_t id = 7;
    EXPECT_FALSE(tbhost::ChunkIDOf(other, id)) << other;
    EXPECT_EQ(id, 7u);
  }
}

}  // namespace
