#include "host/cli/VST3Module.h"

#include <cstring>
#include <filesystem>

#include "host/cli/Utf8Path.h"
#include "host/cli/VST3Text.h"

namespace tbhost {
namespace {

#ifdef _WIN32
constexpr const char* kArchitecture = "x86_64-win";
constexpr const char* kBinaryExtension = ".vst3";
constexpr const char* kEntry = "InitDll";
constexpr const char* kExit = "ExitDll";
using EntryProc = bool (*)();
#else
constexpr const char* kArchitecture = "x86_64-linux";
constexpr const char* kBinaryExtension = ".so";
constexpr const char* kEntry = "ModuleEntry";
constexpr const char* kExit = "ModuleExit";
using EntryProc = bool (*)(void*);
#endif
using ExitProc = bool (*)();
using FactoryProc = v3_plugin_factory** (*)();

constexpr const char* kAudioEffectCategory = "Audio Module Class";

// The binary inside the bundle around `path`; `path` itself when it is a file in no bundle
// (a single-file module, as older Windows installs have).
std::filesystem::path BinaryOf(const std::string& path) {
  const std::filesystem::path given = std::filesystem::absolute(PathFromUtf8(path));
  for (std::filesystem::path at = given; !at.empty() && at != at.root_path(); at = at.parent_path()) {
    if (at.extension() != ".vst3") continue;
    std::error_code ec;
    if (!std::filesystem::is_directory(at, ec)) continue;
    return at / "Contents" / kArchitecture / (PathToUtf8(at.stem()) + kBinaryExtension);
  }
  return given;
}

bool Empty(const v3_tuid id) {
  for (int i = 0; i < 16; ++i)
    if (id[i] != 0) return false;
  return true;
}

}  // namespace

std::shared_ptr<VST3Module> VST3Module::Open(const std::string& path, std::string& error) {
  std::shared_ptr<VST3Module> module(new VST3Module());
  module->mPath = path;
  module->mBinary = PathToUtf8(BinaryOf(path));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathFromUtf8(module->mBinary), ec)) {
    error = "cannot load " + path + ": not a VST3 bundle for this system (no " + module->mBinary + ")";
    return nullptr;
  }
  if (!module->mLibrary.Open(module->mBinary, error)) return nullptr;
  if (!module->Start(error) || !module->FindEffect(error)) return nullptr;
  return module;
}

bool VST3Module::Start(std::string& error) {
  auto entry = reinterpret_cast<EntryProc>(mLibrary.Symbol(kEntry));
  auto factory = reinterpret_cast<FactoryProc>(mLibrary.Symbol("GetPluginFactory"));
  if (!entry || !factory) {
    error = mBinary + " is no VST3 module: it lacks " + (entry ? "GetPluginFactory" : kEntry);
    return false;
  }
#ifdef _WIN32
  const bool entered = entry();
#else
  const bool entered = entry(mLibrary.Handle());
#endif
  if (!entered) {
    error = mBinary + " refused to start (" + kEntry + " failed)";
    return false;
  }
  mEntered = true;
  mFactory = VST3Ref<v3_plugin_factory>(factory());
  if (!mFactory) {
    error = mBinary + " gave no factory";
    return false;
  }
  // A factory that takes the host's context gets it before any instance is made.
  if (VST3Ref<v3_plugin_factory_3> third = mFactory.Query<v3_plugin_factory_3>(v3_plugin_factory_3_iid))
    third->set_host_context(third.Get(), mHost.Interface());
  return true;
}

bool VST3Module::FindEffect(std::string& error) {
  v3_factory_info info{};
  if (mFactory->get_factory_info(mFactory.Get(), &info) == V3_OK)
    mVendor.assign(info.vendor, strnlen(info.vendor, sizeof info.vendor));
  const VST3Ref<v3_plugin_factory_2> second = mFactory.Query<v3_plugin_factory_2>(v3_plugin_factory_2_iid);
  const int32_t count = mFactory->num_classes(mFactory.Get());
  for (int32_t i = 0; i < count; ++i) {
    v3_class_info c{};
    if (mFactory->get_class_info(mFactory.Get(), i, &c) != V3_OK) continue;
    if (strncmp(c.category, kAudioEffectCategory, sizeof c.category) != 0) continue;
    std::memcpy(mEffectClass, c.class_id, sizeof mEffectClass);
    mEffectName.assign(c.name, strnlen(c.name, sizeof c.name));
    v3_class_info_2 more{};
    if (second && second->get_class_info_2(second.Get(), i, &more) == V3_OK)
      mSubCategories.assign(more.sub_categories, strnlen(more.sub_categories, sizeof more.sub_categories));
    if (Empty(mEffectClass)) {
      error = mBinary + ": its audio effect has no class id";
      return false;
    }
    return true;
  }
  error = mBinary + " offers no audio effect (no class of category \"" + kAudioEffectCategory + "\")";
  return false;
}

void* VST3Module::CreateInstance(const v3_tuid cid, const v3_tuid iid) const {
  void* object = nullptr;
  if (mFactory->create_instance(mFactory.Get(), cid, iid, &object) != V3_OK) return nullptr;
  return object;
}

// The factory is given back and the module told to exit before the library goes.
VST3Module::~VST3Module() {
  mFactory.Reset();
  if (!mEntered) return;
  if (auto exit = reinterpret_cast<ExitProc>(mLibrary.Symbol(kExit))) exit();
}

}  // namespace tbhost
