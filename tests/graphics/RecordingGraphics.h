#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/IGraphics.h"

namespace testgraphics {

using namespace igraphics;

// One image of the product's module as the resources hold it: only the 2x variant.
struct ResourceImage {
  const char* name;  // as the layout names it
  int pixelW;        // the stored 2x image
  int pixelH;
  int frames;
};

// The product's images (pixel sizes of the stored 2x images, frames stacked vertically).
const std::vector<ResourceImage>& ProductImages();
inline constexpr int kFontBytes = 38764;

// A back-end bitmap that knows its name, so draws can be attributed.
class RecordingBitmap : public APIBitmap {
public:
  RecordingBitmap(std::string name, int w, int h, float scale, float drawScale)
      : APIBitmap(0, w, h, scale, drawScale), mName(std::move(name)) {}
  const std::string& Name() const { return mName; }
  void SetName(const std::string& name) { mName = name; }

private:
  std::string mName;
};

// One recorded drawing operation.
struct DrawOp {
  enum Kind { kBeginFrame, kEndFrame, kClip, kBitmap, kFill, kStroke, kText, kShadow, kControlDrawn };
  Kind kind;
  IBounds rect;                                 // clip, destination, text bounds or shadow outer bounds
  std::string name;                             // bitmap name or text
  int srcX = 0;
  int srcY = 0;
  float weight = 1.f;                           // blend opacity
  IColor color;
  std::vector<std::pair<float, float>> points;  // the path's points for fills and strokes
  IBounds clip;                                 // the clip in force
};

// A drawing back end and platform that record what the graphics context asks of them.
// Images come from a table of the product's resources instead of files; time is manual.
class RecordingGraphics : public IGraphics {
public:
  RecordingGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale, std::vector<std::string>* events);

  using IGraphics::DrawBitmap;

  // Test controls.
  double mNowMs = 1000.0;
  float mOpenScreenScale = 1.f;
  bool mMultiTouch = false;
  int mNextPopupChoice = -1;  // item the "user" picks in the next popup menu; -1 cancels
  bool mPopupAsync = false;
  float mMouseX = 0.f;
  float mMouseY = 0.f;

  std::vector<DrawOp> mOps;
  std::vector<std::string> mLocated;  // names the resource search asked for
  std::vector<std::string> mLoadedImages;
  std::vector<std::string> mLoadedFonts;
  IPopupMenu mLastPopup;
  IBounds mLastPopupBounds;
  std::string mLastTextEntry;

  // The platform's frame tick: dirty check, clean, invalidate in pixels, paint.
  // Returns the operations of the frame (empty when nothing was dirty).
  std::vector<DrawOp> Frame();

  // ---- Drawing back end.
  void BeginFrame() override;
  void EndFrame() override;
  void DrawBitmap(const IBitmapRef& bitmap, const IBounds& dest, int srcX, int srcY, const IBlend* blend) override;
  void DrawFastDropShadow(const IBounds& inner, const IBounds& outer, float xyDrop, float roundness, float blur,
                          const IBlend* blend) override;
  IColor GetBackEndColor() const override { return kColorBlack; }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIName() override { return "Recording"; }
  bool BitmapExtSupported(const char* ext) override;
  void GetLayerBitmapData(const ILayer& layer, std::vector<uint8_t>& data) override;
  void ApplyShadowMask(ILayer&, std::vector<uint8_t>&, float, float, float, const IPattern&) override {}
  void PathClear() override { mPath.clear(); }
  void PathClose() override {}
  void PathArc(float cx, float cy, float r, float a1, float a2, bool clockwise) override;
  void PathMoveTo(float x, float y) override { mPath.emplace_back(x, y); }
  void PathLineTo(float x, float y) override { mPath.emplace_back(x, y); }
  void PathSetWinding(bool) override {}
  void PathCubicBezierTo(float, float, float, float, float x2, float y2) override { mPath.emplace_back(x2, y2); }
  void PathQuadraticBezierTo(float, float, float x2, float y2) override { mPath.emplace_back(x2, y2); }
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                  const IBlend* blend) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options, const IBlend* blend) override;
  void PathClipRegion(const IBounds& r) override;
  void OnControlDrawn(const IBounds& clip) override;
  void OnViewDestroyed() override { RemoveAllControls(); }
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* data, int dataSize, int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, int location,
                                           const char* ext) override;
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale) override;
  bool LoadAPIFont(const char* fontID, const PlatformFont& font) override;
  float DoMeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const override;
  void DoDrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlend* blend) override;
  int LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char* bundleID,
                     void* pHandle, const char* sharedResourcesSubPath) override;

  // ---- Platform.
  void GetMouseLocation(float& x, float& y) const override {
    x = mMouseX;
    y = mMouseY;
  }
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType) override;
  void CancelPlatformTextEntry() override { Log("CancelPlatformTextEntry"); }
  void* OpenWindow(void* pParent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mWindowOpen ? &mWindowOpen : nullptr; }
  bool WindowIsOpen() override { return mWindowOpen; }
  bool GetTextFromClipboard(iplug::TextBuffer& str) override;
  bool SetTextInClipboard(const char* str) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName, int style) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) override;
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IBounds& bounds, int length,
                               const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync) override;
  bool PlatformSupportsMultiTouch() const override { return mMultiTouch; }
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void PlatformResize(bool parentHasResized) override;
  void DrawResize() override { Log("DrawResize"); }
  double GetTimeMs() const override { return mNowMs; }

protected:
  void PathTransformApply(const ITransform& transform) override { mLastTransform = transform; }
  void PlatformHideMouseCursor(bool hide, bool lock) override;

private:
  void Log(const std::string& event);
  void Record(DrawOp op);

  std::vector<std::string>* mEvents;
  std::vector<std::pair<float, float>> mPath;
  IBounds mClip;
  ITransform mLastTransform;
  std::string mClipboard;
  std::vector<std::pair<std::string, std::unique_ptr<PlatformFont>>> mFonts;
  bool mWindowOpen = false;
};

}  // namespace testgraphics
