#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "PresetPlugin.h"
#include "host/TestFiles.h"

using iplug::ByteChunk;
using testplug::PresetPlugin;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const ByteChunk& chunk) { return Bytes(chunk.Data(), chunk.Data() + chunk.Size()); }

void PutBE(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(v >> shift));
}
void PutText(Bytes& b, const char* text, size_t field) {
  const size_t n = std::strlen(text);
  for (size_t i = 0; i < field; ++i) b.push_back(i < n ? static_cast<uint8_t>(text[i]) : 0);
}
uint32_t GetBE(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}
void SetBE(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

// A parameter-form program as another host would write it, values given normalised.
Bytes HandMadeProgram(const char* name, const std::vector<float>& values, uint32_t byteSize = 0) {
  Bytes b;
  b.insert(b.end(), {'C', 'c', 'n', 'K'});
  PutBE(b, byteSize);
  b.insert(b.end(), {'F', 'x', 'C', 'k'});
  PutBE(b, 1);
  PutBE(b, static_cast<uint32_t>(PresetPlugin::kID));
  PutBE(b, 1);
  PutBE(b, static_cast<uint32_t>(values.size()));
  PutText(b, name, 28);
  for (float v : values) PutBE(b, FloatBits(v));
  return b;
}

bool ReadProgram(PresetPlugin& plug, const Bytes& b, iplug::TextBuffer* why = nullptr) {
  return plug.ReadProgramData(b.data(), static_cast<int>(b.size()), why);
}
bool ReadBank(PresetPlugin& plug, const Bytes& b, iplug::TextBuffer* why = nullptr) {
  return plug.ReadBankData(b.data(), static_cast<int>(b.size()), why);
}

}  // namespace

TEST(PresetFiles, ChunkProgramAndBankHaveTheVst2LayoutsWithTheTffpPrefix) {
  PresetPlugin plug(2);
  plug.Set(1.0, 7.0, 0.75);
  plug.ModifyCurrentPreset("A name longer than the field of 28 bytes");
  ByteChunk state;
  plug.SerializeState(state);
  ByteChunk program;
  ASSERT_TRUE(plug.MakeProgramData(program));
  const Bytes p = ToBytes(program);
  ASSERT_EQ(p.size(), 60u + 8u + 24u);
  EXPECT_EQ(std::string(p.begin(), p.begin() + 4), "CcnK");
  EXPECT_EQ(GetBE(p, 4), 60u + 8u + 24u) << "inner size + 60";
  EXPECT_EQ(std::string(p.begin() + 8, p.begin() + 12), "FPCh");
  EXPECT_EQ(GetBE(p, 12), 1u);
  EXPECT_EQ(GetBE(p, 16), static_cast<uint32_t>(PresetPlugin::kID));
  EXPECT_EQ(GetBE(p, 20), 10203u) << "version 1.2.3 in decimal";
  EXPECT_EQ(GetBE(p, 24), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[28])), "A name longer than the fiel") << "27 bytes and a terminator";
  EXPECT_EQ(GetBE(p, 56), 32u);
  EXPECT_EQ(std::string(p.begin() + 60, p.begin() + 64), "tffp");
  EXPECT_EQ(Bytes(p.begin() + 64, p.begin() + 68), (Bytes{0, 0, 1, 0}));
  EXPECT_EQ(Bytes(p.begin() + 68, p.end()), ToBytes(state));

  ByteChunk bank;
  ASSERT_TRUE(plug.MakeBankData(bank));
  const Bytes b = ToBytes(bank);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FBCh");
  EXPECT_EQ(GetBE(b, 4), b.size()) << "inner size + 160";
  EXPECT_EQ(GetBE(b, 12), 2u);
  EXPECT_EQ(GetBE(b, 24), 2u) << "slot count";
  EXPECT_EQ(GetBE(b, 28), 0u) << "current slot";
  EXPECT_EQ(Bytes(b.begin() + 32, b.begin() + 156), Bytes(124, 0));
  EXPECT_EQ(GetBE(b, 156), b.size() - 160);
  EXPECT_EQ(std::string(b.begin() + 160, b.begin() + 164), "tffp");
}

