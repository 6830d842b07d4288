#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "aax-library/AAX_IParameter.h"

class AAX_IAutomationDelegate;

// The effect's host parameters in order, with an index by identifier. Owns every parameter it
// accepts and installs the host's automation delegate on it.
// Host non-real-time threads; not locked (the effect-parameters object serialises its callers).
class AAXParameterManager {
public:
  AAXParameterManager() = default;
  ~AAXParameterManager();
  AAXParameterManager(const AAXParameterManager&) = delete;
  AAXParameterManager& operator=(const AAXParameterManager&) = delete;

  // The delegate goes on every parameter added from now on and on those already present.
  void Initialize(AAX_IAutomationDelegate* automationDelegate);

  int32_t NumParameters() const { return static_cast<int32_t>(mParameters.size()); }

  // Takes ownership and returns true when accepted. A null parameter or one whose identifier
  // is already present is refused (false) and stays with the caller.
  bool AddParameter(AAX_IParameter* parameter);
  // Deletes the parameter with that identifier, if any.
  void RemoveParameterByID(AAX_CParamID identifier);
  // Deletes every parameter.
  void RemoveAllParameters();

  AAX_IParameter* GetParameterByID(AAX_CParamID identifier);
  const AAX_IParameter* GetParameterByID(AAX_CParamID identifier) const;
  AAX_IParameter* GetParameterByName(const char* name);
  AAX_IParameter* GetParameter(int32_t index);
  const AAX_IParameter* GetParameter(int32_t index) const;
  // Position in the list, or -1 for an unknown identifier.
  int32_t GetParameterIndex(AAX_CParamID identifier) const;

private:
  AAX_IAutomationDelegate* mAutomationDelegate = nullptr;
  std::vector<AAX_IParameter*> mParameters;
  std::map<std::string, AAX_IParameter*, std::less<>> mByIdentifier;
};
