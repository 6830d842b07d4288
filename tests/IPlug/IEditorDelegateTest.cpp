#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IPlug/IEditorDelegate.h"

using iplug::IEditorDelegate;
using iplug::ParamSource;

namespace {
class RecordingDelegate : public IEditorDelegate {
public:
  explicit RecordingDelegate(int n) : IEditorDelegate(n) {}
  using IEditorDelegate::OnParamChange;
  void OnParamChange(int idx) override { mLog.push_back("change " + std::to_string(idx)); }
  void OnParamChangeInEditor(int idx, ParamSource source) override {
    mLog.push_back("editor " + std::to_string(idx) + " " + iplug::ParamSourceName(source));
  }
  bool HandleEditorMessage(int msgTag, int ctrlTag, int, const void*) override {
    mLog.push_back("msg " + std::to_string(msgTag) + " " + std::to_string(ctrlTag));
    return true;
  }
  std::vector<std::string> mLog;
};
}  // namespace

TEST(IEditorDelegate, NotifyAllParamsChangedRunsTheHookThenTheEditorInIndexOrder) {
  RecordingDelegate d(15);
  d.NotifyAllParamsChanged(ParamSource::kPresetRecall);
  ASSERT_EQ(d.mLog.size(), 30u);
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(d.mLog[2 * i], "change " + std::to_string(i));
    EXPECT_EQ(d.mLog[2 * i + 1], "editor " + std::to_string(i) + " Preset");
  }
}

TEST(IEditorDelegate, BaseBehavioursNeedNoEditor) {
  RecordingDelegate d(2);
  EXPECT_EQ(d.OpenEditor(nullptr), nullptr);
  ASSERT_EQ(d.mLog.size(), 2u) << "opening sends every value to the (absent) editor";
  EXPECT_EQ(d.mLog[0], "editor 0 Editor Delegate");
  d.mLog.clear();
  d.SendParamValueToEditor(1, 0.5, true);
  EXPECT_EQ(d.mLog, std::vector<std::string>{"editor 1 Editor Delegate"});
  d.mLog.clear();
  d.OnParamChange(1, ParamSource::kHost, 12);
  EXPECT_EQ(d.mLog, std::vector<std::string>{"change 1"});
  d.mLog.clear();
  d.SendControlMsgToEditor(7, 3, 0, nullptr);
  d.SendMessageToEditor(4, 0, nullptr);
  EXPECT_EQ(d.mLog, (std::vector<std::string>{"msg 3 7", "msg 4 -1"}));

  iplug::ByteChunk chunk;
  EXPECT_TRUE(d.WriteEditorGeometry(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(d.ReadEditorGeometry(chunk, 5), 5);
}

TEST(IEditorDelegate, SetParamFromEditorSetsTheValueAndTellsTheEditor) {
  RecordingDelegate d(1);
  d.GetParam(0)->InitInt("x", 0, 0, 10);
  d.SetParamFromEditor(0, 0.3);
  EXPECT_EQ(d.GetParam(0)->Value(), 3.0);
  EXPECT_EQ(d.mLog, std::vector<std::string>{"editor 0 UI"});
}

TEST(IEditorDelegate, SizeConstraintsAreOrdered) {
  RecordingDelegate d(0);
  EXPECT_EQ(d.GetMinWidth(), 10);
  EXPECT_EQ(d.GetMaxHeight(), 100000);
  d.SetSizeConstraints(756, 189, 295, 1182);
  EXPECT_EQ(d.GetMinWidth(), 189);
  EXPECT_EQ(d.GetMaxWidth(), 756);
  EXPECT_EQ(d.GetMinHeight(), 295);
  EXPECT_EQ(d.GetMaxHeight(), 1182);
}

TEST(ParamSource, Names) {
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::kReset), "Reset");
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::kHost), "Host");
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::kDelegate), "Editor Delegate");
  EXPECT_STREQ(iplug::ParamSourceName(ParamSource::kUnknown), "Unknown");
}
