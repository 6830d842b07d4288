#include "host/cli/AAXInsert.h"

#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_Results.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/Instance.h"
#include "host/cli/AAXModule.h"

namespace tbhost {

namespace {
AAX_EStemFormat StemFormatFor(int channels) {
  return channels == 1 ? AAX_eStemFormat_Mono : AAX_eStemFormat_Stereo;
}
}  // namespace

AAXInsert::AAXInsert(AAXModule& module, const aaxhost::ComponentDescriptor& component, int channels,
                     double sampleRate)
    : mModule(module), mComponent(component), mChannels(channels), mSampleRate(sampleRate) {}

std::unique_ptr<AAXInsert> AAXInsert::Create(AAXModule& module, int channels, double sampleRate, int maxBlock,
                                             std::string& error) {
  const aaxhost::ComponentDescriptor* component = module.ComponentFor(channels);
  if (!component || !component->ProcessProc()) {
    error = std::string("has no ") + (channels == 1 ? "mono" : "stereo") + " component";
    return nullptr;
  }
  std::unique_ptr<AAXInsert> insert(new AAXInsert(module, *component, channels, sampleRate));
  insert->mInstance = std::make_unique<aaxhost::Instance>(module.Host().Log(), module.Effect());
  aaxhost::Controller& controller = insert->mInstance->GetController();
  controller.SetSampleRate(static_cast<float>(sampleRate));
  controller.SetStemFormats(StemFormatFor(channels), StemFormatFor(channels));
  controller.SetEffectID(module.EffectID());
  if (const AAX_Result result = insert->mInstance->Create(); result != AAX_SUCCESS) {
    error = "made no instance (" + AAX::DescribeResult(result) + ")";
    return nullptr;
  }
  aaxhost::Transport& transport = insert->mInstance->GetTransport();
  transport.SetSampleRate(sampleRate);
  transport.SetPlaying(true);
  insert->mContext = std::make_unique<aaxhost::AlgorithmContext>(*component, insert->mInstance->Effect(),
                                                                 transport.View(), channels, channels, maxBlock);
  return insert;
}

// The context holds the instance's private data: it goes first.
AAXInsert::~AAXInsert() {
  mContext.reset();
  mInstance.reset();
}

AAX_IACFEffectParameters& AAXInsert::Effect() const { return *mInstance->Effect(); }

void AAXInsert::DeliverCoefficients() {
  Effect().GenerateCoefficients();
  mContext->DeliverNewestPackets(mInstance->GetController());
}

}  // namespace tbhost
