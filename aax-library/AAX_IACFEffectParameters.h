#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_IMIDINode.h"
#include "aax-library/AAX_IString.h"
#include "aax-library/AAX_SPlugInChunk.h"
#include "aax-library/AAX_Types.h"

class AAX_IParameter;

// Opaque to the library: a host's hybrid-render and page-table records.
struct AAX_SHybridRenderInfo;
class AAX_IACFPageTable;

// The effect-parameters object of one instance as the host calls it. All four published
// effect-parameters identifiers (IID_IAAXEffectParametersV1..V4) answer this one interface.
// Unless noted, host non-real-time threads; no call comes from the real-time thread.
class AAX_IACFEffectParameters : public IACFUnknown {
public:
  // Life cycle. hostContext answers the controller, automation-delegate and transport
  // interfaces of this instance.
  virtual AAX_Result Initialize(IACFUnknown* hostContext) = 0;
  virtual AAX_Result Uninitialize() = 0;
  virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;

  // Parameters, looked up by identifier (unknown ones give AAX_ERROR_INVALID_PARAMETER_ID).
  virtual AAX_Result GetNumberOfParameters(int32_t* outCount) const = 0;
  virtual AAX_Result GetMasterBypassParameter(AAX_IString* outID) const = 0;
  virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* outAutomatable) const = 0;
  virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID id, int32_t* outSteps) const = 0;
  virtual AAX_Result GetParameterName(AAX_CParamID id, AAX_IString* outName) const = 0;
  virtual AAX_Result GetParameterNameOfLength(AAX_CParamID id, AAX_IString* outName,
                                              int32_t length) const = 0;
  virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID id, double* outValue) const = 0;
  virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID id, double value) = 0;
  virtual AAX_Result GetParameterType(AAX_CParamID id, AAX_EParameterType* outType) const = 0;
  virtual AAX_Result GetParameterOrientation(AAX_CParamID id,
                                             AAX_EParameterOrientation* outOrientation) const = 0;
  // The parameter object itself (owned by the effect, valid until Uninitialize).
  virtual AAX_Result GetParameter(AAX_CParamID id, AAX_IParameter** outParameter) = 0;
  virtual AAX_Result GetParameterIndex(AAX_CParamID id, int32_t* outIndex) const = 0;
  virtual AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* outID) const = 0;
  virtual AAX_Result GetParameterValueInfo(AAX_CParamID id, int32_t selector, int32_t* outValue) const = 0;
  virtual AAX_Result GetParameterValueFromString(AAX_CParamID id, double* outNormalized,
                                                 const AAX_IString& text) const = 0;
  virtual AAX_Result GetParameterStringFromValue(AAX_CParamID id, double normalized, AAX_IString* outText,
                                                 int32_t maxLength) const = 0;
  virtual AAX_Result GetParameterValueString(AAX_CParamID id, AAX_IString* outText,
                                             int32_t maxLength) const = 0;
  virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID id, double* outValue) const = 0;
  virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID id, double value) = 0;
  virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID id, double delta) = 0;
  virtual AAX_Result TouchParameter(AAX_CParamID id) = 0;
  virtual AAX_Result ReleaseParameter(AAX_CParamID id) = 0;
  virtual AAX_Result UpdateParameterTouch(AAX_CParamID id, AAX_CBoolean touched) = 0;
  // The host's answer to a set-value request, or a value it applies on its own.
  virtual AAX_Result UpdateParameterNormalizedValue(AAX_CParamID id, double value,
                                                    AAX_EUpdateSource source) = 0;
  virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID id, double delta) = 0;
  virtual AAX_Result GenerateCoefficients() = 0;
  // Prepares the private data of a context field before the first render.
  virtual AAX_Result ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const = 0;
  virtual AAX_Result GetNumberOfChanges(int32_t* outChanges) const = 0;

  // State chunks.
  virtual AAX_Result GetNumberOfChunks(int32_t* outCount) const = 0;
  virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outID) const = 0;
  virtual AAX_Result GetChunkSize(AAX_CTypeID id, uint32_t* outSize) const = 0;
  virtual AAX_Result GetChunk(AAX_CTypeID id, AAX_SPlugInChunk* chunk) const = 0;
  virtual AAX_Result SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk* chunk) = 0;
  virtual AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const = 0;

  // Curves and meters a host draws itself.
  virtual AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t count,
                                  float* outValues) const = 0;
  virtual AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* outXMeterID,
                                          uint32_t* outYMeterID) const = 0;
  virtual AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* outXMin, float* outXMax,
                                              float* outYMin, float* outYMax) const = 0;

  // The host's idle timer.
  virtual AAX_Result TimerWakeup() = 0;

  // Custom data, MIDI, hybrid processing and page tables.
  virtual AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t size, void* outData,
                                   uint32_t* outSize) const = 0;
  virtual AAX_Result SetCustomData(AAX_CTypeID dataBlockID, uint32_t size, const void* data) = 0;
  virtual AAX_Result DoMIDITransfers() = 0;
  virtual AAX_Result UpdateMIDINodes(AAX_CFieldIndex index, AAX_CMidiPacket& packet) = 0;
  virtual AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) = 0;
  virtual AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* renderInfo) = 0;
  virtual AAX_Result UpdatePageTable(uint32_t table, int32_t currentPage, int32_t pageSize,
                                     AAX_IACFPageTable* pageTable) const = 0;

protected:
  ~AAX_IACFEffectParameters() = default;
};
