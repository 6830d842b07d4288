#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "host/cli/AudioFileFormat.h"

namespace tbhost {

// A sound file opened for reading or created for writing, seen as interleaved single-precision
// frames. Each platform has one back end: libsndfile on Linux (every format it reads), the
// system's multimedia file I/O on Windows (RIFF WAVE).
// Main thread. Not shared between threads.
class AudioFile {
public:
  virtual ~AudioFile() = default;

  // Null with `error` set when the file cannot be opened or its format is not supported.
  static std::unique_ptr<AudioFile> OpenForReading(const std::string& path, std::string& error);
  // Creates (or truncates) `path` for frames of `format` (its frame count is ignored).
  static std::unique_ptr<AudioFile> CreateForWriting(const std::string& path, const AudioFileFormat& format,
                                                     std::string& error);

  // Whether a file's name ends in an extension of a format this back end reads (case does not
  // matter): how a folder's sound files are told from the rest.
  static bool IsSoundFileName(const std::string& path);

  virtual const AudioFileFormat& Format() const = 0;

  // Reads up to `frames` frames; returns the number read (0 at the end), or -1 on a read error.
  virtual int64_t ReadFrames(float* interleaved, int64_t frames) = 0;
  // Integer formats round to the nearest step and clip to full scale; clipped samples are counted.
  virtual bool WriteFrames(const float* interleaved, int64_t frames) = 0;
  // Completes the header of a written file and closes it. Reading files close on destruction.
  virtual bool Close() = 0;

  virtual const std::string& LastError() const = 0;
  virtual int64_t ClippedSamples() const = 0;
};

}  // namespace tbhost
