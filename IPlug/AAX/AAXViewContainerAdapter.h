#pragma once
#include "aax-library/AAX_IViewContainer.h"
#include "graphics/IPlugAAXView_Interface.h"

namespace iplug {

// The host's view container as the editor sees it: size requests and parameter clicks go to
// the library's wrapper of the host's container. Owned by the GUI object for the life of
// the view. Host main thread.
class AAXViewContainerAdapter final : public igraphics::IHostViewContainer {
public:
  explicit AAXViewContainerAdapter(AAX_IViewContainer& container) : mContainer(container) {}

  int32_t GetModifiers(uint32_t* modifiers) override { return mContainer.GetModifiers(modifiers); }
  int32_t HandleParameterMouseDown(const char* paramID, uint32_t modifiers) override {
    return mContainer.HandleParameterMouseDown(paramID, modifiers);
  }
  int32_t SetViewSize(float width, float height) override {
    AAX_Point size;
    size.vert = height;
    size.horz = width;
    return mContainer.SetViewSize(size);
  }

private:
  AAX_IViewContainer& mContainer;
};

}  // namespace iplug
