#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "graphics/IGraphicsConstants.h"
#include "graphics/TrueTypeFace.h"
#include "graphics/Utf16Text.h"
#include "graphics/nanovg/ResourceLookup.h"
#include "graphics/win/WinFontCaches.h"
#include "graphics/win/WinFontLoader.h"
#include "graphics/win/WinPopupMenu.h"
#include "product/TollenbrookResources.h"

using namespace igraphics;

namespace {

// The product's font, compiled into this program as a module resource.
std::vector<unsigned char> RobotoBytes() {
  iplug::TextBuffer found;
  if (LocateModuleResource("Roboto-Regular.ttf", "ttf", found, TollenbrookResourceModule()) != kWinBinary) return {};
  int size = 0;
  const auto* data =
      static_cast<const unsigned char*>(LoadWinResource(found.Get(), "ttf", size, TollenbrookResourceModule()));
  return std::vector<unsigned char>(data, data + size);
}

// Roboto with every "Roboto" of its name table renamed to a family of six letters (the same
// length, so the table keeps its layout): a family no system has installed, known only from
// the name table. Each test takes its own family: Wine never removes a private font.
std::vector<unsigned char> PrivateFontBytes(const std::string& family) {
  std::vector<unsigned char> bytes = RobotoBytes();
  const TrueTypeFace face(bytes.data(), static_cast<int>(bytes.size()), 0);
  const TrueTypeFace::Table name = face.FindTable("name");
  if (!name.mData) return {};
  auto* begin = bytes.data() + (name.mData - bytes.data());
  const std::string from = "Roboto", to = family;
  if (to.size() != from.size()) return {};
  for (size_t i = 0; i + 2 * from.size() <= name.mSize; ++i) {
    bool ascii = true, utf16 = true;
    for (size_t k = 0; k < from.size(); ++k) {
      ascii = ascii && begin[i + k] == static_cast<unsigned char>(from[k]);
      utf16 = utf16 && begin[i + 2 * k] == 0 && begin[i + 2 * k + 1] == static_cast<unsigned char>(from[k]);
    }
    for (size_t k = 0; k < from.size(); ++k) {
      if (ascii) begin[i + k] = static_cast<unsigned char>(to[k]);
      if (utf16) begin[i + 2 * k + 1] = static_cast<unsigned char>(to[k]);
    }
  }
  return bytes;
}

// Whether GDI draws the family when asked for it by name. Each probe asks for a new height:
// Wine keeps the font it substituted for a description and would answer the same again.
bool FamilyAvailable(const std::wstring& family) {
  static LONG height = 10;
  LOGFONTW lf{};
  lf.lfHeight = ++height;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, family.c_str(), LF_FACESIZE - 1);
  HFONT probe = CreateFontIndirectW(&lf);
  const bool available = WinFontLoader::FaceOf(probe) == family;
  DeleteObject(probe);
  return available;
}

// A family that is certainly installed: the one GDI uses for the default GUI font.
std::string InstalledFamily() {
  LOGFONTW lf{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  HFONT font = CreateFontIndirectW(&lf);
  const std::wstring face = WinFontLoader::FaceOf(font);
  DeleteObject(font);
  return ToUtf8(face.c_str());
}

// Every test is one editor's lifetime: the process-wide caches empty when it ends.
class WinFonts : public ::testing::Test {
protected:
  std::unique_ptr<WinFontCaches::User> mEditor = std::make_unique<WinFontCaches::User>();
};

}  // namespace

TEST_F(WinFonts, AFamilyThatIsNotInstalledGivesNull) {
  EXPECT_EQ(WinFontLoader::LoadByName("Tollenbrook Nonexistent Sans", kTextStyleNormal), nullptr);
  EXPECT_EQ(WinFontLoader::LoadByName(std::string(40, 'A').c_str(), kTextStyleNormal), nullptr)
      << "longer than a face name can be";
  EXPECT_EQ(WinFontLoader::LoadByName("", kTextStyleNormal), nullptr);
}

