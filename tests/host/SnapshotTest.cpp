#include <gtest/gtest.h>

#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/cli/HostMain.h"

// `tollenbrook-host snapshot`: the editor drawn without a window system into a PNG.
namespace {

using hosttest::HostRun;

// The command line with the plug-in linked into the host.
HostRun Host(const std::vector<std::string>& args) { return hosttest::RunInProcessHost(args); }

// Width and height from a PNG's header chunk (big-endian, right after the signature).
bool PngSize(const std::vector<uint8_t>& png, int& width, int& height) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 24 || !std::equal(kSignature, kSignature + 8, png.begin())) return false;
  auto be32 = [&](size_t at) { return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]; };
  width = be32(16);
  height = be32(20);
  return true;
}

}  // namespace

TEST(Snapshot, DrawsTheEditorAtItsScale) {
  hosttest::ScopedTempDir dir;
  const std::string one = dir.File("editor.png");
  HostRun r = Host({"snapshot", one, "--set", "Ratio=6:1"});
  if (r.status != 0 && r.err.find("OpenGL") != std::string::npos) GTEST_SKIP() << r.err;
  ASSERT_EQ(r.status, 0) << r.err;
  int w = 0, h = 0;
  ASSERT_TRUE(PngSize(hosttest::ReadBytes(one), w, h));
  EXPECT_EQ(w, 378);
  EXPECT_EQ(h, 591);

  const std::string half = dir.File("half.png");
  ASSERT_EQ(Host({"snapshot", half, "--scale", "0.5"}).status, 0);
  ASSERT_TRUE(PngSize(hosttest::ReadBytes(half), w, h));
  EXPECT_EQ(w, 189);
  EXPECT_EQ(h, 295);

  const std::string again = dir.File("again.png");
  ASSERT_EQ(Host({"snapshot", again, "--set=Ratio=6:1"}).status, 0);
  EXPECT_EQ(hosttest::ReadBytes(one), hosttest::ReadBytes(again)) << "the same settings draw the same picture";
  const std::string other = dir.File("other.png");
  ASSERT_EQ(Host({"snapshot", other, "--set", "Ratio=1.5:1"}).status, 0);
  EXPECT_NE(hosttest::ReadBytes(one), hosttest::ReadBytes(other)) << "the Ratio knob shows its value";
}

TEST(Snapshot, RefusesBadArgumentsAndLeavesNoFile) {
  hosttest::ScopedTempDir dir;
  const std::string png = dir.File("editor.png");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"snapshot", png, "--scale", "3"}, {"snapshot", png, "--scale", "x"},
        {"snapshot", png, "--set", "Ratio=5:1"}, {"snapshot", png, "--set", "Nothing=1"}, {"snapshot"},
        {"snapshot", png, png}, {"snapshot", png, "--block", "64"}}) {
    const HostRun r = Host(args);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_EQ(r.err.rfind("tollenbrook-host: ", 0), 0u) << r.err;
  }
  EXPECT_TRUE(dir.Entries().empty());
}
