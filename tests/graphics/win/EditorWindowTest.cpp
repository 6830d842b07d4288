// The editor in a real Win32 window inside a real host window (Wine with Xvfb and Mesa here),
// opened through the GUI object as an AAX host opens it.
#include <gtest/gtest.h>

#include "graphics/win/WinInclude.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "aax-library/AAX_Exports.h"
#include "graphics/IControl.h"
#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/win/WindowClass.h"
#include "product/TollenbrookParams.h"
#include "tests/graphics/nanovg/HeadlessEditor.h"
#include "tests/graphics/win/HostedEditor.h"

namespace tbtest {
namespace {

class EditorWindow : public HostedEditor {
protected:
  // Idle: no frame. Moving: at most one frame per tick of the clock.
  void CheckPacing() {
    PumpUntilIdle();
    const int settled = Win()->FramesDrawn();
    Pump(300);
    EXPECT_EQ(Win()->FramesDrawn(), settled) << "an idle editor draws nothing";
    const int frames0 = Win()->FramesDrawn();
    const int ticks0 = Win()->TicksHandled();
    for (int i = 0; i < 30; ++i) {
      Plug().SendParamValueFromProcessor(kParamGain, i % 21, false);  // as host automation does
      Pump(16);
    }
    PumpUntilIdle();
    const int frames = Win()->FramesDrawn() - frames0;
    const int ticks = Win()->TicksHandled() - ticks0;
    EXPECT_GT(frames, 0);
    EXPECT_LE(frames, ticks);
  }
};

igraphics::IControl* FirstControlOf(igraphics::IGraphics& g, int paramIdx) {
  for (int i = 0; i < g.NControls(); ++i)
    if (g.GetControl(i)->GetParamIdx(0) == paramIdx) return g.GetControl(i);
  return nullptr;
}

int ThreadsOfThisProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int n = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snapshot);
  return n;
}

TEST_F(EditorWindow, OpensInTheHostWindowAndDrawsWhatTheOffscreenEditorDraws) {
  AAX_Point size;
  ASSERT_EQ(GUI().GetViewSize(&size), 0);
  EXPECT_EQ(size.horz, 378.f);
  EXPECT_EQ(size.vert, 591.f);
  ASSERT_TRUE(OpenView()) << (Win() ? Win()->GetOpenError() : "no editor");
  EXPECT_STREQ(Win()->GetPlatformAPIName(), "win32");
  HWND child = ChildWindow();
  ASSERT_NE(child, nullptr) << "an \"IPlugWndClass\" child of the host window";
  EXPECT_EQ(child, Win()->GetWindow());
  RECT client;
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 378);
  EXPECT_EQ(client.bottom, 591);
  EXPECT_TRUE(PumpUntil([&] { return Win()->FramesDrawn() > 0; })) << "the first frames are drawn";
  // Before any audio both needles stand at full deflection.
  EXPECT_EQ(FirstControlOf(*Win(), kParamLimiterMeter)->GetValue(), 1.0);
  EXPECT_EQ(FirstControlOf(*Win(), kParamCompMeter)->GetValue(), 1.0);

  Image window;
  ASSERT_TRUE(Win()->ReadWindowPixels(window.px, window.w, window.h));
  ASSERT_EQ(window.w, 378);
  ASSERT_EQ(window.h, 591);

  ProductDelegate reference;
  if (!reference.OpenEditor(nullptr)) GTEST_SKIP() << "no off-screen OpenGL context for the reference";
  auto& headless = *static_cast<igraphics::IGraphicsHeadless*>(reference.GetUI());
  reference.SendParamValueToEditor(kParamLimiterMeter, 1.0, false);
  reference.SendParamValueToEditor(kParamCompMeter, 1.0, false);
  headless.SetManualTimeMs(0.0);
  headless.DrawAll();
  Image offscreen;
  ASSERT_TRUE(headless.ReadWindowPixels(offscreen.px, offscreen.w, offscreen.h));
  reference.CloseEditor();
  ASSERT_EQ(offscreen.w, window.w);
  ASSERT_EQ(offscreen.h, window.h);
  // The same GL rasteriser draws both; a window's framebuffer may round a little differently.
  int outliers = 0;
  double sum = 0.0;
  for (size_t i = 0; i < window.px.size(); ++i) {
    const int d = std::abs(static_cast<int>(window.px[i]) - static_cast<int>(offscreen.px[i]));
    sum += d;
    if (d > 8) ++outliers;
  }
  EXPECT_LE(sum / static_cast<double>(window.px.size()), 0.5);
  EXPECT_LE(outliers, static_cast<int>(window.px.size() / 1000)) << "channel values differing by more than 8";
}

