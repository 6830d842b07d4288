#pragma once
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
enum EAPI : int { kAPIVST2 = 0, kAPIVST3, kAPIAU, kAPIAUv3, kAPIAAX, kAPIAPP, kAPIWAM, kAPIWEB, kAPILV2 };

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

  // Presets (host main thread). Slots are created with the plug-in and named "empty".
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  // The slot's name, or "" for an index outside the list.
  const char* PresetName(int idx) const;
  bool IsPresetInitialized(int idx) const;

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
  virtual void OnPresetFileLoaded() {}
  virtual void OnPresetSlotsChanged() {}

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
};

}  // namespace iplug
