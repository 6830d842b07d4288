#include "host/cli/SnapshotCommand.h"

#include <algorithm>
#include <memory>

#include "graphics/IGEditorDelegate.h"
#include "graphics/headless/WindowSnapshot.h"
#include "host/aax/HostWindow.h"
#include "host/cli/DemoClip.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/OffscreenEditor.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/TempOutputFile.h"
#include "IPlug/AAX/IPlugAAX.h"

#ifdef _WIN32
#include "graphics/win/IGraphicsWin.h"
#endif

namespace tbhost {
namespace {

// The needles should show the loud middle of the clip, so the render stops just after it.
constexpr double kRenderSeconds = 7.8;
constexpr int kBlock = 512;

// Audio thread of this run (the main thread): the clip's first seconds through the plug-in.
void RenderDemoStart(PluginInstance& plugin) {
  const std::vector<float> clip = DemoClip::Synthesise(DemoClip::kSampleRate);
  const int frames = std::min(static_cast<int>(clip.size() / 2), static_cast<int>(kRenderSeconds * DemoClip::kSampleRate));
  std::vector<float> in[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
  std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
  const float* ins[2] = {in[0].data(), in[1].data()};
  float* outs[2] = {out[0].data(), out[1].data()};
  for (int pos = 0; pos < frames; pos += kBlock) {
    const int n = std::min(kBlock, frames - pos);
    for (int i = 0; i < n; ++i) {
      in[0][static_cast<size_t>(i)] = clip[2 * static_cast<size_t>(pos + i)];
      in[1][static_cast<size_t>(i)] = clip[2 * static_cast<size_t>(pos + i) + 1];
    }
    plugin.ProcessBlock(ins, nullptr, outs, n);
  }
}

#ifdef _WIN32
// Windows: the editor opens in a real window of its own and the picture is read back from
// that window's framebuffer, so it can be compared with the off-screen one of other systems.
bool CaptureEditor(iplug::IPlugAAX& plugin, float scale, EditorPixels& picture, std::string& error) {
  std::unique_ptr<aaxhost::HostWindow> window =
      aaxhost::HostWindow::Create("Tollenbrook snapshot", plugin.GetEditorWidth(), plugin.GetEditorHeight(), error);
  if (!window) return false;
  plugin.OpenEditor(window->Handle());
  auto* graphics = dynamic_cast<igraphics::IGraphicsWin*>(plugin.GetUI());
  if (!graphics || !graphics->WindowIsOpen()) {
    error = std::string("the editor could not be opened here: ") + (graphics ? graphics->GetOpenError() : "no editor");
    plugin.CloseEditor();
    return false;
  }
  plugin.ServiceQueues();  // the 20 ms tick that delivers the queued values and meter readings
  graphics->Resize(graphics->Width(), graphics->Height(), scale, true);
  window->SetClientSize(graphics->WindowWidth(), graphics->WindowHeight());
  window->PumpMessages(100);
  const bool read = graphics->ReadWindowPixels(picture.rgba, picture.width, picture.height);
  plugin.CloseEditor();
  if (!read) error = "the editor's window could not be read back";
  return read;
}
#else
// Elsewhere: off-screen, with or without a display.
bool CaptureEditor(iplug::IPlugAAX& plugin, float scale, EditorPixels& picture, std::string& error) {
  return DrawEditorOffscreen(plugin, scale, picture, error);
}
#endif

}  // namespace

bool SnapshotCommand::Run(const SnapshotRequest& request, std::ostream& out, std::string& error) {
  if (!(request.scale >= kMinScale && request.scale <= kMaxScale)) {
    error = "--scale must lie between 0.5 and 2";
    return false;
  }
  std::unique_ptr<InProcessPluginInstance> instance = InProcessPluginInstance::Create(error);
  if (!instance) return false;
  const ParamResolver resolver(instance->Parameters());
  std::vector<ParamSetting> settings;
  if (!resolver.ResolveAll(request.settings, settings, error)) return false;
  if (!instance->Initialise(DemoClip::kSampleRate, 2, false, error)) return false;
  for (const ParamSetting& setting : settings) instance->SetParameter(setting.index, setting.value);
  RenderDemoStart(*instance);

  iplug::IPlugAAX& plugin = instance->Plugin();
  EditorPixels picture;
  if (!CaptureEditor(plugin, request.scale, picture, error)) return false;

  TempOutputFile file(request.output);
  if (!igraphics::WritePixelsPNG(file.Path().c_str(), picture.rgba, picture.width, picture.height)) {
    error = "cannot write " + request.output;
    return false;
  }
  if (!file.Commit(error)) return false;
  out << "Tollenbrook editor, " << picture.width << " x " << picture.height << " pixels at scale " << request.scale << ": "
      << request.output << "\n";
  return true;
}

}  // namespace tbhost
