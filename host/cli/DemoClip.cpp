#include "host/cli/DemoClip.h"

#include <algorithm>
#include <cmath>

namespace tbhost {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;  // seconds, 120 beats per minute

// xorshift64*: a small generator whose sequence is fixed by its seed on every platform.
class Noise {
public:
  explicit Noise(uint64_t seed) : mState(seed) {}
  double Next() {
    mState ^= mState >> 12;
    mState ^= mState << 25;
    mState ^= mState >> 27;
    const uint64_t r = mState * 2685821657736338717ull;
    return static_cast<double>(r >> 11) * (2.0 / 9007199254740992.0) - 1.0;  // [-1, 1)
  }

private:
  uint64_t mState;
};

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Constant-power position: -1 left .. +1 right.
struct Pan {
  explicit Pan(double position)
  : left(std::cos((position + 1.0) * kPi / 4.0)), right(std::sin((position + 1.0) * kPi / 4.0)) {}
  double left;
  double right;
};

class Mixer {
public:
  Mixer(int sampleRate, double seconds)
  : mRate(sampleRate), mLeft(static_cast<size_t>(sampleRate * seconds)), mRight(mLeft.size()) {}

  int Rate() const { return mRate; }
  int64_t Frames() const { return static_cast<int64_t>(mLeft.size()); }
  int64_t FrameAt(double t) const { return static_cast<int64_t>(std::llround(t * mRate)); }

  void Add(int64_t frame, double value, const Pan& pan) {
    if (frame < 0 || frame >= Frames()) return;
    mLeft[static_cast<size_t>(frame)] += value * pan.left;
    mRight[static_cast<size_t>(frame)] += value * pan.right;
  }

  std::vector<float> Interleaved(double peakDb) const {
    double peak = 1e-9;
    for (size_t i = 0; i < mLeft.size(); ++i) peak = std::max({peak, std::fabs(mLeft[i]), std::fabs(mRight[i])});
    const double scale = std::pow(10.0, peakDb / 20.0) / peak;
    std::vector<float> out(mLeft.size() * 2);
    for (size_t i = 0; i < mLeft.size(); ++i) {
      out[2 * i] = static_cast<float>(mLeft[i] * scale);
      out[2 * i + 1] = static_cast<float>(mRight[i] * scale);
    }
    return out;
  }

private:
  int mRate;
  std::vector<double> mLeft;
  std::vector<double> mRight;
};

void Kick(Mixer& m, Noise& noise, double t, double gain) {
  const int64_t start = m.FrameAt(t);
  const Pan center(0.0);
  double phase = 0.0;
  for (int64_t i = 0; i < m.Rate() * 6 / 10; ++i) {
    const double s = static_cast<double>(i) / m.Rate();
    const double hz = 48.0 + 110.0 * std::exp(-s / 0.035);
    phase += 2.0 * kPi * hz / m.Rate();
    const double body = std::sin(phase) * std::exp(-s / 0.16);
    const double click = s < 0.003 ? noise.Next() * (1.0 - s / 0.003) * 0.5 : 0.0;
    m.Add(start + i, gain * (body + click), center);
  }
}

void Snare(Mixer& m, Noise& noise, double t, double gain) {
  const int64_t start = m.FrameAt(t);
  const Pan pan(0.1);
  double previous = 0.0;
  for (int64_t i = 0; i < m.Rate() * 4 / 10; ++i) {
    const double s = static_cast<double>(i) / m.Rate();
    const double white = noise.Next();
    const double bright = white - 0.85 * previous;  // tilts the noise towards the top end
    previous = white;
    const double tone = std::sin(2.0 * kPi * 185.0 * s) * std::exp(-s / 0.045);
    const double rattle = bright * std::exp(-s / 0.11) * 0.8;
    m.Add(start + i, gain * (tone + rattle), pan);
  }
}

void HiHat(Mixer& m, Noise& noise, double t, double gain, double decay) {
  const int64_t start = m.FrameAt(t);
  const Pan pan(0.45);
  double previous = 0.0;
  for (int64_t i = 0; i < static_cast<int64_t>(m.Rate() * decay * 6.0); ++i) {
    const double s = static_cast<double>(i) / m.Rate();
    const double white = noise.Next();
    const double hiss = white - previous;  // a first difference keeps only the highs
    previous = white;
    m.Add(start + i, gain * hiss * std::exp(-s / decay), pan);
  }
}

// A band-limited saw (up to `harmonics` partials) under an attack-release envelope. Each
// partial is a rotating phasor, which is far cheaper than a sine per partial and sample.
void Tone(Mixer& m, double t, double length, int midi, double gain, double pan, int harmonics, double attack,
          double detune) {
  constexpr int kMaxHarmonics = 8;
  const int64_t start = m.FrameAt(t);
  const Pan position(pan);
  const double hz = NoteHz(midi) * detune;
  const int64_t frames = static_cast<int64_t>((length + 0.25) * m.Rate());
  double re[kMaxHarmonics], im[kMaxHarmonics], stepRe[kMaxHarmonics], stepIm[kMaxHarmonics];
  int partials = 0;
  for (int h = 1; h <= std::min(harmonics, kMaxHarmonics) && hz * h < m.Rate() * 0.45; ++h, ++partials) {
    const double w = 2.0 * kPi * hz * h / m.Rate();
    re[partials] = 1.0;
    im[partials] = 0.0;
    stepRe[partials] = std::cos(w);
    stepIm[partials] = std::sin(w);
  }
  for (int64_t i = 0; i < frames; ++i) {
    const double s = static_cast<double>(i) / m.Rate();
    double v = 0.0;
    for (int p = 0; p < partials; ++p) {
      v += im[p] / (p + 1);
      const double r = re[p] * stepRe[p] - im[p] * stepIm[p];
      im[p] = re[p] * stepIm[p] + im[p] * stepRe[p];
      re[p] = r;
    }
    const double env = std::min(1.0, s / attack) * (s < length ? 1.0 : std::exp(-(s - length) / 0.06));
    m.Add(start + i, gain * v * env, position);
  }
}

// Bar layout: chord roots and triads of Am - F - C - G - Am.
constexpr int kBass[5] = {45, 41, 48, 43, 45};
constexpr int kChords[5][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}, {57, 60, 64}};
// Loudness of the chords, bass, kick, snare and hats in each bar: quiet intro, building bar,
// two loud bars, breakdown.
constexpr double kChordGain[5] = {0.05, 0.08, 0.16, 0.18, 0.035};
constexpr double kBassGain[5] = {0.0, 0.22, 0.42, 0.45, 0.0};
constexpr double kKickGain[5] = {0.0, 0.45, 0.95, 1.0, 0.0};
constexpr double kSnareGain[5] = {0.0, 0.0, 0.85, 0.9, 0.0};
constexpr double kHatGain[5] = {0.04, 0.07, 0.16, 0.18, 0.03};

