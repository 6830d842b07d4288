#include "IPlug/IPlugProcessor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <immintrin.h>
#include <string_view>

#include "IPlug/Trace.h"

namespace iplug {

IPlugProcessor::IPlugProcessor(const PluginConfig& config)
    : mPlugType(config.mPlugType),
      mReceivesMIDI(config.mReceivesMIDI),
      mSendsMIDI(config.mSendsMIDI),
      mExtraFlag2(config.mExtraFlag2),
      mLatency(config.mLatency) {
  int maxIn = 0, maxOut = 0, maxInBuses = 0, maxOutBuses = 0;
  ParseIOConfigs(config.mChannelIOStr, mIOConfigs, maxIn, maxOut, maxInBuses, maxOutBuses);
  for (Direction dir : {kInput, kOutput}) FindMaxBusCount(dir);

  const int totals[2] = {maxIn, maxOut};
  for (Direction dir : {kInput, kOutput}) {
    const size_t n = static_cast<size_t>(std::max(totals[dir], 0));
    mChannelData[dir].assign(n, nullptr);
    mChannels[dir].reserve(n);
    for (size_t i = 0; i < n; ++i) {
      // Reserved above: the records never move, as the channel-pointer entries point into them.
      ChannelSlot& slot = mChannels[dir].emplace_back();
      slot.mScratch.reserve(kPreallocatedFrames);
      slot.mData = &mChannelData[dir][i];
      *slot.mData = slot.mScratch.data();
      slot.mLabel.SetFormatted(32, "%s %i", dir == kInput ? "input" : "output", static_cast<int>(i) + 1);
    }
  }
}

IPlugProcessor::~IPlugProcessor() {
  for (auto& channels : mChannels)
    while (!channels.empty()) channels.pop_back();  // last to first
}

// ---- default operations ----

void IPlugProcessor::ProcessAudioBlock(double** inputs, double** outputs, int nFrames) {
  if (nFrames <= 0) return;
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames);
  for (int i = 0; i < NChannels(kOutput); ++i) {
    if (i < NChannels(kInput)) {
      if (outputs[i] != inputs[i]) std::memmove(outputs[i], inputs[i], bytes);
    } else {
      std::memset(outputs[i], 0, bytes);
    }
  }
}

bool IPlugProcessor::EmitMidiList(std::span<const MidiMessage> messages) {
  bool all = true;
  for (const MidiMessage& msg : messages) all = EmitMidi(msg) && all;
  return all;
}

void IPlugProcessor::BusDisplayName(Direction dir, int busIdx, int nBuses, TextBuffer& out) const {
  if (dir == kInput) {
    if (nBuses == 1)
      out.Set("Input");
    else if (nBuses == 2)
      out.Set(busIdx == 0 ? "Main" : "Aux");
    else
      out.SetFormatted(32, "Input %i", busIdx);
  } else {
    if (nBuses == 1)
      out.Set("Output");
    else
      out.SetFormatted(32, "Output %i", busIdx);
  }
}

void IPlugProcessor::UpdateLatency(int samples) {
  samples = std::max(samples, 0);
  mLatency = samples;
  if (mBypassDelay && mBypassDelay->SetLength(samples) != samples)
    TRACE_LOG("iplug::IPlugProcessor::UpdateLatency", "bypass delay held to %d of %d samples",
              mBypassDelay->MaxLength(), samples);
}

// ---- channel configurations ----

namespace {

// Splits text at a separator; empty pieces are kept (they read as a count of 0).
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    pieces.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return pieces;
    start = at + 1;
  }
}

// A bus channel count: a decimal number or "*". Anything else, and absurd sizes, read as 0.
int ReadChannelCount(std::string_view text) {
  if (text == "*") return BusSpec::kWildcardChannels;
  size_t i = 0;
  while (i < text.size() && (text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  long value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    digits = true;
    value = value * 10 + (text[i] - '0');
    if (value > IPlugProcessor::kMaxChannelsPerBus) return 0;
  }
  return digits ? static_cast<int>(value) : 0;
}

}  // namespace

