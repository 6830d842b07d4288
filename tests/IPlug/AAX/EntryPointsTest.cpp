#include <gtest/gtest.h>

#include "AAXTestRig.h"
#include "IPlug/AAX/IPlugAAX_Describe.h"
#include "ProbePlugin.h"
#include "aax-library/AAX_Exports.h"
#include "aax-library/AAX_IACFEffectGUI.h"
#include "aax-library/AAX_UIDs.h"

namespace {

TEST(ModuleEntry, AnswersTheLibraryVersion) {
  acfUInt64 version = 0;
  ASSERT_EQ(ACFGetSDKVersion(&version), 0);
  EXPECT_EQ(version, 0x00000204013449EAull);
  EXPECT_EQ(ACFGetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST(ModuleEntry, CanUnloadOnlyOnceEveryObjectIsReleased) {
  const ACFRESULT before = ACFCanUnloadNow(nullptr);
  IACFUnknown* first = CreateEffectParameters();
  IACFUnknown* second = CreateEffectParameters();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), before + 2);

  // The host takes its reference through the effect-parameters interface and gives it back.
  void* effect = nullptr;
  ASSERT_EQ(first->QueryInterface(IID_IAAXEffectParametersV4, &effect), ACF_OK);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(static_cast<AAX_IACFEffectParameters*>(effect)->Release(), 0u);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), before + 1);
  second->AddRef();
  second->Release();
  EXPECT_EQ(ACFCanUnloadNow(nullptr), before);
}

TEST(ModuleEntry, TheGUICreationFunctionMakesAGUIObjectThatCounts) {
  const int32_t before = ACFCanUnloadNow(nullptr);
  IACFUnknown* gui = CreateEffectGUI();
  ASSERT_NE(gui, nullptr);
  void* interface = nullptr;
  ASSERT_EQ(gui->QueryInterface(IID_IAAXEffectGUIV1, &interface), ACF_OK);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), before + 1);
  EXPECT_EQ(static_cast<AAX_IACFEffectGUI*>(interface)->Release(), 0u);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), before);
}

TEST(ModuleEntry, TheLastReleaseDeletesTheWholeInstance) {
  const int live = aaxtest::ProbePlugin::sLive;
  auto* probe = new aaxtest::ProbePlugin();
  EXPECT_EQ(aaxtest::ProbePlugin::sLive, live + 1);
  IACFUnknown* unknown = static_cast<AAX_CIPlugParameters*>(probe)->GetPrivateUnknown();
  void* interface = nullptr;
  ASSERT_EQ(unknown->QueryInterface(IID_IAAXEffectParametersV1, &interface), ACF_OK);
  ASSERT_EQ(unknown->QueryInterface(IID_IACFUnknown, &interface), ACF_OK);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(aaxtest::ProbePlugin::sLive, live + 1);
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_EQ(aaxtest::ProbePlugin::sLive, live) << "deleted through the reference count, destructors and all";
  void* none = reinterpret_cast<void*>(1);
  IACFUnknown* another = CreateEffectParameters();
  EXPECT_EQ(another->QueryInterface(IID_IAAXEffectGUIV1, &none), ACF_E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  another->AddRef();
  another->Release();
}

TEST(ModuleEntry, RegistrationWithoutAUsableHostReturnsAnErrorInsteadOfCrashing) {
  IACFPluginDefinition* definition = reinterpret_cast<IACFPluginDefinition*>(1);
  EXPECT_EQ(ACFRegisterPlugin(nullptr, &definition), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(definition, nullptr);
  aaxhost::Host host;
  EXPECT_EQ(ACFRegisterPlugin(host.Unknown(), nullptr), AAX_ERROR_NULL_ARGUMENT);
  host.RefusePluginDefinition(true);
  EXPECT_EQ(ACFRegisterPlugin(host.Unknown(), &definition), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(definition, nullptr);
  EXPECT_EQ(host.OutstandingReferences(), 0);
}

TEST(ModuleEntry, StartUpAndShutDownKeepOneSetOfHostServices) {
  aaxhost::Host host;
  ASSERT_EQ(ACFStartup(host.Unknown()), 0);
  const int32_t references = host.Services().References();
  EXPECT_GT(references, 0);
  aaxhost::Host second;
  ASSERT_EQ(ACFStartup(second.Unknown()), 0);
  EXPECT_EQ(second.Services().References(), 0) << "a second start-up changes nothing";
  ASSERT_EQ(ACFShutdown(nullptr), 0);
  EXPECT_EQ(host.Services().References(), 0);
}

}  // namespace
