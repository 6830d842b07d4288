#pragma once
#include <vector>

#include "host/validator/TestSignals.h"

namespace tbvalidate {

// How much the validator does at a strictness from 1 to 10. Higher levels add sample rates,
// block sizes, signals, settings and the checks that take long; 10 is everything.
struct ValidationPlan {
  std::vector<double> sampleRates;
  std::vector<int> blockSizes;     // played in this order on a fresh instance, after a first long block
  int firstBlock = 8192;           // the first block an instance sees: longer than any before
  int randomBlockSizes = 0;        // further sizes drawn from 1 .. 8192
  std::vector<Signal> signals;
  bool monoInsert = false;         // the mono component too, with its key
  bool everyStep = false;          // every step of every parameter; otherwise min and max
  int randomSettings = 0;          // settings of every parameter at random ...
  int blocksPerSetting = 0;        // ... each played for this many blocks
  std::vector<int> automationIntervals;  // samples between automation changes
  int stateRoundTrips = 1;
  bool everyTruncation = false;    // every truncation of a valid state; otherwise a few
  int randomChunks = 0;            // chunks of random bytes ...
  int randomChunkBytes = 0;        // ... this long
  bool threads = false;
  int threadBlocks = 0;            // blocks the audio thread renders while the others work
  bool switching = false;
  bool badAudio = false;

  static ValidationPlan For(int strictness);
};

}  // namespace tbvalidate
