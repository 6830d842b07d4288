#include "IPlug/AAX/IPlugAAX.h"
#include "graphics/IGraphics.h"

// The editor side of the binding: the view the GUI object talks to, and resizing that the
// editor starts, which the host's view container carries out.
namespace iplug {

void* IPlugAAX::GetEditorView() { return static_cast<igraphics::IPlugAAXView_Interface*>(GetUI()); }

bool IPlugAAX::ResizeEditorWindow(int width, int height) {
  if (!HasUI()) return true;
  auto* view = static_cast<igraphics::IPlugAAXView_Interface*>(GetEditorView());
  if (view && (width != GetEditorWidth() || height != GetEditorHeight())) {
    if (igraphics::IHostViewContainer* container = view->GetViewContainer())
      container->SetViewSize(static_cast<float>(width), static_cast<float>(height));
  }
  SetEditorSize(width, height);
  return true;
}

}  // namespace iplug
