// The program and bank file readers (ReadProgramData, ReadBankData) on any bytes, as a user's
// file reaches them: the first byte chooses the reader. A refused file changes nothing (state
// and preset slots byte for byte as before) and says why; an accepted one leaves every
// parameter in its range, and what it left can be written as a file and read back.
#include <cmath>
#include <cstdint>

#include "IPlug/ByteChunk.h"
#include "IPlug/TextBuffer.h"
#include "product/Tollenbrook.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

struct Snapshot {
  iplug::ByteChunk state, slots;
  int current = 0;
};

struct Session {
  Tollenbrook plug{iplug::InstanceInfo{}};
  iplug::ByteChunk defaults, defaultSlots;
  Session() {
    fuzz::Require(plug.SerializeState(defaults) && plug.SerializePresets(defaultSlots), "the state can be written");
  }
  // Every input starts from the same plug-in, so a finding replays alone.
  void Restore() {
    fuzz::Require(plug.UnserializePresets(defaultSlots, 0) == defaultSlots.Size(), "the slots come back");
    plug.UnserializeState(defaults, 0);
  }

  Snapshot Take() const {
    Snapshot s;
    fuzz::Require(plug.SerializeState(s.state) && plug.SerializePresets(s.slots), "the state can be written");
    s.current = plug.GetCurrentPresetIdx();
    return s;
  }
};

Session& TheSession() {
  static Session* session = new Session();  // lives as long as the process
  return *session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > static_cast<size_t>(iplug::IPluginBase::kMaxPresetFileSize)) return 0;
  Session& s = TheSession();
  s.Restore();

  const bool bank = data[0] & 1;
  const uint8_t* file = data + 1;
  const int length = static_cast<int>(size - 1);
  const Snapshot before = s.Take();
  iplug::TextBuffer why;
  const bool read = bank ? s.plug.ReadBankData(file, length, &why) : s.plug.ReadProgramData(file, length, &why);
  const Snapshot after = s.Take();
  if (!read) {
    fuzz::Require(!why.Empty(), "a refusal says why");
    fuzz::Require(before.state.IsEqual(after.state) && before.slots.IsEqual(after.slots) && before.current == after.current,
                  "a refused file changes nothing");
    return 0;
  }
  for (int i = 0; i < s.plug.NParams(); ++i) {
    const iplug::IParam& param = *s.plug.GetParam(i);
    fuzz::Require(std::isfinite(param.Value()) && param.Value() >= param.GetMin() && param.Value() <= param.GetMax(),
                  "every parameter stays in its range");
  }
  iplug::ByteChunk written;
  fuzz::Require(bank ? s.plug.MakeBankData(written) : s.plug.MakeProgramData(written), "the file can be written");
  const bool again = bank ? s.plug.ReadBankData(written.Data(), written.Size())
                          : s.plug.ReadProgramData(written.Data(), written.Size());
  fuzz::Require(again && s.Take().state.IsEqual(after.state), "what was read is written and read back alike");
  return 0;
}
