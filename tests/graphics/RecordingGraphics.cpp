#include "graphics/RecordingGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "graphics/AssignText.h"
#include "graphics/IGEditorDelegate.h"

namespace testgraphics {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// The stored (2x) resource name of an image: "BG.png" is kept as "BG@2x.png".
std::string StoredName(const char* name) {
  std::string s(name);
  const size_t dot = s.find_last_of('.');
  return s.substr(0, dot) + "@2x" + s.substr(dot);
}

const ResourceImage* FindImage(const std::string& storedName) {
  for (const ResourceImage& image : ProductImages())
    if (Lower(StoredName(image.name)) == Lower(storedName)) return &image;
  return nullptr;
}

class RecordingFont : public PlatformFont {
public:
  RecordingFont() : mBytes(static_cast<size_t>(kFontBytes), 0) {}
  FontDataView GetFontData() const override { return {mBytes.data(), static_cast<int>(mBytes.size()), 0}; }

private:
  std::vector<uint8_t> mBytes;
};

const char* BitmapName(const IBitmapRef& bitmap) {
  auto* b = dynamic_cast<const RecordingBitmap*>(bitmap.GetAPIBitmap());
  return b ? b->Name().c_str() : "";
}

}  // namespace

const std::vector<ResourceImage>& ProductImages() {
  static const std::vector<ResourceImage> images = {
      {"BG.png", 756, 1183, 1},      {"BYPASS.png", 86, 128, 2},   {"EXT.png", 86, 128, 2},
      {"OVER.png", 192, 32, 2},      {"CTHR.png", 162, 3200, 16},  {"LTHR.png", 162, 4600, 23},
      {"GAIN.png", 162, 4200, 21},   {"RAT.png", 162, 1000, 5},    {"REC.png", 162, 1200, 6},
      {"MIX.png", 122, 3450, 23},    {"SIDE.png", 122, 750, 5},    {"METER.png", 310, 14544, 101},
  };
  return images;
}

RecordingGraphics::RecordingGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale,
                                     std::vector<std::string>* events)
    : IGraphics(dlg, w, h, fps, scale), mEvents(events) {}

void RecordingGraphics::Log(const std::string& event) {
  if (mEvents) mEvents->push_back(event);
}

void RecordingGraphics::Record(DrawOp op) {
  op.clip = mClip;
  mOps.push_back(std::move(op));
}

std::vector<DrawOp> RecordingGraphics::Frame() {
  IRectList dirty;
  if (!IsDirty(dirty)) return {};
  SetAllControlsClean();
  // As a window system does: invalidate whole pixels, paint them back in logical units.
  const float t = GetTotalScale();
  IRectList paint;
  for (const IBounds& r : dirty) {
    const IBounds px(std::floor(r.L * t), std::floor(r.T * t), std::ceil(r.R * t), std::ceil(r.B * t));
    paint.Add(IBounds(std::floor(px.L / t), std::floor(px.T / t), std::ceil(px.R / t), std::ceil(px.B / t)));
  }
  const size_t start = mOps.size();
  Draw(paint);
  return std::vector<DrawOp>(mOps.begin() + static_cast<std::ptrdiff_t>(start), mOps.end());
}

void RecordingGraphics::BeginFrame() {
  IGraphics::BeginFrame();
  Record({DrawOp::kBeginFrame, IBounds(), "", 0, 0, 1.f, IColor(), {}, IBounds()});
}

void RecordingGraphics::EndFrame() { Record({DrawOp::kEndFrame, IBounds(), "", 0, 0, 1.f, IColor(), {}, IBounds()}); }

void RecordingGraphics::DrawBitmap(const IBitmapRef& bitmap, const IBounds& dest, int srcX, int srcY,
                                   const IBlend* blend) {
  // Drawn into a layer: the layer's bitmap becomes a re-scaled copy of this one.
  if (const ILayer* layer = GetActiveLayer())
    if (auto* target = dynamic_cast<RecordingBitmap*>(layer->GetAPIBitmap())) target->SetName(BitmapName(bitmap));
  Record({DrawOp::kBitmap, dest, BitmapName(bitmap), srcX, srcY, BlendWeight(blend), IColor(), {}, IBounds()});
}