int IPlugProcessor::ParseIOConfigs(const char* ioStr, std::vector<ChannelLayout>& configs, int& maxNInputChans,
                                   int& maxNOutputChans, int& maxNInBuses, int& maxNOutBuses) {
  maxNInputChans = maxNOutputChans = maxNInBuses = maxNOutBuses = 0;
  int nConfigs = 0;
  if (!ioStr) return 0;
  for (std::string_view token : Split(ioStr, ' ')) {
    if (token.empty()) continue;  // repeated spaces
    const size_t dash = token.find('-');
    if (dash == std::string_view::npos) {
      TRACE_LOG("iplug::IPlugProcessor::ParseIOConfigs", "skipped \"%.*s\": no '-'", static_cast<int>(token.size()),
                token.data());
      continue;
    }
    const std::string_view sides[2] = {token.substr(0, dash), token.substr(dash + 1)};
    ChannelLayout layout;
    int totals[2] = {0, 0};
    for (Direction dir : {kInput, kOutput}) {
      for (std::string_view count : Split(sides[dir], '.')) {
        const int nChannels = ReadChannelCount(count);
        totals[dir] += nChannels;
        if (nChannels != 0) layout.mBuses[dir].push_back(BusSpec{dir, nChannels});
      }
    }
    maxNInputChans = std::max(maxNInputChans, totals[kInput]);
    maxNOutputChans = std::max(maxNOutputChans, totals[kOutput]);
    maxNInBuses = std::max(maxNInBuses, layout.NBuses(kInput));
    maxNOutBuses = std::max(maxNOutBuses, layout.NBuses(kOutput));
    configs.push_back(std::move(layout));
    ++nConfigs;
  }
  return nConfigs;
}