// The window's own OpenGL context (the path of a real Windows system; under Wine the editor
// presents through GDI instead) draws the same image into the window's framebuffer.
TEST_F(EditorWindow, TheWindowsOwnContextDrawsTheSameImage) {
  ASSERT_TRUE(OpenView());
  Image usual;
  ASSERT_TRUE(Win()->ReadWindowPixels(usual.px, usual.w, usual.h));
  Win()->SetPresentThroughGDI(!Win()->PresentsThroughGDI());
  ASSERT_NE(Win()->OpenWindow(HostHandle()), nullptr) << Win()->GetOpenError();
  EXPECT_TRUE(PumpUntil([&] { return Win()->FramesDrawn() > 0; }));
  Image other;
  ASSERT_TRUE(Win()->ReadWindowPixels(other.px, other.w, other.h));
  ASSERT_EQ(other.px.size(), usual.px.size());
  int worst = 0;
  for (size_t i = 0; i < usual.px.size(); ++i)
    worst = std::max(worst, std::abs(static_cast<int>(usual.px[i]) - static_cast<int>(other.px[i])));
  EXPECT_LE(worst, 2);
}

// A host drawing with OpenGL on the same thread keeps its context: opening the editor and
// every activation of the editor's context give the caller's back.
TEST_F(EditorWindow, TheCallersOpenGLContextComesBack) {
  std::unique_ptr<igraphics::OffscreenGLContext> host = igraphics::OffscreenGLContext::Create();
  ASSERT_NE(host, nullptr) << igraphics::OffscreenGLContext::LastError();
  ASSERT_TRUE(host->Activate());
  const HGLRC hostContext = wglGetCurrentContext();
  ASSERT_NE(hostContext, nullptr);
  ASSERT_TRUE(OpenView());
  EXPECT_EQ(wglGetCurrentContext(), hostContext) << "after opening";
  Win()->ActivateGLContext();
  Win()->ActivateGLContext();
  EXPECT_NE(wglGetCurrentContext(), hostContext);
  Win()->DeactivateGLContext();
  Win()->DeactivateGLContext();
  EXPECT_EQ(wglGetCurrentContext(), hostContext) << "after a nested activation";
  Pump(100);
  EXPECT_EQ(wglGetCurrentContext(), hostContext) << "after painting";
  CloseView();
  EXPECT_EQ(wglGetCurrentContext(), hostContext) << "after closing";
  host->Deactivate();
}

TEST_F(EditorWindow, HostHighlightReachesTheOutputGainKnob) {
  EXPECT_EQ(GUI().SetControlHighlightInfo("3", 1, AAX_eHighlightColor_Yellow), AAX_ERROR_INVALID_PARAMETER_ID)
      << "no editor open";
  ASSERT_TRUE(OpenView());
  EXPECT_EQ(GUI().SetControlHighlightInfo("3", 1, AAX_eHighlightColor_Yellow), 0);
  for (int i = 0; i < Win()->NControls(); ++i) {
    const igraphics::IControl* c = Win()->GetControl(i);
    EXPECT_EQ(c->GetHighlighted(), c->GetParamIdx(0) == kParamGain) << "control " << i;
  }
  EXPECT_EQ(FirstControlOf(*Win(), kParamGain)->GetHighlightColor(), igraphics::kColorYellow);
  EXPECT_EQ(GUI().SetControlHighlightInfo("3", 0, AAX_eHighlightColor_Yellow), 0);
  EXPECT_FALSE(FirstControlOf(*Win(), kParamGain)->GetHighlighted());
}

