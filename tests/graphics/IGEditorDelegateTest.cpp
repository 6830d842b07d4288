#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/EditorFixture.h"
#include "graphics/IBitmapBase.h"
#include "graphics/ICornerResizerControl.h"

using namespace testgraphics;

namespace {

iplug::ByteChunk Geometry(int32_t w, int32_t h, float scale) {
  iplug::ByteChunk chunk;
  chunk.Append(w);
  chunk.Append(h);
  chunk.Append(scale);
  return chunk;
}

struct Read3 {
  int32_t w = -1, h = -1;
  float s = -1.f;
};

Read3 ReadBack(const iplug::ByteChunk& chunk, int pos = 0) {
  Read3 r;
  EXPECT_EQ(chunk.Read(r.w, pos), pos + 4);
  EXPECT_EQ(chunk.Read(r.h, pos + 4), pos + 8);
  EXPECT_EQ(chunk.Read(r.s, pos + 8), pos + 12);
  return r;
}

class GraphicsEditorDelegate : public EditorFixture {};

}  // namespace

TEST_F(GraphicsEditorDelegate, GeometryBeforeAnyEditorIsTwelveZeroBytes) {
  iplug::ByteChunk chunk;
  EXPECT_TRUE(mDelegate.WriteEditorGeometry(chunk));
  ASSERT_EQ(chunk.Size(), 12);
  const uint8_t zeros[12] = {};
  EXPECT_EQ(std::memcmp(chunk.Data(), zeros, 12), 0);
}

TEST_F(GraphicsEditorDelegate, SizeAndScaleSurviveCloseAndReopenAndTravelInTheState) {
  OpenEditor();
  G().Resize(567, 886, 1.5f, true);
  iplug::ByteChunk live;
  EXPECT_TRUE(mDelegate.WriteEditorGeometry(live));
  Read3 r = ReadBack(live);
  EXPECT_EQ(r.w, 567);
  EXPECT_EQ(r.h, 886);
  EXPECT_EQ(r.s, 1.5f);

  CloseEditor();
  EXPECT_EQ(mDelegate.GetUI(), nullptr);
  iplug::ByteChunk closed;
  EXPECT_TRUE(mDelegate.WriteEditorGeometry(closed));
  EXPECT_TRUE(closed.IsEqual(live)) << "the closed editor writes what it saved";

  TakeEvents();
  OpenEditor();
  EXPECT_EQ(G().Width(), 567);
  EXPECT_EQ(G().Height(), 886);
  EXPECT_EQ(G().GetDrawScale(), 1.5f);
  const std::vector<std::string> events = TakeEvents();
  const auto resize = std::find(events.begin(), events.end(), "resize 850x1329 host");
  const auto open = std::find(events.begin(), events.end(), "OpenWindow");
  ASSERT_NE(resize, events.end());
  ASSERT_NE(open, events.end());
  EXPECT_LT(resize, open) << "resized before its window opens";

  // A state from elsewhere resizes the open editor...
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(400, 600, 0.75f), 0), 12);
  EXPECT_EQ(G().Width(), 400);
  EXPECT_EQ(G().GetDrawScale(), 0.75f);
  // ...and, read while closed, the next one.
  CloseEditor();
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(500, 700, 1.25f), 0), 12);
  OpenEditor();
  EXPECT_EQ(G().Width(), 500);
  EXPECT_EQ(G().Height(), 700);
  EXPECT_EQ(G().GetDrawScale(), 1.25f);
}

TEST_F(GraphicsEditorDelegate, GeometryWithAZeroIsNotApplied) {
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(0, 591, 1.f), 0), 12);
  OpenEditor();
  EXPECT_EQ(G().Width(), 378) << "the factory's size";
  EXPECT_EQ(G().Height(), 591);
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(500, 700, 0.f), 0), 12);
  EXPECT_EQ(G().Width(), 378) << "a zero scale leaves the open editor alone";
}

