#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>

#include "host/FakePlugin.h"
#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/HostMain.h"

// render IN... --out-dir DIR: every file as a render of it alone would give it, in parallel;
// failures named, usage errors refused before anything is written, interrupts leave nothing.
namespace {

using hosttest::HostRun;

// A file in one of the formats a batch must keep: channels, rate, and 16/24-bit PCM or float.
void WriteInput(const std::string& path, int channels, int rate, int bits, double seconds) {
  const int frames = static_cast<int>(seconds * rate);
  const std::vector<double> music = hosttest::MusicSignal(frames, channels, rate, 0.9);
  if (bits == 32) {
    hosttest::WriteFloatWav(path, channels, rate, music);
    return;
  }
  hosttest::ReferenceWav w;
  w.channels = static_cast<uint16_t>(channels);
  w.sampleRate = static_cast<uint32_t>(rate);
  w.containerBits = w.validBits = static_cast<uint16_t>(bits);
  const double scale = std::ldexp(1.0, bits - 1) - 1.0;
  for (double v : music) w.ints.push_back(std::llround(v * scale));
  hosttest::WriteBytes(path, w.Encode());
}

struct Batch : ::testing::Test {
  hosttest::ScopedTempDir dir;
  std::string module = hosttest::BuiltModule();

  std::string F(const std::string& name) const { return dir.File(name); }
};

TEST_F(Batch, RendersEveryFileAsARenderOfItAloneWouldAndNamesTheOneThatFails) {
  ASSERT_FALSE(module.empty());
  std::filesystem::create_directory(dir.Path() / "in");
  const struct {
    int channels, rate, bits;
  } formats[] = {{1, 44100, 16}, {2, 44100, 24}, {1, 48000, 32}, {2, 48000, 16},
                 {1, 96000, 24}, {2, 96000, 32}, {2, 44100, 32}, {1, 48000, 24}};
  std::vector<std::string> names;
  for (const auto& f : formats) {
    names.push_back(std::to_string(f.channels) + "ch-" + std::to_string(f.rate) + "-" + std::to_string(f.bits) + ".wav");
    WriteInput(F("in/" + names.back()), f.channels, f.rate, f.bits, 0.4);
  }
  hosttest::WriteBytes(F("in/corrupt.wav"), {'R', 'I', 'F', 'F', 1, 0, 0, 0, 'W', 'A', 'V', 'E', 'j', 'u', 'n', 'k'});
  const std::vector<std::string> settings = {"--set", "Compressor Threshold=-12dB", "--set", "Ratio=6:1",
                                             "--set", "Oversample=Oversampling On", "--module", module};

  std::vector<std::string> batch = {"render", F("in"), "--out-dir", F("out"), "--jobs", "2"};
  batch.insert(batch.end(), settings.begin(), settings.end());
  const HostRun r = hosttest::RunModuleHost(batch);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("corrupt.wav"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.out.find("8 of 9 files rendered"), std::string::npos) << r.out;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out" / "corrupt.wav"));

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    std::vector<std::string> alone = {"render", F("in/" + name), F("alone.wav")};
    alone.insert(alone.end(), settings.begin(), settings.end());
    ASSERT_EQ(hosttest::RunModuleHost(alone).status, 0);
    const std::vector<uint8_t> expected = hosttest::ReadBytes(F("alone.wav"));
    EXPECT_GT(expected.size(), 1000u);
    EXPECT_TRUE(hosttest::ReadBytes(F("out/" + name)) == expected) << "not bit-identical to a render of it alone";
  }
  const std::vector<std::string> written = hosttest::ScopedTempDir::List(dir.Path() / "out");
  std::vector<std::string> expectedNames = names;
  std::sort(expectedNames.begin(), expectedNames.end());
  EXPECT_EQ(written, expectedNames) << "only the outputs, no temporary files";
}

HostRun RunFake(const std::vector<std::string>& args, const std::atomic<bool>* cancel = nullptr,
                tbhost::PluginFactory factory = nullptr) {
  std::ostringstream out, err;
  if (!factory)
    factory = [](std::string&) -> std::unique_ptr<tbhost::PluginInstance> {
      return std::make_unique<hosttest::FakePlugin>();
    };
  tbhost::HostEnvironment env{out, err, nullptr, factory, cancel};
  HostRun r;
  r.status = tbhost::RunHost(args, env);
  r.out = out.str();
  r.err = err.str();
  return r;
}

