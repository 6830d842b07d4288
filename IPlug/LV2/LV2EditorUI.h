#pragma once
#include <lv2/ui/ui.h>

#include <memory>
#include <vector>

#include "IPlug/LV2/LV2UIPeer.h"

namespace iplug {

class IPlugLV2;
struct LV2Component;

// The bundle's user interface (ui:X11UI): a plug-in object of its own that never processes
// audio holds the parameters and the editor, which opens in the host's window (ui:parent)
// or in a top-level window. It talks to the plug-in only through ports, so it works the
// same when the host runs it in another process: knob gestures write the control ports
// through the host's write function (with ui:touch around them), control port events move
// the knobs, the two gain-reduction outputs drive the needles, and the editor-zoom port
// carries the zoom both ways (the host's window follows through ui:resize). The host's idle
// calls pump the editor's run loop: its 20 ms timer, its redraw clock and its X events.
//
// Threads: the host's UI thread, for everything.
class LV2EditorUI final : public LV2UIPeer {
public:
  // Null when the plug-in URI is not one of the bundle's or no editor could open.
  static std::unique_ptr<LV2EditorUI> Make(const LV2Component& component, LV2UI_Write_Function write,
                                           LV2UI_Controller controller, const LV2_Feature* const* features);
  ~LV2EditorUI() override;

  // The editor's X window id, for the host to embed.
  LV2UI_Widget Widget() const { return mWidget; }
  // The host's port_event: a float value of a port (other formats are not subscribed).
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // The host's idle call: 0 while the interface is shown, 1 once its window was closed.
  int Idle();
  IPlugLV2& Plug() { return *mPlug; }

  void WriteParam(int paramIdx, float value) override;
  void TouchParam(int paramIdx, bool grabbed) override;
  bool EditorResized(int width, int height) override;

private:
  LV2EditorUI() = default;
  void WritePort(int port, float value);

  std::unique_ptr<IPlugLV2> mPlug;
  LV2UI_Write_Function mWrite = nullptr;
  LV2UI_Controller mController = nullptr;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
  LV2UI_Widget mWidget = nullptr;
  std::vector<bool> mHeld;  // by parameter: a gesture is open
};

}  // namespace iplug