bool IPlugProcessor::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (const ChannelLayout& config : mIOConfigs) {
    const bool inOK = nIn < 0 || config.TotalChannels(kInput) == nIn;
    const bool outOK = nOut < 0 || config.TotalChannels(kOutput) == nOut;
    if (inOK && outOK) {
      legal = true;
      break;
    }
  }
  TRACE_LOG("iplug::IPlugProcessor::LegalIO", "%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

int IPlugProcessor::FindIOConfig(std::span<const int> inputBuses, std::span<const int> outputBuses) const {
  const std::span<const int> wanted[2] = {inputBuses, outputBuses};
  for (size_t c = 0; c < mIOConfigs.size(); ++c) {
    const ChannelLayout& config = mIOConfigs[c];
    bool match = true;
    for (Direction dir : {kInput, kOutput}) {
      if (config.mBuses[dir].size() != wanted[dir].size()) {
        match = false;
        break;
      }
      for (size_t b = 0; b < wanted[dir].size() && match; ++b)
        match = config.mBuses[dir][b].mNChannels == wanted[dir][b];
    }
    if (match) return static_cast<int>(c);
  }
  return -1;
}

// The configurations never change, and the render paths ask for every block.
void IPlugProcessor::FindMaxBusCount(Direction dir) {
  int maxBuses = 0;
  int idx = 0;
  for (size_t c = 0; c < mIOConfigs.size(); ++c) {
    const int n = mIOConfigs[c].NBuses(dir);
    if (n >= maxBuses) {  // ties go to the later configuration
      maxBuses = n;
      idx = static_cast<int>(c);
    }
  }
  mMaxBuses[dir] = maxBuses;
  mMaxBusConfig[dir] = idx;
}

int IPlugProcessor::MaxChannelsForBus(Direction dir, int busIdx) const {
  if (mIOConfigs.empty()) return 0;
  if (mIOConfigs.front().ContainsWildcard(dir)) return -1;
  if (busIdx < 0 || busIdx >= MaxBusCount(dir)) return 0;
  int maxChannels = 0;
  for (const ChannelLayout& config : mIOConfigs)
    if (busIdx < config.NBuses(dir)) maxChannels = std::max(maxChannels, config.mBuses[dir][static_cast<size_t>(busIdx)].mNChannels);
  return maxChannels;
}

// ---- channels and host buffers ----

int IPlugProcessor::ConnectedChannelCount(Direction dir) const {
  return static_cast<int>(std::count_if(mChannels[dir].begin(), mChannels[dir].end(),
                                        [](const ChannelSlot& slot) { return slot.mConnected; }));
}

bool IPlugProcessor::IsChannelConnected(Direction dir, int chIdx) const {
  return chIdx >= 0 && chIdx < NChannels(dir) && mChannels[dir][static_cast<size_t>(chIdx)].mConnected;
}

void IPlugProcessor::ConnectChannels(Direction dir, int first, int count, bool connected) {
  const int begin = std::max(first, 0);
  const int end = std::min(first + std::max(count, 0), NChannels(dir));
  for (int i = begin; i < end; ++i) {
    ChannelSlot& slot = mChannels[dir][static_cast<size_t>(i)];
    if (!connected) {
      if (slot.mConnected) std::fill(slot.mScratch.begin(), slot.mScratch.end(), 0.0);
      *slot.mData = slot.mScratch.data();
      slot.mHostOutput = nullptr;
    }
    slot.mConnected = connected;
    slot.mFiniteFrames = -1;
  }
}

namespace {
// The bits of a float's exponent field plus its lowest bit: the sum reaches the sign bit only
// for the all-ones exponent of NaN and infinity.
constexpr uint32_t kFloatExponent = 0x7F800000u;
constexpr uint32_t kFloatExponentOne = 0x00800000u;

// Converts n samples and returns true when any is a NaN or an infinity, without a branch, so
// the finiteness check rides on the conversion that reads the host's buffer anyway. Four
// samples per step in SSE2 registers (every x86-64 has them).
bool WidenSamplesSse2(const float* in, double* out, int n) {
  const __m128i exponent = _mm_set1_epi32(static_cast<int>(kFloatExponent));
  const __m128i one = _mm_set1_epi32(static_cast<int>(kFloatExponentOne));
  __m128i carried = _mm_setzero_si128();
  int f = 0;
  for (; f + 4 <= n; f += 4) {
    const __m128 x = _mm_loadu_ps(in + f);
    carried = _mm_or_si128(carried, _mm_add_epi32(_mm_and_si128(_mm_castps_si128(x), exponent), one));
    _mm_storeu_pd(out + f, _mm_cvtps_pd(x));
    _mm_storeu_pd(out + f + 2, _mm_cvtps_pd(_mm_movehl_ps(x, x)));
  }
  uint32_t tail = static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(carried)));
  for (; f < n; ++f) {
    out[f] = in[f];
    tail |= ((std::bit_cast<uint32_t>(in[f]) & kFloatExponent) + kFloatExponentOne) >> 31;
  }
  return tail != 0;
}

// The same eight samples per step where the processor has AVX: the conversion is bound by
// loads and stores, which the wider registers halve. AVX has no eight-lane integer add; a
// float whose exponent field is all ones compares unordered with itself once its mantissa is
// forced non-zero, which finds NaN and infinity alike.
__attribute__((target("avx"))) bool WidenSamplesAvx(const float* in, double* out, int n) {
  const __m256 mantissaBit = _mm256_castsi256_ps(_mm256_set1_epi32(1));
  __m256 unordered = _mm256_setzero_ps();
  int f = 0;
  for (; f + 8 <= n; f += 8) {
    const __m256 x = _mm256_loadu_ps(in + f);
    const __m256 marked = _mm256_or_ps(x, mantissaBit);
    unordered = _mm256_or_ps(unordered, _mm256_cmp_ps(marked, marked, _CMP_UNORD_Q));
    _mm256_storeu_pd(out + f, _mm256_cvtps_pd(_mm256_castps256_ps128(x)));
    _mm256_storeu_pd(out + f + 4, _mm256_cvtps_pd(_mm256_extractf128_ps(x, 1)));
  }
  const bool found = _mm256_movemask_ps(unordered) != 0;
  return (f < n && WidenSamplesSse2(in + f, out + f, n - f)) || found;
}

