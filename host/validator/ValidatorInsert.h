#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/validator/AudioThreadWatch.h"
#include "host/validator/HostParams.h"

namespace tbvalidate {

// One instance of a plug-in as a host holds it for validation, whatever its format: made for a
// mono or stereo insert at a sample rate, rendered with blocks of any length up to the capacity
// made at creation. Before every block the outputs are marked, so a sample the plug-in did not
// write shows; every render call is watched for allocations and locks. Parameters are set as
// the host's automation sets them, and the state travels as a session keeps it. The checks talk
// only to this; each format is one class.
//
// Host main thread, except: Automate and SetFromHost on a host parameter thread; EditorGesture
// on the editor's side; Render, Input, Key, Output on the one audio thread; SaveState and
// LoadState on a host thread.
class ValidatorInsert {
public:
  virtual ~ValidatorInsert() = default;

  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  virtual int MaxBlock() const = 0;
  virtual bool HasKey() const = 0;
  const std::vector<HostParam>& Params() const { return mParams; }
  const HostParam* MasterBypass() const;

  // Host parameter thread. A change as automation makes it; the plug-in takes it in full before
  // the next block only when `deliver` (not while audio runs).
  virtual void Automate(const std::string& id, double normalized, bool deliver = true) = 0;
  virtual double Normalized(const std::string& id) const = 0;
  // Host thread. A value the host sets on its own side (a session, a control surface), without
  // a gesture; the plug-in hears of it as of any host change.
  virtual void SetFromHost(const std::string& id, double normalized) = 0;
  // Editor side (any thread but the audio thread). A gesture of `count` values, then the open
  // editor told of the change.
  virtual void EditorGesture(const std::string& id, const double* values, int count) = 0;

  // Main thread. What the parameter shows now, and what it would show at `normalized` (empty
  // when it shows nothing).
  virtual std::string CurrentText(const HostParam& param) const = 0;
  virtual std::string Text(const HostParam& param, double normalized) const = 0;
  // Main thread. The normalised value `text` reads as; false when the plug-in does not read it.
  virtual bool ValueFromText(const HostParam& param, const std::string& text, double& normalized) const = 0;

  // Main thread. The latency the plug-in reports to the host, in samples.
  virtual int ReportedLatency() const = 0;
  // Main thread. The host's own trouble: while `failing`, the host's queries about the insert's
  // channel formats fail. False when the format has no such query (nothing changes then).
  virtual bool FailHostQueries(bool /*failing*/) { return false; }
  // Main thread. The host's running position in samples: where the next block starts.
  virtual int64_t Position() const = 0;

  // Audio thread. The buffers of the next block: main inputs, the key (null without a
  // side-chain input), outputs.
  virtual float* Input(int channel) = 0;
  virtual float* Key() = 0;
  virtual float* Output(int channel) = 0;
  // Audio thread. Marks the outputs unwritten, renders n frames (with the key routed or not)
  // under the watch, and moves the position on. Returns what the watch counted.
  virtual AudioThreadUse Render(int n, bool withKey = false) = 0;
  // Every output sample of the last block fine? Empty when so (see OutputCheck).
  std::string ExamineOutputs(int n, double limit);

  // Host thread. The state as a session saves it. A format that hands the state over in a
  // record with a size field the host fills in first gets `prefilled` there (the record's
  // capacity when negative). False with `error` saying why when the plug-in gives none.
  virtual bool SaveState(std::vector<unsigned char>& out, std::string& error, int32_t prefilled = -1) const = 0;
  // Host thread. A state holding `bytes` said to be `declared` long (the byte count when
  // negative; a format without a size field is handed that many of the bytes). The plug-in takes
  // it in full before the next block when `deliver`. False with `error` saying why when the
  // plug-in refuses it.
  virtual bool LoadState(const std::vector<unsigned char>& bytes, std::string& error, int32_t declared = -1,
                         bool deliver = true) = 0;

  // Main thread. The editor, opened as a host opens it. False when the plug-in makes none
  // (`detail` says what happened).
  virtual bool OpenEditor(std::string& detail) {
    detail = "this format's editor is not opened by the validator";
    return false;
  }
  virtual void CloseEditor() {}
  virtual bool EditorOpen() const { return false; }
  // Main thread. The host's idle work: the plug-in's timer and the window's messages.
  virtual void Idle() {}

protected:
  ValidatorInsert() = default;
  std::vector<HostParam> mParams;
};

// Makes a fresh insert: `channels` main inputs and outputs at `sampleRate`, blocks up to
// `maxBlock`; null with `error` set. Main thread.
using ValidatorInsertFactory =
    std::function<std::unique_ptr<ValidatorInsert>(int channels, double sampleRate, int maxBlock, std::string& error)>;

}  // namespace tbvalidate