TEST_F(GraphicsEditorDelegate, TruncatedGeometryFailsAndKeepsTheSavedSize) {
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(567, 886, 1.5f), 0), 12);
  iplug::ByteChunk chunk;
  chunk.Append(int32_t{600});
  chunk.Append(int32_t{800});
  EXPECT_EQ(mDelegate.ReadEditorGeometry(chunk, 0), -1);
  EXPECT_EQ(mDelegate.GetSavedWidth(), 567) << "a damaged state does not wipe the size the user chose";
  EXPECT_EQ(mDelegate.GetSavedHeight(), 886);
  EXPECT_EQ(mDelegate.GetSavedScale(), 1.5f);
  mDelegate.ReadEditorGeometry(Geometry(0, 0, 0.f), 0);
  OpenEditor();
  EXPECT_EQ(G().Width(), 378) << "no scale: not applied";
  EXPECT_EQ(mDelegate.ReadEditorGeometry(chunk, 4), -1);
  EXPECT_EQ(mDelegate.ReadEditorGeometry(chunk, -1), -1);
  EXPECT_EQ(G().Width(), 378);
  // A reading position in the middle of a longer state.
  iplug::ByteChunk state;
  state.Append(int32_t{7});
  state.AppendBytes(Geometry(420, 620, 1.f).Data(), 12);
  EXPECT_EQ(mDelegate.ReadEditorGeometry(state, 4), 16);
  EXPECT_EQ(G().Width(), 420);
}

TEST_F(GraphicsEditorDelegate, BrokenGeometryIsClampedNotTrusted) {
  float nan = std::nanf("");
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(100000, -5, nan), 0), 12);
  OpenEditor();
  EXPECT_EQ(G().Width(), 756);
  EXPECT_EQ(G().Height(), 295);
  EXPECT_EQ(G().GetDrawScale(), 1.f) << "a scale that is not a number keeps the zoom";
  EXPECT_EQ(mDelegate.ReadEditorGeometry(Geometry(378, 591, 40.f), 0), 12);
  EXPECT_EQ(G().GetDrawScale(), 2.f);
}

TEST_F(GraphicsEditorDelegate, WithoutAFactoryNoEditorOpens) {
  TestDelegate bare(&mEvents);
  EXPECT_EQ(bare.OpenEditor(&mParentWindow), nullptr);
  EXPECT_EQ(bare.GetUI(), nullptr);
  bare.CloseEditor();
  EXPECT_FALSE(bare.ForwardKeyDown(iplug::IKeyPress("a", 'A')));
  bare.SendParamValueToEditor(3, 0.5, true);
  EXPECT_EQ(bare.mParamChangesInEditor, 1) << "the delegate hears of values without an editor";
}

TEST_F(GraphicsEditorDelegate, ValuesFanOutOnlyToTheBoundControlsAndAlwaysNotify) {
  OpenEditor();
  IControl* mix = ControlFor(kParamMix);
  const int before = mDelegate.mParamChangesInEditor;
  mDelegate.SendParamValueToEditor(kParamMix, 11, false);
  EXPECT_DOUBLE_EQ(mix->GetValue(), 0.5);
  mDelegate.SendParamValueToEditor(kParamMix, 0.25, true);
  EXPECT_DOUBLE_EQ(mix->GetValue(), 0.25);
  for (int i = 1; i < G().NControls(); ++i) {
    IControl* c = G().GetControl(i);
    if (c == mix) continue;
    EXPECT_DOUBLE_EQ(c->GetValue(), mDelegate.GetParam(c->GetParamIdx())->GetNormalized()) << i;
  }
  mDelegate.SendParamValueToEditor(99, 0.5, true);  // not a parameter
  EXPECT_EQ(mDelegate.mParamChangesInEditor, before + 3);
}

TEST_F(GraphicsEditorDelegate, KeysAreForwardedAtTheMousePositionButNeverToTheBackground) {
  OpenEditor();
  int keys = 0;
  G().SetKeyHandlerFunc([&](const IKeyPress&, bool isUp) {
    ++keys;
    return !isUp;
  });
  G().mMouseX = 10;
  G().mMouseY = 10;
  EXPECT_TRUE(mDelegate.ForwardKeyDown(iplug::IKeyPress(" ", 32)));
  EXPECT_FALSE(mDelegate.ForwardKeyUp(iplug::IKeyPress(" ", 32)));
  EXPECT_EQ(keys, 2) << "the background takes no keys, so the fallback decides";
}