// Asked once: the processor does not change under a running plug-in.
bool HasAvx() {
  static const bool avx = __builtin_cpu_supports("avx");
  return avx;
}

bool WidenSamples(const float* in, double* out, int n) {
  return HasAvx() ? WidenSamplesAvx(in, out, n) : WidenSamplesSse2(in, out, n);
}

void NarrowSamplesSse2(const double* in, float* out, int n) {
  int f = 0;
  for (; f + 4 <= n; f += 4)
    _mm_storeu_ps(out + f, _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(in + f)), _mm_cvtpd_ps(_mm_loadu_pd(in + f + 2))));
  for (; f < n; ++f) out[f] = static_cast<float>(in[f]);
}

__attribute__((target("avx"))) void NarrowSamplesAvx(const double* in, float* out, int n) {
  int f = 0;
  for (; f + 8 <= n; f += 8) {
    const __m128 low = _mm256_cvtpd_ps(_mm256_loadu_pd(in + f));
    const __m128 high = _mm256_cvtpd_ps(_mm256_loadu_pd(in + f + 4));
    _mm256_storeu_ps(out + f, _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1));
  }
  if (f < n) NarrowSamplesSse2(in + f, out + f, n - f);
}

void NarrowSamples(const double* in, float* out, int n) {
  if (HasAvx())
    NarrowSamplesAvx(in, out, n);
  else
    NarrowSamplesSse2(in, out, n);
}
}  // namespace

void IPlugProcessor::AttachHostBuffers(Direction dir, int first, int count, float* const* hostBuffers, int nFrames) {
  const int n = ClampFrames(nFrames);
  const int begin = std::max(first, 0);
  const int end = std::min(first + std::max(count, 0), NChannels(dir));
  int host = 0;
  for (int i = begin; i < end; ++i) {
    ChannelSlot& slot = mChannels[dir][static_cast<size_t>(i)];
    if (!slot.mConnected) continue;
    float* buffer = hostBuffers ? hostBuffers[host++] : nullptr;
    double* scratch = slot.mScratch.data();
    *slot.mData = scratch;
    if (dir == kInput) {
      bool nonFinite = false;
      if (buffer)
        nonFinite = WidenSamples(buffer, scratch, n);
      else
        std::fill_n(scratch, n, 0.0);  // a connected channel without a buffer is silent
      slot.mFiniteFrames = nonFinite ? -1 : n;
    } else {
      slot.mHostOutput = buffer;
    }
  }
}

void IPlugProcessor::AttachHostBuffers(Direction dir, int first, int count, double* const* hostBuffers) {
  const int begin = std::max(first, 0);
  const int end = std::min(first + std::max(count, 0), NChannels(dir));
  int host = 0;
  for (int i = begin; i < end; ++i) {
    ChannelSlot& slot = mChannels[dir][static_cast<size_t>(i)];
    if (!slot.mConnected) continue;
    double* buffer = hostBuffers ? hostBuffers[host++] : nullptr;
    *slot.mData = buffer ? buffer : slot.mScratch.data();
    slot.mFiniteFrames = -1;
    slot.mHostOutput = nullptr;  // the result is already in the host's buffer
  }
}

void IPlugProcessor::ResizeScratchBuffers(int nFrames) {
  nFrames = std::max(nFrames, 0);
  if (nFrames == mBlockSize) return;
  for (auto& channels : mChannels) {
    for (auto& slot : channels) {
      slot.mScratch.assign(static_cast<size_t>(nFrames), 0.0);
      slot.mFiniteFrames = -1;
      // The old buffer may be gone; every channel is attached again before processing.
      *slot.mData = slot.mScratch.data();
    }
  }
  mBlockSize = nFrames;
}

