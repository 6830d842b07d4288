#include "IPlug/HostId.h"

#include <cctype>
#include <string>

namespace iplug {

namespace {

constexpr int kLastHost = kHostMixbus;

const char* const kHostTexts[kLastHost + 1] = {
    "",                    // unknown
    "reaper",              "protools",     "cubase",     "nuendo",         "cakewalk",
    "vegas",               "fruity",       "samplitude", "live",           "tracktion",
    "ntracks",             "melodyne",     "vstmanlib",  "aulab",          "forte",
    "chainer",             "audition",     "orion",      "bias",           "sawstudio",
    "logic",               "garageband",   "digital",    "standalone",     "audiomulch",
    "presonus",            "vst3plugintesthost",         "ardour",         "renoise",
    "openmpt",             "wavelab",      "wavelab elements",             "twistedwave",
    "bitwig studio",       "www",          "reason",     "gwvst",          "waveform",
    "audacity",            "acoustica",    "plugindoctor",                 "izotope rx",
    "savihost",            "blue cat's vst host",        "mixbus",
};

// Generic texts come late so that a name containing both a product and "standalone" or
// "www" is recognised as the product.
constexpr HostId kSearchOrder[] = {
    kHostReaper,       kHostProTools,  kHostCubase,       kHostNuendo,          kHostSonar,
    kHostVegas,        kHostFL,        kHostSamplitude,   kHostAbletonLive,     kHostTracktion,
    kHostNTracks,      kHostMelodyneStudio, kHostVSTScanner, kHostAULab,        kHostForte,
    kHostChainer,      kHostAudition,  kHostOrion,        kHostBias,            kHostSAWStudio,
    kHostLogic,        kHostGarageBand, kHostDigitalPerformer,
    kHostAudioMulch,   kHostStudioOne, kHostVST3TestHost, kHostArdour,          kHostRenoise,
    kHostOpenMPT,
    kHostWaveLabElements, kHostWaveLab,
    kHostTwistedWave,  kHostBitwig,
    kHostReason,       kHostGoldWave5x, kHostWaveform,    kHostAudacity,        kHostAcoustica,
    kHostPluginDoctor, kHostIZotopeRX, kHostSAVIHost,     kHostBlueCat,         kHostMixbus,
    kHostStandalone,   kHostWWW,
};

static_assert(sizeof kSearchOrder / sizeof kSearchOrder[0] == kLastHost, "every host is searched once");

}  // namespace

const char* HostIdText(HostId host) {
  return (host >= kHostUnknown && host <= kLastHost) ? kHostTexts[host] : "";
}

HostId IdentifyHost(const char* hostName) {
  if (!hostName) return kHostUnknown;
  // The whole name is searched, however long: a long version suffix must not hide the host.
  std::string lowered(hostName);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (HostId host : kSearchOrder)
    if (lowered.find(kHostTexts[host]) != std::string::npos) return host;
  return kHostUnknown;
}

}  // namespace iplug
