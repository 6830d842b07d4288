#pragma once

namespace igraphics {

// What a corner drag changes: the draw scale (zoom) or the editor's width and height.
enum EResizeMode { kResizeModeScale = 0, kResizeModeSize = 1 };

// Knob and slider directions.
enum EDirection { kVertical = 0, kHorizontal = 1 };

// Cursor shapes; the platform maps them to its own cursors.
enum ECursor {
  kArrowPointer = 0,
  kIBeam = 1,
  kWait = 2,
  kCross = 3,
  kUpArrow = 4,
  kSizeNWSE = 5,
  kSizeNESW = 6,
  kSizeWE = 7,
  kSizeNS = 8,
  kSizeAll = 9,
  kNo = 10,
  kHand = 11,
  kAppStarting = 12,
  kHelp = 13,
};

// Where a resource search found a name.
enum EResourceLocation { kNotFound = 0, kAbsolutePath = 1, kWinBinary = 2, kPreloadedTexture = 3 };

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

enum EMsgBoxType { kMB_OK = 0, kMB_OKCANCEL = 1, kMB_YESNOCANCEL = 3, kMB_YESNO = 4, kMB_RETRYCANCEL = 5 };

}  // namespace igraphics
