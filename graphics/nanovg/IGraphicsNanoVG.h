#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"
#include "graphics/PlatformFontCache.h"
#include "graphics/nanovg/BitmapCache.h"
#include "graphics/nanovg/GLLoader.h"

// NanoVG's types stay opaque here: only the back end's sources include NanoVG and OpenGL.
struct NVGcontext;
struct NVGLUframebuffer;

namespace igraphics {

// The drawing back end: every drawing operation of the graphics context through NanoVG on an
// OpenGL 2 context. The whole editor image lives in a persistent off-screen framebuffer, so a
// frame repaints only the dirty areas and then copies the image to the window's framebuffer in
// one draw call. A platform class derives from it and supplies the window, the GL context and
// the GL entry points; with the context current and the entry points loaded it calls
// OpenView, which starts NanoVG, sizes the framebuffers and lays the editor out.
//
// What every platform shares is here too: the module whose resources (images, the font) the
// editor loads, and fonts as TrueType bytes from that module or from memory (a platform with
// system fonts replaces the four font operations).
//
// Threads: the editor's UI thread, which owns the GL context. The bitmap cache and the
// deferred framebuffer deletion have their own locks; the font data cache is process-wide.
class IGraphicsNanoVG : public IGraphics {
public:
  // A back-end bitmap: a texture made from pixels or decoded data, an existing NanoVG image,
  // or a render target (a framebuffer whose texture is the image).
  class Bitmap : public APIBitmap {
  public:
    // From RGBA pixels (width x height x 4 bytes).
    Bitmap(NVGcontext* vg, int width, int height, const void* pixels, float scale, float drawScale);
    // From an existing NanoVG image; a shared image belongs to someone else and is never deleted.
    Bitmap(NVGcontext* vg, const char* name, float scale, int image, bool shared);
    // A render target of width x height pixels, cleared to transparent; leaves its framebuffer bound.
    Bitmap(IGraphicsNanoVG* graphics, NVGcontext* vg, int width, int height, float scale, float drawScale);
    ~Bitmap() override;

    NVGLUframebuffer* GetFBO() const { return mFBO; }

  private:
    IGraphicsNanoVG* mGraphics = nullptr;
    NVGcontext* mVG;
    NVGLUframebuffer* mFBO = nullptr;
    bool mSharedTexture = false;
  };

  IGraphicsNanoVG(IGEditorDelegate& dlg, int w, int h, int fps, float scale);
  ~IGraphicsNanoVG() override;

  // ---- Frame cycle.
  void BeginFrame() override;
  void EndFrame() override;
  void OnViewInitialized() override;
  void OnViewDestroyed() override;
  void DrawResize() override;
  // The window's pixels are the editor's at the screen scale.
  float GetPlatformWindowScale() const override { return GetScreenScale(); }

  // ---- Drawing.
  void DrawBitmap(const IBitmapRef& bitmap, const IBounds& dest, int srcX, int srcY, const IBlend* blend) override;
  using IGraphics::DrawBitmap;
  void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                      float thickness = 1.f, float dashLen = 2.f) override;
  void DrawDottedRect(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr,
                      float thickness = 1.f, float dashLen = 2.f) override;
  void DrawFastDropShadow(const IBounds& innerBounds, const IBounds& outerBounds, float xyDrop = 5.f,
                          float roundness = 0.f, float blur = 10.f, const IBlend* blend = nullptr) override;

  IColor GetBackEndColor() const override { return kColorBlack; }
  void* GetDrawContext() override { return mVG; }
  const char* GetDrawingAPIName() override { return "NanoVG | GL2"; }

