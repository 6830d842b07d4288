// The command-line host's libsndfile reader on any file: opened by path as the host opens
// it (an in-memory file named through /proc), every frame read. Whatever the bytes, opening
// fails cleanly or gives a format with channels and a rate, and reading never returns more
// than asked.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/AudioFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr int64_t kBlockFrames = 4096;
constexpr int64_t kMaxFrames = 1 << 20;  // enough for every seed; bounds the time of one input

int MemoryFile() {
  static const int fd = memfd_create("fuzz-audio", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = MemoryFile();
  fuzz::Require(fd >= 0 && ftruncate(fd, 0) == 0, "the in-memory file is there");
  fuzz::Require(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "the bytes are written");
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  std::string error;
  std::unique_ptr<tbhost::AudioFile> file = tbhost::AudioFile::OpenForReading(path, error);
  if (!file) {
    fuzz::Require(!error.empty(), "a refusal says why");
    return 0;
  }
  const tbhost::AudioFileFormat& format = file->Format();
  fuzz::Require(format.channels > 0 && format.sampleRate > 0, "an opened file has channels and a rate");
  if (format.channels > 64) return 0;  // the host refuses these before reading
  std::vector<float> block(static_cast<size_t>(kBlockFrames * format.channels));
  for (int64_t done = 0; done < kMaxFrames;) {
    const int64_t got = file->ReadFrames(block.data(), kBlockFrames);
    fuzz::Require(got <= kBlockFrames, "no more frames than asked");
    if (got <= 0) break;
    done += got;
  }
  return 0;
}
