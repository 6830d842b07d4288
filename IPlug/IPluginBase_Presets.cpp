// The preset slots of IPluginBase: making, recalling, capturing and pruning slots, and all
// slots as one chunk.
#include <cstring>
#include <vector>

#include "IPlug/Base64.h"
#include "IPlug/IPluginBase.h"
#include "IPlug/Trace.h"

namespace iplug {
namespace {

// A value that no caller passes on purpose: the entries of MakePresetFromNamedParams still
// holding it take the parameter's current value.
constexpr double kUnsetValue = 9.999e-8;

bool TakesIntArgument(const IParam& param) {
  const IParam::EParamType type = param.Type();
  return type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
}

}  // namespace

const ByteChunk* IPluginBase::PresetData(int idx) const {
  return (idx >= 0 && idx < NPresets()) ? &mPresets[static_cast<size_t>(idx)]->mChunk : nullptr;
}

IPreset* IPluginBase::TakeFreeSlot(const char* name) {
  for (const std::unique_ptr<IPreset>& slot : mPresets) {
    if (slot->mInitialized) continue;
    slot->mInitialized = true;
    slot->SetName(name);
    slot->mChunk.Clear();
    return slot.get();
  }
  return nullptr;
}

int IPluginBase::StateHeaderSize() const {
  ByteChunk header;
  return SerializeStateHeader(header) ? header.Size() : 0;
}

void IPluginBase::CapturePresets(const char* name, int count) {
  for (int i = 0; i < count; ++i) {
    IPreset* slot = TakeFreeSlot(name ? name : "Empty");
    if (!slot) return;
    SerializeState(slot->mChunk);
  }
}

void IPluginBase::FillFreeSlots() {
  int free = 0;
  for (const std::unique_ptr<IPreset>& slot : mPresets) free += !slot->mInitialized;
  CapturePresets("Empty", free);
}

void IPluginBase::DropFreeSlots() {
  std::erase_if(mPresets, [](const std::unique_ptr<IPreset>& slot) { return !slot->mInitialized; });
}

double IPluginBase::NextParamArg(int idx, va_list& args) const {
  return TakesIntArgument(*GetParam(idx)) ? static_cast<double>(va_arg(args, int)) : va_arg(args, double);
}

// The product's state header, then the doubles: a product whose state puts bytes in front of
// the parameters recalls the slot like any state it wrote itself.
void IPluginBase::MakePresetFromValues(const char* name, const double* values) {
  IPreset* slot = TakeFreeSlot(name);
  if (!slot) return;
  SerializeStateHeader(slot->mChunk);
  for (int i = 0; i < NParams(); ++i) slot->mChunk.Append(values[i]);
}

void IPluginBase::MakePreset(const char* name, ...) {
  std::vector<double> values(static_cast<size_t>(NParams()));
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) values[static_cast<size_t>(i)] = NextParamArg(i, args);
  va_end(args);
  MakePresetFromValues(name, values.data());
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nPairs, ...) {
  std::vector<double> values(static_cast<size_t>(NParams()), kUnsetValue);
  va_list args;
  va_start(args, nPairs);
  for (int i = 0; i < nPairs; ++i) {
    const int idx = va_arg(args, int);
    // The type of the value that follows depends on the parameter: past an unknown index
    // the remaining arguments cannot be read.
    if (!IsValidParamIdx(idx)) {
      TRACE_LOG("iplug::IPluginBase::MakePresetFromNamedParams", "unknown parameter %d", idx);
      break;
    }
    values[static_cast<size_t>(idx)] = NextParamArg(idx, args);
  }
  va_end(args);
  for (int i = 0; i < NParams(); ++i)
    if (values[static_cast<size_t>(i)] == kUnsetValue) values[static_cast<size_t>(i)] = GetParam(i)->Value();
  MakePresetFromValues(name, values.data());
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  std::vector<uint8_t> bytes(static_cast<size_t>(sizeOfChunk > 0 ? sizeOfChunk : 0), 0);
  Base64::Decode(blob, bytes.data(), static_cast<int>(bytes.size()));
  IPreset* slot = TakeFreeSlot(name);
  if (slot) slot->mChunk.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
}

void IPluginBase::MakePresetFromByteChunk(const char* name, const ByteChunk& chunk) {
  IPreset* slot = TakeFreeSlot(name);
  if (slot) slot->mChunk.AppendBytes(chunk.Data(), chunk.Size());
}

// The state this build writes has a fixed length, so fewer bytes cannot hold a whole state.
bool IPluginBase::ApplyState(const void* data, int size) {
  ByteChunk previous;
  if (!data || !SerializeState(previous) || size < previous.Size()) return false;
  ByteChunk state;
  if (state.AppendBytes(data, previous.Size()) != previous.Size()) return false;
  if (UnserializeState(state, 0) >= 0) return true;
  UnserializeState(previous, 0);
  return false;
}