void RecordingGraphics::DrawFastDropShadow(const IBounds&, const IBounds& outer, float, float, float,
                                           const IBlend* blend) {
  Record({DrawOp::kShadow, outer, "", 0, 0, BlendWeight(blend), IColor(), {}, IBounds()});
}

bool RecordingGraphics::BitmapExtSupported(const char* ext) {
  const std::string e = Lower(ext ? ext : "");
  return e.find("png") != std::string::npos || e.find("jpg") != std::string::npos ||
         e.find("jpeg") != std::string::npos;
}

void RecordingGraphics::GetLayerBitmapData(const ILayer& layer, std::vector<uint8_t>& data) {
  const APIBitmap* b = layer.GetAPIBitmap();
  data.assign(b ? static_cast<size_t>(b->GetWidth() * b->GetHeight() * 4) : 0u, 0);
}

void RecordingGraphics::PathArc(float cx, float cy, float r, float, float, bool) {
  mPath.emplace_back(cx - r, cy - r);
  mPath.emplace_back(cx + r, cy + r);
}

void RecordingGraphics::PathStroke(const IPattern& pattern, float, const IStrokeOptions& options,
                                   const IBlend* blend) {
  Record({DrawOp::kStroke, IBounds(), "", 0, 0, BlendWeight(blend), pattern.GetColor(), mPath, IBounds()});
  if (!options.mPreserve) mPath.clear();
}

void RecordingGraphics::PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) {
  Record({DrawOp::kFill, IBounds(), "", 0, 0, BlendWeight(blend), pattern.GetColor(), mPath, IBounds()});
  if (!options.mPreserve) mPath.clear();
}

void RecordingGraphics::PathClipRegion(const IBounds& r) {
  mClip = r;
  Record({DrawOp::kClip, r, "", 0, 0, 1.f, IColor(), {}, IBounds()});
}

void RecordingGraphics::OnControlDrawn(const IBounds& clip) {
  Record({DrawOp::kControlDrawn, clip, "", 0, 0, 1.f, IColor(), {}, IBounds()});
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmap(const char* name, const void*, int dataSize,
                                                            int scale) {
  if (dataSize <= 0) return nullptr;
  return std::make_unique<RecordingBitmap>(name ? name : "", scale, scale, static_cast<float>(scale), 1.f);
}

std::unique_ptr<APIBitmap> RecordingGraphics::LoadAPIBitmap(const char* fileNameOrResID, int scale, int location,
                                                            const char*) {
  if (location != kWinBinary) return nullptr;
  const ResourceImage* image = FindImage(fileNameOrResID);
  if (!image) return nullptr;
  mLoadedImages.push_back(fileNameOrResID);
  return std::make_unique<RecordingBitmap>(image->name, image->pixelW, image->pixelH, static_cast<float>(scale), 1.f);
}

std::unique_ptr<APIBitmap> RecordingGraphics::CreateAPIBitmap(int width, int height, float scale,
                                                              double drawScale) {
  // A layer that will hold a re-scaled image keeps the name of whatever is drawn into it.
  return std::make_unique<RecordingBitmap>("layer", width, height, scale, static_cast<float>(drawScale));
}

bool RecordingGraphics::LoadAPIFont(const char* fontID, const PlatformFont& font) {
  if (!font.GetFontData().IsValid()) return false;
  mLoadedFonts.push_back(fontID);
  return true;
}

float RecordingGraphics::DoMeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const {
  // A fixed-pitch font: half the size per character, one size high.
  const float w = 0.5f * text.mSize * static_cast<float>(std::strlen(str));
  const float h = text.mSize;
  const float l = text.mAlign == kAlignNear ? bounds.L : (text.mAlign == kAlignFar ? bounds.R - w : bounds.MW() - w / 2);
  const float t =
      text.mVAlign == kVAlignTop ? bounds.T : (text.mVAlign == kVAlignBottom ? bounds.B - h : bounds.MH() - h / 2);
  bounds = IBounds(l, t, l + w, t + h);
  return w;
}

void RecordingGraphics::DoDrawText(const ITextStyle& text, const char* str, const IBounds& bounds,
                                   const IBlend* blend) {
  Record({DrawOp::kText, bounds, str, 0, 0, BlendWeight(blend), text.mFGColor, {}, IBounds()});
}

int RecordingGraphics::LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char*,
                                      void*, const char*) {
  const std::string n = name ? name : "";
  mLocated.push_back(n);
  if (n.empty()) return kNotFound;
  if (Lower(type ? type : "") == "ttf") {
    if (Lower(n) != "roboto-regular.ttf") return kNotFound;
  } else if (!FindImage(n)) {
    return kNotFound;
  }
  AssignText(result, name);
  return kWinBinary;
}

