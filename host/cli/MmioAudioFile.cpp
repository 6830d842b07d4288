#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "host/cli/AudioFile.h"
#include "host/cli/RiffWaveParser.h"
#include "host/cli/Utf8Path.h"
#include "host/cli/WaveFormat.h"
#include "host/cli/WaveSampleCodec.h"

namespace tbhost {
namespace {

constexpr FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
constexpr FOURCC kFact = mmioFOURCC('f', 'a', 'c', 't');

// The multimedia file functions count in signed 32-bit offsets.
constexpr int64_t kMaxFileBytes = 0x7FFFFFFF;
constexpr int64_t kChunkBytes = 1 << 16;

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out;
  if (n && text) {
    const int len = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(len));
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), out.data(), len, nullptr, nullptr);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
      out.pop_back();
  }
  if (text) LocalFree(text);
  return out.empty() ? "system error " + std::to_string(code) : out;
}

// The file is opened with the wide-character API, so any path works, and handed to the
// multimedia I/O functions as an open handle (they would otherwise take "+" in a name for a
// compound-file element).
HMMIO OpenOnHandle(HANDLE file, DWORD flags) {
  MMIOINFO info{};
  info.fccIOProc = FOURCC_DOS;
  info.adwInfo[0] = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(file));
  return mmioOpenW(nullptr, &info, flags | MMIO_ALLOCBUF);
}

class MmioAudioFile final : public AudioFile {
public:
  MmioAudioFile(HANDLE file, HMMIO mmio, const WaveFormat& wave, const AudioFileFormat& format, bool writing)
  : mHandle(file), mMmio(mmio), mWave(wave), mCodec(wave), mFormat(format), mWriting(writing) {}

  ~MmioAudioFile() override { Release(); }

  static std::unique_ptr<AudioFile> Open(const std::string& path, std::string& error);
  static std::unique_ptr<AudioFile> Create(const std::string& path, const AudioFileFormat& format,
                                           std::string& error);

  const AudioFileFormat& Format() const override { return mFormat; }

  int64_t ReadFrames(float* interleaved, int64_t frames) override {
    const int64_t frameBytes = mWave.mBlockAlign;
    int64_t done = 0;
    while (done < frames && mFramesLeft > 0) {
      const int64_t n = std::min({frames - done, mFramesLeft, kChunkBytes / frameBytes + 1});
      mBytes.resize(static_cast<size_t>(n * frameBytes));
      const LONG got = mmioRead(mMmio, reinterpret_cast<HPSTR>(mBytes.data()), static_cast<LONG>(n * frameBytes));
      if (got < 0) {
        mError = "read error";
        return -1;
      }
      const int64_t whole = got / frameBytes;
      mCodec.Decode(mBytes.data(), whole * mWave.mChannels, interleaved + done * mWave.mChannels);
      done += whole;
      mFramesLeft -= whole;
      if (whole < n) mFramesLeft = 0;  // the file ends before its data chunk says
    }
    return done;
  }

  bool WriteFrames(const float* interleaved, int64_t frames) override {
    const int64_t bytes = frames * mWave.mBlockAlign;
    if (mDataBytes + bytes > kMaxFileBytes - 1024) {
      mError = "the output would exceed the 2 GiB that a WAVE file can hold here";
      return false;
    }
    mBytes.resize(static_cast<size_t>(bytes));
    mClipped += mCodec.Encode(interleaved, frames * mWave.mChannels, mBytes.data());
    if (mmioWrite(mMmio, reinterpret_cast<const char*>(mBytes.data()), static_cast<LONG>(bytes)) != bytes) {
      mError = "write error (disk full?)";
      return false;
    }
    mDataBytes += bytes;
    mFrames += frames;
    return true;
  }

  bool Close() override {
    if (!mMmio) return true;
    bool ok = true;
    if (mWriting) ok = FinishHeader();
    if (mmioClose(mMmio, MMIO_FHOPEN) != MMSYSERR_NOERROR) ok = false;
    mMmio = nullptr;
    if (!CloseHandle(mHandle)) ok = false;
    mHandle = INVALID_HANDLE_VALUE;
    if (!ok && mError.empty()) mError = "cannot complete the file";
    return ok;
  }

  const std::string& LastError() const override { return mError; }
  int64_t ClippedSamples() const override { return mClipped; }

  MMCKINFO mRiff{};
  MMCKINFO mData{};
  LONG mFactOffset = -1;
  int64_t mFramesLeft = 0;

private:
  bool FinishHeader() {
    if (mmioAscend(mMmio, &mData, 0) != MMSYSERR_NOERROR) return false;
    if (mFactOffset >= 0) {
      // Back to the end by its position: seeking from the end would use the size the file had
      // when it was opened.
      const LONG end = mmioSeek(mMmio, 0, SEEK_CUR);
      const DWORD frames = static_cast<DWORD>(mFrames);
      if (end < 0 || mmioSeek(mMmio, mFactOffset, SEEK_SET) != mFactOffset) return false;
      if (mmioWrite(mMmio, reinterpret_cast<const char*>(&frames), 4) != 4) return false;
      if (mmioSeek(mMmio, end, SEEK_SET) != end) return false;
    }
    return mmioAscend(mMmio, &mRiff, 0) == MMSYSERR_NOERROR && mmioFlush(mMmio, 0) == MMSYSERR_NOERROR;
  }

  void Release() {
    if (mMmio) mmioClose(mMmio, MMIO_FHOPEN);
    if (mHandle != INVALID_HANDLE_VALUE) CloseHandle(mHandle);
    mMmio = nullptr;
    mHandle = INVALID_HANDLE_VALUE;
  }