TEST_F(Batch, RefusesWhatWouldMakeTheWholeBatchWrongBeforeWritingAnything) {
  std::filesystem::create_directories(dir.Path() / "a");
  std::filesystem::create_directories(dir.Path() / "b");
  std::filesystem::create_directories(dir.Path() / "empty");
  for (const char* name : {"a/x.wav", "b/x.wav", "a/y.wav"})
    hosttest::WritePcm16(F(name), 1, 48000, hosttest::TestSignal(100, 0.3, 1));
  hosttest::WriteBytes(F("a/readme.txt"), {'h', 'i'});
  const auto before = dir.Entries();
  const struct {
    std::vector<std::string> args;
    const char* needle;
  } cases[] = {
      {{"render", F("a/x.wav"), F("b/x.wav"), "--out-dir", F("out")}, "would both be written to"},
      {{"render", F("a"), "--out-dir", F("a")}, "it is the input file"},
      {{"render", F("a/x.wav"), "--out-dir", F("b/../a")}, "it is the input file"},
      {{"render", F("empty"), "--out-dir", F("out")}, "holds no sound files"},
      {{"render", F("a"), "--out-dir", F("a/y.wav")}, "is a file, not a folder"},
      {{"render", "--out-dir", F("out")}, "at least one input"},
      {{"render", F("a"), "--out-dir", F("out"), "--jobs", "0"}, "--jobs needs a whole number from 1 to 64"},
      {{"render", F("a"), "--out-dir", F("out"), "--jobs=x"}, "'x'"},
      {{"render", F("a"), "--out-dir", F("out"), "--plot", F("p.png")}, "does not take a batch"},
      {{"render", F("a/x.wav"), F("o.wav"), "--jobs", "2"}, "--jobs applies to batches"},
      {{"render", F("a/x.wav"), F("o.wav"), "--report=1"}, "unknown option '--report=1'"},
      {{"render", F("a/x.wav"), F("o.wav"), "--report-json", F("a/x.wav")}, "already reads or writes"},
      {{"render", F("a/x.wav"), F("o.wav"), "--plot", F("o.wav")}, "already reads or writes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.needle);
    const HostRun r = RunFake(c.args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.needle), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(dir.Entries(), before);
  EXPECT_EQ(hosttest::ScopedTempDir::List(dir.Path() / "a"), (std::vector<std::string>{"readme.txt", "x.wav", "y.wav"}));
}

// The stand-in plug-in that presses Ctrl-C while the file itself renders.
class InterruptingPlugin final : public tbhost::PluginInstance {
public:
  explicit InterruptingPlugin(std::atomic<bool>& cancel) : mCancel(cancel) {}
  const std::vector<tbhost::ParamInfo>& Parameters() const override { return mFake.Parameters(); }
  std::unique_ptr<tbhost::PluginInstance> NewInstance(std::string&) const override {
    return std::make_unique<InterruptingPlugin>(mCancel);
  }
  bool Initialise(double rate, int channels, bool key, std::string& error) override {
    return mFake.Initialise(rate, channels, key, error);
  }
  void SetParameter(int index, double value) override { mFake.SetParameter(index, value); }
  void ProcessBlock(const float* const* in, const float* key, float* const* out, int n) override {
    mFake.ProcessBlock(in, key, out, n);
    if (++mBlocks == 760) mCancel.store(true);  // past the pre-roll, inside the file
  }
  int Latency() const override { return 0; }

private:
  std::atomic<bool>& mCancel;
  hosttest::FakePlugin mFake;
  int mBlocks = 0;
};

TEST_F(Batch, AnInterruptLeavesNoPartialFileAndStartsNoMore) {
  std::filesystem::create_directories(dir.Path() / "in");
  for (int i = 0; i < 6; ++i)
    hosttest::WritePcm16(F("in/" + std::to_string(i) + ".wav"), 2, 48000,
                         hosttest::Interleave({hosttest::TestSignal(48000, 0.3, 1), hosttest::TestSignal(48000, 0.3, 2)}));
  std::atomic<bool> cancel{false};
  const HostRun r = RunFake({"render", F("in"), "--out-dir", F("out"), "--jobs", "2", "--block", "64"}, &cancel,
                            [&](std::string&) -> std::unique_ptr<tbhost::PluginInstance> {
                              return std::make_unique<InterruptingPlugin>(cancel);
                            });
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("interrupted: 0 of 6 files rendered"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "said once for the batch: " << r.err;
  EXPECT_TRUE(hosttest::ScopedTempDir::List(dir.Path() / "out").empty());
}

TEST_F(Batch, RendersNamedFilesWithTheStandInAndReportsAsJson) {
  hosttest::WritePcm16(F("x.wav"), 1, 48000, hosttest::TestSignal(4800, 0.3, 1));
  hosttest::WritePcm16(F("y.wav"), 2, 44100, hosttest::Interleave({hosttest::TestSignal(4410, 0.3, 2), hosttest::TestSignal(4410, 0.3, 3)}));
  const HostRun r = RunFake({"render", F("x.wav"), F("missing.wav"), F("y.wav"), "--out-dir", F("out"),
                             "--report-json", F("report.json"), "--set", "Latency=64"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("missing.wav: no such file"), std::string::npos) << r.err;
  EXPECT_EQ(hosttest::ReadWav(F("out/x.wav")).ints, hosttest::ReadWav(F("x.wav")).ints) << "the stand-in passes audio through";
  const std::vector<uint8_t> bytes = hosttest::ReadBytes(F("report.json"));
  const std::string json(bytes.begin(), bytes.end());
  for (const char* needle : {"\"name\": \"Latency\"", "\"value\": \"64\"", "\"rendered\": false", "\"latencySamples\": 64",
                             "\"sampleRate\": 44100", "\"perSecond\": [", "missing.wav: no such file"})
    EXPECT_NE(json.find(needle), std::string::npos) << needle << " not in\n" << json;
}

}  // namespace
