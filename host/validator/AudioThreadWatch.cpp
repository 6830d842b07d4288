#include "host/validator/AudioThreadWatch.h"

namespace tbvalidate {
namespace {

class BlindWatch final : public AudioThreadWatch {
public:
  bool Attach(void*, std::string&) override { return true; }
  std::string Coverage() const override { return "nothing: this program has no allocator or lock hooks"; }
  bool SeesAllocations() const override { return false; }
  bool SeesLocks() const override { return false; }
  void Begin() override {}
  AudioThreadUse End() override { return {}; }
};

AudioThreadWatch* sInstalled = nullptr;

}  // namespace

void InstallAudioThreadWatch(AudioThreadWatch* watch) { sInstalled = watch; }

AudioThreadWatch& ProcessAudioThreadWatch() {
  static BlindWatch blind;
  if (sInstalled) return *sInstalled;
  if (AudioThreadWatch* platform = PlatformAudioThreadWatch()) return *platform;
  return blind;
}

#if !defined(_WIN32)
AudioThreadWatch* PlatformAudioThreadWatch() { return nullptr; }
#endif

}  // namespace tbvalidate
