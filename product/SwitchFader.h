#pragma once
#include <cstdint>

#include "IPlug/FadeRamp.h"
#include "product/ChainSettings.h"

// Switching "Bypass" or "Oversample" while audio plays, without a step in the output.
//
// "Bypass" crossfades between the processed signal and the plain input over kFadeMs: the chain
// keeps its switched-in path until the input stands alone, then runs switched out as before.
//
// "Oversample" changes the chain's path and its delay, and the two paths cannot run side by
// side (they share the chain's state), so the output fades to silence on the old path, the
// chain switches, waits in silence while what its new path delays is still audio from before
// the switch (twice the new latency), and fades in on the new path. Switched out, the output
// is the plain input whatever the path, and the switch is immediate.
//
// The fader hands the chain its settings one segment at a time: a block is split where the
// path changes. Audio thread; allocates nothing, takes no lock.
class SwitchFader {
public:
  static constexpr double kFadeMs = 10.0;

  struct Segment {
    ChainSettings settings;  // what the chain runs with
    int frames;              // how many frames, at least 1 when any are left
  };

  // No fade: the settings apply from the next sample (a reset). Until the next frame is
  // played, changes apply at once too.
  void Snap(const ChainSettings& wanted);

  // The chain's settings for at most `maxFrames` of the next frames, given what the
  // parameters ask for.
  Segment Next(const ChainSettings& wanted, int maxFrames, double fs);

  // After the chain has processed a segment: fades its outputs (left, right) against the plain
  // main inputs (left, right).
  void Apply(const double* const* inputs, double* const* outputs, int frames);

  // The settings whose latency the host is told: the path in use, switched in or out as asked.
  ChainSettings Reported(const ChainSettings& wanted) const;

  // Whether a switch is still under way.
  bool Fading() const { return mWet.Moving() || mLevel.Moving() || mSwitchPending; }

private:
  void TakePath(const ChainSettings& wanted);

  iplug::FadeRamp mWet;    // weight of the switched-in chain against the plain input
  iplug::FadeRamp mLevel;  // level of the chain's output while its path changes
  int32_t mOversampleCount = 0;
  int32_t mOversampleLatency = 0;
  bool mSwitchPending = false;
  bool mPlainBypass = false;  // "Bypass" holds a value other than 0 and 1: no fading
  bool mSounded = false;      // a frame has been played since the last Snap
};
