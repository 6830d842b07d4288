#pragma once

// The handle of the loaded module (HINSTANCE on Windows, the module's base address on Linux),
// stored by the module's load routine. The editor's graphics context loads its resources
// through it. Null until the module is loaded (and in programs that link the library directly).
void* AAX_GetModuleHandle();
void AAX_SetModuleHandle(void* handle);
