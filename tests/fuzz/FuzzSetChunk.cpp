// The AAX SetChunk path with any record a host could hand over: the bytes, with a size field
// that is exact or claims less than the record holds (a record claiming more than it holds
// breaks the host's side of the contract and is not generated). A refused record must change
// nothing; an accepted one must leave every parameter in its range, and its state must round
// trip. CompareActiveChunk must cope with the same record.
#include <cmath>
#include <cstdint>
#include <vector>

#include "IPlug/AAX/IPlugAAX.h"
#include "aax-library/AAX_Errors.h"
#include "host/aax/CallLog.h"
#include "host/aax/ChunkRecord.h"
#include "host/aax/Instance.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

struct Session {
  aaxhost::CallLog log;
  aaxhost::Instance instance{log, nullptr};
  iplug::IPlugAAX* plug = MakePlugInstance(iplug::InstanceInfo{});
  AAX_CTypeID id = 0;
  std::vector<unsigned char> defaults;

  Session() {
    fuzz::Require(instance.Adopt(static_cast<AAX_CIPlugParameters*>(plug)->GetPrivateUnknown()) == AAX_SUCCESS,
                  "the instance initialises");
    instance.Effect()->GetChunkIDFromIndex(0, &id);
    defaults = Save();
  }
  std::vector<unsigned char> Save() {
    aaxhost::ChunkRecord record;
    fuzz::Require(aaxhost::ReadChunk(*instance.Effect(), id, &record) == AAX_SUCCESS, "the state can be saved");
    return record.Data();
  }
  AAX_Result Load(const std::vector<unsigned char>& bytes) {
    aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(id, bytes.data(), bytes.size());
    return instance.Effect()->SetChunk(id, record.Get());
  }
};

Session& TheSession() {
  static Session* session = new Session();  // lives as long as the process
  return *session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Session& s = TheSession();
  AAX_IACFEffectParameters& effect = *s.instance.Effect();
  // Every input starts from the defaults; a refused record left them as they were.
  std::vector<unsigned char> before = s.Save();
  if (before != s.defaults) {
    s.Load(s.defaults);
    before = s.Save();
  }

  // First byte: how much less than the record holds its size field claims, and whether the
  // identifier is the plug-in's.
  const uint8_t mode = data[0];
  const size_t held = size - 1;
  aaxhost::ChunkRecord record = aaxhost::ChunkRecord::WithData(s.id, data + 1, held);
  const size_t shortfall = held > 0 ? (mode & 0x7F) % (held + 1) : 0;
  record.SetDeclaredSize(static_cast<int32_t>(held - shortfall));
  const AAX_CTypeID id = (mode & 0x80) ? s.id + 1 : s.id;

  const AAX_Result result = effect.SetChunk(id, record.Get());
  const std::vector<unsigned char> after = s.Save();
  if (result != AAX_SUCCESS) {
    fuzz::Require(after == before, "a refused record changes nothing");
  } else {
    for (int i = 0; i < s.plug->NParams(); ++i) {
      const iplug::IParam& param = *s.plug->GetParam(i);
      fuzz::Require(std::isfinite(param.Value()) && param.Value() >= param.GetMin() && param.Value() <= param.GetMax(),
                    "every parameter stays in its range");
    }
    fuzz::Require(s.Load(after) == AAX_SUCCESS && s.Save() == after, "an accepted state round trips");
  }
  AAX_CBoolean equal = 0;
  fuzz::Require(effect.CompareActiveChunk(record.Get(), &equal) == AAX_SUCCESS, "records can be compared");
  // The recording host would otherwise keep every call of the run; cleared within the input,
  // an input frees what it allocated, and libFuzzer need not look for a leak after each one.
  s.log.Clear();
  return 0;
}