TEST_F(WinFonts, AnInstalledFamilyIsASystemFontWithItsStyleText) {
  const std::string family = InstalledFamily();
  ASSERT_FALSE(family.empty());
  const struct {
    int style;
    const char* text;
    LONG weight;
    BYTE italic;
  } cases[] = {{kTextStyleNormal, "Regular", FW_NORMAL, 0},
               {kTextStyleBold, "Bold", FW_BOLD, 0},
               {kTextStyleItalic, "Italic", FW_NORMAL, 1}};
  for (const auto& c : cases) {
    auto font = WinFontLoader::LoadByName(family.c_str(), c.style);
    ASSERT_NE(font, nullptr) << family;
    EXPECT_TRUE(font->IsSystem());
    EXPECT_STREQ(font->GetStyle(), c.text);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font->GetHFont(), sizeof(lf), &lf), int(sizeof(lf)));
    EXPECT_EQ(lf.lfWeight, c.weight);
    EXPECT_EQ(lf.lfItalic, c.italic);
    EXPECT_EQ(ToUtf8(WinFontLoader::FaceOf(font->GetHFont()).c_str()), family);
    // The bytes handed to the drawing back end are those of the face of that style.
    const FontDataView data = font->GetFontData();
    ASSERT_TRUE(data.IsValid()) << family << " " << c.text;
    EXPECT_EQ(TrueTypeFace(data.mData, data.mSize, data.mFaceIdx).StyleName(), c.text);
  }
}

TEST_F(WinFonts, AFontFromMemoryReportsTheFamilyOfItsNameTable) {
  const char* kPrivateFamily = "TolbrA";
  const std::vector<unsigned char> bytes = PrivateFontBytes(kPrivateFamily);
  ASSERT_GT(bytes.size(), 1000u);
  ASSERT_FALSE(FamilyAvailable(ToWide(kPrivateFamily))) << "not installed: only the registration can provide it";
  EXPECT_EQ(WinFontLoader::LoadByName(kPrivateFamily, kTextStyleNormal), nullptr);
  auto font = WinFontLoader::LoadFromMemory("Private", bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_NE(font, nullptr);
  EXPECT_FALSE(font->IsSystem());
  EXPECT_EQ(WinFontLoader::FaceOf(font->GetHFont()), ToWide(kPrivateFamily))
      << "the system draws the registered family";
  EXPECT_TRUE(FamilyAvailable(ToWide(kPrivateFamily)));
  LOGFONTW lf{};
  GetObjectW(font->GetHFont(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 1);

  // The drawing back end gets the whole font back from the system, with a usable face.
  const FontDataView data = font->GetFontData();
  ASSERT_TRUE(data.IsValid());
  EXPECT_EQ(data.mSize, static_cast<int>(bytes.size()));
  EXPECT_EQ(data.mFaceIdx, 0);
  EXPECT_EQ(TrueTypeFace(data.mData, data.mSize, data.mFaceIdx).FamilyName(), kPrivateFamily);

  // Loading the id again reuses the registration.
  auto again = WinFontLoader::LoadFromMemory("Private", bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 1);

  // The last editor removes the registration. (Wine keeps private fonts regardless: its
  // RemoveFontMemResourceEx does nothing, so the family cannot be probed for here.)
  mEditor.reset();
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 0);
}

TEST_F(WinFonts, BytesThatAreNoFontGiveNull) {
  std::vector<unsigned char> bytes = RobotoBytes();
  EXPECT_EQ(WinFontLoader::LoadFromMemory("junk", "not a font at all", 17), nullptr);
  EXPECT_EQ(WinFontLoader::LoadFromMemory("none", nullptr, 100), nullptr);
  bytes.resize(200);  // the directory survives, the tables do not
  EXPECT_EQ(WinFontLoader::LoadFromMemory("cut", bytes.data(), static_cast<int>(bytes.size())), nullptr);
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 0) << "failed loads leave no registration";
}

