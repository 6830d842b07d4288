#include "host/validator/Validator.h"

#include <chrono>
#include <random>

#include "host/cli/AAXModule.h"
#include "host/cli/CLAPPluginInstance.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/PluginLoader.h"
#include "host/validator/AAXValidatorInsert.h"
#include "host/validator/CLAPChecks.h"
#include "host/validator/InstanceValidatorInsert.h"
#include "host/validator/Validation.h"

namespace tbvalidate {
namespace {

// What the validator holds of the plug-in file for the whole run, and how it makes inserts.
struct LoadedPlugin {
  std::unique_ptr<tbhost::AAXModule> module;
  std::unique_ptr<tbhost::PluginInstance> first;  // a plug-in of another format: the one the others come from
  std::string description;
  void* handle = nullptr;  // the module's library, for a watch that hooks per module

  ValidatorInsertFactory Factory(bool doublePrecision) {
    if (module)
      return [m = module.get()](int channels, double rate, int maxBlock, std::string& error) {
        return AAXValidatorInsert::Create(*m, channels, rate, maxBlock, error);
      };
    return [p = first.get(), doublePrecision](int channels, double rate, int maxBlock,
                                              std::string& error) -> std::unique_ptr<ValidatorInsert> {
      std::unique_ptr<tbhost::PluginInstance> fresh = p->NewInstance(error);
      if (!fresh || !fresh->UseDoublePrecision(doublePrecision, error)) return nullptr;
      return InstanceValidatorInsert::Create(std::move(fresh), channels, rate, maxBlock, error);
    };
  }
};

bool Load(const std::string& path, LoadedPlugin& loaded, std::string& error) {
  const tbhost::PluginKind kind = tbhost::PluginLoader::KindOf(path);
  if (kind == tbhost::PluginKind::kAAX) {
    loaded.module = tbhost::AAXModule::Open(path, error);
    if (!loaded.module) return false;
    loaded.description = "module " + path + ", effect " + loaded.module->EffectID();
    loaded.handle = loaded.module->Loader().Handle();
    return true;
  }
  loaded.first = tbhost::PluginLoader::Load(path, error);
  if (!loaded.first) return false;
  loaded.description = std::string(tbhost::PluginLoader::KindName(kind)) + " plug-in " + path;
  loaded.handle = loaded.first->LibraryHandle();
  return true;
}

}  // namespace

int Validate(const ValidateOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  const std::string path =
      options.modulePath.empty() ? tbhost::ModuleLocator::FindBesideExecutable(error) : options.modulePath;
  LoadedPlugin plugin;
  if (path.empty() || !Load(path, plugin, error)) {
    err << "tollenbrook-host: " << error << std::endl;
    return 2;
  }
  if (options.doublePrecision && (!plugin.first || !plugin.first->UseDoublePrecision(true, error))) {
    err << "tollenbrook-host: --double-precision: " << (plugin.first ? error : "the AAX module takes 32-bit samples only")
        << std::endl;
    return 2;
  }
  const uint64_t seed = options.seedGiven ? options.seed : std::random_device{}() ^ static_cast<uint64_t>(
                                                               std::chrono::steady_clock::now().time_since_epoch().count());
  ValidationReport report(out);
  report.Note(plugin.description);
  report.Note("strictness " + std::to_string(options.strictness) + ", seed " + std::to_string(seed) +
              " (--seed " + std::to_string(seed) + " replays this run)");

  AudioThreadWatch& watch = ProcessAudioThreadWatch();
  if (!watch.Attach(plugin.handle, error)) report.Note("audio-thread watch: " + error);

  if (options.doublePrecision) report.Note("64-bit samples between host and plug-in");
  Validation v(plugin.Factory(options.doublePrecision), ValidationPlan::For(options.strictness), seed, report);
  CheckAudio(v);
  CheckHostTrouble(v);
  CheckParameters(v);
  CheckState(v);
  if (v.Plan().threads) CheckThreads(v);
  CheckLatency(v);
  if (v.Plan().switching) CheckSwitching(v);
  if (v.Plan().badAudio) CheckBadAudio(v);
  if (const auto* clap = dynamic_cast<const tbhost::CLAPPluginInstance*>(plugin.first.get())) CheckCLAP(v, *clap);
  v.ReportAudioThread();
  report.Summary();
  return report.Failed() == 0 ? 0 : 1;
}

}  // namespace tbvalidate
