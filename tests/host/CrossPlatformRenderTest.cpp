#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/aax/ModuleLoader.h"
#include "host/cli/Utf8Path.h"

// The Linux and the Windows module render the same samples. The Linux suite writes a fixed
// input, its key and the Linux module's rendering of them into its build tree; the Windows
// suite (run under Wine after the Linux one, as scripts/test does) renders the same files
// through the Windows module and compares. The two compilers' mathematics libraries differ in
// their last bits, so the files agree to within those roundings, not bit for bit.
namespace {

constexpr double kTolerance = 1e-5;  // -100 dBFS

const std::vector<std::string> kSetting = {
    "--set", "External Sidechain=1",   "--set", "Oversample=Oversampling On", "--set", "Compressor Threshold=-12dB",
    "--set", "Ratio=4:1",              "--set", "Limit Level=6dB",            "--set", "High=3dB",
    "--set", "Mid=-3dB",               "--set", "High Pass Filter=80Hz",      "--set", "Compressor Recovery Time=Auto-1",
    "--set", "Level Recovery Time=Auto-2", "--set", "Gain=4dB"};

std::vector<std::string> RenderArgs(const std::string& dir, const std::string& output) {
  std::vector<std::string> args = {"render", dir + "/input.wav", output, "--sidechain", dir + "/key.wav",
                                   "--module", hosttest::BuiltModule()};
  args.insert(args.end(), kSetting.begin(), kSetting.end());
  return args;
}

#if !defined(_WIN32)
TEST(CrossPlatform, TheLinuxSuiteWritesTheReference) {
  // The build tree: ctest names it; run by hand, it is the directory above the test program.
  const char* binaryDir = std::getenv("TOLLENBROOK_BINARY_DIR");
  const std::string dir = (binaryDir ? std::string(binaryDir) : aaxhost::ModuleLoader::ExecutableDirectory() + "..") +
                          "/cross-platform";
  std::filesystem::create_directories(dir);
  hosttest::WriteFloatWav(dir + "/input.wav", 2, 48000, hosttest::MusicSignal(2 * 48000, 2, 48000, 0.8));
  std::vector<double> key = hosttest::MusicSignal(2 * 48000, 1, 48000, 1.0);
  for (size_t i = 0; i < key.size(); ++i) key[i] *= (i / 6000) % 3 == 0 ? 1.0 : 0.1;
  hosttest::WriteFloatWav(dir + "/key.wav", 1, 48000, key);
  const hosttest::HostRun r = hosttest::RunModuleHost(RenderArgs(dir, dir + "/reference.wav"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(hosttest::ReadWav(dir + "/reference.wav").Frames(), 2 * 48000);
}
#endif

TEST(CrossPlatform, TheWindowsModuleRendersWhatTheLinuxModuleRendered) {
  const char* reference = std::getenv("TOLLENBROOK_LINUX_REFERENCE");
  if (!reference) GTEST_SKIP() << "run by the test test_host_matches_linux of the windows preset";
  std::string dir = reference;
#if defined(_WIN32)
  // The Linux build tree, seen through Wine's drive for the root of the file system.
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
#endif
  if (!std::filesystem::exists(tbhost::PathFromUtf8(dir + "/reference.wav")))
    GTEST_SKIP() << "no reference in " << dir << ": build and test the linux preset first";

  hosttest::ScopedTempDir out;
  const hosttest::HostRun r = hosttest::RunModuleHost(RenderArgs(dir, out.File("rendered.wav")));
  ASSERT_EQ(r.status, 0) << r.err;
  const hosttest::ReferenceWav fromLinux = hosttest::ReadWav(dir + "/reference.wav");
  const hosttest::ReferenceWav here = hosttest::ReadWav(out.File("rendered.wav"));
  const double difference = hosttest::MaxDifference(fromLinux, here);
  std::cout << "largest difference from the Linux module: " << difference << std::endl;
  EXPECT_LE(difference, kTolerance);
  EXPECT_EQ(r.out, "latency 64 samples, as the plug-in announced it\n");
}

}  // namespace
