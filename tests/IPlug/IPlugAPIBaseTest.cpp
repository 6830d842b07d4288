#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "IPlug/HostId.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/TraceTimestamp.h"
#include "RecordingPlugin.h"

using iplug::ByteChunk;
using iplug::HostId;
using iplug::IdentifyHost;
using iplug::IPlugAPIBase;
using iplug::MidiMessage;
using iplug::SysexMessage;
using iplug::TextBuffer;
using testplug::RecordingPlugin;
using testplug::TestConfig;
using Log = std::vector<std::string>;

// ---- host recognition ----

TEST(IdentifyHost, MatchesContainedTextsCaseInsensitively) {
  EXPECT_EQ(IdentifyHost("Pro Tools"), iplug::kHostUnknown) << "the space keeps \"protools\" from matching";
  EXPECT_EQ(IdentifyHost("ProTools"), iplug::kHostProTools);
  EXPECT_EQ(IdentifyHost("WaveLab Elements 11"), iplug::kHostWaveLabElements);
  EXPECT_EQ(IdentifyHost("WaveLab 11"), iplug::kHostWaveLab);
  EXPECT_EQ(IdentifyHost("Ableton Live 11"), iplug::kHostAbletonLive);
  EXPECT_EQ(IdentifyHost("www standalone"), iplug::kHostStandalone) << "standalone is tried before www";
  EXPECT_EQ(IdentifyHost("REAPER64"), iplug::kHostReaper);
  EXPECT_EQ(IdentifyHost("Blue Cat's VST Host"), iplug::kHostBlueCat);
  EXPECT_EQ(IdentifyHost("Bitwig Studio"), iplug::kHostBitwig);
  EXPECT_EQ(IdentifyHost(""), iplug::kHostUnknown);
  EXPECT_EQ(IdentifyHost(nullptr), iplug::kHostUnknown);
}

TEST(IdentifyHost, EveryTableTextFindsItsOwnHostUnlessAnEarlierTextIsContainedInIt) {
  for (int id = 1; id <= iplug::kHostMixbus; ++id) {
    const std::string text = iplug::HostIdText(static_cast<HostId>(id));
    ASSERT_FALSE(text.empty()) << id;
    std::string shouted = text;
    for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const HostId found = IdentifyHost(("My " + shouted + " 2.0").c_str());
    if (found != id) {
      // Only allowed when the winner's text is inside this one and is searched first.
      const std::string winner = iplug::HostIdText(found);
      EXPECT_NE(text.find(winner), std::string::npos) << text << " recognised as " << winner;
    }
  }
  EXPECT_EQ(IdentifyHost("Mixbus 32C"), iplug::kHostMixbus);
  EXPECT_EQ(IdentifyHost("iZotope RX 10"), iplug::kHostIZotopeRX);
}

TEST(IdentifyHost, LongNamesAreSearchedWhole) {
  std::string name(400, 'x');
  name += "reaper";
  EXPECT_EQ(IdentifyHost(name.c_str()), iplug::kHostReaper);
}

TEST(IPlugAPIBase, SetHostStoresTheHostAndVersionThenTellsTheProduct) {
  RecordingPlugin plug(TestConfig(1));
  EXPECT_EQ(plug.GetHost(), iplug::kHostUninit);
  plug.SetHost("ProTools", 0x000A0203);
  EXPECT_EQ(plug.GetHost(), iplug::kHostProTools);
  EXPECT_EQ(plug.HostVersionNumber(), 0x000A0203);
  EXPECT_EQ(plug.HostVersionNumber(true), 100203);
  TextBuffer text;
  plug.HostVersionText(text);
  EXPECT_STREQ(text.Get(), "v10.2.3");
  EXPECT_EQ(plug.mLog, Log{"host recognised"});
}

// ---- versions and build texts ----

TEST(IPlugAPIBase, VersionsInPackedAndDecimalForm) {
  iplug::PluginConfig config = TestConfig(0);
  config.mVendorVersion = 0x00030000;
  RecordingPlugin plug(config);
  EXPECT_EQ(plug.VersionNumber(), 0x00030000);
  EXPECT_EQ(plug.VersionNumber(true), 30000);
  TextBuffer text;
  plug.VersionText(text);
  EXPECT_STREQ(text.Get(), "v3.0.0");
  EXPECT_EQ(IPlugAPIBase::DecimalVersion((12 << 16) | (34 << 8) | 56), 123456);
}

