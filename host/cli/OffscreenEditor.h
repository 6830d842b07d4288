#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace iplug {
class IPlugAAX;
}

namespace tbhost {

// The editor's picture: pixels (rows from the top, premultiplied RGBA) and size.
struct EditorPixels {
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
};

// The product's editor of `plugin` drawn once at `scale` into an off-screen OpenGL context,
// with or without a display, after the queued values and meter readings were delivered: the
// picture does not depend on the desktop it was taken on. The editor is closed again.
// Main thread: it is the editor's thread while it draws.
bool DrawEditorOffscreen(iplug::IPlugAAX& plugin, float scale, EditorPixels& picture, std::string& error);

}  // namespace tbhost