TEST_F(GraphicsEditorDelegate, ScreenScaleRescalesTheBitmapsAndTheWindow) {
  OpenEditor();
  TakeEvents();
  mDelegate.SetEditorScreenScale(2.f);
  EXPECT_EQ(G().GetScreenScale(), 2.f);
  EXPECT_EQ(G().GetTotalScale(), 2.f);
  const std::vector<std::string> events = TakeEvents();
  EXPECT_NE(std::find(events.begin(), events.end(), "resize 756x1182 host"), events.end());
  EXPECT_NE(std::find(events.begin(), events.end(), "DrawResize"), events.end());
  // The strips are now the 2x images themselves, same logical size.
  auto* bg = dynamic_cast<IBitmapBase*>(Control(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->GetBitmap().GetScale(), 2.f);
  EXPECT_EQ(bg->GetBitmap().W(), 378);
  EXPECT_EQ(bg->GetBitmap().H(), 591);
}

TEST_F(GraphicsEditorDelegate, AScreenScaleThatIsNoScaleIsIgnored) {
  OpenEditor();
  mDelegate.SetEditorScreenScale(2.f);
  TakeEvents();
  for (const float broken : {0.f, -1.f, std::nanf(""), INFINITY}) {
    G().SetScreenScale(broken);
    EXPECT_EQ(G().GetScreenScale(), 2.f) << "a double-density screen stays sharp after a report of " << broken;
  }
  EXPECT_TRUE(TakeEvents().empty()) << "nothing resized or redrawn";
}

TEST_F(GraphicsEditorDelegate, HostHighlightMarksTheControlsOfAParameter) {
  OpenEditor();
  G().Frame();
  G().SetControlHighlight(kParamRatio, true, 1);
  IControl* knob = ControlFor(kParamRatio);
  EXPECT_TRUE(knob->GetHighlighted());
  EXPECT_EQ(knob->GetHighlightColor(), kColorBlue);
  const std::vector<DrawOp> frame = G().Frame();
  const auto dot = std::find_if(frame.begin(), frame.end(), [](const DrawOp& op) { return op.kind == DrawOp::kFill; });
  ASSERT_NE(dot, frame.end());
  EXPECT_EQ(dot->color, kColorBlue);
  G().SetControlHighlight(kParamRatio, false, 7);
  EXPECT_FALSE(knob->GetHighlighted());
  EXPECT_EQ(knob->GetHighlightColor(), kColorBlue) << "an unknown code keeps the colour";
}

TEST_F(GraphicsEditorDelegate, ControlTagsReachControlValuesAndMessages) {
  OpenEditor();
  struct MsgControl : IControl {
    MsgControl() : IControl(IBounds(1, 1, 2, 2)) {}
    void Draw(IGraphics&) override {}
    void OnMsgFromDelegate(int msgTag, int dataSize, const void*) override { got = msgTag * 100 + dataSize; }
    void OnMidi(const iplug::MidiMessage& msg) override { midi = msg.mData1; }
    int got = 0;
    int midi = 0;
  };
  auto* c = new MsgControl;
  c->SetWantsMidi(true);
  ASSERT_EQ(G().AttachControl(c, 7), c);
  auto* dup = new MsgControl;
  EXPECT_EQ(G().AttachControl(dup, 7), nullptr) << "a used tag attaches nothing";
  delete dup;
  mDelegate.SetControlValueInEditor(7, 0.25);
  EXPECT_EQ(c->GetValue(), 0.25);
  mDelegate.SendControlMsgToEditor(7, 3, 4, nullptr);
  EXPECT_EQ(c->got, 304);
  iplug::MidiMessage msg;
  msg.mData1 = 60;
  mDelegate.SendMidiToEditor(msg);
  EXPECT_EQ(c->midi, 60);
}
