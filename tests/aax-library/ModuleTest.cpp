#include <gtest/gtest.h>

#include <cmath>

#include "aax-library/AAX_CString.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/AlgorithmContext.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"
#include "host/aax/ModuleLoader.h"

// These tests load the test module (built next to this program) at run time, so every call
// below crosses a real module boundary: the module has its own copy of the library.
namespace {
std::string TestModulePath() {
  return aaxhost::ModuleLoader::ExecutableDirectory() + aaxhost::ModuleLoader::ModuleFileName("test_aax_module");
}

struct LoadedModule : ::testing::Test {
  aaxhost::ModuleLoader module;
  aaxhost::Host host;

  void SetUp() override { ASSERT_TRUE(module.Load(TestModulePath())) << module.Error(); }
  void TearDown() override {
    if (module.IsLoaded()) {
      module.Shutdown(nullptr);
      module.Unload();
    }
  }
  aaxhost::EffectDescriptor* Register() {
    IACFPluginDefinition* definition = nullptr;
    EXPECT_EQ(module.RegisterPlugin(host.Unknown(), &definition), 0);
    if (definition) definition->Release();
    return host.FindRegisteredEffect("com.tollenbrook.testmodule");
  }
};
}  // namespace

TEST(ModuleLoader, MissingFileIsAnError) {
  aaxhost::ModuleLoader loader;
  EXPECT_FALSE(loader.Load(aaxhost::ModuleLoader::ExecutableDirectory() + "no_such_module.bin"));
  EXPECT_FALSE(loader.IsLoaded());
  EXPECT_FALSE(loader.Error().empty());
  EXPECT_EQ(loader.Startup, nullptr);
}

TEST_F(LoadedModule, AnswersTheSdkVersionAndStartsUp) {
  acfUInt64 version = 0;
  EXPECT_EQ(module.GetSDKVersion(&version), 0);
  EXPECT_EQ(version, 0x00000204013449EAull);
  EXPECT_EQ(module.Startup(host.Unknown()), 0);
  EXPECT_EQ(host.Services().References(), 3);
  EXPECT_EQ(module.CanUnloadNow(nullptr), 0);
  IACFUnknown* component = reinterpret_cast<IACFUnknown*>(0x1);
  EXPECT_EQ(module.RegisterComponent(host.Unknown(), 0, &component), 0);
  EXPECT_EQ(component, nullptr);
  void* factory = nullptr;
  EXPECT_EQ(module.GetClassFactory(host.Unknown(), IID_IACFUnknown, IID_IACFClassFactory, &factory), -20009);
  EXPECT_EQ(module.Shutdown(nullptr), 0);
  EXPECT_EQ(host.Services().References(), 0);
}

TEST_F(LoadedModule, RegistersItsDescription) {
  ASSERT_EQ(module.Startup(host.Unknown()), 0);
  aaxhost::EffectDescriptor* effect = Register();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->Names(), (std::vector<std::string>{"Test Module", "TstM"}));
  EXPECT_EQ(effect->Categories(), std::vector<uint32_t>{2});
  ASSERT_EQ(effect->Components().size(), 1u);
  const aaxhost::ComponentDescriptor& component = *effect->Components()[0];
  EXPECT_NE(component.ProcessProc(), nullptr);
  ASSERT_NE(component.ProcessProperties(), nullptr);
  EXPECT_EQ(component.ProcessProperties()->Find(AAX_eProperty_ManufacturerID),
            static_cast<AAX_CPropertyValue>(AAX_FourCC("Tbrk")));
  EXPECT_NE(effect->CreateProc(kAAX_ProcPtrID_Create_EffectParameters), nullptr);
  EXPECT_NE(effect->CreateProc(kAAX_ProcPtrID_Create_EffectGUI), nullptr);
  const auto& collection = *host.Collections().front();
  EXPECT_EQ(collection.ManufacturerName(), "Tollenbrook Tests");
  EXPECT_EQ(collection.PackageVersion(), 0x00010000u) << "the module's load routine stored its handle";
  EXPECT_TRUE(host.Services().Traces().empty());
  EXPECT_EQ(module.Shutdown(nullptr), 0);
  EXPECT_EQ(host.OutstandingReferences(), 0);
}

TEST_F(LoadedModule, InstanceRendersAndFollowsItsParameter) {
  ASSERT_EQ(module.Startup(host.Unknown()), 0);
  aaxhost::EffectDescriptor* effect = Register();
  ASSERT_NE(effect, nullptr);
  {
    aaxhost::Instance instance(host.Log(), *effect);
    ASSERT_EQ(instance.Create(), 0);
    ASSERT_EQ(instance.CreateGUI(), 0);
    EXPECT_EQ(module.CanUnloadNow(nullptr), 2);

    const aaxhost::ComponentDescriptor& component = *effect->Components()[0];
    aaxhost::AlgorithmContext context(component, instance.Effect(), instance.GetTransport().View(), 1, 1, 64);
    for (int i = 0; i < 64; ++i) context.Input(0)[i] = std::sin(0.1f * static_cast<float>(i));
    context.SetBlockLength(64);
    context.Render(component.ProcessProc());
    for (int i = 0; i < 64; ++i) ASSERT_FLOAT_EQ(context.Output(0)[i], context.Input(0)[i]) << i;

    // The host answers the request, the module's parameter changes, the next block follows.
    ASSERT_EQ(instance.Effect()->SetParameterNormalizedValue("1", 0.25), 0);
    AAX_CString text;
    EXPECT_EQ(instance.Effect()->GetParameterValueString("1", &text, 16), 0);
    EXPECT_EQ(text.StdString(), "0.50");
    context.SetBlockLength(32);
    context.Render(component.ProcessProc());
    for (int i = 0; i < 32; ++i) ASSERT_FLOAT_EQ(context.Output(0)[i], 0.5f * context.Input(0)[i]) << i;
    EXPECT_FLOAT_EQ(context.Output(0)[40], context.Input(0)[40]) << "only the block's samples are written";

    AAX_CString name;
    EXPECT_EQ(instance.Effect()->GetParameterName("1", &name), 0);
    EXPECT_EQ(name.StdString(), "Gain");
  }
  EXPECT_EQ(module.CanUnloadNow(nullptr), 0);
  EXPECT_EQ(module.Shutdown(nullptr), 0);
  EXPECT_EQ(host.OutstandingReferences(), 0);
}
