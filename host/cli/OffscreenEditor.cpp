#include "host/cli/OffscreenEditor.h"

#include "graphics/headless/IGraphicsHeadless.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"

namespace tbhost {

bool DrawEditorOffscreen(iplug::IPlugAAX& plugin, float scale, EditorPixels& picture, std::string& error) {
  InstallTollenbrookEditor(plugin, MakeTollenbrookOffscreenGraphics);
  plugin.OpenEditor(nullptr);
  auto* graphics = dynamic_cast<igraphics::IGraphicsHeadless*>(plugin.GetUI());
  if (!graphics || !graphics->WindowIsOpen()) {
    plugin.CloseEditor();
    error = "the editor could not be opened here (no off-screen OpenGL context)";
    return false;
  }
  plugin.ServiceQueues();  // the 20 ms tick that delivers the queued values and meter readings
  graphics->Resize(graphics->Width(), graphics->Height(), scale, true);
  graphics->SetManualTimeMs(0.0);
  graphics->DrawAll();
  const bool read = graphics->ReadWindowPixels(picture.rgba, picture.width, picture.height);
  plugin.CloseEditor();
  if (!read) error = "the editor's pixels could not be read back";
  return read;
}

}  // namespace tbhost
