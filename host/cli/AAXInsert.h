#pragma once
#include <memory>
#include <string>

class AAX_IACFEffectParameters;

namespace aaxhost {
class AlgorithmContext;
class ComponentDescriptor;
class Instance;
}  // namespace aaxhost

namespace tbhost {

class AAXModule;

// One insert of a registered AAX module as a host makes it: an instance of the mono or stereo
// component, made through the registered creation function with the controller told the
// sample rate, stem formats and effect, a playing transport, and the algorithm context the
// host renders it with (buffers for blocks of up to `maxBlock` frames). The command-line
// host's AAX instance and the validator both drive their plug-in through one of these.
// The owning thread (the host's main thread, or a render thread it was handed to).
class AAXInsert {
public:
  // Null with `error` set ("has no stereo component", "made no instance (...)"), for the
  // caller to say whose.
  static std::unique_ptr<AAXInsert> Create(AAXModule& module, int channels, double sampleRate, int maxBlock,
                                           std::string& error);
  ~AAXInsert();
  AAXInsert(const AAXInsert&) = delete;
  AAXInsert& operator=(const AAXInsert&) = delete;

  AAXModule& Module() const { return mModule; }
  aaxhost::Instance& Instance() const { return *mInstance; }
  const aaxhost::ComponentDescriptor& Component() const { return mComponent; }
  aaxhost::AlgorithmContext& Context() const { return *mContext; }
  AAX_IACFEffectParameters& Effect() const;
  int Channels() const { return mChannels; }
  double SampleRate() const { return mSampleRate; }

  // New coefficients from the plug-in, delivered to the context as the host's data-in ports.
  void DeliverCoefficients();

private:
  AAXInsert(AAXModule& module, const aaxhost::ComponentDescriptor& component, int channels, double sampleRate);

  AAXModule& mModule;
  const aaxhost::ComponentDescriptor& mComponent;
  std::unique_ptr<aaxhost::Instance> mInstance;
  std::unique_ptr<aaxhost::AlgorithmContext> mContext;  // holds the instance's private data
  int mChannels;
  double mSampleRate;
};

}  // namespace tbhost
