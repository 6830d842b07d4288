#pragma once
#include <cstdint>

namespace igraphics {

// What the editor needs from the AAX host's view container. The AAX binding adapts the
// host's container to it and hands it to the editor when the view opens.
class IHostViewContainer {
public:
  virtual ~IHostViewContainer() = default;
  // The host's current modifier bits; returns the host's result code (0 for success).
  virtual int32_t GetModifiers(uint32_t* modifiers) = 0;
  // Gives the host a click on the control of a parameter (identifier "1".."15").
  // 0 means the host took the click and the editor must not handle it.
  virtual int32_t HandleParameterMouseDown(const char* paramID, uint32_t modifiers) = 0;
  virtual int32_t SetViewSize(float width, float height) = 0;
};

// Host modifier bits sent with a parameter mouse-down.
enum EHostModifiers : uint32_t {
  kHostModifierShift = 1,
  kHostModifierAlt = 4,
  kHostModifierControl = 8,
  kHostModifierRightButton = 16,
};

// The AAX editor binding's view of the editor: host highlighting of parameter controls,
// and the host's view container while the view is open.
class IPlugAAXView_Interface {
public:
  virtual ~IPlugAAXView_Interface() = default;

  // Host main thread. colour: 0 red, 1 blue, 2 green, 3 yellow.
  virtual void SetControlHighlight(int paramIdx, bool isHighlighted, int colour) = 0;

  void SetViewContainer(IHostViewContainer* container) { mViewContainer = container; }
  IHostViewContainer* GetViewContainer() const { return mViewContainer; }

protected:
  IHostViewContainer* mViewContainer = nullptr;  // not owned
};

}  // namespace igraphics
