#pragma once

// The module handle under which the editor finds its images and font: the module (DLL or
// program) that holds the compiled resources on Windows, the compiled-in resource table
// elsewhere. Defined by the generated resource source of the tollenbrook_resources library.
// Any thread.
void* TollenbrookResourceModule();
