#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "EditorPicture.h"
#include "host/cli/CLAPEditorWindow.h"
#include "host/cli/CLAPPluginInstance.h"

// Tollenbrook.clap's editor in a window of our host, opened through the gui extension, its
// timer and (Linux) X connection driven by the host's loop; what the window shows is the editor
// the plug-in draws off-screen.
namespace {

TEST(CLAPEditor, OpensInTheHostsWindowRunsOnItsLoopAndShowsTheEditor) {
  const char* bundle = std::getenv("TOLLENBROOK_CLAP_BUNDLE");
  if (!bundle) GTEST_SKIP() << "no CLAP plug-in in this build";
  if (!aaxhost::HostWindow::Supported()) GTEST_SKIP() << "no window system";
  std::string error;
  std::unique_ptr<tbhost::CLAPPluginInstance> plugin = tbhost::CLAPPluginInstance::Create(bundle, error);
  ASSERT_TRUE(plugin) << error;
  std::unique_ptr<tbhost::CLAPEditorWindow> editor = tbhost::CLAPEditorWindow::Open(*plugin, 1.0, true, error);
  ASSERT_TRUE(editor) << error;
  int width = 0, height = 0;
  ASSERT_TRUE(editor->EditorSize(width, height));
  EXPECT_EQ(width, 378);
  EXPECT_EQ(height, 591);

  // On Linux the editor's clock is a timer of the host's and its X connection wakes the host's
  // loop; on Windows its window's own timer runs in the window messages the host pumps.
  tbhost::CLAPRunLoop& loop = plugin->Host().RunLoop();
#ifndef _WIN32
  EXPECT_GE(loop.Timers(), 1u);
  EXPECT_GE(loop.Fds(), 1u);
#endif
  ASSERT_TRUE(editor->Pump(400));
#ifndef _WIN32
  EXPECT_GE(loop.TimerCalls(), 5) << "the timer ran on the host's loop";
#endif
  EXPECT_EQ(plugin->Host().WrongThreadCount(), 0);

  tbtest::EditorPicture shown, offscreen;
  ASSERT_TRUE(tbtest::ReadSettledWindowPicture(editor->Window().Handle(), [&] { editor->Pump(150); }, shown));
  ASSERT_TRUE(tbtest::DrawOffscreenEditor({}, offscreen, error)) << error;
  const auto [darkest, brightest] = std::minmax_element(shown.rgb.begin(), shown.rgb.end());
  EXPECT_GT(*brightest - *darkest, 128) << "the window shows a picture, not a plain colour";
  ASSERT_EQ(shown.width, offscreen.width);
  ASSERT_EQ(shown.height, offscreen.height);
  const tbtest::PictureDifference difference = tbtest::Compare(shown, offscreen, 24);
  EXPECT_LT(difference.mean, 2.0) << "mean difference per channel";
  EXPECT_LT(difference.farFraction, 0.01) << "channels far apart";

  // Dragging the corner larger: the plug-in adjusts to its aspect and the window follows.
  ASSERT_TRUE(editor->Resize(2 * width, 2 * height + 7));
  editor->Pump(50);
  int w = 0, h = 0;
  ASSERT_TRUE(editor->EditorSize(w, h));
  EXPECT_EQ(w, 2 * width);
  EXPECT_EQ(h, 2 * height);
  editor.reset();
  EXPECT_EQ(loop.Fds(), 0u) << "a closed editor leaves nothing on the host's loop";
}

}  // namespace