bool IPlugProcessor::GrowBlockSize(int nFrames) {
  if (nFrames <= mBlockSize) return false;
  ResizeScratchBuffers(nFrames);
  ResetProcessing();
  return true;
}

int IPlugProcessor::ClampOverlongBlock(int nFrames) const {
  TRACE_LOG("iplug::IPlugProcessor", "block of %d frames exceeds the block size %d", nFrames, mBlockSize);
  return mBlockSize;
}

void IPlugProcessor::ConvertOutputs(int nFrames, int nHostFrames) {
  for (auto& slot : mChannels[kOutput]) {
    if (!slot.mConnected || !slot.mHostOutput) continue;
    const double* data = *slot.mData;
    float* out = slot.mHostOutput;
    NarrowSamples(data, out, nFrames);
    for (int f = nFrames; f < nHostFrames; ++f) out[f] = 0.0f;
  }
}

void IPlugProcessor::ProcessHostBuffers(int nFrames) {
  const int n = ClampFrames(nFrames);
  const bool nonFinite = SanitizeInputs(n);
  ProcessAudioBlock(mChannelData[kInput].data(), mChannelData[kOutput].data(), n);
  FeedBypassDelay(n);
  ConvertOutputs(n, nFrames);
  if (nonFinite) ClearProcessing();
}

void IPlugProcessor::PassThroughHostBuffers(int nFrames) {
  const int n = ClampFrames(nFrames);
  SanitizeInputs(n);
  double* const* inputs = mChannelData[kInput].data();
  double* const* outputs = mChannelData[kOutput].data();
  if (mLatency > 0 && mBypassDelay && mBypassDelay->Length() > 0) {
    mBypassDelay->Process(inputs, outputs, n);
  } else if (n > 0) {
    const size_t bytes = sizeof(double) * static_cast<size_t>(n);
    for (int i = 0; i < NChannels(kOutput); ++i) {
      if (i < NChannels(kInput)) {
        if (outputs[i] != inputs[i]) std::memmove(outputs[i], inputs[i], bytes);
      } else {
        std::memset(outputs[i], 0, bytes);
      }
    }
  }
  ConvertOutputs(n, nFrames);
}

void IPlugProcessor::RenderHostBuffers(int nFrames, bool bypassed) {
  if (bypassed != mBypassed) StartBypassFade(bypassed);
  if (!mProcessingGain.Moving()) {
    if (bypassed)
      PassThroughHostBuffers(nFrames);
    else
      ProcessHostBuffers(nFrames);
    return;
  }
  const int n = ClampFrames(nFrames);
  const bool nonFinite = SanitizeInputs(n);
  OwnInputs(n);  // the bypass signal is made in the input buffers
  ProcessAudioBlock(mChannelData[kInput].data(), mChannelData[kOutput].data(), n);
  CrossfadeWithBypass(n);
  ConvertOutputs(n, nFrames);
  if (nonFinite) ClearProcessing();
}

void IPlugProcessor::StartBypassFade(bool bypassed) {
  mBypassed = bypassed;
  mProcessingGain.SetLength(static_cast<int>(GetSampleRate() * kBypassFadeMs / 1000.0 + 0.5));
  // Back from the bypass, what the processing delays is still audio from before it: the
  // fade waits until that has passed.
  mProcessingGain.MoveTo(!bypassed, bypassed ? 0 : 2 * mLatency.Load());
}

