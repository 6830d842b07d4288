#include "tests/graphics/nanovg/HeadlessEditor.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STB_IMAGE_STATIC  // NanoVG carries its own stb_image; these stay private to the tests
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "graphics/IControl.h"
#include "graphics/headless/OffscreenGLContext.h"
#include "graphics/nanovg/ResourceLookup.h"
#include "product/TollenbrookEditor.h"
#include "product/TollenbrookGraphics.h"
#include "product/TollenbrookParams.h"
#include "product/TollenbrookResources.h"

namespace tbtest {

Image DecodePNG(const void* data, int size) {
  Image image;
  int n = 0;
  unsigned char* px = stbi_load_from_memory(static_cast<const stbi_uc*>(data), size, &image.w, &image.h, &n, 4);
  if (!px) return Image();
  image.px.assign(px, px + static_cast<size_t>(image.w) * image.h * 4);
  stbi_image_free(px);
  return image;
}

std::vector<uint8_t> ProductResourceBytes(const char* name, const char* type) {
  iplug::TextBuffer found;
  if (igraphics::LocateModuleResource(name, type, found, TollenbrookResourceModule()) != igraphics::kWinBinary)
    return {};
  int size = 0;
  const void* data = igraphics::LoadWinResource(found.Get(), type, size, TollenbrookResourceModule());
  const auto* bytes = static_cast<const uint8_t*>(data);
  return data ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

Image ProductImage(const char* name) {
  std::string variant(name);
  variant.insert(variant.rfind('.'), "@2x");
  const std::vector<uint8_t> bytes = ProductResourceBytes(variant.c_str(), "png");
  return bytes.empty() ? Image() : DecodePNG(bytes.data(), static_cast<int>(bytes.size()));
}

Pixel SampleAt(const Image& image, double tx, double ty) {
  // Texel centres sit at half-integers; clamp to the edge as the texture does.
  const double fx = tx - 0.5, fy = ty - 0.5;
  const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  const double ax = fx - x0, ay = fy - y0;
  double c[4] = {0, 0, 0, 0};
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const double w = (i ? ax : 1 - ax) * (j ? ay : 1 - ay);
      const uint8_t* p = image.At(std::clamp(x0 + i, 0, image.w - 1), std::clamp(y0 + j, 0, image.h - 1));
      for (int k = 0; k < 4; ++k) c[k] += w * p[k];
    }
  }
  // Straight texels are filtered first and premultiplied after, as NanoVG's shader does.
  const double a = c[3] / 255.0;
  return Pixel{c[0] * a, c[1] * a, c[2] * a, c[3]};
}

Pixel Over(const Pixel& s, const Pixel& d) {
  const double k = 1.0 - s.a / 255.0;
  return Pixel{s.r + d.r * k, s.g + d.g * k, s.b + d.b * k, s.a + d.a * k};
}

double Diff(const uint8_t* px, const Pixel& e) {
  return std::max({std::fabs(px[0] - e.r), std::fabs(px[1] - e.g), std::fabs(px[2] - e.b), std::fabs(px[3] - e.a)});
}

namespace {

void InitWithTexts(iplug::IParam& p, const char* name, int def, const std::vector<std::string>& texts) {
  p.InitInt(name, def, 0, static_cast<int>(texts.size()) - 1, "", 0, "");
  for (size_t i = 0; i < texts.size(); ++i) p.SetDisplayText(static_cast<double>(i), texts[i].c_str());
}

std::vector<std::string> Steps(int from, int to, int step, const char* unit) {
  std::vector<std::string> t;
  for (int v = from; v <= to; v += step) t.push_back(std::to_string(v) + unit);
  return t;
}

}  // namespace

ProductDelegate::ProductDelegate() : IGEditorDelegate(kNumParams) {
  InitWithTexts(*GetParam(kParamCompThreshold), "Compressor Threshold", 15,
                {"-20dB", "-18dB", "-16dB", "-14dB", "-12dB", "-11dB", "-10dB", "-8dB", "-4dB", "-2dB", "0dB", "2dB",
                 "4dB", "6dB", "8dB", "10dB"});
  std::vector<std::string> limit;
  for (int i = 0; i <= 22; ++i) limit.push_back(std::to_string(4 + i / 2) + (i % 2 ? ".5dB" : "dB"));
  InitWithTexts(*GetParam(kParamLimitLevel), "Limit Level", 22, limit);
  InitWithTexts(*GetParam(kParamGain), "Gain", 0, Steps(0, 20, 1, "dB"));
  InitWithTexts(*GetParam(kParamMix), "Mix", 22, Steps(0, 22, 1, "%"));
  InitWithTexts(*GetParam(kParamRatio), "Ratio", 2, {"1.5:1", "2:1", "3:1", "4:1", "6:1"});
  InitWithTexts(*GetParam(kParamHigh), "High", 2, {"-6dB", "-3dB", "0dB", "3dB", "6dB"});
  InitWithTexts(*GetParam(kParamMid), "Mid", 2, {"-6dB", "-3dB", "0dB", "3dB", "6dB"});
  InitWithTexts(*GetParam(kParamHighPass), "High Pass Filter", 0, {"OFF", "50Hz", "80Hz", "160Hz", "360Hz"});
  InitWithTexts(*GetParam(kParamCompRecovery), "Compressor Recovery Time", 1,
                {"100ms", "400ms", "800ms", "1500ms", "Auto-1", "Auto-2"});
  InitWithTexts(*GetParam(kParamLevelRecovery), "Level Recovery Time", 1,
                {"50ms", "100ms", "200ms", "800ms", "Auto-1", "Auto-2"});
  GetParam(kParamBypass)->InitInt("Bypass", 1, 0, 1, "", 0, "");
  GetParam(kParamExtSidechain)->InitInt("External Sidechain", 0, 0, 1, "", 0, "");
  InitWithTexts(*GetParam(kParamOversample), "Oversample", 0, {"Oversampling Off", "Oversampling On"});
  SetEditorSize(kEditorWidth, kEditorHeight);
  SetSizeConstraints(kEditorWidth / 2, kEditorWidth * 2, kEditorHeight / 2, kEditorHeight * 2);
  InstallTollenbrookEditor(*this, MakeTollenbrookOffscreenGraphics);
}

void HeadlessEditor::SetUp() {}

void HeadlessEditor::TearDown() { mDelegate.CloseEditor(); }

bool HeadlessEditor::Open() {
  if (!mDelegate.OpenEditor(nullptr)) return false;
  G().SetManualTimeMs(mNowMs);
  return true;
}

Image HeadlessEditor::Window() {
  Image image;
  G().ReadWindowPixels(image.px, image.w, image.h);
  return image;
}

igraphics::IControl* HeadlessEditor::ControlFor(int paramIdx) {
  for (int i = 0; i < G().NControls(); ++i)
    if (G().GetControl(i)->GetParamIdx(0) == paramIdx) return G().GetControl(i);
  return nullptr;
}

}  // namespace tbtest
