#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include "aax-library/AAX_IACFEffectParameters.h"
#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/aax/Instance.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/AAXModule.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/AAXPluginInstance.h"

// The module as our host loads it: where it is found, what it registers, what `describe`
// prints, and how the module-backed plug-in talks to it.
namespace {

TEST(ModuleLocator, FindsTheBundleAboveTheProgramAndNothingElsewhere) {
  const std::string module = hosttest::BuiltModule();
  ASSERT_FALSE(module.empty());
  const std::string relative = tbhost::ModuleLocator::BundleRelativePath();
  std::string normalized = module;
  std::replace(normalized.begin(), normalized.end(), '\\', '/');
  EXPECT_EQ(normalized.substr(normalized.size() - relative.size()), relative);
  hosttest::ScopedTempDir empty;
  EXPECT_EQ(tbhost::ModuleLocator::FindFrom(empty.File("a/b")), "");
}

TEST(AAXModule, RegistersTheEffectAndOffersAMonoAndAStereoComponent) {
  std::string error;
  std::unique_ptr<tbhost::AAXModule> module = tbhost::AAXModule::Open(hosttest::BuiltModule(), error);
  ASSERT_TRUE(module) << error;
  EXPECT_EQ(module->EffectID(), "com.Vantorell.aax.Tollenbrook");
  EXPECT_EQ(module->SDKVersion(), 0x00000204013449EAull);
  EXPECT_NE(module->ComponentFor(1), nullptr);
  EXPECT_NE(module->ComponentFor(2), nullptr);
  EXPECT_NE(module->ComponentFor(1), module->ComponentFor(2));
  EXPECT_EQ(module->ComponentFor(3), nullptr);
  EXPECT_EQ(module->LiveObjects(), 0);
  {
    aaxhost::Instance instance(module->Host().Log(), module->Effect());
    ASSERT_EQ(instance.Create(), 0);
    EXPECT_EQ(module->LiveObjects(), 1) << "the instance lives in the module";
  }
  EXPECT_EQ(module->LiveObjects(), 0) << "and is gone with the host's last reference";
  EXPECT_TRUE(module->Host().Services().Asserts().empty());
}

TEST(AAXModule, FilesThatAreNoModuleAreRefused) {
  hosttest::ScopedTempDir dir;
  std::string error;
  EXPECT_FALSE(tbhost::AAXModule::Open(dir.File("missing.so"), error));
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
  hosttest::WriteBytes(dir.File("text.so"), {'#', '!', '/', 'b', 'i', 'n'});
  error.clear();
  EXPECT_FALSE(tbhost::AAXModule::Open(dir.File("text.so"), error));
  EXPECT_FALSE(error.empty());
}

// The lines of `text` that mention `needle`.
std::string LineWith(const std::string& text, const std::string& needle) {
  const size_t at = text.find(needle);
  if (at == std::string::npos) return "";
  const size_t start = text.rfind('\n', at) + 1;
  return text.substr(start, text.find('\n', at) - start);
}

TEST(Describe, PrintsTheRegistrationAsTheHostSawIt) {
  const hosttest::HostRun r = hosttest::RunModuleHost({"describe", "--module", hosttest::BuiltModule()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& out = r.out;
  EXPECT_NE(out.find("SDK version   0x00000204013449EA"), std::string::npos) << out;
  EXPECT_NE(out.find("Manufacturer  Vantorell"), std::string::npos);
  EXPECT_NE(out.find("Version       3.0.0 (0x00030000)"), std::string::npos);
  EXPECT_NE(out.find("Effect \"com.Vantorell.aax.Tollenbrook\""), std::string::npos);
  EXPECT_NE(out.find("Category    2 (dynamics)"), std::string::npos);
  EXPECT_NE(out.find("Component 1: 1 in, 1 out"), std::string::npos);
  EXPECT_NE(out.find("Component 2: 2 in, 2 out"), std::string::npos);
  EXPECT_EQ(out.find("Component 3"), std::string::npos);
  // Four-character codes as their characters.
  for (const char* code : {"IEF1", "IEF2", "IEA1", "IEA2"}) EXPECT_NE(out.find(" " + std::string(code) + "\n"), std::string::npos) << code;
  EXPECT_TRUE(std::regex_search(out, std::regex("11  manufacturer ID +Vtor\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("12  product ID +TLK1\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("26  side-chain in\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("25  data-in port, 8-byte packets, port type 1\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("7  MIDI node \"Transport\" \\(transport\\), mask 0x0000FFFF\n")));
  EXPECT_TRUE(std::regex_search(out, std::regex("51  input stem format +stereo \\(0x00010002\\)\n")));

  EXPECT_NE(out.find("Host parameters of a stereo instance (14)"), std::string::npos);
  EXPECT_TRUE(std::regex_search(LineWith(out, "Master Bypass"),
                                std::regex("0 +\"\" +Master Bypass +discrete +2 +bypass +bypass \\| on")));
  EXPECT_TRUE(std::regex_search(LineWith(out, "Compressor Threshold"),
                                std::regex("1 +\"1\" +Compressor Threshold +continuous +128 +15 +0 to 15")));
  EXPECT_TRUE(std::regex_search(LineWith(out, "Oversample"), std::regex("13 +\"15\" +Oversample .* 0 to 1")));
  EXPECT_EQ(LineWith(out, "\"13\""), "") << "the meter channels have no host parameter";
  EXPECT_NE(out.find("Master bypass parameter: \"\""), std::string::npos);
  EXPECT_NE(out.find("State chunk TLK1, 132 bytes"), std::string::npos);
}

TEST(ModulePlugin, SetsParametersAsAutomationDoesAndReadsLatencyFromTheController) {
  std::string error;
  auto plugin = tbhost::AAXPluginInstance::Create(hosttest::BuiltModule(),
                                                     tbhost::InProcessPluginInstance::ProductParameters(), error);
  ASSERT_TRUE(plugin) << error;
  ASSERT_TRUE(plugin->Initialise(44100.0, 1, true, error)) << error;
  aaxhost::CallLog& log = plugin->Module().Host().Log();
  log.Clear();
  plugin->SetParameter(14, 1.0);  // "Oversample"
  std::vector<std::string> calls;
  for (const aaxhost::Call& call : log.Calls())
    if (call.name.rfind("Post", 0) == 0) calls.push_back(call.name + " " + call.args[0] + (call.args.size() > 1 ? " " + call.args[1] : ""));
  EXPECT_EQ(calls, (std::vector<std::string>{"PostTouchRequest 15", "PostTouchRequest 15", "PostSetValueRequest 15 1",
                                             "PostCurrentValue 15 1", "PostReleaseRequest 15", "PostReleaseRequest 15",
                                             "PostPacket 25 8"}))
      << log.ToString();
  double value = -1.0;
  plugin->Effect().GetParameterNormalizedValue("15", &value);
  EXPECT_EQ(value, 1.0);
  EXPECT_EQ(plugin->Latency(), 0) << "announced once a block has run";
  std::vector<float> in(256, 0.25f), key(256, 0.0f), out(256, 9.0f);
  const float* ins[1] = {in.data()};
  float* outs[1] = {out.data()};
  // The path changes once the output has faded out on the old one (10 ms).
  for (int block = 0; block < 2; ++block) plugin->ProcessBlock(ins, key.data(), outs, 256);
  EXPECT_EQ(plugin->Latency(), 64);
  EXPECT_EQ(plugin->HostInstance().GetController().SignalLatency(), 64);
}

TEST(ModulePlugin, AModuleWhoseParametersDifferFromTheHostsTableIsRefused) {
  std::vector<tbhost::ParamInfo> table = tbhost::InProcessPluginInstance::ProductParameters();
  ASSERT_GT(table.size(), 4u);
  table[4].name = "Knee";
  std::string error;
  EXPECT_FALSE(tbhost::AAXPluginInstance::Create(hosttest::BuiltModule(), table, error));
  EXPECT_NE(error.find("its parameter 5 is \"Ratio\", not \"Knee\""), std::string::npos) << error;
}

}  // namespace
