#pragma once
#include <memory>
#include <thread>
#include <vector>

#include "IPlug/ParamSource.h"
#include "product/Tollenbrook.h"

namespace chaintest {

// Tollenbrook with the editor side recorded: which meter values reached the editor, and on
// which thread.
class RecordingTollenbrook : public Tollenbrook {
public:
  struct Delivery {
    int paramIdx;
    double value;
    bool normalized;
    std::thread::id thread;
  };
  RecordingTollenbrook() : Tollenbrook(iplug::InstanceInfo{}) {}
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override {
    mDelivered.push_back({paramIdx, value, normalized, std::this_thread::get_id()});
    Tollenbrook::SendParamValueToEditor(paramIdx, value, normalized);
  }
  std::vector<Delivery> mDelivered;
};

// A parameter change as the host binding delivers it: value, hook, then the editor's copy.
inline void HostSetsParam(Tollenbrook& plug, int idx, double value) {
  plug.GetParam(idx)->Set(value);
  plug.OnParamChange(idx, iplug::ParamSource::kHost, -1);
  plug.SendParamValueFromProcessor(idx, value, false);
}

// One render call in the binding's order: stereo main input, stereo side chain, stereo out.
struct HostBuffers {
  explicit HostBuffers(int frames) : in{std::vector<float>(frames), std::vector<float>(frames)},
                                     side{std::vector<float>(frames), std::vector<float>(frames)},
                                     out{std::vector<float>(frames), std::vector<float>(frames)} {}
  std::vector<float> in[2];
  std::vector<float> side[2];
  std::vector<float> out[2];

  // Audio thread. The plug-in processes frames [pos, pos + n) of the buffers.
  void Render(Tollenbrook& plug, int pos, int n, bool bypassed = false) {
    using iplug::kInput;
    using iplug::kOutput;
    float* ins[] = {in[0].data() + pos, in[1].data() + pos};
    float* sc[] = {side[0].data() + pos, side[1].data() + pos};
    float* outs[] = {out[0].data() + pos, out[1].data() + pos};
    plug.GrowBlockSize(n);
    plug.ConnectChannels(kInput, 0, 4, true);
    plug.AttachHostBuffers(kInput, 0, 2, ins, n);
    plug.AttachHostBuffers(kInput, plug.GetSideChainChannel(), 2, sc, n);
    plug.ConnectChannels(kOutput, 0, 2, true);
    plug.AttachHostBuffers(kOutput, 0, 2, outs, n);
    if (bypassed)
      plug.PassThroughHostBuffers(n);
    else
      plug.ProcessHostBuffers(n);
  }
};

}  // namespace chaintest
