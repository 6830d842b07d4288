#pragma once
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <vector>

#include "IPlug/ByteChunk.h"
#include "IPlug/HostId.h"
#include "IPlug/IPreset.h"
#include "IPlug/PluginConfig.h"
#include "IPlug/TextBuffer.h"
#include "graphics/IGEditorDelegate.h"

namespace iplug {

// The one place that names the editor delegate the plug-in object builds on.
using PluginEditorDelegate = igraphics::IGEditorDelegate;

// The plug-in API a binding serves; ApiName gives the texts.
enum EAPI : int { kAPIVST2 = 0, kAPIVST3, kAPIAU, kAPIAUv3, kAPIAAX, kAPIAPP, kAPIWAM, kAPIWEB, kAPILV2, kAPICLAP };

// The plug-in's identity, its preset slots and its state: the parameter values as doubles
// in index order, optionally behind product-specific bytes (SerializeState).
class IPluginBase : public PluginEditorDelegate {
public:
  static constexpr int kMaxNameLength = 128;

  IPluginBase(const PluginConfig& config, EAPI plugAPI);
  ~IPluginBase() override;

  const char* GetPluginName() const { return mPluginName.Get(); }
  const char* GetProductName() const { return mProductName.Get(); }
  const char* GetMfrName() const { return mMfrName.Get(); }
  int32_t GetUniqueID() const { return mUniqueID; }
  int32_t GetMfrID() const { return mMfrID; }
  EAPI GetAPI() const { return mAPI; }
  bool HasUI() const { return mHasUI; }
  bool StateChunks() const { return mStateChunks; }

  // ---- preset slots (host main thread; no lock is taken, values go in atomically) ----
  // Slots are created with the plug-in, named "empty" and free; only DropFreeSlots removes
  // any. Each "make" and capture call fills the first free slot and does nothing when none
  // is left. Names keep at most 255 bytes, never half a character.

  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  // The slot's name, or "" for an index outside the list.
  const char* PresetName(int idx) const;
  bool IsPresetInitialized(int idx) const;
  // The slot's stored state; null for an index outside the list.
  const ByteChunk* PresetData(int idx) const;

  // Fills `count` free slots with the current state, named `name` or "Empty".
  void CapturePresets(const char* name, int count);
  // One value per parameter in index order: an int for bool, int and enum parameters, a
  // double for every other kind.
  void MakePreset(const char* name, ...);
  // nPairs pairs of (int parameter index, value typed as for MakePreset); every parameter
  // not named keeps its current value.
  void MakePresetFromNamedParams(const char* name, int nPairs, ...);
  // sizeOfChunk bytes decoded from standard base64; bytes the text does not supply are 0.
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  void MakePresetFromByteChunk(const char* name, const ByteChunk& chunk);
  // Every free slot becomes "Empty" holding the current state.
  void FillFreeSlots();
  void DropFreeSlots();
  // Applies the slot's state and makes it current (a free slot first captures the current
  // state as "user preset N"). False for an index outside the list or a stored state the
  // plug-in cannot read; the plug-in is then left as it was.
  bool RecallPreset(int idx);
  // The first slot of exactly that name.
  bool RecallPreset(const char* name);
  // Stores the current state in the current slot, and renames it when name is not empty.
  void ModifyCurrentPreset(const char* name = nullptr);
  // Every slot: int32 name length, the name, one byte initialized, and the state of an
  // initialized slot. False when the chunk could not grow.
  bool SerializePresets(ByteChunk& chunk) const;
  // Reads what SerializePresets wrote: each initialized slot's state is applied and the slot
  // keeps what the plug-in makes of it; then the current slot is recalled. Returns the next
  // position, or -1 for damaged bytes, and then slots, current index and parameters are as
  // they were.
  int UnserializePresets(const ByteChunk& chunk, int startPos);

  // ---- program and bank files (host main thread) ----
  // The VST 2 layouts (see FxFile): the chunk form when the state travels as a chunk, the
  // parameter form otherwise. Reading accepts either form (the chunk form only from a
  // plug-in whose state is a chunk). A file that is damaged, truncated, of another plug-in
  // or holds more slots than this plug-in has is refused: false, with `why` set, and nothing
  // changes (no parameter, no slot, no current index). Writing goes through a temporary file,
  // so a failed write leaves nothing behind. Paths are UTF-8.

