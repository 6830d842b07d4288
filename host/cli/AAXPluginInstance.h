#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/cli/AAXInsert.h"
#include "host/cli/AAXModule.h"
#include "host/cli/PluginInstance.h"

class AAX_IACFEffectParameters;

namespace aaxhost {
class Instance;
struct FieldRegistration;
}  // namespace aaxhost

namespace tbhost {

// The plug-in as an AAX host drives it: the module file loaded at run time and registered,
// an instance of the mono or stereo component made through the registered creation function
// and initialised at the file's sample rate, parameters set through the host side (touch,
// set-value request, release; the host's automation answers), and audio rendered through the
// registered render callback with 32-bit float buffers and the key on the side-chain field.
//
// Until Initialise the instance is a stereo one at 48 kHz, enough for the parameter table and
// for states; Initialise makes the insert the file needs and carries the state over through
// the plug-in's chunk, as a host does when it re-creates a plug-in.
class AAXPluginInstance final : public PluginInstance {
public:
  // Main thread. Null with `error` set when the module cannot be loaded, does not register,
  // refuses an instance, or its parameters do not match `table` (the host's parameter table,
  // whose names and texts the module's host parameters must bear out).
  static std::unique_ptr<AAXPluginInstance> Create(const std::string& modulePath,
                                                      std::vector<ParamInfo> table, std::string& error);
  ~AAXPluginInstance() override;

  const std::vector<ParamInfo>& Parameters() const override { return mParams; }
  // Another instance from the module this one was made from (loaded and registered once).
  std::unique_ptr<PluginInstance> NewInstance(std::string& error) const override;
  bool Initialise(double sampleRate, int mainChannels, bool sideChain, std::string& error) override;
  // Touch, set-value request, release; then new coefficients for the render callback.
  void SetParameter(int index, double value) override;
  // Copies into the context's buffers, renders through the callback, copies out.
  void ProcessBlock(const float* const* mainInputs, const float* sideChain, float* const* outputs,
                    int nFrames) override;
  // The latency the plug-in announced to the host's controller.
  int Latency() const override;
  // The meters the component registered in its meter field, named as the effect described
  // them, with the values the render callback left there.
  int MeterCount() const override;
  std::string MeterName(int meter) const override;
  double MeterValue(int meter) const override;
  // The plug-in's first chunk.
  bool SaveState(PluginState& state, std::string& error) override;
  bool LoadState(const PluginState& state, std::string& error) override;

  AAXModule& Module() { return *mModule; }
  AAX_IACFEffectParameters& Effect() const;
  aaxhost::Instance& HostInstance() const;

private:
  AAXPluginInstance(std::shared_ptr<AAXModule> module, std::vector<ParamInfo> table);
  std::unique_ptr<AAXInsert> MakeInsert(int channels, float sampleRate, std::string& error);
  bool CheckParameters(std::string& error) const;
  void DeliverCoefficients();

  std::shared_ptr<AAXModule> mModule;  // shared by every instance made from it; unloaded with the last
  std::vector<ParamInfo> mParams;
  std::unique_ptr<AAXInsert> mInsert;
  const aaxhost::FieldRegistration* mMeters = nullptr;  // where the module reports its meters, if anywhere
  bool mHasKey = false;
};

}  // namespace tbhost