TEST_F(WinFonts, TheProductFontLoadsFromTheModuleAndFromAFile) {
  auto resource = WinFontLoader::LoadFromFileOrResource("Roboto-Regular", "Roboto-Regular.ttf",
                                                         TollenbrookResourceModule());
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(WinFontLoader::FaceOf(resource->GetHFont()), L"Roboto");
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 1) << "registered from the resource's bytes";

  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      std::wstring(temp) + L"tollenbrook-font-" + std::to_wstring(GetCurrentProcessId()) + L".ttf";
  const char* kPrivateFamily = "TolbrB";
  const std::vector<unsigned char> bytes = PrivateFontBytes(kPrivateFamily);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  auto fromFile = WinFontLoader::LoadFromFileOrResource("Private", ToUtf8(path.c_str()).c_str(), nullptr);
  DeleteFileW(path.c_str());
  ASSERT_NE(fromFile, nullptr) << "mapped while registered; the file can go afterwards";
  EXPECT_EQ(WinFontLoader::FaceOf(fromFile->GetHFont()), ToWide(kPrivateFamily));

  EXPECT_EQ(WinFontLoader::LoadFromFileOrResource("x", "Missing.ttf", TollenbrookResourceModule()), nullptr);
}

TEST_F(WinFonts, CachedFontsServeTheEditBoxUntilTheLastEditorGoes) {
  const std::string family = InstalledFamily();
  auto font = WinFontLoader::LoadByName(family.c_str(), kTextStyleBold);
  ASSERT_NE(font, nullptr);
  WinFontLoader::Cache("ui", *font);
  font.reset();  // the cache keeps its own copy
  auto other = WinFontLoader::LoadByName(family.c_str(), kTextStyleItalic);
  WinFontLoader::Cache("ui", *other);  // the first font cached under an id stays
  LOGFONTW lf{};
  ASSERT_TRUE(WinFontCaches::Instance().GetCachedLogFont("ui", lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(ToUtf8(lf.lfFaceName), family);
  EXPECT_FALSE(WinFontCaches::Instance().GetCachedLogFont("other", lf));

  {
    WinFontCaches::User secondEditor;
    EXPECT_EQ(WinFontCaches::Instance().NUsers(), 2);
  }
  EXPECT_EQ(WinFontCaches::Instance().NSystemFonts(), 1) << "another editor still lives";
  mEditor.reset();
  EXPECT_EQ(WinFontCaches::Instance().NSystemFonts(), 0);
  EXPECT_FALSE(WinFontCaches::Instance().GetCachedLogFont("ui", lf));
}

// GDI and USER objects of this process; Wine may not count them (then 0 both times).
TEST(WinServicesLeaks, FiftyEditorsLoadingFontsAndMenusLeaveNoObjectsBehind) {
  const std::vector<unsigned char> bytes = PrivateFontBytes("TolbrC");
  const std::string family = InstalledFamily();
  std::vector<HFONT> fonts;
  std::vector<HMENU> menus;
  auto cycle = [&] {
    WinFontCaches::User editor;
    auto memory = WinFontLoader::LoadFromMemory("Private", bytes.data(), static_cast<int>(bytes.size()));
    auto system = WinFontLoader::LoadByName(family.c_str(), kTextStyleNormal);
    ASSERT_TRUE(memory && system);
    ASSERT_TRUE(memory->GetFontData().IsValid());
    WinFontLoader::Cache("Private", *memory);
    fonts.push_back(memory->GetHFont());
    fonts.push_back(system->GetHFont());
    IPopupMenu model;
    auto sub = std::make_unique<IPopupMenu>();
    sub->AddItem("Inner");
    model.AddItem("Outer", std::move(sub));
    WinPopupMenu menu(model);
    menus.push_back(menu.GetHandle());
  };
  cycle();  // the first run may set up system state that stays
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int i = 0; i < 50; ++i) cycle();
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
  // Counted or not, every handle made on the way is gone again.
  for (HFONT f : fonts) ASSERT_EQ(GetObjectType(f), DWORD(0));
  for (HMENU m : menus) ASSERT_FALSE(IsMenu(m));
  EXPECT_EQ(WinFontCaches::Instance().NMemoryFonts(), 0);
  EXPECT_EQ(WinFontCaches::Instance().NSystemFonts(), 0);
  std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu\n", gdiBefore,
              GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), userBefore,
              GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
}
