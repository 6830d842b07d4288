#include "host/cli/EditorCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "aax-library/AAX_IACFEffectGUI.h"
#include "host/aax/HostWindow.h"
#include "host/aax/Instance.h"
#include "host/aax/ViewContainer.h"
#include "host/cli/DemoClip.h"
#include "host/cli/HostMain.h"
#include "host/cli/AAXPluginInstance.h"
#include "host/cli/CLAPEditorWindow.h"
#include "host/cli/CLAPPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/PluginLoader.h"
#include "host/cli/VST3Editor.h"
#include "host/cli/VST3PluginInstance.h"

namespace tbhost {
namespace {

constexpr int kBlock = 512;
// How long the host's loop waits for its window between two idle calls to the editor.
constexpr int kIdleMs = 5;

// The audio thread of the run: the demo clip through the plug-in, looped, one block at a time
// at the pace of the clip's sample rate, until told to stop.
class LoopedAudio {
public:
  explicit LoopedAudio(PluginInstance& plugin) : mPlugin(plugin), mClip(DemoClip::Synthesise(DemoClip::kSampleRate)) {}
  ~LoopedAudio() { Stop(); }

  void Start() { mThread = std::thread([this] { Run(); }); }
  void Stop() {
    mStop.store(true, std::memory_order_release);
    if (mThread.joinable()) mThread.join();
  }

private:
  void Run() {
    std::vector<float> in[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    const float* ins[2] = {in[0].data(), in[1].data()};
    float* outs[2] = {out[0].data(), out[1].data()};
    const size_t frames = mClip.size() / 2;
    const auto blockTime = std::chrono::microseconds(1000000LL * kBlock / DemoClip::kSampleRate);
    auto due = std::chrono::steady_clock::now();
    size_t pos = 0;
    while (!mStop.load(std::memory_order_acquire)) {
      for (int i = 0; i < kBlock; ++i, pos = (pos + 1) % frames) {
        in[0][static_cast<size_t>(i)] = mClip[2 * pos];
        in[1][static_cast<size_t>(i)] = mClip[2 * pos + 1];
      }
      mPlugin.ProcessBlock(ins, nullptr, outs, kBlock);
      due += blockTime;
      std::this_thread::sleep_until(due);
    }
  }

  PluginInstance& mPlugin;
  std::vector<float> mClip;
  std::thread mThread;
  std::atomic<bool> mStop{false};
};

// A plug-in format's editor window (VST3Editor, CLAPEditorWindow) pumped here, with its run
// loop and the plug-in's callbacks, while the demo loops through the plug-in on the audio thread.
template <typename Editor>
bool RunEditorWindow(std::unique_ptr<Editor> editor, int width, int height, PluginInstance& plugin, const EditorRequest& request,
                     std::ostream& out) {
  out << "Tollenbrook editor open, " << width << " x " << height << " pixels; close the window to quit" << std::endl;
  LoopedAudio audio(plugin);
  audio.Start();
  const auto start = std::chrono::steady_clock::now();
  while (editor->Pump(kIdleMs)) {
    if (request.seconds > 0.0 &&
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= request.seconds)
      break;
  }
  audio.Stop();
  editor.reset();
  out << "editor closed" << std::endl;
  return true;
}

bool RunVST3Editor(VST3PluginInstance& plugin, const EditorRequest& request, std::ostream& out, std::string& error) {
  std::unique_ptr<VST3Editor> editor = VST3Editor::Open(plugin, "Tollenbrook", error);
  if (!editor) return false;
  int width = 0, height = 0;
  editor->Size(width, height);
  return RunEditorWindow(std::move(editor), width, height, plugin, request, out);
}

bool RunCLAPEditor(CLAPPluginInstance& plugin, const EditorRequest& request, std::ostream& out, std::string& error) {
  std::unique_ptr<CLAPEditorWindow> editor = CLAPEditorWindow::Open(plugin, 1.0, true, error);
  if (!editor) return false;
  int width = 0, height = 0;
  editor->EditorSize(width, height);
  return RunEditorWindow(std::move(editor), width, height, plugin, request, out);
}

}  // namespace

bool EditorCommand::Run(const EditorRequest& request, std::ostream& out, std::string& error) {
  if (!aaxhost::HostWindow::Supported()) {
    error = "editor: this build of the host has no window system to open the editor in";
    return false;
  }
  std::unique_ptr<PluginInstance> plugin = PluginLoader::Load(request.modulePath, error);
  if (!plugin) return false;
  auto* aax = dynamic_cast<AAXPluginInstance*>(plugin.get());
  auto* vst3 = dynamic_cast<VST3PluginInstance*>(plugin.get());
  auto* clap = dynamic_cast<CLAPPluginInstance*>(plugin.get());
  if (!aax && !vst3 && !clap) {
    error = "editor: this host opens the editor of an AAX module, a VST3 bundle or a CLAP plug-in only";
    return false;
  }
  const ParamResolver resolver(plugin->Parameters());
  std::vector<ParamSetting> settings;
  if (!resolver.ResolveAll(request.settings, settings, error)) return false;
  if (!plugin->Initialise(DemoClip::kSampleRate, 2, false, error)) return false;
  for (const ParamSetting& setting : settings) plugin->SetParameter(setting.index, setting.value);
  if (vst3) return RunVST3Editor(*vst3, request, out, error);
  if (clap) {
    clap->RestartIfAsked();  // before the audio starts: a latency the settings changed
    return RunCLAPEditor(*clap, request, out, error);
  }
  AAXPluginInstance& module = *aax;

  // As a host opens an editor: the GUI object, its size, a window of that size, the container.
  aaxhost::Instance& instance = module.HostInstance();
  if (instance.CreateGUI() != 0 || !instance.GUI()) {
    error = "the module made no editor (no GUI object)";
    return false;
  }
  AAX_Point size;
  instance.GUI()->GetViewSize(&size);
  const int width = std::max(1, static_cast<int>(size.horz));
  const int height = std::max(1, static_cast<int>(size.vert));
  std::unique_ptr<aaxhost::HostWindow> window = aaxhost::HostWindow::Create("Tollenbrook", width, height, error);
  if (!window) return false;
  aaxhost::ViewContainer container(module.Module().Host().Log(), *window, "editor window");
  instance.GUI()->SetViewContainer(&container);
  out << "Tollenbrook editor open, " << width << " x " << height << " pixels; close the window to quit" << std::endl;

  LoopedAudio audio(*plugin);
  audio.Start();
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // The host's idle loop: its window's events, then the GUI object's wake-up, in which the
  // editor runs its timers and window events where no system loop does (Linux).
  while (window->PumpMessages(kIdleMs)) {
    if (instance.GUI()) instance.GUI()->TimerWakeup();
    if (request.seconds > 0.0 && elapsed() >= request.seconds) break;
  }
  audio.Stop();

  // As a host closes: the view goes, then the GUI and effect objects; the module must then be
  // free to unload.
  if (instance.GUI()) instance.GUI()->SetViewContainer(nullptr);
  window.reset();
  instance.Destroy();
  const int32_t live = module.Module().LiveObjects();
  if (live != 0) {
    error = "the module still holds " + std::to_string(live) + " objects after the editor closed";
    return false;
  }
  out << "editor closed; the module can be unloaded" << std::endl;
  return true;
}

}  // namespace tbhost
