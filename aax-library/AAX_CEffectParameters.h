#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "aax-library/AAXParameterManager.h"
#include "aax-library/AAX_CPacketDispatcher.h"
#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_IEffectParameters.h"
#include "aax-library/AAX_VAutomationDelegate.h"
#include "aax-library/AAX_VController.h"
#include "aax-library/AAX_VTransport.h"
#include "aax-library/CACFUnknown.h"

// The library's effect-parameters object: life cycle, host queries answered through the
// parameter manager, the change counter, packet dispatch and defaults for everything optional.
// A plug-in derives from it, creates its parameters in EffectInit and overrides what it needs
// (chunks, notifications, coefficient generation, field data, timer).
//
// Threads: every operation comes from host non-real-time threads (or the editor's thread for
// Set/Touch/Release); none from the real-time thread. The object is created with a reference
// count of 0 and deleted by its last Release.
class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown {
public:
  AAX_CEffectParameters();
  ~AAX_CEffectParameters() override;

  AAX_DECLARE_DELEGATING_UNKNOWN()
  ACFRESULT InternalQueryInterface(const acfIID& iid, void** out) override;

  // Life cycle. Initialize on an initialised object starts afresh (Uninitialize first).
  AAX_Result Initialize(IACFUnknown* hostContext) override;
  AAX_Result Uninitialize() override;
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

  // Host queries.
  AAX_Result GetNumberOfParameters(int32_t* outCount) const override;
  AAX_Result GetMasterBypassParameter(AAX_IString* outID) const override;
  AAX_Result GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* outAutomatable) const override;
  AAX_Result GetParameterNumberOfSteps(AAX_CParamID id, int32_t* outSteps) const override;
  AAX_Result GetParameterName(AAX_CParamID id, AAX_IString* outName) const override;
  AAX_Result GetParameterNameOfLength(AAX_CParamID id, AAX_IString* outName, int32_t length) const override;
  AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID id, double* outValue) const override;
  AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID id, double value) override;
  AAX_Result GetParameterType(AAX_CParamID id, AAX_EParameterType* outType) const override;
  AAX_Result GetParameterOrientation(AAX_CParamID id, AAX_EParameterOrientation* outOrientation) const override;
  AAX_Result GetParameter(AAX_CParamID id, AAX_IParameter** outParameter) override;
  AAX_Result GetParameterIndex(AAX_CParamID id, int32_t* outIndex) const override;
  AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* outID) const override;
  AAX_Result GetParameterValueInfo(AAX_CParamID id, int32_t selector, int32_t* outValue) const override;
  AAX_Result GetParameterValueFromString(AAX_CParamID id, double* outNormalized,
                                         const AAX_IString& text) const override;
  AAX_Result GetParameterStringFromValue(AAX_CParamID id, double normalized, AAX_IString* outText,
                                         int32_t maxLength) const override;
  AAX_Result GetParameterValueString(AAX_CParamID id, AAX_IString* outText, int32_t maxLength) const override;
  AAX_Result GetParameterNormalizedValue(AAX_CParamID id, double* outValue) const override;
  AAX_Result SetParameterNormalizedValue(AAX_CParamID id, double value) override;
  AAX_Result SetParameterNormalizedRelative(AAX_CParamID id, double delta) override;
  AAX_Result TouchParameter(AAX_CParamID id) override;
  AAX_Result ReleaseParameter(AAX_CParamID id) override;
  AAX_Result UpdateParameterTouch(AAX_CParamID id, AAX_CBoolean touched) override;
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID id, double delta) override;
  AAX_Result GenerateCoefficients() override;
  AAX_Result ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const override;
  AAX_Result GetNumberOfChanges(int32_t* outChanges) const override;

  // Chunks: the library has no chunk of its own; plug-ins override all six.
  AAX_Result GetNumberOfChunks(int32_t* outCount) const override;
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outID) const override;
  AAX_Result GetChunkSize(AAX_CTypeID id, uint32_t* outSize) const override;
  AAX_Result GetChunk(AAX_CTypeID id, AAX_SPlugInChunk* chunk) const override;
  AAX_Result SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk* chunk) override;
  AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const override;

  // Optional operations: AAX_ERROR_UNIMPLEMENTED or 0 without effect.
  AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t count,
                          float* outValues) const override;
  AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* outXMeterID, uint32_t* outYMeterID) const override;
  AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* outXMin, float* outXMax, float* outYMin,
                                      float* outYMax) const override;
  AAX_Result TimerWakeup() override;
  AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t size, void* outData, uint32_t* outSize) const override;
  AAX_Result SetCustomData(AAX_CTypeID dataBlockID, uint32_t size, const void* data) override;
  AAX_Result DoMIDITransfers() override;
  AAX_Result UpdateMIDINodes(AAX_CFieldIndex index, AAX_CMidiPacket& packet) override;
  AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) override;
  AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* renderInfo) override;
  AAX_Result UpdatePageTable(uint32_t table, int32_t currentPage, int32_t pageSize,
                             AAX_IACFPageTable* pageTable) const override;

  // Host services for the plug-in; null before Initialize and after Uninitialize.
  AAX_IController* Controller() const { return mController.get(); }
  AAX_ITransport* Transport() const { return mTransport.get(); }
  AAX_IAutomationDelegate* AutomationDelegate() const { return mAutomationDelegate.get(); }
  bool IsInitialized() const { return mInitialized; }
  int32_t NumChunkedParameters() const { return mNumChunkedParameters; }
  const std::set<std::string>& FilteredParameters() const { return mFilteredParameters; }

protected:
  // Creates the plug-in's parameters; runs inside Initialize once the host wrappers exist.
  virtual AAX_Result EffectInit() { return AAX_SUCCESS; }

  // The reference a host query finds, or null for an unknown identifier.
  AAX_IParameter* FindParameter(AAX_CParamID id) { return mParameterManager.GetParameterByID(id); }
  const AAX_IParameter* FindParameter(AAX_CParamID id) const { return mParameterManager.GetParameterByID(id); }
  void FilterParameterIDOnSave(AAX_CParamID id);

  // Counted by every host thread that changes a value or the state.
  std::atomic<int32_t> mNumPlugInChanges{0};
  int32_t mNumChunkedParameters = 0;
  AAX_CPacketDispatcher mPacketDispatcher;
  AAXParameterManager mParameterManager;
  std::set<std::string> mFilteredParameters;
  std::unique_ptr<AAX_VController> mController;
  std::unique_ptr<AAX_VTransport> mTransport;
  std::unique_ptr<AAX_VAutomationDelegate> mAutomationDelegate;

private:
  bool mInitialized = false;
};
