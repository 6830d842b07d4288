#pragma once
#include <cstdint>
#include <memory>

#include "IPlug/HostId.h"
#include "IPlug/IPluginBase.h"
#include "IPlug/MultiProducerRing.h"
#include "IPlug/Timer.h"
#include "IPlug/TransferRecords.h"
#include "IPlug/TransferRing.h"

namespace iplug {

// The layer between the plug-in's editor side and a host binding: host recognition,
// version and build texts, the 20 ms service timer, the rings that carry values, MIDI and
// system-exclusive data between the real-time side and the editor, and the default routing
// of parameter changes between editor, host and processor. The binding overrides the
// operations that talk to the host.
class IPlugAPIBase : public IPluginBase {
public:
  static constexpr int kTimerIntervalMs = 20;
  static constexpr int kParamRingCapacity = 512;
  static constexpr int kMidiRingSlots = 33;   // 32 usable
  static constexpr int kSysexRingSlots = 5;   // 4 usable

  IPlugAPIBase(const PluginConfig& config, EAPI plugAPI);
  ~IPlugAPIBase() override;

  // ---- host, versions, build ----

  // Host main thread. Recognises the host from its name and keeps its packed version;
  // then OnHostRecognized.
  void SetHost(const char* hostName, int32_t version);
  HostId GetHost() const { return mHost; }
  // Packed (major << 16 | minor << 8 | patch) or, with decimal, major*10000 + minor*100 + patch.
  int32_t HostVersionNumber(bool decimal = false) const;
  int32_t VersionNumber(bool decimal = false) const;
  // "v3.0.0"
  void HostVersionText(TextBuffer& out) const;
  void VersionText(TextBuffer& out) const;
  const char* ApiName() const;
  static const char* ApiName(int api);
  static const char* ArchitectureName();
  // "v3.0.0 AAX (x86-64), built on <date> at <first five characters of time> "
  void DescribeBuild(TextBuffer& out, const char* date, const char* time) const;
  // Local time of construction with its UTC offset, for trace lines.
  const char* GetTimestamp() const { return mTimestamp.Get(); }

  static int32_t DecimalVersion(int32_t packed);
  static void FormatVersion(TextBuffer& out, int32_t packed);

  // ---- timer and queues ----

  // Main thread. Starts the 20 ms timer whose ticks run ServiceQueues on this thread.
  void StartTimer();
  // Main thread. No tick starts afterwards.
  void StopTimer();
  // Editor thread (the timer). With an editor: applies a restored editor geometry, delivers every queued parameter value,
  // MIDI message and system-exclusive message to the editor, oldest first; always ends in
  // OnPeriodicTick.
  void ServiceQueues();

  // Any thread (host parameter threads and the audio thread). Lock-free, allocates
  // nothing. Queues a parameter value for the editor (converted to a plain value first when
  // normalized); the parameter itself is not changed. Dropped when the ring is full or
  // the index is not a parameter.
  virtual void SendParamValueFromProcessor(int paramIdx, double value, bool normalized);
  // Audio thread. Lock-free, allocates nothing. Queue MIDI / system-exclusive data for the
  // editor; false when the ring is full or the message does not fit a record.
  bool SendMidiFromProcessor(const MidiMessage& msg);
  bool SendSysexFromProcessor(const SysexMessage& msg);
  // Audio thread. Lock-free, allocates nothing. Take the oldest message the editor queued.
  bool PopMidiFromEditor(MidiMessage& msg);
  bool PopSysexFromEditor(SysExData& record);

  // ---- state ----
  // Any thread (a host's chunk thread). Queues every parameter's value for the editor; the
  // timer delivers them on the editor's thread.
  void OnStateRestored() override;
  // Editor thread, as the editor opens. The editor takes every parameter's current value, so
  // the values queued for it before are older than what it shows: they are dropped, or a
  // state restored while it was closed would undo what the host has set since.
  void OnEditorOpened() override;

  // Host main thread. True when the parameter doubles stored in data, starting at double
  // element startIdx, match the current values to 1e-5 in single precision. dataSize is the
  // number of bytes at data; too few bytes to hold every parameter compare unequal.
  virtual bool CompareState(const uint8_t* data, int startIdx, int dataSize) const;

  // ---- hooks and host-facing operations (overridden by the binding) ----

  virtual void OnHostRecognized() {}
  // Editor thread. The editor's view object; none without a graphics layer.
  virtual void* GetEditorView() { return nullptr; }
  // Editor thread, every timer tick.
  virtual void OnPeriodicTick() {}
  virtual void CopyTrackName(TextBuffer& /*out*/) {}
  virtual bool ResizeEditorWindow(int /*width*/, int /*height*/) { return false; }
  virtual void BeginHostParamGesture(int /*paramIdx*/) {}
  virtual void EndHostParamGesture(int /*paramIdx*/) {}
  virtual void SendParamValueToHost(int /*paramIdx*/, double /*normalizedValue*/) {}

  // ---- editor to plug-in and host ----

  // Editor thread. SendParamValueToHost(index, normalised value) for every parameter.
  void SendAllParamValuesToHost() override;
  // Editor thread. Open and close a host gesture around the value changes of a drag.
  void BeginParamGestureFromEditor(int paramIdx) override;
  void EndParamGestureFromEditor(int paramIdx) override;
  // Editor thread. Sets the parameter, tells the host, runs the product's hook, then
  // tells the editor.
  void SetParamFromEditor(int paramIdx, double normalizedValue) override;
  // Editor thread. With resizeHostWindow the host window follows; otherwise nothing to do.
  bool ResizeFromEditor(int width, int height, bool resizeHostWindow) override;
  // Editor thread. Queue for the audio thread.
  void SendMidiFromEditor(const MidiMessage& msg) override { QueueMidiFromEditor(msg); }
  void SendSysexFromEditor(const SysexMessage& msg) override { QueueSysexFromEditor(msg); }
  void SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* pData) override;
  // Editor thread. Dropped when the ring is full.
  void QueueMidiFromEditor(const MidiMessage& msg) override;
  // Editor thread. A message longer than a record (512 bytes), with a negative size or
  // without data is refused: a cut message would be a different message.
  void QueueSysexFromEditor(const SysexMessage& msg) override;

protected:
  // Copies a message into a record; false when it does not fit.
  static bool MakeSysExRecord(const SysexMessage& msg, SysExData& record);

  TextBuffer mTimestamp;
  std::unique_ptr<Timer> mTimer;
  // Host threads and the audio thread both feed the parameter ring, so it takes several
  // producers; every other ring has exactly one producer and one consumer.
  MultiProducerRing<ParamTuple, kParamRingCapacity> mParamChangeFromProcessor;
  TransferRing<MidiMessage, kMidiRingSlots> mMidiMsgsFromEditor;
  TransferRing<MidiMessage, kMidiRingSlots> mMidiMsgsFromProcessor;
  TransferRing<SysExData, kSysexRingSlots> mSysExDataFromEditor;
  TransferRing<SysExData, kSysexRingSlots> mSysExDataFromProcessor;
};

}  // namespace iplug