  bool WriteProgramFile(const char* path) const;
  // The current settings travel as the current slot.
  bool WriteBankFile(const char* path) const;
  bool ReadProgramFile(const char* path);
  bool ReadBankFile(const char* path);
  // The same on bytes in memory.
  bool MakeProgramData(ByteChunk& out) const;
  bool MakeBankData(ByteChunk& out) const;
  bool ReadProgramData(const uint8_t* data, int size, TextBuffer* why = nullptr);
  bool ReadBankData(const uint8_t* data, int size, TextBuffer* why = nullptr);
  // Program and bank files larger than this are refused unread.
  static constexpr int kMaxPresetFileSize = 16 << 20;

  // ---- source dumps (host main thread) ----
  // Each appends one statement that rebuilds the current preset: MakePreset with every
  // value, MakePresetFromNamedParams with the given enumerator name of each parameter, or
  // MakePresetFromBlob with the current slot's bytes. False when the file cannot be written.
  bool AppendMakePresetCall(const char* path) const;
  bool AppendNamedParamsPresetCall(const char* path, const char* const* paramEnumNames) const;
  bool AppendBlobPresetCall(const char* path) const;

  // State thread (the host's chunk calls). Appends every parameter value as a double in
  // index order; false when the chunk could not grow.
  virtual bool SerializeParams(ByteChunk& chunk) const;
  // State thread. Reads the doubles back from startPos and sets the parameters, then
  // notifies every parameter (source preset recall). Returns the next position, or -1 when
  // the chunk ended early: the parameter whose value is missing, and all after it, keep
  // their values. A stored NaN leaves its parameter unchanged.
  virtual int UnserializeParams(const ByteChunk& chunk, int startPos);
  virtual bool SerializeState(ByteChunk& chunk) const { return SerializeParams(chunk); }
  virtual int UnserializeState(const ByteChunk& chunk, int startPos) { return UnserializeParams(chunk, startPos); }
  // State thread (a host's "set state", a preset, a file). Applies the complete state that the
  // first bytes at data hold; bytes past it are ignored. Refused (false) when the bytes hold
  // less than a complete state of this build, before anything is applied; when the state
  // cannot be read, the previous one comes back whole rather than half of each. Nobody is
  // told: the caller notifies as its host expects (OnStateRestored).
  bool ApplyState(const void* data, int size);
  virtual void OnPresetFileLoaded() {}
  virtual void OnPresetSlotsChanged() {}
  // The bytes a product's state puts in front of the parameter doubles (none here). Slots
  // made from bare values get them too, so they recall like any other state.
  virtual bool SerializeStateHeader(ByteChunk& /*chunk*/) const { return true; }

protected:
  TextBuffer mPluginName;
  TextBuffer mProductName;
  TextBuffer mMfrName;
  int32_t mUniqueID = 0;
  int32_t mMfrID = 0;
  int32_t mVersion = 0;  // major << 16 | minor << 8 | patch
  int mCurrentPresetIdx = 0;
  bool mStateChunks = false;
  int32_t mHostVersion = 0;
  HostId mHost = kHostUninit;  // until the binding names its host
  EAPI mAPI;
  TextBuffer mExtraText;
  bool mHasUI = false;
  bool mEditorOption = false;
  std::vector<std::unique_ptr<IPreset>> mPresets;

private:
  // Everything a refused preset file or bank must leave as it was.
  struct PresetsSnapshot {
    std::vector<IPreset> slots;
    int current = 0;
    ByteChunk state;
    bool haveState = false;
  };

  IPreset* TakeFreeSlot(const char* name);
  // The value of the next variadic argument for parameter idx (int-typed kinds as ints).
  double NextParamArg(int idx, va_list& args) const;
  void MakePresetFromValues(const char* name, const double* values);
  int StateHeaderSize() const;
  PresetsSnapshot TakeSnapshot() const;
  void RestoreSnapshot(const PresetsSnapshot& snapshot);
  int ReadPresetSlots(const ByteChunk& chunk, int startPos, int nSlots);
  // SerializePresets with the current slot replaced by currentState (when given).
  bool SerializeSlots(ByteChunk& chunk, const ByteChunk* currentState) const;
  bool CheckFileOwner(int32_t uniqueID, bool chunkForm, TextBuffer* why) const;
  void ApplyNormalizedValues(const std::vector<float>& values);
  void FinishProgramLoad(const char* name);
  void ValueText(int idx, double value, TextBuffer& out) const;
  const char* CurrentPresetName() const;
};

}  // namespace iplug
