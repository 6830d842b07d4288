// The plug-in's own state reader, UnserializeState, on any bytes from any start position:
// whatever it reads, every parameter stays a finite value in its range, the position it
// returns lies within the bytes (or is -1), and the state it leaves round trips.
#include <cmath>
#include <cstdint>

#include "IPlug/ByteChunk.h"
#include "product/Tollenbrook.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

struct Session {
  Tollenbrook plug{iplug::InstanceInfo{}};
  iplug::ByteChunk defaults;
  Session() { fuzz::Require(plug.SerializeState(defaults), "the state can be written"); }
};

Session& TheSession() {
  static Session* session = new Session();  // lives as long as the process
  return *session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Session& s = TheSession();
  s.plug.UnserializeState(s.defaults, 0);

  // First byte: the start position, -1 to 30 (a failed read before this one gives -1).
  const int start = static_cast<int>(data[0] % 32) - 1;
  iplug::ByteChunk chunk;
  chunk.AppendBytes(data + 1, static_cast<int>(size - 1));
  const int end = s.plug.UnserializeState(chunk, start);
  fuzz::Require(end == -1 || (end >= 0 && end <= chunk.Size()), "the position stays within the bytes");
  for (int i = 0; i < s.plug.NParams(); ++i) {
    const iplug::IParam& param = *s.plug.GetParam(i);
    fuzz::Require(std::isfinite(param.Value()) && param.Value() >= param.GetMin() && param.Value() <= param.GetMax(),
                  "every parameter stays in its range");
  }
  iplug::ByteChunk written;
  fuzz::Require(s.plug.SerializeState(written), "the state can be written");
  iplug::ByteChunk again;
  fuzz::Require(s.plug.UnserializeState(written, 0) == written.Size() && s.plug.SerializeState(again) &&
                    written.IsEqual(again),
                "the state left behind round trips");
  return 0;
}
