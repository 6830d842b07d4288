#include <gtest/gtest.h>

#include <string>

#include "TestDescription.h"
#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/AAX_VHostServices.h"
#include "host/aax/Host.h"

using aaxhost::Host;
using aaxtest::HostServicesScope;

TEST(HostServices, AssertionReportsFileNameLineTextAndFlags) {
  Host host;
  HostServicesScope services(host);
  const int line = __LINE__ + 1;
  AAX_ASSERT(1 + 1 == 3);
  AAX_ASSERT(2 + 2 == 4);
  const auto reports = host.Services().Asserts();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].file, "HostServicesTest.cpp");
  EXPECT_EQ(reports[0].line, line);
  EXPECT_EQ(reports[0].note, "1 + 1 == 3");
  EXPECT_EQ(reports[0].flags, 1);
}

TEST(HostServices, HostWithOnlyTheFirstVersionStillReceivesReports) {
  Host host;
  host.Services().SetVersion(1);
  AAX_VHostServices services(host.Unknown());
  EXPECT_TRUE(services.HasHostServices());
  EXPECT_EQ(services.HandleAssertFailure("a.cpp", 3, "x", 1), 0);
  EXPECT_EQ(services.StackTrace(1, 2, "stack"), AAX_ERROR_NULL_OBJECT);
  ASSERT_EQ(host.Services().Asserts().size(), 1u);
  EXPECT_EQ(host.Services().Asserts()[0].note, "x");
}

TEST(HostServices, MissingInterfacesGiveNullObject) {
  Host host;
  host.RefuseClass(AAXCompID_HostServices);
  AAX_VHostServices services(host.Unknown());
  EXPECT_FALSE(services.HasHostServices());
  EXPECT_EQ(services.HandleAssertFailure("a.cpp", 1, "x", 1), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(services.Trace(0, "t"), AAX_ERROR_NULL_OBJECT);
  AAX_VHostServices none(nullptr);
  EXPECT_EQ(none.Trace(0, "t"), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(host.OutstandingReferences(), 0);
}

TEST(HostServices, TraceFormatsAndCutsAt512Characters) {
  Host host;
  HostServicesScope services(host);
  EXPECT_EQ(AAX_CHostServices::Trace(3, "%s has %d parameters", "Tollenbrook", 16), 0);
  const std::string longText(700, 'x');
  EXPECT_EQ(AAX_CHostServices::Trace(3, "%s", longText.c_str()), 0);
  const auto traces = host.Services().Traces();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].text, "Tollenbrook has 16 parameters");
  EXPECT_EQ(traces[0].priority, 3);
  EXPECT_EQ(traces[1].text, std::string(511, 'x'));
}

TEST(HostServices, TraceFormattingFailureGivesItsCode) {
  Host host;
  HostServicesScope services(host);
  const char* noFormat = nullptr;
  EXPECT_EQ(AAX_CHostServices::Trace(0, noFormat), AAX_ERROR_TRACE_FORMAT_FAILED);
  EXPECT_EQ(AAX_ERROR_TRACE_FORMAT_FAILED, -20051);
  EXPECT_TRUE(host.Services().Traces().empty());
}

TEST(HostServices, WithoutServicesReportsAreDroppedAndSucceed) {
  ASSERT_FALSE(AAX_CHostServices::IsSet());
  EXPECT_EQ(AAX_CHostServices::Trace(0, "%d", 1), 0);
  EXPECT_EQ(AAX_CHostServices::HandleAssertFailure("f", 1, "n"), 0);
}

TEST(CheckedResult, SuccessPassesAndFailureThrowsAfterTracing) {
  Host host;
  HostServicesScope services(host);
  AAX_CheckedResult guard;
  EXPECT_NO_THROW(guard = AAX_SUCCESS);
  EXPECT_EQ(guard.LastError(), 0);
  try {
    guard = AAX_ERROR_INVALID_CHUNK_INDEX;
    FAIL() << "no exception";
  } catch (const AAX::Exception::ResultError& e) {
    EXPECT_EQ(e.Result(), AAX_ERROR_INVALID_CHUNK_INDEX);
  }
  EXPECT_EQ(guard.Current(), 0) << "the guard is reset before it throws";
  EXPECT_EQ(guard.LastError(), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_THROW(AAX_CheckedResult initialised(-20700), AAX::Exception::ResultError);
  const auto traces = host.Services().Traces();
  ASSERT_EQ(traces.size(), 2u);
  EXPECT_EQ(traces[0].text, "AAX_CheckedResult - throwing AAX_ERROR_INVALID_CHUNK_INDEX (-20006)");
  EXPECT_EQ(traces[1].text, "AAX_CheckedResult - throwing plug-in defined error (-20700)");
}