  // ---- Bitmaps: this context's own cache holds them, not the process-wide one.
  APIBitmap* RetainBitmap(std::unique_ptr<APIBitmap> bitmap, const char* cacheName) override;
  void ReleaseBitmap(const IBitmapRef&) override {}
  bool BitmapExtSupported(const char* ext) override;
  IBitmapRef LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                        int targetScale = 0) override;
  using IGraphics::LoadBitmap;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* data, int dataSize, int scale) override;
  std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, int location,
                                           const char* ext) override;
  std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale) override;
  // No SVG parser is available to this build (NanoSVG has no Debian package) and the product
  // loads no SVG: SVG loading yields an empty result.
  ISVG LoadSVG(const char* name, const void* data, int dataSize, const char* units = "px",
               float dpi = 72.f) override;
  using IGraphics::LoadSVG;

  // ---- Layers.
  void GetLayerBitmapData(const ILayer& layer, std::vector<uint8_t>& data) override;
  void ApplyShadowMask(ILayer& layer, std::vector<uint8_t>& mask, float blurSize, float xOffset, float yOffset,
                       const IPattern& pattern) override;
  void UpdateLayer() override;
  // Read-back layer rows run bottom-up, and alpha is the fourth byte of a pixel.
  bool FlippedBitmap() const { return true; }
  int AlphaChannel() const { return 3; }

  // ---- Paths.
  void PathClear() override;
  void PathClose() override;
  void PathArc(float cx, float cy, float r, float a1, float a2, bool clockwise = true) override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathSetWinding(bool clockwise) override;
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = IStrokeOptions(),
                  const IBlend* blend = nullptr) override;
  void PathFill(const IPattern& pattern, const IFillOptions& options = IFillOptions(),
                const IBlend* blend = nullptr) override;
  void PathClipRegion(const IBounds& r = IBounds()) override;

  // ---- The module's resources and fonts (UI thread).
  void SetWinModuleHandle(void* module) override { mModule = module; }
  void* GetWinModuleHandle() override { return mModule; }
  // Among the module's own resources (or pHandle's); never in the working directory.
  int LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char* bundleID,
                     void* pHandle, const char* sharedResourcesSubPath) override;
  // No system fonts by family name: null.
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName, int style) override;
  // A copy of the bytes; null for none.
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) override;
  // A TrueType font of the module's resources (or a file it names); null when none is found.
  std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) override;
  const PlatformFontCache& GetPlatformFonts() const { return mPlatformFonts; }

  // ---- Fonts and text.
  bool LoadAPIFont(const char* fontID, const PlatformFont& font) override;
  float DoMeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const override;
  void DoDrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlend* blend) override;

  // Deletes a render target's framebuffer, or queues it while a frame is being drawn so the
  // pipeline is not stalled mid-frame; the queue empties at the end of EndFrame.
  void DeleteFBO(NVGLUframebuffer* fb);

  // ---- For the platform class and tests.
  bool IsInDraw() const { return mInDraw; }
  int NQueuedFBODeletions() const;
  // The main framebuffer's size in pixels (0 x 0 without one).
  int MainFrameBufferWidth() const { return mMainFBWidth; }
  int MainFrameBufferHeight() const { return mMainFBHeight; }
  // The framebuffer the editor image is copied to at the end of every frame.
  unsigned int WindowFrameBuffer() const { return mWindowFBO; }
  const BitmapCache& GetBitmapCache() const { return mBitmapCache; }

protected:
  // The common part of opening a window, with its GL context current and the entry points
  // loaded: starts NanoVG, takes the screen scale (which sizes the framebuffers through
  // DrawResize), runs the product's layout and marks every control for the first frame.
  // False, with the reason, when NanoVG cannot start on the context.
  bool OpenView(float screenScale, std::string& error);
  // Loads the GL entry points of the context current now; false, with the reason, when it
  // lacks what the back end draws with.
  static bool LoadGL(GLProcLoader loader, std::string& error);
  // The colour of the framebuffer bound for reading (and its read buffer), width x height
  // pixels from the origin, as rows from the top, RGBA. False (and no pixels) when GL
  // reports an error for the read.
  static bool ReadPixelsTopDown(int width, int height, std::vector<uint8_t>& rgba);
  void PathTransformApply(const ITransform& transform) override;
  NVGcontext* GetVG() const { return mVG; }
  // The window's framebuffer size in pixels: the editor's size at the draw scale, then at
  // the screen scale, each product truncated.
  int WindowPixelWidth() const;
  int WindowPixelHeight() const;

private:
  void SetBlend(const IBlend* blend);
  void PrepareText(const ITextStyle& text, const char* str, const IBounds& bounds, float& x, float& y) const;
  void DeleteMainFrameBuffer();
  void BeginMainFrame();
  void DeleteQueuedFBOs();

  bool mInDraw = false;
  mutable std::mutex mFBOLock;
  std::vector<NVGLUframebuffer*> mFBODeleteQueue;
  BitmapCache mBitmapCache;
  NVGcontext* mVG = nullptr;
  NVGLUframebuffer* mMainFrameBuffer = nullptr;
  int mMainFBWidth = 0;
  int mMainFBHeight = 0;
  unsigned int mWindowFBO = 0;
  void* mModule = nullptr;
  PlatformFontCache mPlatformFonts;
};

}  // namespace igraphics
