#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "host/FakePlugin.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/HostMain.h"

namespace {

struct HostRun {
  int status = -1;
  std::string out;
  std::string err;
};

HostRun RunWith(const std::vector<std::string>& args, const std::atomic<bool>* cancel = nullptr) {
  std::ostringstream out, err;
  tbhost::HostEnvironment env{out, err, nullptr,
                              [](std::string&) -> std::unique_ptr<tbhost::PluginInstance> {
                                return std::make_unique<hosttest::FakePlugin>();
                              },
                              cancel};
  HostRun r;
  r.status = tbhost::RunHost(args, env);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// One line, prefixed with the program's name, mentioning `needle`.
void ExpectOneLineError(const HostRun& r, const std::string& needle) {
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("tollenbrook-host: ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find(needle), std::string::npos) << "'" << needle << "' not in: " << r.err;
}

TEST(HostCommandLine, HelpPrintsUsageAndSucceeds) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}, {"render", "--help"}}) {
    const HostRun r = RunWith(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("tollenbrook-host render IN OUT"), std::string::npos);
    EXPECT_TRUE(r.err.empty());
  }
}

TEST(HostCommandLine, BadCommandLinesFailWithOneLine) {
  const struct {
    std::vector<std::string> args;
    const char* needle;
  } cases[] = {
      {{}, "no command"},
      {{"mix", "a.wav"}, "unknown command 'mix'"},
      {{"render", "a.wav"}, "needs an input and an output"},
      {{"render", "a.wav", "b.wav", "c.wav"}, "unexpected 'c.wav'"},
      {{"render", "a.wav", "b.wav", "--fast"}, "unknown option '--fast'"},
      {{"render", "a.wav", "b.wav", "--keep-latency=1"}, "unknown option"},
      {{"render", "a.wav", "b.wav", "--block"}, "--block needs a value"},
      {{"render", "a.wav", "b.wav", "--block", "0"}, "from 1 to 65536"},
      {{"render", "a.wav", "b.wav", "--block=65537"}, "from 1 to 65536"},
      {{"render", "a.wav", "b.wav", "--block", "12x"}, "'12x'"},
      {{"render", "a.wav", "b.wav", "--block", "-5"}, "from 1 to 65536"},
      {{"render", "a.wav", "b.wav", "--sidechain"}, "--sidechain needs a value"},
      {{"params", "x"}, "params takes no arguments"},
      {{"demo", "a", "b"}, "at most one output directory"},
      {{"demo", "--loud"}, "unknown option '--loud'"},
      {{"--version", "x"}, "takes no arguments"},
      {{"editor", "x.wav"}, "editor takes no file"},
      {{"editor", "--seconds", "0"}, "--seconds needs a number"},
      {{"editor", "--scale", "2"}, "unknown option '--scale' for editor"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.needle);
    ExpectOneLineError(RunWith(c.args), c.needle);
  }
}

// Without an X display there is no window to open the editor in: a clear refusal.
TEST(HostCommandLine, EditorWithoutADisplaySaysSo) {
#ifdef _WIN32
  GTEST_SKIP() << "the Windows build opens the editor (its window tests cover it)";
#else
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  ExpectOneLineError(RunWith({"editor", "--set", "Ratio=4:1"}), "no X display");
  if (display) setenv("DISPLAY", saved.c_str(), 1);
#endif
}

class HostErrors : public ::testing::Test {
protected:
  void SetUp() override {
    hosttest::WritePcm16(mDir.File("in.wav"), 2, 48000,
                         hosttest::Interleave({hosttest::TestSignal(400, 0.3, 7), hosttest::TestSignal(400, 0.3, 8)}));
    hosttest::WritePcm16(mDir.File("key44.wav"), 1, 44100, hosttest::TestSignal(400, 0.3, 9));
    hosttest::ReferenceWav three;
    three.channels = 3;
    three.ints.assign(300, 5);
    hosttest::WriteBytes(mDir.File("three.wav"), three.Encode());
    const std::string junk = "RIFF....WAVEjunk";
    hosttest::WriteBytes(mDir.File("junk.wav"), std::vector<uint8_t>(junk.begin(), junk.end()));
    std::filesystem::create_directory(mDir.Path() / "sub");
    mBefore = mDir.Entries();
  }

  // The render failed with one line mentioning `needle` and left the directory as it was.
  void ExpectRenderFails(std::vector<std::string> args, const std::string& needle,
                         const std::atomic<bool>* cancel = nullptr) {
    args.insert(args.begin(), "render");
    ExpectOneLineError(RunWith(args, cancel), needle);
    EXPECT_EQ(mDir.Entries(), mBefore) << "a file was left behind";
  }

  std::string F(const std::string& name) const { return mDir.File(name); }

  hosttest::ScopedTempDir mDir;
  std::vector<std::string> mBefore;
};

