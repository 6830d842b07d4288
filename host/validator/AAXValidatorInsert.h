#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/validator/ValidatorInsert.h"

class AAX_IACFEffectParameters;

namespace aaxhost {
class HostWindow;
class ViewContainer;
}  // namespace aaxhost

namespace tbhost {
class AAXInsert;
class AAXModule;
}

namespace tbvalidate {

// An AAX module's instance as a host holds it for validation: made through the registered
// creation function for the mono or stereo component, initialised at a sample rate, rendered
// through the registered callback. Parameters are set as the host's automation sets them, and
// the state travels through chunk records as in a session. The host's stem-format queries can
// be made to fail, and the editor opens in a host window (drawn off-screen outside Windows).
//
// Threads as ValidatorInsert gives them.
class AAXValidatorInsert final : public ValidatorInsert {
public:
  // Null with `error` set.
  static std::unique_ptr<ValidatorInsert> Create(tbhost::AAXModule& module, int channels, double sampleRate,
                                                 int maxBlock, std::string& error);
  ~AAXValidatorInsert() override;

  int Channels() const override;
  double SampleRate() const override;
  int MaxBlock() const override;
  bool HasKey() const override;
  // Touch, set, release, then new coefficients (delivered to the context only when `deliver`).
  void Automate(const std::string& id, double normalized, bool deliver = true) override;
  double Normalized(const std::string& id) const override;
  void SetFromHost(const std::string& id, double normalized) override;
  void EditorGesture(const std::string& id, const double* values, int count) override;
  std::string CurrentText(const HostParam& param) const override;
  std::string Text(const HostParam& param, double normalized) const override;
  bool ValueFromText(const HostParam& param, const std::string& text, double& normalized) const override;
  int ReportedLatency() const override;
  bool FailHostQueries(bool failing) override;
  int64_t Position() const override;
  float* Input(int channel) override;
  float* Key() override;
  float* Output(int channel) override;
  AudioThreadUse Render(int n, bool withKey = false) override;
  // Size, then a chunk record of that size.
  bool SaveState(std::vector<unsigned char>& out, std::string& error, int32_t prefilled = -1) const override;
  bool LoadState(const std::vector<unsigned char>& bytes, std::string& error, int32_t declared = -1,
                 bool deliver = true) override;
  // The GUI object, then a view in a host window.
  bool OpenEditor(std::string& detail) override;
  void CloseEditor() override;
  bool EditorOpen() const override;
  void Idle() override;

private:
  AAXValidatorInsert() = default;
  AAX_IACFEffectParameters& Effect() const;
  void DeliverCoefficients();

  tbhost::AAXModule* mModule = nullptr;
  std::unique_ptr<tbhost::AAXInsert> mInsert;
  std::unique_ptr<aaxhost::HostWindow> mWindow;
  std::unique_ptr<aaxhost::ViewContainer> mView;
};

}  // namespace tbvalidate