void Bar(Mixer& m, Noise& noise, int bar) {
  const double t0 = bar * 4 * kBeat;
  for (int v = 0; v < 3; ++v) {
    const double pan = (v - 1) * 0.6;
    Tone(m, t0, 4 * kBeat - 0.05, kChords[bar][v], kChordGain[bar], pan, 6, 0.04, 1.0);
    Tone(m, t0, 4 * kBeat - 0.05, kChords[bar][v], kChordGain[bar] * 0.6, -pan, 6, 0.06, 1.004);
  }
  for (int beat = 0; beat < 4; ++beat) {
    const double t = t0 + beat * kBeat;
    if (kBassGain[bar] > 0.0) {
      Tone(m, t, kBeat * 0.45, kBass[bar], kBassGain[bar], 0.0, 8, 0.005, 1.0);
      Tone(m, t + kBeat * 0.5, kBeat * 0.3, kBass[bar] + 12, kBassGain[bar] * 0.7, 0.0, 8, 0.005, 1.0);
    }
    if (kKickGain[bar] > 0.0 && (beat % 2 == 0 || bar >= 2)) Kick(m, noise, t, kKickGain[bar]);
    if (kSnareGain[bar] > 0.0 && beat % 2 == 1) Snare(m, noise, t, kSnareGain[bar]);
    const int hatsPerBeat = bar >= 2 ? 4 : 2;
    for (int h = 0; h < hatsPerBeat; ++h) {
      const double accent = h == 0 ? 1.0 : 0.6;
      HiHat(m, noise, t + h * kBeat / hatsPerBeat, kHatGain[bar] * accent, 0.025);
    }
  }
  if (bar == 3) {
    // A snare fill into the breakdown: the hardest transients of the clip.
    for (int i = 0; i < 4; ++i) Snare(m, noise, t0 + 3 * kBeat + i * kBeat / 4, 0.7 + 0.15 * i);
  }
}

}  // namespace

std::vector<float> DemoClip::Synthesise(int sampleRate) {
  Mixer mix(sampleRate, kSeconds);
  Noise noise(0x70113B400CULL);
  for (int bar = 0; bar < 5; ++bar) Bar(mix, noise, bar);
  // The final hit in the breakdown: kick, snare and an open hat together, loud against the quiet bar.
  const double hit = 4 * 4 * kBeat + 2 * kBeat;
  Kick(mix, noise, hit, 1.0);
  Snare(mix, noise, hit, 1.0);
  HiHat(mix, noise, hit, 0.3, 0.25);
  Tone(mix, hit, kBeat * 1.2, kBass[4], 0.5, 0.0, 8, 0.005, 1.0);
  return mix.Interleaved(-1.0);
}

}  // namespace tbhost