TEST_F(EditorWindow, AZoomAsksTheHostWhoseWindowFollowsAndClosingRemovesTheWindow) {
  ASSERT_TRUE(OpenView());
  mLog.Clear();
  // What the corner resizer does at the end of its drag: the graphics context's own resize.
  Win()->Resize(378, 591, 1.5f, true);
  const std::vector<aaxhost::Call> requests = mLog.CallsNamed("SetViewSize");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].Is("SetViewSize", {"567", "886"})) << requests[0].ToString();
  int w = 0, h = 0;
  ASSERT_TRUE(mWindow->GetClientSize(w, h));
  EXPECT_EQ(w, 567);
  EXPECT_EQ(h, 886);
  RECT client;
  GetClientRect(ChildWindow(), &client);
  EXPECT_EQ(client.right, 567);
  EXPECT_EQ(client.bottom, 886);
  AAX_Point size;
  GUI().GetViewSize(&size);
  EXPECT_EQ(size.horz, 567.f);
  EXPECT_EQ(size.vert, 886.f);
  Pump(100);

  // A request for the size the window has is answered without troubling the host.
  mLog.Clear();
  EXPECT_TRUE(Plug().ResizeEditorWindow(567, 886));
  EXPECT_EQ(mLog.Count("SetViewSize"), 0u);

  CloseView();
  EXPECT_EQ(ChildWindow(), nullptr);
  EXPECT_EQ(Plug().GetUI(), nullptr);

  // A state with another zoom restored while the editor is closed: the host sized its window
  // from the size it was told, and the editor asks for its own when it opens.
  iplug::ByteChunk state;
  ASSERT_TRUE(Plug().SerializeState(state));
  const float zoom = 0.75f;
  std::memcpy(state.Data() + 8, &zoom, 4);
  ASSERT_GE(Plug().UnserializeState(state, 0), 0);
  GUI().GetViewSize(&size);
  mWindow->SetClientSize(static_cast<int>(size.horz), static_cast<int>(size.vert));
  mLog.Clear();
  ASSERT_TRUE(OpenView());
  ASSERT_TRUE(mWindow->GetClientSize(w, h));
  EXPECT_EQ(w, 283);
  EXPECT_EQ(h, 443);
}

TEST_F(EditorWindow, FiftyOpeningsLeakNoClassWindowContextTimerOrThread) {
  Pump(50);
  const int threadsBefore = ThreadsOfThisProcess();
  ASSERT_GT(threadsBefore, 0);
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(OpenView()) << "opening " << i;
    HWND child = ChildWindow();
    HGLRC context = Win()->GetGLContext();
    const auto module = static_cast<HINSTANCE>(Win()->GetWinModuleHandle());
    if (i % 10 == 0) Pump(40);
    CloseView();
    EXPECT_FALSE(IsWindow(child)) << "opening " << i;
    WNDCLASSEXA info{};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(GetClassInfoExA(module, igraphics::WindowClass::kName, &info)) << "class still registered";
    // (Under Wine the editor draws with an off-screen context that goes with its hidden window.)
    if (context) {
      EXPECT_FALSE(wglDeleteContext(context)) << "the GL context was still alive";
    }
  }
  EXPECT_EQ(igraphics::WindowClass::Users(), 0);
  int threadsAfter = ThreadsOfThisProcess();
  for (int wait = 0; wait < 50 && threadsAfter > threadsBefore; ++wait) {
    Pump(20);
    threadsAfter = ThreadsOfThisProcess();
  }
  EXPECT_LE(threadsAfter, threadsBefore) << "a redraw thread outlived its window";
  // The host lets go of everything: the module may be unloaded.
  mInstance->Destroy();
  EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
}

TEST_F(EditorWindow, DrawsOnlyWhatChangesAtMostOneFramePerTickAndNothingForStaleTicks) {
  ASSERT_TRUE(OpenView());
  // The clock this system gets (the window timer on systems older than Windows 8).
  CheckPacing();

  // The display-paced clock, whatever the system: the window is made again with it.
  Win()->SetVBlankMode(true);
  ASSERT_NE(Win()->OpenWindow(HostHandle()), nullptr);
  ASSERT_TRUE(Win()->GetVBlankThread().Running());
  CheckPacing();

  Win()->SetAllControlsDirty();
  const int before = Win()->FramesDrawn();
  const int stale = Win()->GetVBlankThread().Counter() - 3;
  SendMessageA(ChildWindow(), igraphics::VBlankThread::kMessage, static_cast<WPARAM>(stale), 0);
  EXPECT_EQ(Win()->FramesDrawn(), before) << "a stale vertical-blank message draws nothing";
  // The newest one draws; after a slow paint the window waits for the thread's next tick
  // first, so the thread gets a moment between attempts.
  for (int attempt = 0; attempt < 50 && Win()->FramesDrawn() == before; ++attempt) {
    Sleep(20);
    const int newest = Win()->GetVBlankThread().Counter();
    SendMessageA(ChildWindow(), igraphics::VBlankThread::kMessage, static_cast<WPARAM>(newest), 0);
  }
  EXPECT_EQ(Win()->FramesDrawn(), before + 1);
}