// The bypass signal (the inputs, delayed by the latency) replaces the inputs in place, then
// each output moves between it and the processed signal.
void IPlugProcessor::CrossfadeWithBypass(int nFrames) {
  double* const* inputs = mChannelData[kInput].data();
  double* const* outputs = mChannelData[kOutput].data();
  const int nIn = NChannels(kInput);
  if (mLatency > 0 && mBypassDelay && mBypassDelay->Length() > 0) mBypassDelay->Process(inputs, inputs, nFrames);
  const FadeRamp start = mProcessingGain;
  for (int c = 0; c < NChannels(kOutput); ++c) {
    mProcessingGain = start;
    const double* bypass = c < nIn ? inputs[c] : nullptr;
    double* out = outputs[c];
    for (int f = 0; f < nFrames; ++f) {
      const double y = bypass ? bypass[f] : 0.0;
      out[f] = y + mProcessingGain.Next() * (out[f] - y);
    }
  }
  if (NChannels(kOutput) == 0)
    for (int f = 0; f < nFrames; ++f) mProcessingGain.Next();
}

void IPlugProcessor::FeedBypassDelay(int nFrames) {
  if (mLatency > 0 && mBypassDelay && mBypassDelay->Length() > 0) mBypassDelay->Feed(mChannelData[kInput].data(), nFrames);
}

void IPlugProcessor::OwnInputs(int nFrames) {
  for (auto& slot : mChannels[kInput]) {
    double* scratch = slot.mScratch.data();
    if (*slot.mData != scratch) {
      std::copy_n(*slot.mData, nFrames, scratch);
      *slot.mData = scratch;
    }
  }
}

namespace {
// True when any of the samples is a NaN or an infinity: all exponent bits set, which is the one
// exponent that carries into the sign bit when its lowest bit is added. Eight samples at a time
// in vector registers (the compiler's vector extension: two lanes per register on every x86-64),
// in four independent accumulators held in registers, without a branch.
bool AnyNonFinite(const double* x, int n) {
  using Lanes = uint64_t __attribute__((vector_size(16)));
  constexpr uint64_t kExponent = 0x7FF0000000000000ull;
  constexpr uint64_t kExponentOne = 0x0010000000000000ull;
  const Lanes exponent = {kExponent, kExponent};
  const Lanes one = {kExponentOne, kExponentOne};
  const auto carry = [&](int at) {
    Lanes bits;
    std::memcpy(&bits, x + at, sizeof bits);
    return (bits & exponent) + one;
  };
  Lanes c0 = {}, c1 = {}, c2 = {}, c3 = {};
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    c0 |= carry(i);
    c1 |= carry(i + 2);
    c2 |= carry(i + 4);
    c3 |= carry(i + 6);
  }
  const Lanes all = c0 | c1 | c2 | c3;
  uint64_t tail = all[0] | all[1];
  for (; i < n; ++i) tail |= (std::bit_cast<uint64_t>(x[i]) & kExponent) + kExponentOne;
  return (tail >> 63) != 0;
}
}  // namespace

// Only what the host gave is read: channels converted from its floats in this block were
// checked on the way, and a disconnected channel shows our own scratch (silence, or the bypass
// signal made from inputs already cleaned).
bool IPlugProcessor::SanitizeInputs(int nFrames) {
  bool any = false;
  for (auto& slot : mChannels[kInput]) {
    if (slot.mConnected && slot.mFiniteFrames < nFrames) any = AnyNonFinite(*slot.mData, nFrames) || any;
    slot.mFiniteFrames = -1;  // the next block checks again
  }
  if (!any) return false;
  // Rare: the host's buffers are left as they are, the processing reads cleaned copies.
  OwnInputs(nFrames);
  for (double* data : mChannelData[kInput])
    for (int f = 0; f < nFrames; ++f)
      if (!std::isfinite(data[f])) data[f] = 0.0;
  return true;
}

void IPlugProcessor::CreateBypassDelayLine(int maxLatency) {
  mBypassDelay = std::make_unique<BypassDelayLine>(NChannels(kInput), NChannels(kOutput), std::max(maxLatency, mLatency.Load()));
  mBypassDelay->SetLength(mLatency);
}

double IPlugProcessor::BeatLengthInSamples() const {
  const double tempo = GetTempo();
  return tempo > 0.0 ? GetSampleRate() * 60.0 / tempo : 0.0;
}

}  // namespace iplug
