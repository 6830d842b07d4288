// Under the leak checker, keeps Mesa's OpenGL driver loaded once a test has loaded it.
//
// The headless context terminates its EGL display, and Mesa then unloads its driver. The
// driver's own bookkeeping still lives at exit, but its code is gone, so the leak checker sees
// blocks it cannot attribute (every frame "<unknown module>") and reports them as ours. With
// the driver resident the blocks stay reachable from its globals and nothing is reported.
#if defined(__linux__) && defined(__SANITIZE_ADDRESS__)

#include <dlfcn.h>
#include <glob.h>

namespace {

void KeepResident(const char* path) {
  // RTLD_NODELETE keeps the object mapped after the last dlclose; the handle itself is the
  // process's to keep.
  dlopen(path, RTLD_LAZY | RTLD_NODELETE);
}

void KeepEveryMatch(const char* pattern) {
  glob_t found{};
  if (glob(pattern, 0, nullptr, &found) == 0) {
    for (size_t i = 0; i < found.gl_pathc; ++i) KeepResident(found.gl_pathv[i]);
  }
  globfree(&found);
}

[[maybe_unused]] const bool sResident = [] {
  KeepResident("libEGL_mesa.so.0");
  KeepEveryMatch("/usr/lib/*/dri/swrast_dri.so");
  KeepEveryMatch("/usr/lib/*/libgallium*.so");
  return true;
}();

}  // namespace

#endif
