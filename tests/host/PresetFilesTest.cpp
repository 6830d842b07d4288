#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "IPlug/AAX/IPlugAAX.h"
#include "host/ModuleFixtures.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/FactoryPresets.h"
#include "host/cli/InProcessPluginInstance.h"
#include "host/cli/ParamResolver.h"
#include "host/cli/PresetFiles.h"
#include "host/cli/PresetsCommand.h"

// Program and bank files and the factory presets through tollenbrook-host, with the module
// loaded at run time as a host loads it.
namespace {

using Bytes = std::vector<uint8_t>;
using hosttest::HostRun;
using hosttest::ReadWav;
using hosttest::RunModuleHost;

void SetBE(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

struct PresetRender : ::testing::Test {
  hosttest::ScopedTempDir dir;
  std::string module = hosttest::BuiltModule();
  std::string in;

  void SetUp() override {
    ASSERT_FALSE(module.empty()) << "the module is built with the tests";
    in = dir.File("in.wav");
    hosttest::WriteFloatWav(in, 2, 44100, hosttest::MusicSignal(44100 / 2, 2, 44100, 0.9));
  }
  HostRun Render(const std::string& out, std::vector<std::string> more) {
    std::vector<std::string> args = {"render", in, dir.File(out), "--module", module};
    args.insert(args.end(), more.begin(), more.end());
    return RunModuleHost(args);
  }
  // Renders the two option lists and expects the same samples.
  void ExpectSameSound(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const HostRun ra = Render("a.wav", a), rb = Render("b.wav", b);
    ASSERT_EQ(ra.status, 0) << ra.err;
    ASSERT_EQ(rb.status, 0) << rb.err;
    EXPECT_EQ(hosttest::MaxDifference(ReadWav(dir.File("a.wav")), ReadWav(dir.File("b.wav"))), 0.0);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    hosttest::WriteBytes(dir.File(name), bytes);
    return dir.File(name);
  }
};

std::vector<std::string> AsSetOptions(const std::vector<std::string>& settings) {
  std::vector<std::string> options;
  for (const std::string& s : settings) options.insert(options.end(), {"--set", s});
  return options;
}

}  // namespace

// Each file in presets/ is what the plug-in's writer makes of its settings, and reads back to
// exactly those settings, every other parameter at its default.
TEST(FactoryPresets, EachFileIsTheWritersOwnAndReadsBackToItsSettings) {
  const auto& table = tbhost::FactoryPresets::Table();
  const auto& files = tbhost::FactoryPresets::Files();
  ASSERT_EQ(files.size(), table.size()) << "presets/ holds one file per setting (scripts/factory-presets)";
  for (const tbhost::FactoryPreset& preset : table) {
    SCOPED_TRACE(preset.name);
    const auto file = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.fileName == preset.fileName; });
    ASSERT_NE(file, files.end());
    Bytes made;
    std::string error;
    ASSERT_TRUE(tbhost::PresetsCommand::MakeProgram(preset, made, error)) << error;
    EXPECT_EQ(file->bytes, made) << "stale: run scripts/factory-presets";

    std::unique_ptr<iplug::IPlugAAX> plugin(MakePlugInstance(iplug::InstanceInfo{}));
    ASSERT_TRUE(plugin->ReadProgramData(file->bytes.data(), static_cast<int>(file->bytes.size())));
    EXPECT_EQ(plugin->PresetName(0), preset.name);
    const std::vector<tbhost::ParamInfo> params = tbhost::InProcessPluginInstance::DescribeParameters(*plugin);
    std::vector<double> expected;
    for (const tbhost::ParamInfo& p : params) expected.push_back(p.defaultValue);
    const tbhost::ParamResolver resolver(params);
    for (const std::string& text : preset.settings) {
      tbhost::ParamSetting setting;
      ASSERT_TRUE(resolver.Resolve(text, setting, error)) << error;
      expected[static_cast<size_t>(setting.index)] = setting.value;
    }
    for (int i = 0; i < plugin->NParams(); ++i) EXPECT_EQ(plugin->GetParam(i)->Value(), expected[static_cast<size_t>(i)]) << i;
  }
}