TEST(PresetFiles, ProgramsAndBanksOfBothFormsReadBackToTheSameValuesStateAndNames) {
  for (bool chunks : {true, false}) {
    SCOPED_TRACE(chunks ? "chunk form" : "parameter form");
    PresetPlugin source(3, chunks);
    source.MakePreset("first", 0, 9, 0.25);
    source.MakePreset("second", 1, 1, 1.0);
    ASSERT_TRUE(source.RecallPreset(1));
    source.Set(1.0, 4.0, 0.75);  // edited since the recall: the files carry the edit
    ByteChunk program, bank, sourceState;
    ASSERT_TRUE(source.MakeProgramData(program));
    ASSERT_TRUE(source.MakeBankData(bank));
    source.SerializeState(sourceState);

    PresetPlugin fromProgram(3, chunks);
    ASSERT_TRUE(ReadProgram(fromProgram, ToBytes(program)));
    ByteChunk state;
    fromProgram.SerializeState(state);
    EXPECT_TRUE(state.IsEqual(sourceState));
    EXPECT_STREQ(fromProgram.PresetName(0), "second") << "the slot takes the program's name";
    EXPECT_EQ(fromProgram.mFilesLoaded, 1);

    PresetPlugin fromBank(3, chunks);
    ASSERT_TRUE(ReadBank(fromBank, ToBytes(bank)));
    state.Clear();
    fromBank.SerializeState(state);
    EXPECT_TRUE(state.IsEqual(sourceState));
    EXPECT_EQ(fromBank.GetCurrentPresetIdx(), 1);
    for (int s = 0; s < 3; ++s) EXPECT_STREQ(fromBank.PresetName(s), source.PresetName(s));
    ASSERT_TRUE(fromBank.RecallPreset("first"));
    EXPECT_EQ(fromBank.Values(), (std::vector<double>{0.0, 9.0, 0.25}));
    EXPECT_EQ(fromBank.mFilesLoaded, 1);
  }
}

TEST(PresetFiles, AHandMadeParameterProgramLoadsEvenIntoAChunkPlugIn) {
  PresetPlugin plug(1);
  ASSERT_TRUE(ReadProgram(plug, HandMadeProgram("by hand", {1.0f, 0.3f, 0.5f})));
  EXPECT_EQ(plug.Values(), (std::vector<double>{1.0, 3.0, 0.5}));
  EXPECT_STREQ(plug.PresetName(0), "by hand");
  // Values beyond the range are held to it; a byte size counted as other hosts count it.
  const Bytes other = HandMadeProgram("", {-1.0f, 2.0f, 0.25f}, 56 + 12 - 8);
  ASSERT_TRUE(ReadProgram(plug, other));
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.0, 10.0, 0.25}));
  EXPECT_STREQ(plug.PresetName(0), "by hand") << "an empty name renames nothing";
}

TEST(PresetFiles, ChunkFilesOfOtherHostsAreRead) {
  PresetPlugin source(1);
  source.Set(1.0, 6.0, 0.25);
  ByteChunk program;
  source.MakeProgramData(program);
  Bytes p = ToBytes(program);
  SetBE(p, 4, static_cast<uint32_t>(p.size() - 8));  // byte size without magic and size
  PresetPlugin a(1);
  ASSERT_TRUE(ReadProgram(a, p));
  EXPECT_EQ(a.Values(), source.Values());
  // Inner data that is the state alone, without the "tffp" prefix.
  p.erase(p.begin() + 60, p.begin() + 68);
  SetBE(p, 4, static_cast<uint32_t>(p.size()));
  SetBE(p, 56, 24);
  PresetPlugin b(1);
  ASSERT_TRUE(ReadProgram(b, p));
  EXPECT_EQ(b.Values(), source.Values());
}