TEST_F(HostErrors, MissingUnreadableAndUnsuitableFiles) {
  ExpectRenderFails({F("nothing.wav"), F("out.wav")}, "nothing.wav: no such file");
  ExpectRenderFails({F("sub"), F("out.wav")}, "is a directory");
  ExpectRenderFails({F("junk.wav"), F("out.wav")}, "cannot read");
  ExpectRenderFails({F("three.wav"), F("out.wav")}, "3 channels");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--sidechain", F("key44.wav")}, "44100 Hz");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--sidechain", F("nokey.wav")}, "nokey.wav: no such file");
  ExpectRenderFails({F("in.wav"), F("sub")}, "is a directory");
  ExpectRenderFails({F("in.wav"), F("nodir/out.wav")}, "does not exist");
}

TEST_F(HostErrors, SettingsThatNameNothingOrNoValue) {
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Latency"}, "NAME=VALUE");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Wobble=1"}, "unknown parameter 'Wobble'");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "7=1"}, "unknown parameter '7'");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Latency=fast"}, "'fast' is not a value of 'Latency'");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Latency=3"}, "out of range");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Latency=1.5"}, "not on a step");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "Key Gain=on"}, "not a value");
  ExpectRenderFails({F("in.wav"), F("out.wav"), "--set", "2=0"}, "meter channel");
}

TEST_F(HostErrors, AnInterruptedRenderLeavesNothing) {
  std::atomic<bool> cancel{true};
  ExpectRenderFails({F("in.wav"), F("out.wav")}, "interrupted", &cancel);
}

TEST_F(HostErrors, AFailedRenderKeepsAnExistingOutput) {
  hosttest::WriteBytes(F("keep.wav"), {1, 2, 3});
  const HostRun r = RunWith({"render", F("three.wav"), F("keep.wav")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(hosttest::ReadBytes(F("keep.wav")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(HostErrors, ASuccessfulRenderReplacesTheOutputAndLeavesNoTemporaryFile) {
  hosttest::WriteBytes(F("out.wav"), {1, 2, 3});
  const HostRun r = RunWith({"render", F("in.wav"), F("out.wav"), "--set", "Latency=64", "--set=Key Gain = 1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(hosttest::ReadWav(F("out.wav")).Frames(), 400);
  std::vector<std::string> expected = mBefore;
  expected.push_back("out.wav");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(mDir.Entries(), expected);
}

TEST_F(HostErrors, AnOutputThatIsAnInputUnderAnyNameIsRefused) {
  const std::vector<uint8_t> input = hosttest::ReadBytes(F("in.wav"));
  const auto samples = hosttest::ReadWav(F("in.wav")).ints;
  hosttest::WritePcm16(F("key.wav"), 1, 48000, hosttest::TestSignal(400, 0.3, 9));
  std::error_code ec;
  std::filesystem::create_hard_link(mDir.Path() / "in.wav", mDir.Path() / "hard.wav", ec);
  const bool hardLink = !ec;
  std::filesystem::create_symlink(mDir.Path() / "in.wav", mDir.Path() / "soft.wav", ec);
  const bool softLink = !ec;
  std::filesystem::create_directory_symlink(mDir.Path(), mDir.Path() / "same", ec);
  const bool folderLink = !ec;
  mBefore = mDir.Entries();
  std::vector<std::vector<std::string>> cases = {{F("in.wav"), F("in.wav")},
                                                 {F("in.wav"), F("sub/../in.wav")},
                                                 {F("in.wav"), F("./in.wav")},
                                                 {F("in.wav"), F("key.wav"), "--sidechain", F("key.wav")}};
  if (hardLink) cases.push_back({F("in.wav"), F("hard.wav")});
  if (softLink) cases.push_back({F("soft.wav"), F("in.wav")});
  if (folderLink) cases.push_back({F("in.wav"), F("same/in.wav")});
  for (const auto& args : cases) {
    SCOPED_TRACE(args[1]);
    ExpectRenderFails(args, "give --overwrite-input");
    EXPECT_EQ(hosttest::ReadBytes(F("in.wav")), input);
  }
  const HostRun r = RunWith({"render", F("in.wav"), F("in.wav"), "--overwrite-input"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(hosttest::ReadWav(F("in.wav")).ints, samples) << "replaced by the stand-in's pass-through, as asked";
}

TEST_F(HostErrors, ASideChainAtAnotherRateIsNamedAsTheFault) {
  const HostRun r = RunWith({"render", F("in.wav"), F("out.wav"), "--sidechain", F("key44.wav")});
  EXPECT_EQ(r.err.rfind("tollenbrook-host: " + F("key44.wav") + ": the side-chain file runs at 44100 Hz", 0), 0u)
      << r.err;
}

}  // namespace
