#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "EditorPicture.h"
#include "host/aax/HostWindow.h"
#include "host/cli/VST3Editor.h"
#include "host/cli/VST3PluginInstance.h"

// The VST3 bundle's editor opened by our host in a real window (Win32 under Wine, X11 under
// Xvfb), its picture read back from the window system and compared with the product's
// editor drawn off-screen.
namespace {

// The bundle's view opened by the host after it set `settings`, against the off-screen editor
// with the same settings.
void ExpectTheViewShowsWhatTheOffscreenEditorDraws(const std::vector<tbhost::ParamSetting>& settings) {
  const char* bundle = std::getenv("TOLLENBROOK_VST3_BUNDLE");
  ASSERT_NE(bundle, nullptr) << "the bundle is built with the tests";
  std::string error;
  tbtest::EditorPicture reference;
  ASSERT_TRUE(tbtest::DrawOffscreenEditor(settings, reference, error)) << error;

  std::unique_ptr<tbhost::VST3PluginInstance> plugin = tbhost::VST3PluginInstance::Create(bundle, error);
  ASSERT_NE(plugin, nullptr) << error;
  for (const tbhost::ParamSetting& s : settings) plugin->SetParameter(s.index, s.value);
  std::unique_ptr<tbhost::VST3Editor> editor = tbhost::VST3Editor::Open(*plugin, "VST3 editor test", error);
  ASSERT_NE(editor, nullptr) << error;
  aaxhost::HostWindow& window = editor->Window();
  int width = 0, height = 0;
  ASSERT_TRUE(editor->Size(width, height));
  EXPECT_EQ(width, reference.width);
  EXPECT_EQ(height, reference.height);
  int clientWidth = 0, clientHeight = 0;
  window.GetClientSize(clientWidth, clientHeight);
  EXPECT_EQ(clientWidth, width) << "the host's window takes the view's size";
  EXPECT_EQ(clientHeight, height);

  tbtest::EditorPicture shown;
  ASSERT_TRUE(tbtest::ReadSettledWindowPicture(window.Handle(), [&] { editor->Pump(150); }, shown));
#ifndef _WIN32
  EXPECT_GT(editor->RunLoop().Timers() + editor->RunLoop().Handlers(), 0u) << "the view runs on the host's loop";
#endif
  ASSERT_EQ(shown.width, reference.width);
  ASSERT_EQ(shown.height, reference.height);
  const tbtest::PictureDifference difference = tbtest::Compare(shown, reference, 8);
  EXPECT_LE(difference.mean, 0.5);
  EXPECT_LE(difference.farFraction, 0.001) << "channel values differing by more than 8";
  editor.reset();
  EXPECT_EQ(plugin->Handler().editsOutsideGestures.load(), 0);
}

TEST(VST3Editor, OpensInTheHostsWindowAndShowsWhatTheOffscreenEditorDraws) {
  ExpectTheViewShowsWhatTheOffscreenEditorDraws({});
}

// Ratio 6:1 and Gain 7dB (the same indices in both plug-ins' tables), set by the host through
// the controller before the view opens.
TEST(VST3Editor, ShowsTheValuesTheHostSetBeforeItOpened) {
  ExpectTheViewShowsWhatTheOffscreenEditorDraws({{4, 4.0}, {2, 7.0}});
}

}  // namespace
