#pragma once
#include <cstdint>

#include "IPlug/AAX/IPlugAAX.h"
#include "product/ProcessingTargets.h"
#include "product/TollenbrookParams.h"

// The Tollenbrook compressor and limiter: its parameters, the mapping of their values to
// processing targets, and its state (editor geometry, then the parameter values).
class Tollenbrook : public iplug::IPlugAAX {
public:
  // Bytes of editor width, height and scale in front of the parameter values in the state.
  static constexpr int kEditorGeometryBytes = 12;

  // Host main thread (MakePlugInstance).
  explicit Tollenbrook(const iplug::InstanceInfo& info);

  using IPlugAAX::OnParamChange;
  // Thread of the change (host parameter thread, editor thread, state restore). Takes no
  // lock: sets the targets of the changed parameter for the audio chain.
  void OnParamChange(int paramIdx) override;

  // Host main thread. Editor geometry, then every parameter value; false when the chunk
  // could not grow.
  bool SerializeState(iplug::ByteChunk& chunk) const override;
  // Host main thread. Reads what SerializeState wrote; the next position, or -1.
  int UnserializeState(const iplug::ByteChunk& chunk, int startPos) override;
  // Host main thread. Compares a state of this product: the parameter doubles after the
  // editor geometry, startIdx counting doubles from there.
  bool CompareState(const uint8_t* data, int startIdx, int dataSize) const override;

  // Any thread; the audio chain reads the targets on the audio thread.
  const ProcessingTargets& Targets() const { return mTargets; }

private:
  void DeclareParameters();

  ProcessingTargets mTargets;

  // The audio chain's members (smoothers, dynamics sections, filters, delay lines and
  // meters) are declared after the targets and initialised before the parameters.
};