TEST_F(PresetRender, AFactoryPresetSoundsLikeItsSettingsAndSetGoesOnTop) {
  const tbhost::FactoryPreset& drums = tbhost::FactoryPresets::Table()[1];
  std::vector<std::string> settings = AsSetOptions(drums.settings);
  ExpectSameSound({"--preset", "drum BUS"}, settings);
  settings.insert(settings.end(), {"--set", "Ratio=2:1"});
  ExpectSameSound({"--preset", drums.fileName, "--set", "Ratio=2:1"}, settings);

  const HostRun list = RunModuleHost({"presets"});
  ASSERT_EQ(list.status, 0) << list.err;
  for (const tbhost::FactoryPreset& preset : tbhost::FactoryPresets::Table())
    EXPECT_NE(list.out.find(preset.name + "  (" + preset.fileName + ")"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("Limit Level=12.5dB"), std::string::npos);
}

TEST_F(PresetRender, SavedProgramsAndBanksBringTheSettingsBack) {
  const std::vector<std::string> setting = {"--set", "Compressor Threshold=-14dB", "--set", "Mix=47/53",
                                            "--set", "Oversample=Oversampling On"};
  std::vector<std::string> save = setting;
  save.insert(save.end(), {"--save-program", dir.File("mine.fxp"), "--save-bank", dir.File("mine.fxb")});
  ExpectSameSound(save, {"--load-program", dir.File("mine.fxp")});
  ExpectSameSound(setting, {"--load-bank", dir.File("mine.fxb")});
  // A program saved without a name of its own is named after its file; one loaded keeps its name.
  EXPECT_EQ(tbhost::PresetFiles::ProgramName(hosttest::ReadBytes(dir.File("mine.fxp"))), "mine");
  ASSERT_EQ(Render("c.wav", {"--preset", "Loud Master", "--save-program", dir.File("again.fxp")}).status, 0);
  EXPECT_EQ(tbhost::PresetFiles::ProgramName(hosttest::ReadBytes(dir.File("again.fxp"))), "Loud Master");
}

TEST_F(PresetRender, RefusedFilesStopTheRenderWithTheirReason) {
  ASSERT_EQ(Render("first.wav", {"--save-program", dir.File("good.fxp"), "--save-bank", dir.File("good.fxb")}).status, 0);
  const Bytes program = hosttest::ReadBytes(dir.File("good.fxp")), bank = hosttest::ReadBytes(dir.File("good.fxb"));
  ASSERT_EQ(program.size(), 200u);
  const auto edited = [](Bytes b, size_t at, uint32_t v) {
    SetBE(b, at, v);
    return b;
  };
  const struct {
    const char* option;
    std::string file;
    const char* needle;
  } cases[] = {
      {"--load-program", Write("magic.fxp", edited(program, 0, 0x52494646)), "is not a program file"},
      {"--load-program", Write("other.fxp", edited(program, 16, 0x41424344)), "belongs to another plug-in"},
      {"--load-program", Write("size.fxp", edited(program, 4, 1000)), "byte size disagrees"},
      {"--load-program", Write("huge.fxp", edited(program, 56, 0x7FFFFFFF)), "is truncated"},
      {"--load-program", Write("short.fxp", Bytes(program.begin(), program.end() - 9)), "is truncated"},
      {"--load-bank", Write("slots.fxb", edited(bank, 24, 2)), "more slots than this plug-in has"},
      {"--save-program", dir.File("nodir/x.fxp"), "does not exist"},
      {"--preset", "Wall of Sound", "no factory preset is called 'Wall of Sound'"},
      {"--load-bank", "", "--load-bank needs a file name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<std::string> before = dir.Entries();
    const HostRun r = Render("out.wav", {c.option, c.file});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("tollenbrook-host: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.needle), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(dir.Entries(), before) << "no output written";
  }
}

