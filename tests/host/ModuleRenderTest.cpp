#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/StateFile.h"

// tollenbrook-host render through the module loaded at run time: the same samples as the
// plug-in linked into the host, states saved and loaded as chunks, bad state files refused.
namespace {

using hosttest::HostRun;
using hosttest::ReadWav;
using hosttest::RunInProcessHost;
using hosttest::RunModuleHost;

struct ModuleRender : ::testing::Test {
  hosttest::ScopedTempDir dir;
  std::string module = hosttest::BuiltModule();

  void SetUp() override { ASSERT_FALSE(module.empty()) << "the module is built with the tests"; }

  std::string Input(int channels, double seconds = 1.5) {
    const std::string path = dir.File("in" + std::to_string(channels) + ".wav");
    const int frames = static_cast<int>(seconds * 44100);
    hosttest::WriteFloatWav(path, channels, 44100, hosttest::MusicSignal(frames, channels, 44100, 0.9));
    return path;
  }
  std::string Key() {
    const std::string path = dir.File("key.wav");
    std::vector<double> key = hosttest::MusicSignal(44100, 1, 44100, 1.0);
    for (size_t i = 0; i < key.size(); ++i) key[i] *= (i / 11025) % 2 ? 1.0 : 0.05;
    hosttest::WriteFloatWav(path, 1, 44100, key);
    return path;
  }
  std::vector<std::string> Render(const std::string& in, const std::string& out, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"render", in, out, "--module", module};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }
  std::vector<std::string> InProcess(std::vector<std::string> args) {
    args.erase(std::find(args.begin(), args.end(), "--module"), std::find(args.begin(), args.end(), "--module") + 2);
    return args;
  }
};

TEST_F(ModuleRender, GivesTheSameSamplesAsThePlugInLinkedIn) {
  const std::string key = Key();
  const std::vector<std::vector<std::string>> settings = {
      {},
      {"--set", "Compressor Threshold=-12dB", "--set", "Ratio=6:1", "--set", "Oversample=Oversampling On"},
      {"--sidechain", key, "--set", "External Sidechain=1", "--set", "Limit Level=4dB", "--block", "300"},
      {"--set", "Bypass=0", "--set", "Mix=50/50"},
  };
  for (int channels : {1, 2}) {
    const std::string in = Input(channels);
    for (size_t s = 0; s < settings.size(); ++s) {
      SCOPED_TRACE("channels " + std::to_string(channels) + ", setting " + std::to_string(s));
      const std::string viaModule = dir.File("module.wav");
      const std::string linkedIn = dir.File("linked.wav");
      const HostRun a = RunModuleHost(Render(in, viaModule, settings[s]));
      ASSERT_EQ(a.status, 0) << a.err;
      const HostRun b = RunInProcessHost(InProcess(Render(in, linkedIn, settings[s])));
      ASSERT_EQ(b.status, 0) << b.err;
      const hosttest::ReferenceWav moduleWav = ReadWav(viaModule), linkedWav = ReadWav(linkedIn);
      EXPECT_EQ(hosttest::MaxDifference(moduleWav, linkedWav), 0.0);
      EXPECT_EQ(moduleWav.Frames(), static_cast<int64_t>(1.5 * 44100));
      EXPECT_EQ(a.out, b.out) << "the same latency announced";
    }
  }
}