bool IPluginBase::RecallPreset(int idx) {
  if (idx < 0 || idx >= NPresets()) return false;
  IPreset& slot = *mPresets[static_cast<size_t>(idx)];
  bool restored;
  if (slot.mInitialized) {
    restored = ApplyState(slot.mChunk.Data(), slot.mChunk.Size());
  } else {
    int users = 1;
    for (const std::unique_ptr<IPreset>& other : mPresets) users += std::strstr(other->mName, "user preset") != nullptr;
    char name[IPreset::kMaxNameLength];
    std::snprintf(name, sizeof name, "%s %d", "user preset", users);
    slot.mInitialized = true;
    slot.SetName(name);
    slot.mChunk.Clear();
    restored = SerializeState(slot.mChunk);
  }
  if (!restored) return false;
  mCurrentPresetIdx = idx;
  OnPresetSlotsChanged();
  OnStateRestored();
  return true;
}

bool IPluginBase::RecallPreset(const char* name) {
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets[static_cast<size_t>(i)]->mName, name) == 0) return RecallPreset(i);
  return false;
}

void IPluginBase::ModifyCurrentPreset(const char* name) {
  if (mCurrentPresetIdx < 0 || mCurrentPresetIdx >= NPresets()) return;
  IPreset& slot = *mPresets[static_cast<size_t>(mCurrentPresetIdx)];
  slot.mChunk.Clear();
  SerializeState(slot.mChunk);
  if (name && *name) slot.SetName(name);
  TRACE_LOG("iplug::IPluginBase::ModifyCurrentPreset", "%d %s", mCurrentPresetIdx, slot.mName);
}

bool IPluginBase::SerializePresets(ByteChunk& chunk) const { return SerializeSlots(chunk, nullptr); }

bool IPluginBase::SerializeSlots(ByteChunk& chunk, const ByteChunk* currentState) const {
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset& slot = *mPresets[static_cast<size_t>(i)];
    const bool useCurrent = currentState && i == mCurrentPresetIdx;
    const uint8_t initialized = (useCurrent || slot.mInitialized) ? 1 : 0;
    const ByteChunk& data = useCurrent ? *currentState : slot.mChunk;
    TRACE_LOG("iplug::IPluginBase::SerializePresets", "%d %s", i, slot.mName);
    const int before = chunk.Size();
    const int nameLength = static_cast<int>(std::strlen(slot.mName));
    if (chunk.AppendText(slot.mName) != before + 4 + nameLength) return false;
    if (chunk.Append(initialized) != before + 5 + nameLength) return false;
    if (initialized && chunk.AppendBytes(data.Data(), data.Size()) != before + 5 + nameLength + data.Size())
      return false;
  }
  return true;
}

IPluginBase::PresetsSnapshot IPluginBase::TakeSnapshot() const {
  PresetsSnapshot snapshot;
  for (const std::unique_ptr<IPreset>& slot : mPresets) snapshot.slots.push_back(*slot);
  snapshot.current = mCurrentPresetIdx;
  snapshot.haveState = SerializeState(snapshot.state);
  return snapshot;
}

void IPluginBase::RestoreSnapshot(const PresetsSnapshot& snapshot) {
  for (size_t i = 0; i < snapshot.slots.size() && i < mPresets.size(); ++i) *mPresets[i] = snapshot.slots[i];
  mCurrentPresetIdx = snapshot.current;
  if (snapshot.haveState) UnserializeState(snapshot.state, 0);
}

int IPluginBase::ReadPresetSlots(const ByteChunk& chunk, int startPos, int nSlots) {
  int pos = startPos;
  TextBuffer name;  // reused from slot to slot
  for (int i = 0; i < nSlots && i < NPresets() && pos >= 0; ++i) {
    IPreset& slot = *mPresets[static_cast<size_t>(i)];
    pos = chunk.ReadText(name, pos);
    uint8_t initialized = 0;
    pos = chunk.Read(initialized, pos);
    if (pos < 0) break;
    slot.SetName(name.Get());
    slot.mInitialized = initialized != 0;
    TRACE_LOG("iplug::IPluginBase::UnserializePresets", "%d %s", i, slot.mName);
    if (!slot.mInitialized) continue;
    pos = UnserializeState(chunk, pos);
    if (pos > 0) {
      slot.mChunk.Clear();
      SerializeState(slot.mChunk);
    }
  }
  return pos;
}

int IPluginBase::UnserializePresets(const ByteChunk& chunk, int startPos) {
  const PresetsSnapshot before = TakeSnapshot();
  const int pos = ReadPresetSlots(chunk, startPos, NPresets());
  if (pos < 0) {
    RestoreSnapshot(before);
    return -1;
  }
  RecallPreset(mCurrentPresetIdx);
  return pos;
}

}  // namespace iplug