// Frames that redraw only what changed, through the window's invalidation and paint, leave
// the window exactly as a frame that redraws everything, at zooms from half to twice.
TEST_F(EditorWindow, PartialRedrawsArePixelExactAtEveryZoom) {
  ASSERT_TRUE(OpenView());
  int step = 0;
  for (const float zoom : {0.5f, 0.9f, 1.33f, 1.9f, 2.f}) {
    Win()->Resize(378, 591, zoom, true);
    PumpUntilIdle();
    ++step;
    for (const int idx : {kParamGain, kParamMix, kParamRatio, kParamOversample})
      Plug().SendParamValueFromProcessor(idx, step % 2, false);
    Plug().SendParamValueFromProcessor(kParamLimiterMeter, 0.1 * step, false);
    PumpUntilIdle();
    Image partial, full;
    ASSERT_TRUE(Win()->ReadWindowPixels(partial.px, partial.w, partial.h, false));
    ASSERT_TRUE(Win()->ReadWindowPixels(full.px, full.w, full.h, true));
    ASSERT_EQ(partial.px.size(), full.px.size());
    // Rows below the bottom of the screen are never shown, so the system keeps none there.
    RECT onScreen;
    GetWindowRect(ChildWindow(), &onScreen);
    const int visibleRows = std::min(full.h, GetSystemMetrics(SM_CYVIRTUALSCREEN) - static_cast<int>(onScreen.top));
    ASSERT_GT(visibleRows, full.h / 2);
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < visibleRows; ++y)
      for (int x = 0; x < full.w; ++x)
        if (std::memcmp(partial.At(x, y), full.At(x, y), 4) != 0 && differing++ == 0) firstX = x, firstY = y;
    EXPECT_EQ(differing, 0) << "zoom " << zoom << ", first at (" << firstX << ", " << firstY << ")";
  }
}

TEST_F(EditorWindow, AStateRestoredWhileOpenReachesTheEditorOnItsOwnThread) {
  ASSERT_TRUE(OpenView());
  iplug::ByteChunk state;
  ASSERT_TRUE(Plug().SerializeState(state));
  iplug::ByteChunk zoomed;
  zoomed.Append(int32_t{378});
  zoomed.Append(int32_t{591});
  zoomed.Append(1.25f);
  zoomed.AppendBytes(state.Data() + 12, state.Size() - 12);
  std::vector<uint8_t> record(sizeof(AAX_SPlugInChunkHeader) + static_cast<size_t>(zoomed.Size()));
  auto* chunk = reinterpret_cast<AAX_SPlugInChunk*>(record.data());
  chunk->fSize = zoomed.Size();
  std::memcpy(chunk->fData, zoomed.Data(), static_cast<size_t>(zoomed.Size()));
  std::thread worker([&] { EXPECT_EQ(Plug().SetChunk(Plug().GetUniqueID(), chunk), 0); });
  worker.join();
  EXPECT_EQ(Win()->GetDrawScale(), 1.f) << "nothing touched the editor from the chunk thread";
  EXPECT_TRUE(PumpUntil([&] { return Win()->GetDrawScale() == 1.25f; })) << "the editor's timer applies it";
  int w = 0, h = 0;
  mWindow->GetClientSize(w, h);
  EXPECT_EQ(w, 472);
  EXPECT_EQ(FirstControlOf(*Win(), kParamLimiterMeter)->GetValue(), 1.0) << "the needles stay up until audio";
}

}  // namespace
}  // namespace tbtest