TEST(IPlugAPIBase, ApiAndArchitectureNames) {
  RecordingPlugin plug(TestConfig(0));
  EXPECT_STREQ(plug.ApiName(), "AAX");
  const char* expected[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "LV2", "CLAP"};
  for (int i = 0; i < 10; ++i) EXPECT_STREQ(IPlugAPIBase::ApiName(i), expected[i]);
  EXPECT_STREQ(IPlugAPIBase::ApiName(10), "");
  EXPECT_STREQ(IPlugAPIBase::ApiName(-1), "");
  EXPECT_STREQ(IPlugAPIBase::ArchitectureName(), "x86-64");
}

TEST(IPlugAPIBase, DescribeBuildNamesVersionApiArchitectureDateAndMinutes) {
  RecordingPlugin plug(TestConfig(0));
  TextBuffer text;
  plug.DescribeBuild(text, "Mar  4 2025", "13:07:59");
  EXPECT_STREQ(text.Get(), "v1.2.3 AAX (x86-64), built on Mar  4 2025 at 13:07 ");
}

TEST(IPlugAPIBase, IdentityAndEditorSizeComeFromTheConfiguration) {
  RecordingPlugin plug(TestConfig(3));
  EXPECT_STREQ(plug.GetPluginName(), "Test Plug");
  EXPECT_STREQ(plug.GetMfrName(), "Test Maker");
  EXPECT_EQ(plug.GetEditorWidth(), 300);
  EXPECT_EQ(plug.GetEditorHeight(), 200);
  EXPECT_EQ(plug.GetMinWidth(), 150) << "limits are ordered whichever way they were given";
  EXPECT_EQ(plug.GetMaxWidth(), 600);
  EXPECT_EQ(plug.GetMinHeight(), 100);
  EXPECT_EQ(plug.GetMaxHeight(), 400);

  std::string longName(300, 'n');
  iplug::PluginConfig config = TestConfig(0);
  config.mPluginName = longName.c_str();
  RecordingPlugin named(config);
  EXPECT_EQ(std::strlen(named.GetPluginName()), 128u);
}

TEST(TraceTimestamp, OffsetFromUtcAcrossMidnightAndNewYear) {
  std::tm local{};
  std::tm utc{};
  local.tm_hour = 14, local.tm_min = 30, local.tm_yday = 100;
  utc.tm_hour = 12, utc.tm_min = 0, utc.tm_yday = 100;
  EXPECT_EQ(iplug::UtcOffsetMinutes(local, utc), 150);

  local.tm_hour = 1, local.tm_min = 0, local.tm_yday = 101;  // local already tomorrow
  utc.tm_hour = 23, utc.tm_min = 0, utc.tm_yday = 100;
  EXPECT_EQ(iplug::UtcOffsetMinutes(local, utc), 120);

  local.tm_hour = 20, local.tm_yday = 364;  // local still on 31 December, UTC on 1 January
  utc.tm_hour = 1, utc.tm_yday = 0;
  EXPECT_EQ(iplug::UtcOffsetMinutes(local, utc), -300);

  local.tm_hour = 0, local.tm_min = 45, local.tm_yday = 0;  // local on 1 January, UTC on 31 December
  utc.tm_hour = 23, utc.tm_min = 0, utc.tm_yday = 365;
  EXPECT_EQ(iplug::UtcOffsetMinutes(local, utc), 105);

  local = std::tm{};
  local.tm_year = 125, local.tm_mon = 2, local.tm_mday = 4, local.tm_hour = 9, local.tm_min = 5;
  utc = local;
  utc.tm_hour = 14, utc.tm_min = 35;
  TextBuffer text;
  iplug::FormatTraceTimestamp(text, local, utc);
  EXPECT_STREQ(text.Get(), "20250304 09:05 -0530");
}

// ---- queues ----

TEST(IPlugAPIBase, ServiceQueuesDeliversEverythingInOrderThenTicks) {
  RecordingPlugin plug(TestConfig(4));
  plug.SendParamValueFromProcessor(2, 25.0, false);
  plug.SendParamValueFromProcessor(1, 0.5, true);  // converted to the plain value 50
  plug.SendParamValueFromProcessor(9, 1.0, false);  // not a parameter: dropped
  plug.SendParamValueFromProcessor(-1, 1.0, false);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.0) << "queueing does not change the parameter";
  EXPECT_TRUE(plug.SendMidiFromProcessor(MidiMessage{0, 0x90, 60, 100}));
  EXPECT_TRUE(plug.SendMidiFromProcessor(MidiMessage{3, 0x80, 60, 0}));
  const uint8_t bytes[] = {0xF0, 1, 2, 0xF7};
  EXPECT_TRUE(plug.SendSysexFromProcessor(SysexMessage{7, 4, bytes}));

  plug.ServiceQueues();
  EXPECT_EQ(plug.mLog, (Log{"toEditor 2 25 plain", "toEditor 1 50 plain", "midi 144", "midi 128",
                            "sysex 4 first 240", "tick"}));
  plug.mLog.clear();
  plug.ServiceQueues();
  EXPECT_EQ(plug.mLog, Log{"tick"}) << "the rings were drained";
}

