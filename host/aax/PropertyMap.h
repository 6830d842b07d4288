#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "aax-library/AAX_IACFPropertyMap.h"
#include "host/aax/RefCount.h"
#include "host/aax/Recorder.h"

namespace aaxhost {

// A property map that records every AddProperty and RemoveProperty in order.
class PropertyMap final : public AAX_IACFPropertyMap {
public:
  PropertyMap(Recorder& recorder, std::string label) : mRecorder(recorder), mLabel(std::move(label)) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_CBoolean GetProperty(int32_t property, AAX_CPropertyValue* outValue) const override;
  AAX_Result AddProperty(int32_t property, AAX_CPropertyValue value) override;
  AAX_Result RemoveProperty(int32_t property) override;

  const std::string& Label() const { return mLabel; }
  // Properties in the order added (a later value for the same number replaces the earlier).
  const std::vector<std::pair<int32_t, AAX_CPropertyValue>>& Properties() const { return mProperties; }
  std::optional<AAX_CPropertyValue> Find(int32_t property) const;

private:
  Recorder& mRecorder;
  std::string mLabel;
  RefCount mRefs;
  std::vector<std::pair<int32_t, AAX_CPropertyValue>> mProperties;
};

}  // namespace aaxhost
