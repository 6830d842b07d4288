#pragma once
#include "IPlug/TextBuffer.h"

namespace igraphics {

// Finds a name among the module's resources of a type, or else as a file: an absolute path,
// or a bare name in the folder a development build names; never in the process's working
// directory. The comparison
// ignores case, and the stored names carry a double quote at each end. Returns the location
// (kNotFound, kAbsolutePath or kWinBinary); result receives the file path or the quoted
// resource name that LoadWinResource takes.
// Any thread (the resources are read-only).
int LocateModuleResource(const char* name, const char* type, iplug::TextBuffer& result, void* module);

// The bytes of a module resource in place, or null when it is missing or smaller than
// 8 bytes; size receives the byte count (0 on failure).
const void* LoadWinResource(const char* resourceName, const char* type, int& size, void* module);

// Whether something exists at the path (relative to the current directory, or absolute).
bool FileExistsAt(const char* path);

}  // namespace igraphics