TEST_F(ModuleRender, ReportsTheLatencyThePlugInAnnounced) {
  const std::string in = Input(2, 0.5);
  HostRun r = RunModuleHost(Render(in, dir.File("a.wav")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "latency 0 samples, as the plug-in announced it\n");
  r = RunModuleHost(Render(in, dir.File("b.wav"), {"--set", "Oversample=Oversampling On"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "latency 64 samples, as the plug-in announced it\n");
}

TEST_F(ModuleRender, ASavedStateRendersLikeTheSettingsThatMadeIt) {
  const std::string in = Input(2, 1.0);
  const std::string state = dir.File("setting.tlk");
  const std::vector<std::string> setting = {"--set", "Compressor Threshold=-14dB", "--set", "Ratio=4:1",
                                            "--set", "Gain=6dB", "--set", "High Pass Filter=160Hz"};
  std::vector<std::string> save = setting;
  save.insert(save.end(), {"--save-state", state});
  ASSERT_EQ(RunModuleHost(Render(in, dir.File("set.wav"), save)).status, 0);

  // The file is the chunk as the host keeps it: header, identifier, size, the state's bytes.
  const std::vector<uint8_t> bytes = hosttest::ReadBytes(state);
  ASSERT_EQ(bytes.size(), 16u + 132u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 12), "AAXCHUNKTLK1");
  EXPECT_EQ(bytes[12], 132);
  EXPECT_EQ(bytes[13] | bytes[14] | bytes[15], 0);
  double threshold = -1.0;
  std::memcpy(&threshold, bytes.data() + 16 + 12, sizeof threshold);
  EXPECT_EQ(threshold, 3.0) << "\"-14dB\" is value 3 of the threshold";

  const HostRun loaded = RunModuleHost(Render(in, dir.File("loaded.wav"), {"--load-state", state}));
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_EQ(hosttest::MaxDifference(ReadWav(dir.File("set.wav")), ReadWav(dir.File("loaded.wav"))), 0.0);

  // Settings apply on top of a loaded state, and the plug-in linked in reads the same file.
  ASSERT_EQ(RunModuleHost(Render(in, dir.File("more.wav"), {"--load-state", state, "--set", "Gain=0dB"})).status, 0);
  std::vector<std::string> fromScratch = setting;
  fromScratch.insert(fromScratch.end(), {"--set", "Gain=0dB"});
  ASSERT_EQ(RunModuleHost(Render(in, dir.File("scratch.wav"), fromScratch)).status, 0);
  EXPECT_EQ(hosttest::MaxDifference(ReadWav(dir.File("more.wav")), ReadWav(dir.File("scratch.wav"))), 0.0);
  const HostRun linked = RunInProcessHost({"render", in, dir.File("linked.wav"), "--load-state", state});
  ASSERT_EQ(linked.status, 0) << linked.err;
  EXPECT_EQ(hosttest::MaxDifference(ReadWav(dir.File("set.wav")), ReadWav(dir.File("linked.wav"))), 0.0);
}

TEST_F(ModuleRender, AStateFileWithoutAValidChunkIsRefusedBeforeAnythingIsRendered) {
  const std::string in = Input(1, 0.2);
  const std::string good = dir.File("good.tlk");
  ASSERT_EQ(RunModuleHost(Render(in, dir.File("first.wav"), {"--save-state", good})).status, 0);
  const std::vector<uint8_t> state = hosttest::ReadBytes(good);
  ASSERT_EQ(state.size(), 148u);

  auto withBytes = [&](const std::string& name, std::vector<uint8_t> bytes) {
    hosttest::WriteBytes(dir.File(name), bytes);
    return dir.File(name);
  };
  std::vector<uint8_t> otherChunk = state;
  std::memcpy(otherChunk.data() + 8, "elck", 4);
  std::vector<uint8_t> sizeTooLarge = state;
  sizeTooLarge[12] = 200;
  std::vector<uint8_t> truncatedState(state.begin(), state.begin() + 16 + 40);
  truncatedState[12] = 40;
  std::vector<uint8_t> emptyState(state.begin(), state.begin() + 16);
  emptyState[12] = 0;
  const struct {
    std::string file;
    const char* needle;
  } cases[] = {
      {dir.File("missing.tlk"), "no such file"},
      {withBytes("text.tlk", {'h', 'e', 'l', 'l', 'o'}), "is not a saved plug-in state"},
      {withBytes("wav.tlk", hosttest::ReadBytes(in)), "is not a saved plug-in state"},
      {withBytes("other.tlk", otherChunk), "holds a chunk 'elck', not the plug-in's 'TLK1'"},
      {withBytes("long.tlk", sizeTooLarge), "announces 200 bytes of state but it holds 132"},
      {withBytes("short.tlk", truncatedState), "AAX_ERROR_MALFORMED_CHUNK (-20026)"},
      {withBytes("empty.tlk", emptyState), "holds an empty state"},
      {dir.Path().string(), "not a file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> before = dir.Entries();
    const HostRun r = RunModuleHost(Render(in, dir.File("out.wav"), {"--load-state", c.file}));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("tollenbrook-host: state ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.needle), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(dir.Entries(), before) << "no output written";
    EXPECT_TRUE(r.out.empty());
  }
}

TEST_F(ModuleRender, AModuleThatCannotBeLoadedIsAClearError) {
  const std::string in = Input(1, 0.2);
  HostRun r = RunModuleHost({"render", in, dir.File("o.wav"), "--module", dir.File("none.so")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot load"), std::string::npos) << r.err;
  hosttest::WriteBytes(dir.File("junk.so"), {'n', 'o', 't', ' ', 'c', 'o', 'd', 'e'});
  r = RunModuleHost({"params", "--module", dir.File("junk.so")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot load"), std::string::npos) << r.err;
  r = RunModuleHost({"describe", "--module", dir.File("junk.so")});
  EXPECT_EQ(r.status, 2);
  EXPECT_FALSE(hosttest::RunModuleHost({"render", in, dir.File("o.wav"), "--module"}).status == 0);
}

TEST_F(ModuleRender, ParamsThroughTheModuleListTheSameTable) {
  const HostRun viaModule = RunModuleHost({"params", "--module", module});
  const HostRun linked = RunInProcessHost({"params"});
  ASSERT_EQ(viaModule.status, 0) << viaModule.err;
  EXPECT_EQ(viaModule.out, linked.out);
  EXPECT_NE(viaModule.out.find("Compressor Threshold"), std::string::npos);
  const HostRun refused = RunInProcessHost({"params", "--module", module});
  EXPECT_EQ(refused.status, 2) << "a host without module support says so";
}

}  // namespace
