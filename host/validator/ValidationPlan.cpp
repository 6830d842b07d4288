#include "host/validator/ValidationPlan.h"

namespace tbvalidate {

ValidationPlan ValidationPlan::For(int strictness) {
  ValidationPlan plan;
  if (strictness >= 10) {
    plan.sampleRates = {8000, 11025, 22050, 44100, 48000, 88200, 96000, 176400, 192000, 384000, 44099.5};
    plan.blockSizes = {1, 17, 64, 256, 512, 1024, 2027, 4096, 8192, 65536, 65536 + 4099};
    plan.randomBlockSizes = 4;
  } else if (strictness >= 7) {
    plan.sampleRates = {8000, 44100, 48000, 96000, 192000, 44099.5};
    plan.blockSizes = {1, 17, 64, 512, 2027, 8192, 65536 + 4099};
    plan.randomBlockSizes = 2;
  } else if (strictness >= 4) {
    plan.sampleRates = {44100, 48000, 96000};
    plan.blockSizes = {1, 64, 512, 4096};
    plan.randomBlockSizes = 1;
  } else {
    plan.sampleRates = {48000};
    plan.blockSizes = {64, 512};
  }
  plan.signals = {Signal::kNoise};
  if (strictness >= 2) plan.signals.push_back(Signal::kSilence);
  if (strictness >= 3) plan.signals.push_back(Signal::kSquare);
  plan.monoInsert = strictness >= 3;
  plan.everyStep = strictness >= 6;
  plan.randomSettings = strictness >= 10 ? 50 : strictness >= 5 ? 10 : strictness >= 2 ? 3 : 0;
  plan.blocksPerSetting = strictness >= 10 ? 5 : 2;
  if (strictness >= 8)
    plan.automationIntervals = {1, 10, 100};
  else if (strictness >= 4)
    plan.automationIntervals = {100};
  plan.stateRoundTrips = strictness >= 10 ? 5 : strictness >= 5 ? 2 : 1;
  plan.everyTruncation = strictness >= 6;
  plan.randomChunks = strictness >= 10 ? 3 : strictness >= 5 ? 1 : 0;
  plan.randomChunkBytes = strictness >= 10 ? 1 << 20 : 1 << 14;
  plan.threads = strictness >= 5;
  plan.threadBlocks = strictness >= 10 ? 1500 : 300;
  plan.switching = strictness >= 4;
  plan.badAudio = strictness >= 2;
  return plan;
}

}  // namespace tbvalidate
