#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <vector>

#include "host/cli/AudioFile.h"
#include "host/cli/RiffWaveParser.h"
#include "host/cli/SampleConversion.h"

namespace tbhost {
namespace {

struct Encoding {
  int subtype;
  SampleKind kind;
  int32_t bits;
  const char* name;
};

// Integer encodings are read and written through 32-bit integers so that the conversion is the
// host's own (libsndfile's float scaling differs between reading and writing).
constexpr Encoding kEncodings[] = {
    {SF_FORMAT_PCM_S8, SampleKind::kInteger, 8, "8-bit PCM"},
    {SF_FORMAT_PCM_U8, SampleKind::kInteger, 8, "8-bit unsigned PCM"},
    {SF_FORMAT_PCM_16, SampleKind::kInteger, 16, "16-bit PCM"},
    {SF_FORMAT_PCM_24, SampleKind::kInteger, 24, "24-bit PCM"},
    {SF_FORMAT_PCM_32, SampleKind::kInteger, 32, "32-bit PCM"},
    {SF_FORMAT_FLOAT, SampleKind::kFloat, 32, "32-bit float"},
    {SF_FORMAT_DOUBLE, SampleKind::kFloat, 64, "64-bit float"},
    {SF_FORMAT_DWVW_12, SampleKind::kInteger, 12, "12-bit DWVW"},
    {SF_FORMAT_DWVW_16, SampleKind::kInteger, 16, "16-bit DWVW"},
    {SF_FORMAT_DWVW_24, SampleKind::kInteger, 24, "24-bit DWVW"},
    {SF_FORMAT_DPCM_8, SampleKind::kInteger, 8, "8-bit DPCM"},
    {SF_FORMAT_DPCM_16, SampleKind::kInteger, 16, "16-bit DPCM"},
    {SF_FORMAT_ALAC_16, SampleKind::kInteger, 16, "16-bit ALAC"},
    {SF_FORMAT_ALAC_20, SampleKind::kInteger, 20, "20-bit ALAC"},
    {SF_FORMAT_ALAC_24, SampleKind::kInteger, 24, "24-bit ALAC"},
    {SF_FORMAT_ALAC_32, SampleKind::kInteger, 32, "32-bit ALAC"},
};

const Encoding* FindEncoding(int subtype) {
  for (const Encoding& e : kEncodings)
    if (e.subtype == subtype) return &e;
  return nullptr;
}

int SubtypeFor(SampleKind kind, int32_t bits) {
  if (kind == SampleKind::kFloat) return bits == 64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT;
  switch (bits) {
    case 8: return SF_FORMAT_PCM_U8;  // WAVE stores 8-bit samples unsigned
    case 16: return SF_FORMAT_PCM_16;
    case 24: return SF_FORMAT_PCM_24;
    case 32: return SF_FORMAT_PCM_32;
    default: return 0;
  }
}

std::string Describe(int format) {
  SF_FORMAT_INFO major{};
  major.format = format & SF_FORMAT_TYPEMASK;
  SF_FORMAT_INFO sub{};
  sub.format = format & SF_FORMAT_SUBMASK;
  std::string text = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 && major.name
                         ? major.name
                         : "unknown container";
  text += ", ";
  if (const Encoding* e = FindEncoding(format & SF_FORMAT_SUBMASK))
    text += e->name;
  else
    text += sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof sub) == 0 && sub.name ? sub.name : "unknown encoding";
  return text;
}

// The frames the data chunk of a RIFF WAVE file declares, or 0 when the file is no WAVE file
// that the host's own parser reads. libsndfile shortens the data chunk of a cut file to what it
// holds and keeps the declared length only in its log, so the header is read again here.
int64_t WaveHeaderFrames(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
  if (size <= 0) return 0;
  const RiffWaveParser::ReadAt readAt = [&file](int64_t offset, void* to, int64_t bytes) -> int64_t {
    file.clear();
    if (!file.seekg(offset)) return -1;
    file.read(static_cast<char*>(to), bytes);
    return file.gcount();
  };
  RiffWaveLayout layout;
  std::string error;
  return RiffWaveParser::Parse(readAt, size, layout, error) ? layout.headerFrames : 0;
}

class SndfileAudioFile final : public AudioFile {
public:
  SndfileAudioFile(SNDFILE* file, const AudioFileFormat& format, bool writing)
  : mFile(file), mFormat(format), mWriting(writing) {}

  ~SndfileAudioFile() override {
    if (mFile) sf_close(mFile);
  }

  const AudioFileFormat& Format() const override { return mFormat; }

