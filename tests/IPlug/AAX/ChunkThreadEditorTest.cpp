// A host that saves and restores the plug-in's state on a worker thread while the editor is
// open: the chunk calls must not touch the editor or its window. Restored values and geometry
// reach the editor through the rings and the timer on the editor's thread, and the geometry a
// save writes is the one the editor's thread published. Built with the linux-tsan preset this
// is the race detector's test; elsewhere it checks the outcome.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "AAXTestRig.h"
#include "host/aax/ChunkRecord.h"
#include "product/Tollenbrook.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"
#include "product/TollenbrookParams.h"
#include "support/TestParentWindow.h"

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

#ifndef _WIN32
#include "graphics/headless/IGraphicsHeadless.h"
#endif

namespace {

// (On Windows the window's own test program covers this: a window needs its message loop.)
#ifndef _WIN32
constexpr AAX_CTypeID kTLK1 = AAX_FourCC("TLK1");

// A saved state with its first 12 bytes (editor geometry) replaced.
aaxhost::ChunkRecord WithGeometry(const aaxhost::ChunkRecord& saved, int32_t w, int32_t h, float scale) {
  std::vector<unsigned char> bytes = saved.Data();
  std::memcpy(bytes.data(), &w, 4);
  std::memcpy(bytes.data() + 4, &h, 4);
  std::memcpy(bytes.data() + 8, &scale, 4);
  return aaxhost::ChunkRecord::WithData(kTLK1, bytes.data(), bytes.size());
}

igraphics::IControl* FirstControlOf(igraphics::IGraphics& g, int paramIdx) {
  for (int i = 0; i < g.NControls(); ++i)
    if (g.GetControl(i)->GetParamIdx(0) == paramIdx) return g.GetControl(i);
  return nullptr;
}

TEST(ChunkThreadEditor, SavesAndRestoresBesideAnOpenEditorWithoutTouchingIt) {
  aaxtest::HostedPlug<iplug::IPlugAAX> hosted{MakePlugInstance(iplug::InstanceInfo{})};
  ASSERT_EQ(hosted.initResult, 0);
  iplug::IPlugAAX& plug = *hosted.plug;
  AAX_IACFEffectParameters& effect = hosted.Effect();
  // The off-screen editor, whose frames the test draws itself; the X11 window's own tests
  // cover a window.
  InstallTollenbrookEditor(plug, MakeTollenbrookOffscreenGraphics);
  plug.OpenEditor(tbtest::TestParentWindow());
  auto* ui = dynamic_cast<igraphics::IGraphicsHeadless*>(plug.GetUI());
  if (!ui || !ui->WindowIsOpen()) GTEST_SKIP() << "no off-screen OpenGL context here";

  aaxhost::ChunkRecord saved;
  ASSERT_EQ(aaxhost::ReadChunk(effect, kTLK1, &saved), 0);
  const aaxhost::ChunkRecord small = WithGeometry(saved, 378, 591, 0.75f);
  const aaxhost::ChunkRecord large = WithGeometry(saved, 378, 591, 1.5f);

  constexpr int kRounds = 200;
  std::atomic<bool> done{false};
  std::thread chunkThread([&] {
    for (int i = 0; i < kRounds; ++i) {
      aaxhost::ChunkRecord record;
      EXPECT_EQ(aaxhost::ReadChunk(effect, kTLK1, &record), 0);
      const aaxhost::ChunkRecord& next = (i % 2 == 0) ? small : large;
      EXPECT_EQ(effect.SetChunk(kTLK1, next.Get()), 0);
    }
    done.store(true, std::memory_order_release);
  });
  // The editor's thread: timer ticks, frames, and the user closing and reopening the editor.
  for (int tick = 0; !done.load(std::memory_order_acquire); ++tick) {
    plug.ServiceQueues();
    if (auto* g = dynamic_cast<igraphics::IGraphicsHeadless*>(plug.GetUI())) g->DrawFrame();
    if (tick % 40 == 39) {
      plug.CloseEditor();
      plug.OpenEditor(tbtest::TestParentWindow());
    }
    std::this_thread::yield();
  }
  chunkThread.join();
  plug.ServiceQueues();

  // The last restore (kRounds is even: the large one) is what the editor shows and saves.
  ASSERT_NE(plug.GetUI(), nullptr);
  EXPECT_EQ(plug.GetUI()->GetDrawScale(), 1.5f);
  aaxhost::ChunkRecord after;
  ASSERT_EQ(aaxhost::ReadChunk(effect, kTLK1, &after), 0);
  float scale = 0.f;
  std::memcpy(&scale, after.Data().data() + 8, 4);
  EXPECT_EQ(scale, 1.5f);
  // The restored meter parameters are zeros; the needles still wait for audio at full deflection.
  EXPECT_EQ(FirstControlOf(*plug.GetUI(), kParamLimiterMeter)->GetValue(), 1.0);
  EXPECT_EQ(FirstControlOf(*plug.GetUI(), kParamCompMeter)->GetValue(), 1.0);
  plug.CloseEditor();
}
#endif

// The master bypass changed by a road other than the binding's own setters: the render path
// sees the parameter's value, not an outdated copy.
TEST(MasterBypass, TheRenderPathFollowsEveryChangeOfTheParameter) {
  aaxtest::HostedPlug<iplug::IPlugAAX> hosted{MakePlugInstance(iplug::InstanceInfo{})};
  ASSERT_EQ(hosted.initResult, 0);
  iplug::IPlugAAX& plug = *hosted.plug;
  AAX_CString bypassID;
  plug.GetMasterBypassParameter(&bypassID);
  AAX_IParameter* bypass = nullptr;
  ASSERT_EQ(hosted.Effect().GetParameter(bypassID.Get(), &bypass), 0);
  ASSERT_NE(bypass, nullptr);
  EXPECT_FALSE(plug.IsHostBypassed());
  bypass->SetAutomationDelegate(nullptr);  // applied at once, no host answer comes back
  bypass->SetValueWithBool(true);
  EXPECT_TRUE(plug.IsHostBypassed());
  bypass->SetToDefaultValue();
  EXPECT_FALSE(plug.IsHostBypassed());
  EXPECT_TRUE(bypass->SetValueFromString(AAX_CString("on")));
  bool value = false;
  bypass->GetValueAsBool(&value);
  EXPECT_EQ(plug.IsHostBypassed(), value);
}

}  // namespace