TEST(IPlugAPIBase, ServiceQueuesWithoutAnEditorOnlyTicks) {
  RecordingPlugin plug(TestConfig(2, false));
  plug.SendParamValueFromProcessor(0, 10.0, false);
  plug.SendMidiFromProcessor(MidiMessage{0, 0x90, 60, 100});
  const uint8_t byte = 0xF0;
  plug.SendSysexFromProcessor(SysexMessage{0, 1, &byte});
  plug.ServiceQueues();
  EXPECT_EQ(plug.mLog, Log{"tick"});
  EXPECT_EQ(plug.mParamChangeFromProcessor.Count(), 1) << "left untouched";
  EXPECT_EQ(plug.mMidiMsgsFromProcessor.Count(), 1);
  EXPECT_EQ(plug.mSysExDataFromProcessor.Count(), 1);
}

TEST(IPlugAPIBase, TheParameterRingKeepsTheFirst512Values) {
  RecordingPlugin plug(TestConfig(1));
  for (int i = 0; i < 513; ++i) plug.SendParamValueFromProcessor(0, i * 0.1, false);
  EXPECT_EQ(plug.mParamChangeFromProcessor.Count(), 512);
  plug.ServiceQueues();
  ASSERT_EQ(plug.mLog.size(), 513u);
  EXPECT_EQ(plug.mLog[0], "toEditor 0 0 plain");
  EXPECT_EQ(plug.mLog[511], "toEditor 0 " + RecordingPlugin::Num(511 * 0.1) + " plain");
  EXPECT_EQ(plug.mLog[512], "tick");
}

TEST(IPlugAPIBase, AnOpeningEditorShowsCurrentValuesNotOnesQueuedBeforeIt) {
  RecordingPlugin plug(TestConfig(2));
  plug.OnStateRestored();  // queues the restored values while no editor is open
  plug.GetParam(1)->Set(75.0);  // then the host sets one directly
  plug.OnEditorOpened();
  plug.mLog.clear();
  plug.ServiceQueues();
  EXPECT_EQ(plug.mLog, Log{"tick"}) << "nothing older than the values the editor opened with";
}

// ---- editor to host ----

TEST(IPlugAPIBase, SetParamFromEditorSetsTellsTheHostRunsTheHookThenTellsTheEditor) {
  RecordingPlugin plug(TestConfig(3));
  plug.BeginParamGestureFromEditor(1);
  plug.SetParamFromEditor(1, 0.25);
  plug.EndParamGestureFromEditor(1);
  EXPECT_EQ(plug.mLog, (Log{"begin 1", "toHost 1 0.25 param 25", "source UI", "change 1 value 25", "editor 1 UI",
                            "end 1"}));
  EXPECT_EQ(plug.GetParam(1)->Value(), 25.0);

  plug.mLog.clear();
  plug.SetParamFromEditor(3, 0.5);  // not a parameter
  plug.BeginParamGestureFromEditor(-1);
  EXPECT_TRUE(plug.mLog.empty());
}

TEST(IPlugAPIBase, SendAllParamValuesToHostSendsNormalisedValuesInIndexOrder) {
  RecordingPlugin plug(TestConfig(3));
  plug.GetParam(0)->Set(10.0);
  plug.GetParam(2)->Set(100.0);
  plug.SendAllParamValuesToHost();
  EXPECT_EQ(plug.mLog, (Log{"toHost 0 0.1 param 10", "toHost 1 0 param 0", "toHost 2 1 param 100"}));
}

TEST(IPlugAPIBase, ResizeFromEditorAsksTheHostOnlyWhenTheHostWindowFollows) {
  RecordingPlugin plug(TestConfig(0));
  EXPECT_TRUE(plug.ResizeFromEditor(400, 500, false));
  EXPECT_TRUE(plug.mLog.empty());
  EXPECT_TRUE(plug.ResizeFromEditor(400, 500, true));
  EXPECT_EQ(plug.mLog, Log{"resize 400x500"});

  iplug::PluginConfig config = TestConfig(0);
  IPlugAPIBase bare(config, iplug::kAPIAAX);
  EXPECT_FALSE(bare.ResizeFromEditor(400, 500, true)) << "without a host window there is nothing to resize";
}

