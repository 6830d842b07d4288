#include "aax-library/AAXParameterManager.h"

#include <algorithm>
#include <cstring>
#include <string_view>

AAXParameterManager::~AAXParameterManager() { RemoveAllParameters(); }

void AAXParameterManager::Initialize(AAX_IAutomationDelegate* automationDelegate) {
  mAutomationDelegate = automationDelegate;
  for (AAX_IParameter* parameter : mParameters) parameter->SetAutomationDelegate(mAutomationDelegate);
}

bool AAXParameterManager::AddParameter(AAX_IParameter* parameter) {
  if (!parameter || !parameter->Identifier()) return false;
  const std::string identifier = parameter->Identifier();
  if (mByIdentifier.count(identifier)) return false;
  mParameters.push_back(parameter);
  mByIdentifier.emplace(identifier, parameter);
  parameter->SetAutomationDelegate(mAutomationDelegate);
  return true;
}

void AAXParameterManager::RemoveParameterByID(AAX_CParamID identifier) {
  if (!identifier) return;
  const auto found = mByIdentifier.find(std::string_view(identifier));
  if (found == mByIdentifier.end()) return;
  AAX_IParameter* parameter = found->second;
  mByIdentifier.erase(found);
  mParameters.erase(std::find(mParameters.begin(), mParameters.end(), parameter));
  delete parameter;
}

void AAXParameterManager::RemoveAllParameters() {
  std::vector<AAX_IParameter*> parameters;
  parameters.swap(mParameters);
  mByIdentifier.clear();
  for (AAX_IParameter* parameter : parameters) delete parameter;
}

AAX_IParameter* AAXParameterManager::GetParameterByID(AAX_CParamID identifier) {
  if (!identifier) return nullptr;
  const auto found = mByIdentifier.find(std::string_view(identifier));
  return found == mByIdentifier.end() ? nullptr : found->second;
}

const AAX_IParameter* AAXParameterManager::GetParameterByID(AAX_CParamID identifier) const {
  return const_cast<AAXParameterManager*>(this)->GetParameterByID(identifier);
}

AAX_IParameter* AAXParameterManager::GetParameterByName(const char* name) {
  if (!name) return nullptr;
  for (AAX_IParameter* parameter : mParameters) {
    if (parameter->Name() == name) return parameter;
  }
  return nullptr;
}

AAX_IParameter* AAXParameterManager::GetParameter(int32_t index) {
  if (index < 0 || index >= NumParameters()) return nullptr;
  return mParameters[static_cast<std::size_t>(index)];
}

const AAX_IParameter* AAXParameterManager::GetParameter(int32_t index) const {
  return const_cast<AAXParameterManager*>(this)->GetParameter(index);
}

int32_t AAXParameterManager::GetParameterIndex(AAX_CParamID identifier) const {
  const AAX_IParameter* parameter = GetParameterByID(identifier);
  if (!parameter) return -1;
  return static_cast<int32_t>(std::find(mParameters.begin(), mParameters.end(), parameter) - mParameters.begin());
}
