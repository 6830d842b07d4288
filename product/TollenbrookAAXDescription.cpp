#include "IPlug/AAX/AAXPluginDescription.h"
#include "aax-library/AAX_Types.h"
#include "product/TollenbrookConfig.h"

namespace {

constexpr iplug::PluginConfig kConfig = MakeTollenbrookConfig();

// Type identifiers of the two components, mono then stereo.
constexpr uint32_t kNativeTypeIDs[] = {AAX_FourCC("IEF1"), AAX_FourCC("IEF2")};
constexpr uint32_t kAudioSuiteTypeIDs[] = {AAX_FourCC("IEA1"), AAX_FourCC("IEA2")};

const iplug::AAXPluginDescription kDescription{
    .mEffectName = kConfig.mPluginName,
    .mBundleID = "com.Vantorell.aax.Tollenbrook",
    .mMfrName = kConfig.mMfrName,
    .mPackageVersion = static_cast<uint32_t>(kConfig.mVendorVersion),
    .mCategory = AAX_ePlugInCategory_Dynamics,
    .mChannelIOStr = kConfig.mChannelIOStr,
    .mMfrID = static_cast<uint32_t>(kConfig.mMfrID),
    .mProductID = static_cast<uint32_t>(kConfig.mUniqueID),
    .mNativeTypeIDs = kNativeTypeIDs,
    .mAudioSuiteTypeIDs = kAudioSuiteTypeIDs,
    .mMidiNodeName = "Tollenbrook Midi",
};

}  // namespace

const iplug::AAXPluginDescription& GetAAXPluginDescription() { return kDescription; }