TEST(IPlugAPIBase, EditorMidiAndMessagesAreRouted) {
  RecordingPlugin plug(TestConfig(0));
  plug.SendMidiFromEditor(MidiMessage{5, 0xB0, 7, 64});
  MidiMessage msg;
  ASSERT_TRUE(plug.PopMidiFromEditor(msg));
  EXPECT_EQ(msg.mOffset, 5);
  EXPECT_EQ(msg.mData1, 7);
  EXPECT_FALSE(plug.PopMidiFromEditor(msg));
  for (int i = 0; i < 40; ++i) plug.SendMidiFromEditor(MidiMessage{i, 0x90, 1, 1});
  EXPECT_EQ(plug.mMidiMsgsFromEditor.Count(), 32);

  plug.SendMessageFromEditor(11, 22, 3, "abc");
  EXPECT_EQ(plug.mLog, Log{"message 11 22 3"});
}

TEST(IPlugAPIBase, SysexLongerThanARecordIsRefusedNotCut) {
  RecordingPlugin plug(TestConfig(0));
  std::vector<uint8_t> bytes(600);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);

  plug.SendSysexFromEditor(SysexMessage{0, 513, bytes.data()});
  EXPECT_EQ(plug.mSysExDataFromEditor.Count(), 0) << "513 bytes do not fit a record";
  plug.SendSysexFromEditor(SysexMessage{0, -4, bytes.data()});
  plug.SendSysexFromEditor(SysexMessage{0, 10, nullptr});
  EXPECT_EQ(plug.mSysExDataFromEditor.Count(), 0);
  EXPECT_FALSE(plug.SendSysexFromProcessor(SysexMessage{0, 600, bytes.data()}));

  plug.SendSysexFromEditor(SysexMessage{9, 512, bytes.data()});
  iplug::SysExData record;
  ASSERT_TRUE(plug.PopSysexFromEditor(record));
  EXPECT_EQ(record.mOffset, 9);
  ASSERT_EQ(record.mSize, 512);
  EXPECT_EQ(std::memcmp(record.mData, bytes.data(), 512), 0);

  for (int i = 0; i < 6; ++i) plug.SendSysexFromEditor(SysexMessage{i, 1, bytes.data()});
  EXPECT_EQ(plug.mSysExDataFromEditor.Count(), 4);
  ASSERT_TRUE(plug.PopSysexFromEditor(record));
  EXPECT_EQ(record.mOffset, 0) << "the oldest stays; the newest were dropped";
}

// ---- comparing a stored state ----

TEST(IPlugAPIBase, CompareStateMatchesTheDefaultStateToSinglePrecision) {
  RecordingPlugin plug(TestConfig(3));
  plug.GetParam(0)->Set(12.5);
  plug.GetParam(1)->Set(99.0);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 24);
  EXPECT_TRUE(plug.CompareState(chunk.Data(), 0, chunk.Size()));

  for (int i = 0; i < 3; ++i) {
    ByteChunk changed;
    for (int j = 0; j < 3; ++j) changed.Append(plug.GetParam(j)->Value() + (i == j ? 2e-5 : 0.0));
    EXPECT_FALSE(plug.CompareState(changed.Data(), 0, changed.Size())) << "parameter " << i;
  }

  // Start index counts doubles: one leading double is skipped.
  ByteChunk shifted;
  shifted.Append(-1.0);
  shifted.AppendBytes(chunk.Data(), chunk.Size());
  EXPECT_TRUE(plug.CompareState(shifted.Data(), 1, shifted.Size()));
  EXPECT_FALSE(plug.CompareState(shifted.Data(), 0, shifted.Size()));

  EXPECT_FALSE(plug.CompareState(chunk.Data(), 0, chunk.Size() - 1)) << "too short to hold every value";
  EXPECT_FALSE(plug.CompareState(nullptr, 0, 0));
  const double nan[3] = {NAN, 99.0, 0.0};
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const uint8_t*>(nan), 0, sizeof nan));

  RecordingPlugin empty(TestConfig(0));
  EXPECT_TRUE(empty.CompareState(nullptr, 0, 0)) << "nothing to differ";
}
