#pragma once

namespace iplug {

// The host program, recognised from the name it reports.
enum HostId : int {
  kHostUninit = -1,  // not yet identified
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools,
  kHostCubase,
  kHostNuendo,
  kHostSonar,
  kHostVegas,
  kHostFL,
  kHostSamplitude,
  kHostAbletonLive,
  kHostTracktion,
  kHostNTracks,
  kHostMelodyneStudio,
  kHostVSTScanner,
  kHostAULab,
  kHostForte,
  kHostChainer,
  kHostAudition,
  kHostOrion,
  kHostBias,
  kHostSAWStudio,
  kHostLogic,
  kHostGarageBand,
  kHostDigitalPerformer,
  kHostStandalone,
  kHostAudioMulch,
  kHostStudioOne,
  kHostVST3TestHost,
  kHostArdour,
  kHostRenoise,
  kHostOpenMPT,
  kHostWaveLab,
  kHostWaveLabElements,
  kHostTwistedWave,
  kHostBitwig,
  kHostWWW,
  kHostReason,
  kHostGoldWave5x,
  kHostWaveform,
  kHostAudacity,
  kHostAcoustica,
  kHostPluginDoctor,
  kHostIZotopeRX,
  kHostSAVIHost,
  kHostBlueCat,
  kHostMixbus,
};

// The text that identifies a host, lower case; "" for kHostUninit and kHostUnknown.
const char* HostIdText(HostId host);

// Finds the host in a reported name: case-insensitive containment, in an order that lets
// the more specific texts win ("wavelab elements" before "wavelab", "standalone" before
// "www"). kHostUnknown when nothing matches or the name is null.
HostId IdentifyHost(const char* hostName);

}  // namespace iplug
