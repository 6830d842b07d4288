#pragma once
// <windows.h> for the editor's Windows layer. It names two operations of the graphics context
// as macros of its own (LoadBitmap, DrawText become their A/W forms), which would rename them
// in whichever file includes it first: the macros go at once.
#include <windows.h>

#undef LoadBitmap
#undef DrawText
