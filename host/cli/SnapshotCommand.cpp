#include "host/cli/SnapshotCommand.h"

#include <algorithm>
#include <memory>

#include "graphics/IGEditorDelegate.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "graphics/headless/WindowSnapshot.h"
#include "host/cli/DemoClip.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/TempOutputFile.h"
#include "IPlug/AAX/IPlugAAX.h"

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

}  // namespace

bool SnapshotCommand::Run(const SnapshotRequest& request, std::ostream& out, std::string& error) {
  if (!(request.scale >= kMinScale && request.scale <= kMaxScale)) {
    error = "--scale must lie between 0.5 and 2";
    return false;
  }
  std::unique_ptr<PluginInstance> instance = InProcessPluginInstance::Create(error);
  if (!instance) return false;
  const ParamResolver resolver(instance->Parameters());
  std::vector<ParamSetting> settings;
  for (const std::string& text : request.settings) {
    ParamSetting setting;
    if (!resolver.Resolve(text, setting, error)) return false;
    settings.push_back(setting);
  }
  if (!instance->Initialise(DemoClip::kSampleRate, 2, false, error)) return false;
  for (const ParamSetting& setting : settings) instance->SetParameter(setting.index, setting.value);
  RenderDemoStart(*instance);

  iplug::IPlugAAX& plugin = static_cast<InProcessPluginInstance&>(*instance).Plugin();
  plugin.OpenEditor(nullptr);
  auto* graphics = dynamic_cast<igraphics::IGraphicsHeadless*>(plugin.GetUI());
  if (!graphics) {
    plugin.CloseEditor();
    error = "the editor could not be opened here (no off-screen OpenGL context)";
    return false;
  }
  // The 20 ms tick that delivers the queued parameter values and meter readings.
  plugin.ServiceQueues();
  graphics->Resize(graphics->Width(), graphics->Height(), request.scale, true);
  graphics->SetManualTimeMs(0.0);
  graphics->DrawAll();

  TempOutputFile file(request.output);
  const bool written = igraphics::WriteWindowPNG(*graphics, file.Path().c_str());
  const int width = graphics->WindowWidth();
  const int height = graphics->WindowHeight();
  plugin.CloseEditor();
  if (!written) {
    error = "cannot write " + request.output;
    return false;
  }
  if (!file.Commit(error)) return false;
  out << "Tollenbrook editor, " << width << " x " << height << " pixels at scale " << request.scale << ": "
      << request.output << "\n";
  return true;
}

}  // namespace tbhost