  HANDLE mHandle;
  HMMIO mMmio;
  WaveFormat mWave;
  WaveSampleCodec mCodec;
  AudioFileFormat mFormat;
  bool mWriting;
  std::vector<uint8_t> mBytes;
  std::string mError;
  int64_t mClipped = 0;
  int64_t mDataBytes = 0;
  int64_t mFrames = 0;
};

std::unique_ptr<AudioFile> MmioAudioFile::Open(const std::string& path, std::string& error) {
  const std::wstring wide = PathFromUtf8(path).wstring();
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot read " + path + ": " + SystemMessage(GetLastError());
    return nullptr;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart > kMaxFileBytes) {
    CloseHandle(file);
    error = "cannot read " + path + ": WAVE files over 2 GiB are not supported on Windows";
    return nullptr;
  }
  HMMIO mmio = OpenOnHandle(file, MMIO_READ);
  if (!mmio) {
    CloseHandle(file);
    error = "cannot read " + path;
    return nullptr;
  }
  auto fail = [&](const std::string& why) -> std::unique_ptr<AudioFile> {
    mmioClose(mmio, MMIO_FHOPEN);
    CloseHandle(file);
    error = "cannot read " + path + ": " + why;
    return nullptr;
  };

  // The header is parsed by the portable parser over the multimedia file functions.
  const RiffWaveParser::ReadAt readAt = [mmio](int64_t offset, void* to, int64_t bytes) -> int64_t {
    if (offset < 0 || offset > kMaxFileBytes || bytes <= 0 || bytes > kMaxFileBytes) return 0;
    if (mmioSeek(mmio, static_cast<LONG>(offset), SEEK_SET) != static_cast<LONG>(offset)) return -1;
    return mmioRead(mmio, static_cast<HPSTR>(to), static_cast<LONG>(bytes));
  };
  RiffWaveLayout layout;
  std::string why;
  if (!RiffWaveParser::Parse(readAt, size.QuadPart, layout, why)) return fail(why);
  if (mmioSeek(mmio, static_cast<LONG>(layout.dataOffset), SEEK_SET) != static_cast<LONG>(layout.dataOffset))
    return fail("no data chunk");
  const WaveFormat& wave = layout.format;
  AudioFileFormat format = wave.ToAudioFormat();
  format.frames = layout.frames;
  format.headerFrames = layout.headerFrames;
  auto out = std::make_unique<MmioAudioFile>(file, mmio, wave, format, false);
  out->mFramesLeft = format.frames;
  return out;
}

std::unique_ptr<AudioFile> MmioAudioFile::Create(const std::string& path, const AudioFileFormat& format,
                                                 std::string& error) {
  WaveFormat wave;
  std::string why;
  if (!WaveFormat::FromAudioFormat(format, wave, why)) {
    error = why;
    return nullptr;
  }
  const std::wstring wide = PathFromUtf8(path).wstring();
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "cannot create " + path + ": " + SystemMessage(GetLastError());
    return nullptr;
  }
  HMMIO mmio = OpenOnHandle(file, MMIO_READWRITE);
  if (!mmio) {
    CloseHandle(file);
    error = "cannot create " + path;
    return nullptr;
  }
  auto written = format;
  written.frames = 0;
  const AudioFileFormat described = wave.ToAudioFormat();
  written.nativeFormat = described.nativeFormat;
  written.containerBits = described.containerBits;
  written.description = described.description;
  auto out = std::make_unique<MmioAudioFile>(file, mmio, wave, written, true);

  const std::vector<uint8_t> fmtBytes = wave.Serialise();
  out->mRiff.fccType = kWave;
  MMCKINFO fmt{};
  fmt.ckid = kFmt;
  bool ok = mmioCreateChunk(mmio, &out->mRiff, MMIO_CREATERIFF) == MMSYSERR_NOERROR &&
            mmioCreateChunk(mmio, &fmt, 0) == MMSYSERR_NOERROR &&
            mmioWrite(mmio, reinterpret_cast<const char*>(fmtBytes.data()), static_cast<LONG>(fmtBytes.size())) ==
                static_cast<LONG>(fmtBytes.size()) &&
            mmioAscend(mmio, &fmt, 0) == MMSYSERR_NOERROR;
  if (ok && wave.mFormatTag != WaveFormat::kTagPcm) {
    // Every encoding other than plain PCM carries the frame count in a fact chunk.
    MMCKINFO fact{};
    fact.ckid = kFact;
    const DWORD zero = 0;
    ok = mmioCreateChunk(mmio, &fact, 0) == MMSYSERR_NOERROR &&
         mmioWrite(mmio, reinterpret_cast<const char*>(&zero), 4) == 4 && mmioAscend(mmio, &fact, 0) == MMSYSERR_NOERROR;
    out->mFactOffset = static_cast<LONG>(fact.dwDataOffset);
  }
  out->mData.ckid = kData;
  ok = ok && mmioCreateChunk(mmio, &out->mData, 0) == MMSYSERR_NOERROR;
  if (!ok) {
    error = "cannot write the header of " + path;
    return nullptr;
  }
  return out;
}

}  // namespace

bool AudioFile::IsSoundFileName(const std::string& path) {
  std::string extension = PathToUtf8(PathFromUtf8(path).extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".wav" || extension == ".wave";
}

std::unique_ptr<AudioFile> AudioFile::OpenForReading(const std::string& path, std::string& error) {
  return MmioAudioFile::Open(path, error);
}

std::unique_ptr<AudioFile> AudioFile::CreateForWriting(const std::string& path, const AudioFileFormat& format,
                                                      std::string& error) {
  return MmioAudioFile::Create(path, format, error);
}

}  // namespace tbhost
