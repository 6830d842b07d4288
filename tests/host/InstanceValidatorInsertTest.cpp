#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/validator/InstanceValidatorInsert.h"
#include "host/validator/Validation.h"
#include "host/FakePlugin.h"

// The validator's host for a format whose host holds the parameter values: what it keeps of
// what it is given, what it passes on to the plug-in, and what it refuses.
namespace {

struct Made {
  hosttest::FakePlugin* plugin = nullptr;
  std::unique_ptr<tbvalidate::ValidatorInsert> insert;
};

Made Make() {
  auto plugin = std::make_unique<hosttest::FakePlugin>();
  Made made{plugin.get(), nullptr};
  std::string error;
  made.insert = tbvalidate::InstanceValidatorInsert::Create(std::move(plugin), 2, 48000.0, 1024, error);
  EXPECT_TRUE(made.insert) << error;
  return made;
}

TEST(InstanceValidatorInsert, KeepsValuesClampedAndOnTheirStepsAndPassesThemOnAsPlainValues) {
  Made m = Make();
  const tbvalidate::HostParam& latency = m.insert->Params().at(0);
  EXPECT_EQ(latency.name, "Latency");
  EXPECT_EQ(latency.steps, 3);
  ASSERT_EQ(m.insert->Params().size(), 2u);  // the meter channel is no parameter
  struct Case {
    double given, kept;
    const char* text;
  };
  for (const Case& c : {Case{0.7, 0.5, "64"}, Case{1.5, 1.0, "128"}, Case{-3.0, 0.0, "None"},
                        Case{std::numeric_limits<double>::quiet_NaN(), 0.0, "None"},
                        Case{std::numeric_limits<double>::infinity(), 1.0, "128"}}) {
    m.insert->Automate(latency.id, c.given);
    EXPECT_EQ(m.insert->Normalized(latency.id), c.kept) << c.given;
    EXPECT_EQ(m.insert->CurrentText(latency), c.text) << c.given;
  }
  EXPECT_EQ(m.plugin->mLog.back(), "set 0 2");
  double value = -1.0;
  EXPECT_TRUE(m.insert->ValueFromText(latency, "64", value));
  EXPECT_EQ(value, 0.5);
  EXPECT_TRUE(m.insert->ValueFromText(latency, "1e300", value));
  EXPECT_EQ(value, 1.0);
  EXPECT_FALSE(m.insert->ValueFromText(latency, "later", value));
}

TEST(InstanceValidatorInsert, RendersEveryOutputAndMovesOnAndRefusesSessionsItCannotRead) {
  Made m = Make();
  m.insert->Automate(m.insert->Params()[0].id, 1.0);
  for (int c = 0; c < 2; ++c) std::fill_n(m.insert->Input(c), 300, 0.25f);
  ASSERT_NE(m.insert->Key(), nullptr);
  std::fill_n(m.insert->Key(), 300, 0.0f);
  m.insert->Render(300, true);
  EXPECT_EQ(m.insert->ExamineOutputs(300, 1.0), "");
  EXPECT_EQ(m.insert->Position(), 300);
  EXPECT_EQ(m.insert->ReportedLatency(), 128);

  std::string error;
  std::vector<unsigned char> session;
  EXPECT_FALSE(m.insert->SaveState(session, error));
  EXPECT_NE(error, "");
  // Values that are not numbers, or fewer bytes than values: refused, nothing changes.
  const std::vector<unsigned char> nan = {0, 0, 0xC0, 0x7F, 0, 0, 0, 0};
  const std::vector<unsigned char> shortOne = {0, 0, 0, 0};
  for (const auto& bytes : {nan, shortOne}) {
    error.clear();
    EXPECT_FALSE(m.insert->LoadState(bytes, error));
    EXPECT_NE(error, "");
    EXPECT_EQ(m.insert->Normalized(m.insert->Params()[0].id), 1.0);
  }
}

TEST(InstanceValidatorInsert, TheParameterChecksPassAPlugInWithoutParameters) {
  std::ostringstream out;
  tbvalidate::ValidationReport report(out);
  tbvalidate::Validation v(
      [](int channels, double rate, int maxBlock, std::string& error) {
        auto plugin = std::make_unique<hosttest::FakePlugin>();
        plugin->DropParameters();
        return tbvalidate::InstanceValidatorInsert::Create(std::move(plugin), channels, rate, maxBlock, error);
      },
      tbvalidate::ValidationPlan::For(10), 1, report);
  tbvalidate::CheckParameters(v);
  EXPECT_GT(report.Passed(), 0) << out.str();
  EXPECT_EQ(report.Failed(), 0) << out.str();
}

}  // namespace
