#include <gtest/gtest.h>

#include <cstring>

#include "host/ModuleFixtures.h"
#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/AudioFile.h"
#include "host/cli/RiffWaveParser.h"

// A WAVE file cut short (its data chunk declares more than the file holds) is rendered for what
// it holds, and the host says so with both lengths.
namespace {

using Bytes = std::vector<uint8_t>;

// A 16-bit stereo file of `frames` frames at 48 kHz whose last `cut` frames are missing, as a
// copy that stopped early leaves it: the data chunk's size still counts them.
Bytes CutWav(int frames, int cut, uint16_t formatTag = 1) {
  hosttest::ReferenceWav w;
  w.formatTag = formatTag;
  w.channelMask = formatTag == 0xFFFE ? 3 : 0;
  for (int i = 0; i < frames * 2; ++i) w.ints.push_back((i * 37) % 20000 - 10000);
  Bytes bytes = w.Encode();
  bytes.resize(bytes.size() - static_cast<size_t>(cut) * 4);
  return bytes;
}

void SetDataSize(Bytes& bytes, uint32_t size) {
  for (size_t at = 12; at + 8 <= bytes.size(); at += 8 + (bytes[at + 4] | bytes[at + 5] << 8)) {
    if (std::memcmp(&bytes[at], "data", 4) != 0) continue;
    std::memcpy(&bytes[at + 4], &size, 4);
    return;
  }
  FAIL() << "no data chunk";
}

TEST(TruncatedInput, TheParserTellsWhatTheHeaderPromisesFromWhatTheFileHolds) {
  Bytes open = CutWav(300, 0);
  SetDataSize(open, 0xFFFFFFFF);
  const struct {
    const char* name;
    Bytes file;
    int64_t frames, headerFrames;
  } cases[] = {
      {"whole", CutWav(300, 0), 300, 300},
      {"cut short", CutWav(300, 120), 180, 300},
      {"cut inside a frame", [] { Bytes b = CutWav(300, 120); b.pop_back(); return b; }(), 179, 300},
      {"a length left open by a streaming writer", open, 300, 300},
  };
  for (const auto& c : cases) {
    tbhost::RiffWaveLayout layout;
    std::string error;
    ASSERT_TRUE(tbhost::RiffWaveParser::Parse(c.file.data(), static_cast<int64_t>(c.file.size()), layout, error))
        << c.name << ": " << error;
    EXPECT_EQ(layout.frames, c.frames) << c.name;
    EXPECT_EQ(layout.headerFrames, c.headerFrames) << c.name;
  }
}

// libsndfile (Linux) shortens a cut file's length without a word; the reader still knows both.
TEST(TruncatedInput, TheReaderKnowsBothLengths) {
  hosttest::ScopedTempDir dir;
  for (const uint16_t tag : {uint16_t{1}, uint16_t{0xFFFE}}) {
    for (const int cut : {0, 1000}) {
      SCOPED_TRACE(testing::Message() << "format tag " << tag << ", " << cut << " frames cut");
      const std::string path = dir.File("in.wav");
      hosttest::WriteBytes(path, CutWav(4000, cut, tag));
      std::string error;
      const std::unique_ptr<tbhost::AudioFile> file = tbhost::AudioFile::OpenForReading(path, error);
      ASSERT_TRUE(file) << error;
      EXPECT_EQ(file->Format().frames, 4000 - cut);
      EXPECT_EQ(file->Format().headerFrames, 4000);
    }
  }
}

TEST(TruncatedInput, RenderAndBatchWarnWithBothLengthsAndRenderWhatIsThere) {
  hosttest::ScopedTempDir dir;
  std::filesystem::create_directory(dir.Path() / "in");
  hosttest::WriteBytes(dir.File("in/cut.wav"), CutWav(48000, 12000));
  hosttest::WriteBytes(dir.File("in/whole.wav"), CutWav(24000, 0));
  const std::string warning = "cut.wav is shorter than its header says: it holds 36000 frames (0.750 s) of the "
                              "48000 frames (1.000 s) its header promises";

  const hosttest::HostRun single = hosttest::RunInProcessHost({"render", dir.File("in/cut.wav"), dir.File("out.wav")});
  EXPECT_EQ(single.status, 0) << single.err;
  EXPECT_NE(single.err.find("tollenbrook-host: warning: " + dir.File("in/cut.wav")), std::string::npos) << single.err;
  EXPECT_NE(single.err.find(warning), std::string::npos) << single.err;
  EXPECT_EQ(hosttest::ReadWav(dir.File("out.wav")).Frames(), 36000);

  const hosttest::HostRun batch =
      hosttest::RunInProcessHost({"render", dir.File("in"), "--out-dir", dir.File("out"), "--jobs", "2"});
  EXPECT_EQ(batch.status, 0) << batch.err;
  EXPECT_NE(batch.err.find(warning), std::string::npos) << batch.err;
  EXPECT_EQ(batch.err.find("whole.wav"), std::string::npos) << batch.err;
  EXPECT_EQ(hosttest::ReadWav(dir.File("out/cut.wav")).Frames(), 36000);
  EXPECT_EQ(hosttest::ReadWav(dir.File("out/whole.wav")).Frames(), 24000);
}

}  // namespace
