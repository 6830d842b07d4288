#include "host/validator/Validator.h"

#include <chrono>
#include <random>

#include "host/cli/AAXModule.h"
#include "host/cli/ModuleLocator.h"
#include "host/cli/PluginLoader.h"
#include "host/validator/Validation.h"

namespace tbvalidate {

int Validate(const ValidateOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  const std::string path =
      options.modulePath.empty() ? tbhost::ModuleLocator::FindBesideExecutable(error) : options.modulePath;
  if (const tbhost::PluginKind kind = tbhost::PluginLoader::KindOf(path); !path.empty() && kind != tbhost::PluginKind::kAAX)
    error = path + ": the validator drives AAX modules only, not " + tbhost::PluginLoader::KindName(kind) + " plug-ins";
  std::unique_ptr<tbhost::AAXModule> module =
      path.empty() || !error.empty() ? nullptr : tbhost::AAXModule::Open(path, error);
  if (!module) {
    err << "tollenbrook-host: " << error << std::endl;
    return 2;
  }
  const uint64_t seed = options.seedGiven ? options.seed : std::random_device{}() ^ static_cast<uint64_t>(
                                                               std::chrono::steady_clock::now().time_since_epoch().count());
  ValidationReport report(out);
  report.Note("module " + path + ", effect " + module->EffectID());
  report.Note("strictness " + std::to_string(options.strictness) + ", seed " + std::to_string(seed) +
              " (--seed " + std::to_string(seed) + " replays this run)");

  AudioThreadWatch& watch = ProcessAudioThreadWatch();
  if (!watch.Attach(module->Loader().Handle(), error)) report.Note("audio-thread watch: " + error);

  Validation v(*module, ValidationPlan::For(options.strictness), seed, report);
  CheckAudio(v);
  CheckHostTrouble(v);
  CheckParameters(v);
  CheckState(v);
  if (v.Plan().threads) CheckThreads(v);
  CheckLatency(v);
  if (v.Plan().switching) CheckSwitching(v);
  if (v.Plan().badAudio) CheckBadAudio(v);
  v.ReportAudioThread();
  report.Summary();
  return report.Failed() == 0 ? 0 : 1;
}

}  // namespace tbvalidate
