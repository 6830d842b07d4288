#include "graphics/x11/TooltipWindow.h"

#include <algorithm>
#include <vector>

namespace igraphics {

namespace {

constexpr int kPadding = 4;
constexpr int kBelowPointer = 20;
constexpr unsigned long kBackground = 0xFFFFE1;  // the pale yellow tips are known by
constexpr unsigned long kForeground = 0x000000;

// The text cut into lines no wider than maxWidth pixels, at spaces where possible.
std::vector<std::string> WrapLines(XFontStruct* font, const std::string& text, int maxWidth) {
  std::vector<std::string> lines;
  std::string line;
  const auto width = [font](const std::string& s) { return XTextWidth(font, s.c_str(), static_cast<int>(s.size())); };
  size_t i = 0;
  while (i < text.size()) {
    const size_t space = text.find(' ', i);
    const std::string word = text.substr(i, space == std::string::npos ? std::string::npos : space - i);
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && width(candidate) > maxWidth) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
    if (space == std::string::npos) break;
    i = space + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

TooltipWindow::TooltipWindow(Display* display) : mDisplay(display) {
  const int screen = DefaultScreen(display);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixel = kBackground;
  a.border_pixel = kForeground;
  a.event_mask = ExposureMask;
  mWindow = XCreateWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 1, CopyFromParent, InputOutput,
                          CopyFromParent, CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &a);
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  mFont = XQueryFont(display, XGContextFromGC(mGC));
  XSetForeground(display, mGC, kForeground);
}

TooltipWindow::~TooltipWindow() {
  if (mFont) XFreeFontInfo(nullptr, mFont, 1);
  if (mGC) XFreeGC(mDisplay, mGC);
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
}

void TooltipWindow::Show(const char* text, int rootX, int rootY) {
  mText = text ? text : "";
  if (mText.empty() || !mFont) {
    Hide();
    return;
  }
  const std::vector<std::string> lines = WrapLines(mFont, mText, kMaxWidth);
  int w = 0;
  for (const std::string& l : lines) w = std::max(w, XTextWidth(mFont, l.c_str(), static_cast<int>(l.size())));
  const int lineHeight = mFont->ascent + mFont->descent;
  w += 2 * kPadding;
  const int h = static_cast<int>(lines.size()) * lineHeight + 2 * kPadding;
  const int screen = DefaultScreen(mDisplay);
  const int x = std::clamp(rootX, 0, std::max(0, DisplayWidth(mDisplay, screen) - w - 2));
  int y = rootY + kBelowPointer;
  if (y + h + 2 > DisplayHeight(mDisplay, screen)) y = std::max(0, rootY - h - kPadding);
  XMoveResizeWindow(mDisplay, mWindow, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  XMapRaised(mDisplay, mWindow);
  mShown = true;
  Paint();
  XFlush(mDisplay);
}

void TooltipWindow::Hide() {
  if (!mShown) return;
  XUnmapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  mShown = false;
}

void TooltipWindow::Paint() {
  if (!mShown || !mFont) return;
  XClearWindow(mDisplay, mWindow);
  const int lineHeight = mFont->ascent + mFont->descent;
  int y = kPadding + mFont->ascent;
  for (const std::string& l : WrapLines(mFont, mText, kMaxWidth)) {
    XDrawString(mDisplay, mWindow, mGC, kPadding, y, l.c_str(), static_cast<int>(l.size()));
    y += lineHeight;
  }
}

}  // namespace igraphics