void RecordingGraphics::MoveMouseCursor(float x, float y) {
  mMouseX = x;
  mMouseY = y;
}

int RecordingGraphics::SetMouseCursor(int cursorType) {
  Log("SetMouseCursor " + std::to_string(cursorType));
  return IGraphics::SetMouseCursor(cursorType);
}

void* RecordingGraphics::OpenWindow(void*) {
  // What the platform does when its window and drawing context exist.
  Log("OpenWindow");
  mWindowOpen = true;
  OnViewInitialized();
  SetScreenScale(mOpenScreenScale);
  GetDelegate()->LayoutEditor(this);
  SetAllControlsDirty();
  GetDelegate()->OnEditorOpened();
  return GetWindow();
}

void RecordingGraphics::CloseWindow() {
  if (!mWindowOpen) return;
  Log("CloseWindow");
  OnViewDestroyed();
  mWindowOpen = false;
}

bool RecordingGraphics::GetTextFromClipboard(iplug::TextBuffer& str) {
  AssignText(str, mClipboard.c_str());
  return !mClipboard.empty();
}

bool RecordingGraphics::SetTextInClipboard(const char* str) {
  mClipboard = str ? str : "";
  return true;
}

std::unique_ptr<PlatformFont> RecordingGraphics::LoadPlatformFont(const char*, const char*, int) { return nullptr; }

std::unique_ptr<PlatformFont> RecordingGraphics::LoadPlatformFont(const char*, const void* data, int dataSize) {
  if (!data || dataSize <= 0) return nullptr;
  return std::make_unique<RecordingFont>();
}

std::unique_ptr<PlatformFont> RecordingGraphics::LoadPlatformFont(const char*, const char* fileNameOrResID) {
  iplug::TextBuffer found;
  if (LocateResource(fileNameOrResID, "ttf", found, "", nullptr, "") == kNotFound) return nullptr;
  return std::make_unique<RecordingFont>();
}

void RecordingGraphics::CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) {
  mFonts.emplace_back(fontID, std::move(font));
}

void RecordingGraphics::CreatePlatformTextEntry(int paramIdx, const ITextStyle&, const IBounds&, int length,
                                                const char* str) {
  mLastTextEntry = str;
  Log("TextEntry " + std::to_string(paramIdx) + " " + std::to_string(length) + " " + str);
}

IPopupMenu* RecordingGraphics::CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync) {
  mLastPopup = menu;
  mLastPopupBounds = bounds;
  Log(std::string("PopupMenu ") + menu.GetTitle());
  if (mPopupAsync) {
    isAsync = true;
    return nullptr;
  }
  if (mNextPopupChoice < 0) return nullptr;
  menu.SetChosenItemIdx(mNextPopupChoice);
  return &menu;
}

void RecordingGraphics::PlatformResize(bool parentHasResized) {
  Log(std::string("PlatformResize ") + (parentHasResized ? "1" : "0"));
}

void RecordingGraphics::PlatformHideMouseCursor(bool hide, bool lock) {
  Log(std::string("HideMouseCursor ") + (hide ? "1" : "0") + (lock ? "1" : "0"));
}

}  // namespace testgraphics
