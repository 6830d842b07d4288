#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/cli/ParamInfo.h"

// Pictures of Tollenbrook's editor for the tests that open it through a plug-in format in a
// real window: what the window system shows, and what the product draws off-screen.
namespace tbtest {

// RGB pixels, rows from the top.
struct EditorPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// What the screen shows in a host window's client area, the editor's child window included.
bool ReadWindowPicture(void* handle, EditorPicture& picture);

// What the window shows once the editor has drawn: `pump` runs the host's loop a while between
// reads, until two reads in a row agree on a picture that is not a plain colour (a window the
// editor has not drawn into yet is one). False when it never settles.
bool ReadSettledWindowPicture(void* handle, const std::function<void()>& pump, EditorPicture& picture);

// The editor of the plug-in linked into the test, with `settings`, drawn off-screen at its
// first frame.
bool DrawOffscreenEditor(const std::vector<tbhost::ParamSetting>& settings, EditorPicture& picture,
                         std::string& error);

struct PictureDifference {
  double mean = 0.0;         // per channel value
  double farFraction = 0.0;  // of the channel values further apart than the given distance
};

// Two pictures of the same size, channel by channel.
PictureDifference Compare(const EditorPicture& a, const EditorPicture& b, int distance);

}  // namespace tbtest
