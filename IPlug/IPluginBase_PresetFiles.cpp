// Program and bank files of IPluginBase: the plug-in's side of the FXP/FXB layouts (see
// FxFile): what goes into them, which files belong to this plug-in, and applying one so that
// a refused file changes nothing.
#include <vector>

#include "IPlug/FileBytes.h"
#include "IPlug/FxFile.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPluginBase.h"

namespace iplug {
namespace {

bool Refuse(TextBuffer* why, const char* reason) {
  if (why) why->Set(reason);
  return false;
}

// The doubles of a stored state from `offset` on; values past its end read as 0.
double StoredValue(const ByteChunk& data, int offset, int idx) {
  double value = 0.0;
  data.Read(value, offset + 8 * idx);
  return value;
}

bool ReadFile(const char* path, std::vector<uint8_t>& bytes) {
  return FileBytes::Read(path, IPluginBase::kMaxPresetFileSize, bytes);
}

bool WriteFile(const char* path, const ByteChunk& bytes) {
  return bytes.Size() > 0 && FileBytes::WriteReplacing(path, bytes.Data(), bytes.Size());
}

}  // namespace

const char* IPluginBase::CurrentPresetName() const { return PresetName(mCurrentPresetIdx); }

// ---- writing ----

bool IPluginBase::MakeProgramData(ByteChunk& out) const {
  FxFile::Header header;
  header.uniqueID = mUniqueID;
  header.version = IPlugAPIBase::DecimalVersion(mVersion);
  header.count = NParams();
  header.name = CurrentPresetName();
  if (mStateChunks) {
    ByteChunk state;
    return SerializeState(state) && FxFile::AppendChunkProgram(out, header, state);
  }
  std::vector<float> values(static_cast<size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i) values[static_cast<size_t>(i)] = static_cast<float>(GetParam(i)->GetNormalized());
  return FxFile::AppendParamProgram(out, header, values.data());
}

bool IPluginBase::MakeBankData(ByteChunk& out) const {
  FxFile::Header header;
  header.uniqueID = mUniqueID;
  header.version = IPlugAPIBase::DecimalVersion(mVersion);
  header.count = NPresets();
  header.current = mCurrentPresetIdx;
  // The settings in use are what a saved bank must carry: they go in as the current slot,
  // whether or not that slot holds them yet.
  ByteChunk current;
  if (!SerializeState(current)) return false;
  if (mStateChunks) {
    ByteChunk presets;
    return SerializeSlots(presets, &current) && FxFile::AppendChunkBank(out, header, presets);
  }
  if (!FxFile::AppendParamBankHeader(out, header)) return false;
  const int offset = StateHeaderSize();
  std::vector<float> values(static_cast<size_t>(NParams()));
  for (int s = 0; s < NPresets(); ++s) {
    const ByteChunk& data = s == mCurrentPresetIdx ? current : mPresets[static_cast<size_t>(s)]->mChunk;
    for (int i = 0; i < NParams(); ++i)
      values[static_cast<size_t>(i)] = static_cast<float>(GetParam(i)->ToNormalized(StoredValue(data, offset, i)));
    FxFile::Header program = header;
    program.count = NParams();
    program.name = PresetName(s);
    if (!FxFile::AppendParamProgram(out, program, values.data())) return false;
  }
  return true;
}

bool IPluginBase::WriteProgramFile(const char* path) const {
  ByteChunk bytes;
  return MakeProgramData(bytes) && WriteFile(path, bytes);
}

bool IPluginBase::WriteBankFile(const char* path) const {
  ByteChunk bytes;
  return MakeBankData(bytes) && WriteFile(path, bytes);
}

// ---- reading ----

bool IPluginBase::CheckFileOwner(int32_t uniqueID, bool chunkForm, TextBuffer* why) const {
  if (uniqueID != mUniqueID) return Refuse(why, "belongs to another plug-in (its unique ID differs)");
  if (chunkForm && !mStateChunks) return Refuse(why, "holds a state chunk, which this plug-in does not take");
  return true;
}

void IPluginBase::ApplyNormalizedValues(const std::vector<float>& values) {
  for (int i = 0; i < NParams(); ++i) GetParam(i)->SetNormalized(values[static_cast<size_t>(i)]);
  NotifyAllParamsChanged(ParamSource::kPresetRecall);
}

// The current slot now holds the loaded settings under the file's name. It is marked as
// holding them first: recalling a free slot would rename it "user preset N" and lose the name.
void IPluginBase::FinishProgramLoad(const char* name) {
  if (mCurrentPresetIdx >= 0 && mCurrentPresetIdx < NPresets()) {
    mPresets[static_cast<size_t>(mCurrentPresetIdx)]->mInitialized = true;
    ModifyCurrentPreset(name);
    RecallPreset(mCurrentPresetIdx);
  } else {
    OnStateRestored();
  }
  OnPresetFileLoaded();
}

bool IPluginBase::ReadProgramData(const uint8_t* data, int size, TextBuffer* why) {
  FxFile::Program program;
  if (!FxFile::ParseProgram(data, size, program, why)) return false;
  if (!CheckFileOwner(program.uniqueID, program.chunkForm, why)) return false;
  if (program.chunkForm) {
    ByteChunk state;
    state.AppendBytes(program.chunk, program.chunkSize);
    if (state.Size() != program.chunkSize) return Refuse(why, "is too large to load");
    if (!ApplyState(state.Data(), state.Size())) return Refuse(why, "holds a state this plug-in cannot read (it ends early)");
  } else {
    if (program.numParams != NParams()) return Refuse(why, "holds a different number of parameters than this plug-in");
    ApplyNormalizedValues(program.values);
  }
  FinishProgramLoad(program.name);
  return true;
}

bool IPluginBase::ReadBankData(const uint8_t* data, int size, TextBuffer* why) {
  FxFile::Bank bank;
  if (!FxFile::ParseBank(data, size, bank, why)) return false;
  if (!CheckFileOwner(bank.uniqueID, bank.chunkForm, why)) return false;
  if (bank.numPrograms > NPresets()) return Refuse(why, "holds more slots than this plug-in has");
  for (const FxFile::Program& program : bank.programs) {
    if (!CheckFileOwner(program.uniqueID, false, why)) return false;
    if (program.numParams != NParams()) return Refuse(why, "holds a different number of parameters than this plug-in");
  }

  const PresetsSnapshot before = TakeSnapshot();
  // The bank's current slot becomes ours when we have it.
  if (bank.currentProgram >= 0 && bank.currentProgram < NPresets()) mCurrentPresetIdx = bank.currentProgram;
  if (bank.chunkForm) {
    ByteChunk presets;
    presets.AppendBytes(bank.chunk, bank.chunkSize);
    if (presets.Size() != bank.chunkSize || ReadPresetSlots(presets, 0, bank.numPrograms) < 0) {
      RestoreSnapshot(before);
      return Refuse(why, "holds slots this plug-in cannot read (they end early)");
    }
  } else {
    for (size_t s = 0; s < bank.programs.size(); ++s) {
      ApplyNormalizedValues(bank.programs[s].values);
      IPreset& slot = *mPresets[s];
      slot.mInitialized = true;
      slot.SetName(bank.programs[s].name);
      slot.mChunk.Clear();
      SerializeState(slot.mChunk);
    }
  }
  RecallPreset(mCurrentPresetIdx);
  OnPresetFileLoaded();
  return true;
}

bool IPluginBase::ReadProgramFile(const char* path) {
  std::vector<uint8_t> bytes;
  return ReadFile(path, bytes) && ReadProgramData(bytes.data(), static_cast<int>(bytes.size()));
}

bool IPluginBase::ReadBankFile(const char* path) {
  std::vector<uint8_t> bytes;
  return ReadFile(path, bytes) && ReadBankData(bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace iplug