  int64_t ReadFrames(float* interleaved, int64_t frames) override {
    const int64_t n = frames * mFormat.channels;
    sf_count_t got = 0;
    if (mFormat.kind == SampleKind::kInteger) {
      mInts.resize(static_cast<size_t>(n));
      got = sf_readf_int(mFile, mInts.data(), frames);
      for (int64_t i = 0; i < got * mFormat.channels; ++i)
        interleaved[i] = IntegerSampleToFloat(mInts[static_cast<size_t>(i)]);
    } else if (mFormat.kind == SampleKind::kFloat && mFormat.bits == 32) {
      got = sf_readf_float(mFile, interleaved, frames);
    } else {
      mDoubles.resize(static_cast<size_t>(n));
      got = sf_readf_double(mFile, mDoubles.data(), frames);
      for (int64_t i = 0; i < got * mFormat.channels; ++i)
        interleaved[i] = static_cast<float>(mDoubles[static_cast<size_t>(i)]);
    }
    if (got < frames && sf_error(mFile) != SF_ERR_NO_ERROR) {
      mError = sf_strerror(mFile);
      return -1;
    }
    return got;
  }

  bool WriteFrames(const float* interleaved, int64_t frames) override {
    const int64_t n = frames * mFormat.channels;
    sf_count_t put = 0;
    if (mFormat.kind == SampleKind::kInteger) {
      mInts.resize(static_cast<size_t>(n));
      for (int64_t i = 0; i < n; ++i) {
        bool clipped = false;
        mInts[static_cast<size_t>(i)] = FloatToLeftJustified(interleaved[i], mFormat.bits, clipped);
        mClipped += clipped ? 1 : 0;
      }
      put = sf_writef_int(mFile, mInts.data(), frames);
    } else if (mFormat.kind == SampleKind::kFloat) {
      put = sf_writef_float(mFile, interleaved, frames);
    } else {
      for (int64_t i = 0; i < n; ++i) mClipped += (interleaved[i] > 1.0f || interleaved[i] < -1.0f) ? 1 : 0;
      put = sf_writef_float(mFile, interleaved, frames);
    }
    if (put != frames) {
      mError = sf_strerror(mFile);
      return false;
    }
    return true;
  }

  bool Close() override {
    if (!mFile) return true;
    if (mWriting) sf_write_sync(mFile);
    const int rc = sf_close(mFile);
    mFile = nullptr;
    if (rc != 0) {
      mError = sf_error_number(rc);
      return false;
    }
    return true;
  }

  const std::string& LastError() const override { return mError; }
  int64_t ClippedSamples() const override { return mClipped; }

private:
  SNDFILE* mFile;
  AudioFileFormat mFormat;
  bool mWriting;
  std::vector<int> mInts;
  std::vector<double> mDoubles;
  std::string mError;
  int64_t mClipped = 0;
};

}  // namespace

bool AudioFile::IsSoundFileName(const std::string& path) {
  const size_t dot = path.find_last_of("./\\");
  if (dot == std::string::npos || path[dot] != '.') return false;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // libsndfile names one extension per container; the other common spellings are added.
  for (const char* alias : {"wave", "aif", "aiff", "aifc", "oga", "opus"})
    if (extension == alias) return true;
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.extension &&
        extension == info.extension)
      return true;
  }
  return false;
}

std::unique_ptr<AudioFile> AudioFile::OpenForReading(const std::string& path, std::string& error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    error = "cannot read " + path + ": no audio channels";
    return nullptr;
  }
  AudioFileFormat format;
  format.sampleRate = info.samplerate;
  format.channels = info.channels;
  format.frames = info.frames;
  const int container = info.format & SF_FORMAT_TYPEMASK;
  if (container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX) format.headerFrames = WaveHeaderFrames(path);
  format.nativeFormat = info.format;
  format.description = Describe(info.format);
  if (const Encoding* e = FindEncoding(info.format & SF_FORMAT_SUBMASK)) {
    format.kind = e->kind;
    format.bits = e->bits;
  } else {
    format.kind = SampleKind::kOther;
    format.bits = 0;
    sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
  }
  return std::make_unique<SndfileAudioFile>(file, format, false);
}

std::unique_ptr<AudioFile> AudioFile::CreateForWriting(const std::string& path, const AudioFileFormat& format,
                                                      std::string& error) {
  SF_INFO info{};
  info.samplerate = format.sampleRate;
  info.channels = format.channels;
  info.format = format.nativeFormat != 0 ? format.nativeFormat : (SF_FORMAT_WAV | SubtypeFor(format.kind, format.bits));
  if (!sf_format_check(&info)) {
    error = "cannot write " + Describe(info.format) + " files";
    return nullptr;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot create " + path + ": " + sf_strerror(nullptr);
    return nullptr;
  }
  // The peak chunk carries the time of writing, which would make equal renders differ.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  AudioFileFormat written = format;
  written.frames = 0;
  written.nativeFormat = info.format;
  written.description = Describe(info.format);
  if (format.nativeFormat == 0) {
    written.kind = format.kind;
    written.bits = format.kind == SampleKind::kFloat ? (format.bits == 64 ? 64 : 32) : format.bits;
  }
  return std::make_unique<SndfileAudioFile>(file, written, true);
}

}  // namespace tbhost
