#include "IPlug/AAX/IPlugAAX_Describe.h"

#include <cstdio>
#include <string>
#include <vector>

#include "IPlug/AAX/AAX_CEffectGUI_IPLUG.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "IPlug/AAX/IPlugAAX_Parameters.h"
#include "IPlug/EntryGuard.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/InsertLayouts.h"
#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_Errors.h"

namespace iplug {

namespace {

// Lines of a "\n"-separated name list; empty lines name nothing.
std::vector<std::string> NameLines(const char* names) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = names ? names : ""; ; ++c) {
    if (*c == '\n' || *c == '\0') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
      if (*c == '\0') break;
    } else {
      line.push_back(*c);
    }
  }
  return lines;
}

// Auxiliary outputs: every output bus after the first, named "Output 2", "Output 3", ...
void SetAuxOutputStems(const ChannelLayout& config, AAXComponentSetup& setupInfo) {
  setupInfo.mNumAuxOutputStems = config.NBuses(kOutput) > 0 ? config.NBuses(kOutput) - 1 : 0;
  for (int k = 1; k < config.NBuses(kOutput) && k - 1 < AAXComponentSetup::kMaxAuxOutputStems; ++k) {
    std::snprintf(setupInfo.mAuxOutputStemNames[k - 1], AAXComponentSetup::kMaxStemNameLength, "Output %i", k + 1);
    setupInfo.mAuxOutputStemFormats[k - 1] = StemFormatForBus(config, kOutput, k);
  }
}

AAXComponentSetup MakeSetup(const ChannelLayout& config, const AAXPluginDescription& description, bool sideChain,
                            size_t componentIdx) {
  AAXComponentSetup setupInfo;
  setupInfo.mInputStemFormat = StemFormatForBus(config, kInput, 0);
  setupInfo.mOutputStemFormat = StemFormatForBus(config, kOutput, 0);
  SetAuxOutputStems(config, setupInfo);
  setupInfo.mManufacturerID = description.mMfrID;
  setupInfo.mProductID = description.mProductID;
  setupInfo.mNativeTypeID = description.mNativeTypeIDs[componentIdx];
  setupInfo.mAudioSuiteTypeID = description.mAudioSuiteTypeIDs[componentIdx];
  setupInfo.mCanBypass = true;
  setupInfo.mWantsInputMIDI = false;
  setupInfo.mInputMIDINodeName = description.mMidiNodeName;
  setupInfo.mInputMIDIMask = 1;
  setupInfo.mWantsOutputMIDI = false;
  setupInfo.mOutputMIDINodeName = description.mMidiNodeName;
  setupInfo.mOutputMIDIMask = 1;
  setupInfo.mWantsTransport = true;
  setupInfo.mValue56 = 0;
  setupInfo.mSideChain = sideChain;
  return setupInfo;
}

}  // namespace

uint32_t StemFormatForBus(const ChannelLayout& config, Direction direction, int busIndex) {
  if (busIndex < 0 || busIndex >= config.NBuses(direction)) return AAX_eStemFormat_None;
  switch (config.mBuses[direction][static_cast<size_t>(busIndex)].mNChannels) {
    case 1: return AAX_eStemFormat_Mono;
    case 2: return AAX_eStemFormat_Stereo;
    case 3: return AAX_eStemFormat_LCR;
    case 4: return AAX_eStemFormat_Quad;
    case 5: return AAX_eStemFormat_5_0;
    case 6: return AAX_eStemFormat_5_1;
    case 7: return AAX_eStemFormat_7_0_DTS;
    case 8: return AAX_eStemFormat_7_1_DTS;
    case 9: return AAX_eStemFormat_7_0_2;
    case 10: return AAX_eStemFormat_7_1_2;
    case 16: return AAX_eStemFormat_Ambi_3_ACN;
    default: return AAX_eStemFormat_None;
  }
}

AAX_Result DescribeEffects(AAX_ICollection* collection, const AAXPluginDescription& description) {
  if (!collection) return AAX_ERROR_NULL_OBJECT;
  AAX_IEffectDescriptor* effectDescriptor = collection->NewDescriptor();
  if (!effectDescriptor) return AAX_ERROR_NULL_OBJECT;

  AAX_Result err = AAX_SUCCESS;
  for (const std::string& name : NameLines(description.mEffectName)) {
    err |= effectDescriptor->AddName(name.c_str());
    collection->AddPackageName(name.c_str());
  }
  err |= effectDescriptor->AddCategory(description.mCategory);

  std::vector<ChannelLayout> configs;
  int maxInChannels = 0, maxOutChannels = 0, maxInBuses = 0, maxOutBuses = 0;
  IPlugProcessor::ParseIOConfigs(description.mChannelIOStr, configs, maxInChannels, maxOutChannels, maxInBuses,
                                 maxOutBuses);
  const InsertLayouts inserts = InsertLayouts::Of(configs);
  size_t componentIdx = 0;
  for (const ChannelLayout* config : inserts.mConfigs) {
    const bool typeIDsLeft = componentIdx < description.mNativeTypeIDs.size() &&
                             componentIdx < description.mAudioSuiteTypeIDs.size();
    AAX_ASSERT(typeIDsLeft);
    if (!typeIDsLeft) continue;
    err |= DescribeComponent(*effectDescriptor, MakeSetup(*config, description, inserts.mSideChain, componentIdx));
    ++componentIdx;
    AAX_ASSERT(err == AAX_SUCCESS);
  }

  err |= effectDescriptor->AddProcPtr(reinterpret_cast<void*>(&CreateEffectParameters),
                                      kAAX_ProcPtrID_Create_EffectParameters);
  err |= effectDescriptor->AddProcPtr(reinterpret_cast<void*>(&CreateEffectGUI), kAAX_ProcPtrID_Create_EffectGUI);

  if (err == AAX_SUCCESS) err = collection->AddEffect(description.mBundleID, effectDescriptor);
  AAX_ASSERT(err == AAX_SUCCESS);

  collection->SetManufacturerName(description.mMfrName);
  collection->SetPackageVersion(description.mPackageVersion);
  return err;
}

}  // namespace iplug

AAX_Result GetEffectDescriptions(AAX_ICollection* collection) {
  return iplug::DescribeEffects(collection, GetAAXPluginDescription());
}

IACFUnknown* CreateEffectParameters() {
  return iplug::GuardedEntry(
      []() -> IACFUnknown* {
        iplug::IPlugAAX* plug = MakePlugInstance(iplug::InstanceInfo{});
        return plug ? static_cast<AAX_CIPlugParameters*>(plug)->GetPrivateUnknown() : nullptr;
      },
      nullptr);
}

IACFUnknown* CreateEffectGUI() {
  return iplug::GuardedEntry([]() -> IACFUnknown* { return (new iplug::AAX_CEffectGUI_IPLUG)->GetPrivateUnknown(); },
                             nullptr);
}
