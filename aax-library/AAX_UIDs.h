#pragma once
// Interface and class identifiers both sides use.
//
// The identifiers of the component model's root, the plug-in definition, the effect-parameters
// interfaces and the GUI interface are the published ones. Every other identifier here was
// made up by this project for its own host layer: they all share the first field 0x54424158
// ("TBAX") and differ in the last byte, so they can never collide with a published one.
#include "aax-library/ACFModel.h"

namespace aax_uid_detail {
constexpr acfIID Tb(uint8_t kind, uint8_t id) {
  return acfIID{0x54424158u, 0x4141, 0x4E00, {0x80, 0x00, 0x54, 0x4C, 0x4B, 0x31, kind, id}};
}
}  // namespace aax_uid_detail

// Published identifiers.
constexpr acfIID IID_IACFUnknown = {0x00000000, 0x0000, 0x0000,
                                    {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr acfIID IID_IACFPluginDefinition = {0x00EEF015, 0x7FD0, 0x11D6,
                                             {0x84, 0x85, 0x00, 0x30, 0x65, 0x42, 0xA0, 0x24}};
constexpr acfIID IID_IAAXEffectParametersV1 = {0x964E333D, 0x334C, 0x533F,
                                               {0xC2, 0xC7, 0x38, 0x34, 0xC3, 0xC2, 0x3E, 0x3E}};
constexpr acfIID IID_IAAXEffectParametersV2 = {0xF1F47D06, 0x308F, 0x4CC5,
                                               {0x9C, 0x7C, 0x50, 0xA8, 0x3F, 0x8A, 0xB8, 0x13}};
constexpr acfIID IID_IAAXEffectParametersV3 = {0xD2540E9D, 0x9163, 0x42BB,
                                               {0xA6, 0xFD, 0x81, 0xE1, 0x0E, 0xA3, 0x24, 0x98}};
constexpr acfIID IID_IAAXEffectParametersV4 = {0x2E485536, 0x31A3, 0x4697,
                                               {0x9C, 0x16, 0xE5, 0x9B, 0xF6, 0xB2, 0x8A, 0x41}};
constexpr acfIID IID_IAAXEffectGUIV1 = {0x964E323D, 0x424C, 0x5E1A,
                                        {0x22, 0x27, 0x28, 0x24, 0x23, 0x22, 0x2E, 0x1E}};

// Project identifiers: host interfaces (kind 1).
constexpr acfIID IID_IACFComponentFactory = aax_uid_detail::Tb(1, 0x01);
constexpr acfIID IID_IAAXHostServicesV1 = aax_uid_detail::Tb(1, 0x02);
constexpr acfIID IID_IAAXHostServicesV2 = aax_uid_detail::Tb(1, 0x03);
constexpr acfIID IID_IAAXHostServicesV3 = aax_uid_detail::Tb(1, 0x04);
constexpr acfIID IID_IAAXCollectionV1 = aax_uid_detail::Tb(1, 0x05);
constexpr acfIID IID_IAAXEffectDescriptorV1 = aax_uid_detail::Tb(1, 0x06);
constexpr acfIID IID_IAAXComponentDescriptorV1 = aax_uid_detail::Tb(1, 0x07);
constexpr acfIID IID_IAAXPropertyMapV1 = aax_uid_detail::Tb(1, 0x08);
constexpr acfIID IID_IAAXDescriptionHostV1 = aax_uid_detail::Tb(1, 0x09);
constexpr acfIID IID_IAAXFeatureInfoV1 = aax_uid_detail::Tb(1, 0x0A);
constexpr acfIID IID_IAAXControllerV1 = aax_uid_detail::Tb(1, 0x0B);
constexpr acfIID IID_IAAXAutomationDelegateV1 = aax_uid_detail::Tb(1, 0x0C);
constexpr acfIID IID_IAAXTransportV1 = aax_uid_detail::Tb(1, 0x0D);
constexpr acfIID IID_IAAXViewContainerV1 = aax_uid_detail::Tb(1, 0x0E);
constexpr acfIID IID_IAAXViewContainerV2 = aax_uid_detail::Tb(1, 0x0F);

// Project identifiers: classes the host's component factory creates (kind 2).
constexpr acfCLSID AAXCompID_HostServices = aax_uid_detail::Tb(2, 0x01);
constexpr acfCLSID AAXCompID_AAXCollection = aax_uid_detail::Tb(2, 0x02);
constexpr acfCLSID AAXCompID_AAXEffectDescriptor = aax_uid_detail::Tb(2, 0x03);
constexpr acfCLSID AAXCompID_AAXComponentDescriptor = aax_uid_detail::Tb(2, 0x04);
constexpr acfCLSID AAXCompID_AAXPropertyMap = aax_uid_detail::Tb(2, 0x05);

// Project identifiers: module-side class factory (kind 3); ACFGetClassFactory answers none.
constexpr acfIID IID_IACFClassFactory = aax_uid_detail::Tb(3, 0x01);
