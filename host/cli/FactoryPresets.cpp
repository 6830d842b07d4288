#include "host/cli/FactoryPresets.h"

namespace tbhost {

// Chosen by ear and checked on the demo clip (drums, bass and chords, -21 dBFS RMS with
// passages from -35 to -17 dBFS): the gain reduction each gives there is in the README.
// Each keeps its output at or below -0.3 dBTP on the demo clip and on a loud finished mix
// (LoudMix), as a stereo and as a mono insert (`presets` shows the figures; a test holds them).
// The make-up gains leave room for what the two sections cannot catch: the limiter's 5 ms
// attack lets the first part of a sharp hit through, and on a mono insert both detectors read
// the silent right input beside the signal, so the compressor hears it 6 dB down and the limiter
// does not hear the negative half-waves at all.
const std::vector<FactoryPreset>& FactoryPresets::Table() {
  static const std::vector<FactoryPreset> table = {
      {"Gentle Bus Glue", "gentle-bus-glue.fxp",
       "a mix bus held together: 1 to 3 dB on loud passages, slow automatic recovery, no bass pumping",
       {"Compressor Threshold=2dB", "Ratio=2:1", "Compressor Recovery Time=Auto-1", "High Pass Filter=80Hz",
        "Gain=1dB"}},
      {"Drum Bus", "drum-bus.fxp",
       "drums pulled together with fast recovery; the limiter takes the tops off the hits",
       {"Compressor Threshold=-2dB", "Ratio=4:1", "Compressor Recovery Time=100ms", "High Pass Filter=50Hz",
        "Limit Level=12.5dB", "Level Recovery Time=50ms", "Gain=2dB"}},
      {"Parallel Drum Smash", "parallel-drum-smash.fxp",
       "heavy compression mixed half and half with the dry drums: density without losing the hits",
       {"Compressor Threshold=-10dB", "Ratio=6:1", "Compressor Recovery Time=100ms", "Limit Level=10dB",
        "Level Recovery Time=50ms", "Mix=50/50", "Gain=12dB"}},
      {"Vocal Leveller", "vocal-leveller.fxp",
       "a lead vocal evened out: the detector ignores plosives and listens to the presence range",
       {"Compressor Threshold=0dB", "Ratio=3:1", "Compressor Recovery Time=Auto-2", "High Pass Filter=160Hz",
        "Mid=3dB", "Limit Level=12dB", "Level Recovery Time=100ms", "Gain=3dB"}},
      {"Loud Master", "loud-master.fxp",
       "a finished mix made louder: gentle compression, then the limiter with 10 dB of gain behind it, oversampled",
       // The limiter's threshold is 1 dB lower (8.5dB) and it recovers in 200 ms rather than 100:
       // at 100 ms its envelope fell so far between the half-waves of the bass that the next
       // peak came through above full scale. The 10 dB of gain stay.
       {"Compressor Threshold=4dB", "Ratio=1.5:1", "Compressor Recovery Time=Auto-1", "High Pass Filter=50Hz",
        "Limit Level=8.5dB", "Level Recovery Time=200ms", "Gain=10dB", "Oversample=Oversampling On"}},
  };
  return table;
}

const FactoryPreset* FactoryPresets::ForFile(const std::string& fileName) {
  for (const FactoryPreset& preset : Table())
    if (preset.fileName == fileName) return &preset;
  return nullptr;
}

}  // namespace tbhost
