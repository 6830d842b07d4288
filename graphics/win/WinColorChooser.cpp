#include "graphics/win/WinColorChooser.h"

#include "graphics/Utf16Text.h"

namespace igraphics {

namespace {

// The process's custom colours, kept between prompts like the system's own dialogs do.
// Only the UI thread touches them, and the dialog is modal.
COLORREF gCustomColors[16] = {};

}  // namespace

WinColorChooser::WinColorChooser(HWND owner, const IColor& start, const char* caption)
    : mStart(start), mCaption(ToWide(caption)) {
  mSetup.lStructSize = sizeof(mSetup);
  mSetup.hwndOwner = owner;
  mSetup.rgbResult = RGB(start.R, start.G, start.B);
  mSetup.lpCustColors = gCustomColors;
  mSetup.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  mSetup.lCustData = reinterpret_cast<LPARAM>(this);
  mSetup.lpfnHook = &WinColorChooser::Hook;
}

UINT_PTR CALLBACK WinColorChooser::Hook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_INITDIALOG) return 0;
  const auto* setup = reinterpret_cast<const CHOOSECOLORW*>(lParam);
  const auto* self = reinterpret_cast<const WinColorChooser*>(setup->lCustData);
  if (!self->mCaption.empty()) SetWindowTextW(dialog, self->mCaption.c_str());
  // Selects the start colour in the fully open dialog as well as in its swatch.
  static const UINT setRGB = RegisterWindowMessageW(SETRGBSTRINGW);
  SendMessageW(dialog, setRGB, 0, static_cast<LPARAM>(setup->rgbResult));
  return 0;
}

bool WinColorChooser::Run() { return ChooseColorW(&mSetup) != FALSE; }

IColor WinColorChooser::GetChosen() const {
  return IColor(mStart.A, GetRValue(mSetup.rgbResult), GetGValue(mSetup.rgbResult), GetBValue(mSetup.rgbResult));
}

bool WinPromptForColour(HWND owner, IColor& color, const char* caption, const ColorChooserFunc& done) {
  if (!owner) return false;
  WinColorChooser chooser(owner, color, caption);
  if (!chooser.Run()) return false;
  color = chooser.GetChosen();
  if (done) done(color);
  return true;
}

}  // namespace igraphics