TEST(PresetFiles, DamagedForeignAndOversizedFilesAreRefusedAndChangeNothing) {
  PresetPlugin source(2);
  source.Set(1.0, 8.0, 1.0);
  ByteChunk programChunk, bankChunk, paramBankChunk;
  source.MakeProgramData(programChunk);
  source.MakeBankData(bankChunk);
  PresetPlugin paramSource(2, false);
  paramSource.MakeBankData(paramBankChunk);
  const Bytes program = ToBytes(programChunk), bank = ToBytes(bankChunk), paramBank = ToBytes(paramBankChunk);
  const Bytes handMade = HandMadeProgram("x", {1.0f, 0.5f, 0.5f});

  const auto edited = [](Bytes b, const std::function<void(Bytes&)>& edit) {
    edit(b);
    return b;
  };
  const struct {
    const char* what;
    bool isBank;
    Bytes bytes;
  } cases[] = {
      {"empty", false, {}},
      {"wrong magic", false, edited(program, [](Bytes& b) { b[0] = 'X'; })},
      {"wrong unique ID", false, edited(program, [](Bytes& b) { SetBE(b, 16, 0x41424344); })},
      {"format version 2", false, edited(program, [](Bytes& b) { SetBE(b, 12, 2); })},
      {"unknown kind", false, edited(program, [](Bytes& b) { b[8] = 'Q'; })},
      {"byte size off by one", false, edited(program, [](Bytes& b) { SetBE(b, 4, GetBE(b, 4) + 1); })},
      {"inner size too small", false, edited(program, [](Bytes& b) { SetBE(b, 56, GetBE(b, 56) - 1); })},
      {"huge inner size", false, edited(program, [](Bytes& b) { SetBE(b, 56, 0x7FFFFFF0); })},
      {"negative inner size", false, edited(program, [](Bytes& b) { SetBE(b, 56, 0xFFFFFFF0); })},
      {"truncated", false, edited(program, [](Bytes& b) { b.resize(b.size() - 3); })},
      {"truncated header", false, edited(program, [](Bytes& b) { b.resize(40); })},
      {"state that ends early", false,
       edited(program, [](Bytes& b) {
         b.resize(b.size() - 8);
         SetBE(b, 4, static_cast<uint32_t>(b.size()));
         SetBE(b, 56, static_cast<uint32_t>(b.size() - 60));
       })},
      {"parameter count too large", false, edited(handMade, [](Bytes& b) { SetBE(b, 24, 0x40000000); })},
      {"fewer parameters than the plug-in", false,
       edited(handMade, [](Bytes& b) {
         SetBE(b, 24, 2);
         b.resize(b.size() - 4);
       })},
      {"a value that is not a number", false, edited(handMade, [](Bytes& b) { SetBE(b, 60, 0x7FC00000); })},
      {"bank: program given", true, program},
      {"bank: wrong unique ID", true, edited(bank, [](Bytes& b) { SetBE(b, 16, 1); })},
      {"bank: more slots than the plug-in", true, edited(bank, [](Bytes& b) { SetBE(b, 24, 3); })},
      {"bank: negative slot count", true, edited(bank, [](Bytes& b) { SetBE(b, 24, 0x80000000); })},
      {"bank: truncated", true, edited(bank, [](Bytes& b) { b.pop_back(); })},
      {"bank: slots that end early", true,
       edited(bank, [](Bytes& b) {
         b.resize(b.size() - 1);
         SetBE(b, 4, static_cast<uint32_t>(b.size()));
         SetBE(b, 156, static_cast<uint32_t>(b.size() - 160));
       })},
      {"parameter bank: truncated", true, edited(paramBank, [](Bytes& b) { b.resize(b.size() - 4); })},
      {"parameter bank: bytes after the last program", true, edited(paramBank, [](Bytes& b) { b.push_back(0); })},
      {"parameter bank: a program of another plug-in", true,
       edited(paramBank, [](Bytes& b) { SetBE(b, 156 + 16, 0x41424344); })},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PresetPlugin plug(2);
    plug.MakePreset("kept", 0, 2, 0.5);
    plug.Set(1.0, 3.0, 0.25);
    const std::string before = plug.Everything();
    iplug::TextBuffer why;
    EXPECT_FALSE(c.isBank ? ReadBank(plug, c.bytes, &why) : ReadProgram(plug, c.bytes, &why));
    EXPECT_FALSE(why.Empty());
    EXPECT_EQ(plug.Everything(), before);
    EXPECT_EQ(plug.mFilesLoaded, 0);
  }

  // A chunk file for a plug-in whose state is not a chunk.
  PresetPlugin paramPlug(2, false);
  EXPECT_FALSE(ReadProgram(paramPlug, program));
}

TEST(PresetFiles, FilesAreWrittenWholeOrNotAtAll) {
  hosttest::ScopedTempDir dir;
  PresetPlugin plug(2);
  plug.Set(1.0, 5.0, 0.5);
  const std::string program = dir.File("setting.fxp");
  ASSERT_TRUE(plug.WriteProgramFile(program.c_str()));
  ASSERT_TRUE(plug.WriteBankFile(dir.File("all.fxb").c_str()));
  PresetPlugin reader(2);
  ASSERT_TRUE(reader.ReadProgramFile(program.c_str()));
  EXPECT_EQ(reader.Values(), plug.Values());
  ASSERT_TRUE(reader.ReadBankFile(dir.File("all.fxb").c_str()));
  EXPECT_FALSE(reader.ReadBankFile(program.c_str()));

  std::filesystem::create_directory(dir.Path() / "taken.fxp");
  const std::vector<std::string> before = dir.Entries();
  EXPECT_FALSE(plug.WriteProgramFile(dir.File("missing/x.fxp").c_str()));
  EXPECT_FALSE(plug.WriteProgramFile(dir.File("taken.fxp").c_str()));
  EXPECT_FALSE(plug.WriteBankFile(""));
  EXPECT_FALSE(plug.WriteBankFile(nullptr));
  EXPECT_EQ(dir.Entries(), before) << "nothing half-written is left";

  EXPECT_FALSE(reader.ReadProgramFile(dir.File("none.fxp").c_str()));
  EXPECT_FALSE(reader.ReadProgramFile(dir.File("taken.fxp").c_str()));
  std::filesystem::resize_file(program, iplug::IPluginBase::kMaxPresetFileSize + 1);
  EXPECT_FALSE(reader.ReadProgramFile(program.c_str())) << "far too large to be read";
}
