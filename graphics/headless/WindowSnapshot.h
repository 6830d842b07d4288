#pragma once
#include <cstdint>
#include <vector>

namespace igraphics {

class IGraphicsHeadless;

// Writes RGBA pixels (rows from the top, premultiplied alpha as the window holds them) to a
// PNG file with straight alpha. False when the file cannot be written.
bool WritePixelsPNG(const char* path, const std::vector<uint8_t>& rgba, int width, int height);

// Reads the headless window's pixels and writes them to a PNG file.
// The thread that opened the window.
bool WriteWindowPNG(IGraphicsHeadless& graphics, const char* path);

}  // namespace igraphics
