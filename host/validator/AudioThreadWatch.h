#pragma once
#include <cstdint>
#include <string>

namespace tbvalidate {

// What one thread did while it was watched.
struct AudioThreadUse {
  int64_t allocations = 0;  // heap allocations
  int64_t locks = 0;        // lock acquisitions and waits
};

// Counts the heap allocations and lock acquisitions of the audio thread while it is watched.
// The counting is done by hooks on the allocator and the lock functions of the validator's
// own process, which each platform installs its own way: on Linux the program itself defines
// the functions (they come before the C library's in symbol lookup), on Windows the module's
// import table is pointed at counting functions. Without hooks nothing can be seen, and the
// validator says so rather than pass.
class AudioThreadWatch {
public:
  virtual ~AudioThreadWatch() = default;
  // Main thread, with the module loaded and before anything renders: hooks what has to be
  // hooked per module. False with `error` set.
  virtual bool Attach(void* moduleHandle, std::string& error) = 0;
  // What the hooks see, for the report.
  virtual std::string Coverage() const = 0;
  virtual bool SeesAllocations() const = 0;
  virtual bool SeesLocks() const = 0;
  // Audio thread. Starts counting the calling thread's calls; End stops and returns them.
  // Neither allocates nor locks.
  virtual void Begin() = 0;
  virtual AudioThreadUse End() = 0;
};

// The watch of this process: the one installed, else the platform's own (the import-table
// hooks on Windows), else one that sees nothing.
AudioThreadWatch& ProcessAudioThreadWatch();
// Main thread, before any validation: the program's (or a test's) hooks.
void InstallAudioThreadWatch(AudioThreadWatch* watch);

// The platform's own watch, or null where the program has to bring its hooks.
AudioThreadWatch* PlatformAudioThreadWatch();

}  // namespace tbvalidate
