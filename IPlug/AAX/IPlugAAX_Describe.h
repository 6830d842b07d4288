#pragma once
#include <cstdint>

#include "IPlug/AAX/AAXPluginDescription.h"
#include "IPlug/ChannelLayout.h"
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_ICollection.h"

namespace iplug {

// Any thread. The AAX stem format of a bus's channel count: mono, stereo and the surround
// layouts of 3 to 10 and 16 channels; none for any other count or a bus the
// configuration does not have. direction 0 is input, 1 output.
uint32_t StemFormatForBus(const ChannelLayout& config, Direction direction, int busIndex);

// Host main thread, during registration. Describes the effect to the host: names, category,
// one component per channel configuration (configurations that carry a second input bus are
// a side chain: they are not components of their own, and every component gets a side-chain
// input instead), the creation functions, the effect identifier, manufacturer and version.
// Returns the results of the effect-level calls OR-ed together; a failed component call
// throws AAX::Exception::ResultError.
AAX_Result DescribeEffects(AAX_ICollection* collection, const AAXPluginDescription& description);

}  // namespace iplug

// The creation functions the description registers. Host main thread. Each returns the new
// object's non-delegating unknown with a reference count of 0, or null when it could not be
// made; the host owns the object from its first reference on.
IACFUnknown* CreateEffectParameters();
// The GUI object (iplug::AAX_CEffectGUI_IPLUG) that opens the editor in the host's window.
IACFUnknown* CreateEffectGUI();
