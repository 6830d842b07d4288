#include <gtest/gtest.h>

#include <sstream>

#include "host/cli/ParamResolver.h"
#include "host/cli/ParamsCommand.h"

namespace {

using tbhost::ParamInfo;
using tbhost::ParamResolver;
using tbhost::ParamSetting;

// A table shaped like a plug-in's: stepped integers, texts on some, a channel that cannot be set.
std::vector<ParamInfo> Table() {
  ParamInfo level;
  level.index = 0;
  level.name = "Output Level";
  level.settable = true;
  level.min = 0;
  level.max = 4;
  level.defaultValue = 2;
  level.displayTexts = {{0, "-6dB"}, {1, "-3dB"}, {2, "0dB"}, {3, "3dB"}, {4, "6dB"}};
  ParamInfo fine;
  fine.index = 1;
  fine.name = "Fine";
  fine.settable = true;
  fine.min = -1.0;
  fine.max = 1.0;
  fine.step = 0.25;
  ParamInfo meter;
  meter.index = 2;
  ParamInfo mode;
  mode.index = 3;
  mode.name = "Mode";
  mode.settable = true;
  mode.max = 1;
  mode.displayTexts = {{0, "Mode Off"}, {1, "Mode On"}};
  return {level, fine, meter, mode};
}

ParamSetting Resolved(const std::string& text) {
  const std::vector<ParamInfo> table = Table();
  ParamSetting s{-1, -99.0};
  std::string error;
  EXPECT_TRUE(ParamResolver(table).Resolve(text, s, error)) << text << ": " << error;
  return s;
}

std::string Rejected(const std::string& text) {
  const std::vector<ParamInfo> table = Table();
  ParamSetting s;
  std::string error;
  EXPECT_FALSE(ParamResolver(table).Resolve(text, s, error)) << text << " was accepted as " << s.value;
  return error;
}

TEST(ParamResolver, NamesMatchExactlyOrIgnoringCaseAndBlanks) {
  EXPECT_EQ(Resolved("Output Level=3dB").index, 0);
  EXPECT_EQ(Resolved("output level=3dB").index, 0);
  EXPECT_EQ(Resolved("  OUTPUTLEVEL = 3dB ").index, 0);
  EXPECT_EQ(Resolved("3=Mode On").index, 3);
  EXPECT_EQ(Resolved("0=1").index, 0);
}

TEST(ParamResolver, DisplayTextsWinOverNumbers) {
  EXPECT_EQ(Resolved("Output Level=0dB").value, 2.0);  // the text, not the number 0
  EXPECT_EQ(Resolved("Output Level=0").value, 0.0);
  EXPECT_EQ(Resolved("Output Level=-6 dB").value, 0.0);
  EXPECT_EQ(Resolved("Mode=mode on").value, 1.0);
}

TEST(ParamResolver, NumbersMustLieInTheRangeAndOnAStep) {
  EXPECT_EQ(Resolved("Fine=-0.75").value, -0.75);
  EXPECT_EQ(Resolved("Fine=+1").value, 1.0);
  EXPECT_EQ(Resolved("Fine=2.5e-1").value, 0.25);
  EXPECT_EQ(Resolved("Output Level=4.0").value, 4.0);
  EXPECT_NE(Rejected("Fine=0.3").find("not on a step"), std::string::npos);
  EXPECT_NE(Rejected("Fine=1.25").find("out of range"), std::string::npos);
  EXPECT_NE(Rejected("Output Level=-1").find("out of range"), std::string::npos);
  for (const char* bad : {"Fine=0x1", "Fine=inf", "Fine=nan", "Fine=", "Fine=.", "Fine=-", "Fine=1e", "Fine=1 2"})
    EXPECT_NE(Rejected(bad).find("not a value"), std::string::npos) << bad;
}

TEST(ParamResolver, UnknownNamesChannelsAndMalformedSettingsAreRefused) {
  EXPECT_NE(Rejected("Volume=1").find("unknown parameter 'Volume'"), std::string::npos);
  EXPECT_NE(Rejected("4=1").find("unknown parameter '4'"), std::string::npos);
  EXPECT_NE(Rejected("99999999999=1").find("unknown parameter"), std::string::npos);
  EXPECT_NE(Rejected("2=0").find("meter channel"), std::string::npos);
  EXPECT_NE(Rejected("=1").find("unknown parameter ''"), std::string::npos);
  EXPECT_NE(Rejected("Fine").find("NAME=VALUE"), std::string::npos);
  const std::string choices = Rejected("Output Level=7dB");
  EXPECT_NE(choices.find("-6dB, -3dB, 0dB, 3dB, 6dB"), std::string::npos) << choices;
}

TEST(ParamsCommand, ListsEveryParameterWithRangeDefaultAndTexts) {
  std::ostringstream out;
  tbhost::ParamsCommand::Print(Table(), out);
  const std::string text = out.str();
  EXPECT_NE(text.find("Output Level"), std::string::npos);
  EXPECT_NE(text.find("0 to 4"), std::string::npos);
  EXPECT_NE(text.find("2 (0dB)"), std::string::npos);
  EXPECT_NE(text.find("0=-6dB  1=-3dB  2=0dB  3=3dB  4=6dB"), std::string::npos) << text;
  EXPECT_NE(text.find("-1 to 1"), std::string::npos);
  EXPECT_NE(text.find("(meter channel)"), std::string::npos);
  EXPECT_NE(text.find("1=Mode On"), std::string::npos);
}

}  // namespace
