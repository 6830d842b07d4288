#include <gtest/gtest.h>

#include <stdexcept>

#include "TestDescription.h"
#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_Exports.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/CACFUnknown.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"

using aaxhost::Host;
using aaxtest::DescriptionScope;
using aaxtest::HostServicesScope;

namespace {
constexpr ACFRESULT kUnexpected = static_cast<ACFRESULT>(0x8000FFFFu);

std::vector<std::string> TraceTexts(Host& host) {
  std::vector<std::string> texts;
  for (const auto& trace : host.Services().Traces()) texts.push_back(trace.text);
  return texts;
}

// Registers with the given host and releases the definition it hands back.
ACFRESULT Register(Host& host) {
  IACFPluginDefinition* definition = nullptr;
  const ACFRESULT result = ACFRegisterPlugin(host.Unknown(), &definition);
  if (definition) definition->Release();
  return result;
}
}  // namespace

TEST(EntryPoints, SdkVersion) {
  acfUInt64 version = 0;
  EXPECT_EQ(ACFGetSDKVersion(&version), 0);
  EXPECT_EQ(version, 0x00000204013449EAull);
  EXPECT_EQ(ACFGetSDKVersion(nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST(EntryPoints, ComponentAndClassFactoryAnswerNothing) {
  IACFUnknown* component = reinterpret_cast<IACFUnknown*>(0x1);
  EXPECT_EQ(ACFRegisterComponent(nullptr, 0, &component), 0);
  EXPECT_EQ(component, nullptr);
  void* factory = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(ACFGetClassFactory(nullptr, IID_IACFUnknown, IID_IACFClassFactory, &factory), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(ACFRegisterComponent(nullptr, 0, nullptr), AAX_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(ACFGetClassFactory(nullptr, IID_IACFUnknown, IID_IACFUnknown, nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST(EntryPoints, StartupKeepsTheFirstHostAndShutdownDropsIt) {
  Host first, second;
  ASSERT_FALSE(AAX_CHostServices::IsSet());
  AAX_CHostServices::Trace(0, "before start-up");  // dropped: no services yet

  EXPECT_EQ(ACFStartup(first.Unknown()), 0);
  EXPECT_TRUE(AAX_CHostServices::IsSet());
  EXPECT_EQ(ACFStartup(second.Unknown()), 0);  // changes nothing
  AAX_CHostServices::Trace(0, "after start-up");
  EXPECT_EQ(TraceTexts(first), std::vector<std::string>{"after start-up"});
  EXPECT_TRUE(TraceTexts(second).empty());
  EXPECT_EQ(second.OutstandingReferences(), 0);

  EXPECT_EQ(ACFStartup(nullptr), 0);  // no host object while services exist: destroyed
  EXPECT_FALSE(AAX_CHostServices::IsSet());
  EXPECT_EQ(first.OutstandingReferences(), 0) << "host services were not released";

  EXPECT_EQ(ACFStartup(nullptr), 0);  // nothing to destroy, nothing created
  EXPECT_FALSE(AAX_CHostServices::IsSet());
  EXPECT_EQ(ACFStartup(first.Unknown()), 0);
  EXPECT_EQ(ACFShutdown(nullptr), 0);
  EXPECT_FALSE(AAX_CHostServices::IsSet());
  AAX_CHostServices::Trace(0, "after shut-down");
  EXPECT_EQ(TraceTexts(first).size(), 1u);
  EXPECT_EQ(ACFShutdown(nullptr), 0);  // twice is harmless
}

TEST(EntryPoints, CanUnloadNowCountsLiveObjects) {
  Host host;
  ASSERT_EQ(Register(host), 0);
  ASSERT_EQ(ACFCanUnloadNow(nullptr), 0);
  aaxhost::EffectDescriptor* effect = host.FindRegisteredEffect("com.tollenbrook.small");
  ASSERT_NE(effect, nullptr);
  {
    aaxhost::Instance instance(host.Log(), *effect);
    ASSERT_EQ(instance.Create(), 0);
    ASSERT_EQ(instance.CreateGUI(), 0);
    EXPECT_EQ(ACFCanUnloadNow(nullptr), 2);
    instance.Destroy();
    EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
  }
}

TEST(EntryPoints, RegistrationRecordsTheDescriptionAndReleasesTheHost) {
  Host host;
  IACFPluginDefinition* definition = nullptr;
  ASSERT_EQ(ACFRegisterPlugin(host.Unknown(), &definition), 0);
  ASSERT_NE(definition, nullptr);
  ASSERT_EQ(host.Collections().size(), 1u);
  const auto& collection = *host.Collections()[0];
  EXPECT_EQ(static_cast<IACFUnknown*>(definition), static_cast<IACFUnknown*>(static_cast<IACFPluginDefinition*>(
                                                       const_cast<aaxhost::Collection*>(&collection))));
  EXPECT_EQ(collection.ManufacturerName(), "Tollenbrook Tests");
  EXPECT_EQ(collection.PackageVersion(), 0x00010203u);
  ASSERT_EQ(collection.Effects().size(), 1u);
  EXPECT_EQ(collection.Effects()[0].id, "com.tollenbrook.small");
  EXPECT_EQ(collection.Effects()[0].descriptor->Names(), std::vector<std::string>{"Small"});

  const auto calls = host.Log().Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_TRUE(calls.front().Is("AddName", {"Small"})) << calls.front().ToString();
  EXPECT_TRUE(calls.back().Is("SetPackageVersion", {"0x00010203"})) << calls.back().ToString();

  // The definition is the only reference the module leaves with the host.
  EXPECT_EQ(host.OutstandingReferences(), 1);
  definition->Release();
  EXPECT_EQ(host.OutstandingReferences(), 0);
  EXPECT_EQ(ACFRegisterPlugin(host.Unknown(), nullptr), AAX_ERROR_NULL_ARGUMENT);
}

TEST(EntryPoints, DescriptionFailingInsideTheGuardIsTracedAndReturned) {
  Host host;
  HostServicesScope services(host);
  host.FailCall("AddName", AAX_ERROR_NULL_OBJECT);
  IACFPluginDefinition* definition = reinterpret_cast<IACFPluginDefinition*>(0x1);
  EXPECT_EQ(ACFRegisterPlugin(host.Unknown(), &definition), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(definition, nullptr);
  const auto traces = host.Services().Traces();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].text, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)");
  EXPECT_EQ(traces[0].priority, 0x4000000);
  EXPECT_EQ(traces[1].text, "AAXRegisterPlugin exception caught: AAX_ERROR_NULL_OBJECT (-20004)");
  EXPECT_EQ(traces[1].priority, 0x8000000);
  EXPECT_EQ(host.Log().Count("AddEffect"), 0u);
  EXPECT_EQ(host.Services().References(), 3) << "one reference per host-services version";
  EXPECT_EQ(host.OutstandingReferences(), 3) << "only the host services may still hold references";
}

TEST(EntryPoints, EveryKindOfExceptionBecomesAResult) {
  struct Case {
    std::function<AAX_Result(AAX_ICollection*)> describe;
    ACFRESULT result;
    std::string trace;
  };
  const std::vector<Case> cases = {
      {[](AAX_ICollection*) -> AAX_Result { throw AAX::Exception::ResultError(AAX_ERROR_INVALID_CHUNK_ID, "f", "9"); },
       AAX_ERROR_INVALID_CHUNK_ID, "AAXRegisterPlugin exception caught: AAX_ERROR_INVALID_CHUNK_ID (-20007) func:f line:9"},
      {[](AAX_ICollection*) -> AAX_Result { throw AAX::Exception::Any("no memory for names"); },
       AAX_ERROR_UNKNOWN_EXCEPTION, "AAXRegisterPlugin exception caught: no memory for names"},
      {[](AAX_ICollection*) -> AAX_Result { throw std::runtime_error("bad table"); }, AAX_ERROR_UNKNOWN_EXCEPTION,
       "AAXRegisterPlugin exception caught: bad table"},
      {[](AAX_ICollection*) -> AAX_Result { throw 7; }, AAX_ERROR_UNKNOWN_EXCEPTION,
       "AAXRegisterPlugin exception caught: unknown"},
  };
  for (const Case& c : cases) {
    Host host;
    HostServicesScope services(host);
    DescriptionScope description(c.describe);
    EXPECT_EQ(Register(host), c.result);
    const auto traces = host.Services().Traces();
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0].text, c.trace);
    EXPECT_EQ(traces[0].priority, 0x8000000);
  }
}

TEST(EntryPoints, DescriptionResultOtherThanSuccessIsThrownAndReturned) {
  Host host;
  DescriptionScope description([](AAX_ICollection*) { return static_cast<AAX_Result>(-20700); });
  EXPECT_EQ(Register(host), -20700);
}

TEST(EntryPoints, CollectionThatYieldsNoDescriptorGivesNullObject) {
  Host host;
  HostServicesScope services(host);
  host.RefuseClass(AAXCompID_AAXEffectDescriptor);
  EXPECT_EQ(Register(host), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(host.Log().Size(), 0u) << host.Log().ToString();
}

TEST(EntryPoints, HostWithoutCollectionOrDefinitionGivesNullObject) {
  {
    Host host;
    host.RefuseClass(AAXCompID_AAXCollection);
    EXPECT_EQ(Register(host), AAX_ERROR_NULL_OBJECT);
  }
  {
    Host host;
    HostServicesScope services(host);
    host.RefusePluginDefinition(true);
    EXPECT_EQ(Register(host), AAX_ERROR_NULL_OBJECT);
    ASSERT_FALSE(host.Services().Traces().empty());
    EXPECT_EQ(host.Services().Traces()[0].text, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT (-20004)");
  }
  IACFPluginDefinition* definition = nullptr;
  EXPECT_EQ(ACFRegisterPlugin(nullptr, &definition), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(definition, nullptr);
}

namespace {
// A host object that throws from everything, to prove no exception leaves an entry point.
class ThrowingHost : public IACFUnknown {
public:
  ACFRESULT QueryInterface(const acfIID&, void**) override { throw std::logic_error("host broke"); }
  acfUInt32 AddRef() override { return 1; }
  acfUInt32 Release() override { return 1; }
};

// Host services whose trace throws: the registration's own handler cannot report, so the
// outer barrier has to catch.
class ThrowingTraceServices : public aaxhost::HostServices {
public:
  AAX_Result Trace(int32_t, const char*) override { throw std::runtime_error("trace broke"); }
};

class HostWithThrowingTrace : public Host {
public:
  ACFRESULT CreateComponent(IACFUnknown* outer, const acfCLSID& clsid, const acfIID& iid, void** out) override {
    if (clsid == AAXCompID_HostServices) return mServices.QueryInterface(iid, out);
    return Host::CreateComponent(outer, clsid, iid, out);
  }

private:
  ThrowingTraceServices mServices;
};
}  // namespace

TEST(EntryPoints, NoExceptionLeavesAnEntryPoint) {
  ThrowingHost throwing;
  EXPECT_EQ(ACFStartup(&throwing), kUnexpected);
  EXPECT_FALSE(AAX_CHostServices::IsSet());
  IACFPluginDefinition* definition = nullptr;
  // The collection wrapper asks the host object first; the registration's handler catches it.
  EXPECT_EQ(ACFRegisterPlugin(&throwing, &definition), AAX_ERROR_UNKNOWN_EXCEPTION);

  HostWithThrowingTrace host;
  ASSERT_EQ(ACFStartup(host.Unknown()), 0);
  DescriptionScope description([](AAX_ICollection*) -> AAX_Result { throw 1; });
  EXPECT_EQ(ACFRegisterPlugin(host.Unknown(), &definition), kUnexpected);
  EXPECT_EQ(ACFShutdown(nullptr), 0);
}
