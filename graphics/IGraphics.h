#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "IPlug/TextBuffer.h"
#include "graphics/APIBitmap.h"
#include "graphics/IBitmapRef.h"
#include "graphics/IBlend.h"
#include "graphics/IBounds.h"
#include "graphics/IColor.h"
#include "graphics/IControl.h"
#include "graphics/IGraphicsConstants.h"
#include "graphics/IKeyPress.h"
#include "graphics/ILayer.h"
#include "graphics/IMouseState.h"
#include "graphics/IPattern.h"
#include "graphics/IPlugAAXView_Interface.h"
#include "graphics/IPopupMenu.h"
#include "graphics/IRectList.h"
#include "graphics/ISVG.h"
#include "graphics/ITextStyle.h"
#include "graphics/ITransform.h"
#include "graphics/PlatformFont.h"
#include "graphics/PromptCompletion.h"

namespace igraphics {

class IGEditorDelegate;
class IBubbleControl;
class ICornerResizerControl;

// The editor's drawing and input context. It owns the controls, decides every frame which
// of them to redraw and draws them in list order through the abstract drawing operations,
// routes pointer and key events to the right control, brackets presses with host gestures,
// and owns the editor's size and scale. A drawing back end implements the drawing
// operations and a platform class (deriving the back end) the window, cursor, menus and text
// entry; only the most derived class is instantiated.
//
// Threads: everything runs on the editor's UI thread (timer ticks, paint, input and the
// delegate's calls). Only the process-wide bitmap and SVG caches are locked.
class IGraphics : public IPlugAAXView_Interface {
public:
  using KeyHandlerFunc = std::function<bool(const IKeyPress& key, bool isUp)>;

  IGraphics(IGEditorDelegate& dlg, int w, int h, int fps = 0, float scale = 1.f);
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- AAX view: host highlight of the controls of a parameter.
  void SetControlHighlight(int paramIdx, bool isHighlighted, int colour) override;

  // ---- Frame cycle (platform timer and paint).
  virtual void BeginFrame();
  virtual void OnViewInitialized() {}
  virtual void OnViewDestroyed() {}
  virtual void EndFrame() {}
  // Runs animations and collects the rectangles (grown by 0.75) of every dirty control.
  bool IsDirty(IRectList& rects);
  // Draws every control against each (pixel-aligned, optimised) rectangle, in list order,
  // then the corner resizer and the bubbles.
  void Draw(IRectList& rects);
  // The platform's redraw tick: runs the dirty check and, when something is dirty, marks
  // every control clean and adds the dirty areas as the window pixels they touch (at the
  // total scale). False when nothing is dirty.
  bool TakeDirtyPixelAreas(IRectList& pixels);
  void SetAllControlsDirty();
  void SetAllControlsClean();
  void SetStrictDrawing(bool strict) { mStrictDrawing = strict; }

  // ---- Images.
  virtual void DrawSVG(const ISVG& svg, const IBounds& bounds, const IBlend* blend = nullptr);
  virtual void DrawRotatedSVG(const ISVG& svg, float destCtrX, float destCtrY, float w, float h, double angle,
                              const IBlend* blend = nullptr);
  // Draws the part of the bitmap at (srcX, srcY) logical units into dest.
  virtual void DrawBitmap(const IBitmapRef& bitmap, const IBounds& dest, int srcX, int srcY,
                          const IBlend* blend) = 0;
  virtual void DrawFittedBitmap(const IBitmapRef& bitmap, const IBounds& bounds, const IBlend* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmapRef& bitmap, float destCtrX, float destCtrY, double angle,
                                 const IBlend* blend = nullptr);
  // Draws film-strip frame `frame` (1-based, clamped to the strip) into bounds.
  void DrawBitmap(const IBitmapRef& bitmap, const IBounds& bounds, int frame, const IBlend* blend);

  // ---- Stroked shapes.
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlend* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlend* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IBounds& bounds, float cRTL, float cRTR, float cRBR,
                             float cRBL, const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlend* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedRect(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);

  // ---- Filled shapes.
  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlend* blend = nullptr);
  virtual void FillRect(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IBounds& bounds, float cRTL, float cRTR, float cRBR,
                             float cRBL, const IBlend* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius = 5.f,
                             const IBlend* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle = 0.f,
                           const IBlend* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IBounds& bounds, const IBlend* blend = nullptr);
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlend* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlend* blend = nullptr);

  // ---- Text. MeasureText sets bounds to the text's box placed in bounds by the style's
  // alignment and returns its width; 0 for no text.
  virtual float MeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const;
  void DrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlend* blend = nullptr);

  // ---- Back-end queries.
  virtual IColor GetBackEndColor() const = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIName() = 0;

  // ---- Bitmap cache (process-wide; back ends with their own cache replace these).
  // Redraws a bitmap at targetScale and keeps the result in the cache under name.
  virtual APIBitmap* ScaleBitmap(const IBitmapRef& bitmap, const char* name, int targetScale);
  // Hands a bitmap to the cache under (cacheName, its scale); returns it.
  virtual APIBitmap* RetainBitmap(std::unique_ptr<APIBitmap> bitmap, const char* cacheName);
  // Deletes a cached bitmap; handles to it become invalid.
  virtual void ReleaseBitmap(const IBitmapRef& bitmap);
  virtual bool BitmapExtSupported(const char* ext) = 0;

  virtual void DrawFastDropShadow(const IBounds& /*innerBounds*/, const IBounds& /*outerBounds*/,
                                  float /*xyDrop*/ = 5.f, float /*roundness*/ = 0.f, float /*blur*/ = 10.f,
                                  const IBlend* /*blend*/ = nullptr) {}
  virtual void DrawGrid(const IColor& color, const IBounds& bounds, float gridSizeH, float gridSizeV,
                        const IBlend* blend = nullptr, float thickness = 1.f);
  // A polyline through nPoints normalised points (y from the bottom of bounds); with no x
  // values the points are spread evenly.
  virtual void DrawData(const IColor& color, const IBounds& bounds, const float* normYPoints, int nPoints,
                        const float* normXPoints = nullptr, const IBlend* blend = nullptr, float thickness = 1.f);

  // ---- Fonts: the platform loads them, the back end registers them. True when usable.
  bool LoadFont(const char* fontID, const void* data, int dataSize);
  bool LoadFont(const char* fontID, const char* fileNameOrResID);

  // ---- Layers (off-screen targets).
  void StartLayer(IControl* control, const IBounds& r);
  std::unique_ptr<ILayer> EndLayer();
  void DrawLayer(const std::unique_ptr<ILayer>& layer, const IBlend* blend = nullptr);
  virtual void GetLayerBitmapData(const ILayer& layer, std::vector<uint8_t>& data) = 0;
  virtual void ApplyShadowMask(ILayer& layer, std::vector<uint8_t>& mask, float blurSize, float xOffset,
                               float yOffset, const IPattern& pattern) = 0;
  virtual void UpdateLayer() {}

  // ---- Paths. Angles in degrees, 0 at 12 o'clock, clockwise.
  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, bool clockwise = true) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathSetWinding(bool clockwise) = 0;
  virtual void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) = 0;
  virtual void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = IStrokeOptions(),
                          const IBlend* blend = nullptr) = 0;
  virtual void PathFill(const IPattern& pattern, const IFillOptions& options = IFillOptions(),
                        const IBlend* blend = nullptr) = 0;
  void PathLine(float x1, float y1, float x2, float y2);
  void PathTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
  void PathRect(const IBounds& bounds);
  void PathRoundRect(const IBounds& bounds, float cRTL, float cRTR, float cRBR, float cRBL);
  void PathCircle(float cx, float cy, float r);
  void PathEllipse(float x, float y, float r1, float r2, float angle = 0.f);
  void PathConvexPolygon(const float* x, const float* y, int nPoints);

  // The drawing transform; every change is applied to the back end at once.
  void PathTransformSave();
  void PathTransformRestore();
  void PathTransformReset();
  void PathTransformTranslate(float x, float y);
  void PathTransformScale(float x, float y);
  void PathTransformRotate(float degrees);
  void PathTransformMatrix(const ITransform& matrix);
  const ITransform& GetTransform() const { return mTransform; }

  virtual void OnControlDrawn(const IBounds& /*clip*/) {}
  virtual void PathClipRegion(const IBounds& r = IBounds()) = 0;
  const IBounds& GetClipBounds() const { return mClipBounds; }

  // ---- Platform (window system).
  virtual void GetMouseLocation(float& x, float& y) const = 0;
  // Hides or shows the pointer; lock keeps it where it was while hidden. Repeated requests
  // for the current state do nothing.
  void HideMouseCursor(bool hide = true, bool lock = true);
  virtual void MoveMouseCursor(float x, float y) = 0;
  // Returns the previous shape.
  virtual int SetMouseCursor(int cursorType = kArrowPointer);
  virtual void* OpenWindow(void* pParent) = 0;
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool WindowIsOpen() = 0;
  virtual const char* GetPlatformAPIName() { return ""; }

  // ---- Platform services. The base class answers as a platform that offers none of them:
  // nothing is shown and "nothing chosen" comes back (through the completion too, which runs
  // once whatever happens). A platform that offers them replaces these.
  virtual void CancelPlatformTextEntry() {}
  virtual void CreatePlatformTextEntry(int paramIdx, const ITextStyle& text, const IBounds& bounds, int length,
                                       const char* str);
  // Shows the menu; returns it with its chosen item, or null when nothing was chosen.
  // isAsync is set when the result will come later through SetControlValueAfterPopupMenu.
  virtual IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IBounds& bounds, bool& isAsync);
  virtual bool GetTextFromClipboard(iplug::TextBuffer& str);
  virtual bool SetTextInClipboard(const char* str);
  // Returns the button that closed the box (the system's code), 0 when none could be shown;
  // done gets the same.
  virtual int ShowMessageBox(const char* str, const char* caption, int type, MessageBoxFunc done = {});
  // fileName and path are the start values and receive the choice (fileName "" when
  // cancelled); ext is a space-separated list of extensions without dots.
  virtual void PromptForFile(iplug::TextBuffer& fileName, iplug::TextBuffer& path, int action = kFileOpen,
                             const char* ext = "", FileDialogFunc done = {});
  // dir receives the chosen folder ("" when cancelled).
  virtual void PromptForDirectory(iplug::TextBuffer& dir, FileDialogFunc done = {});
  // color is the start value and receives the choice; true when one was chosen.
  virtual bool PromptForColour(IColor& color, const char* str = "", ColourDialogFunc done = {});
  virtual bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
                       const char* errMsgOnFailure = nullptr);
  // Shows a file or folder in the system's file browser: with select the folder holding it
  // is opened with it selected, otherwise the path itself is opened. False when it cannot be
  // shown.
  virtual bool RevealPathInExplorer(const char* path, bool select = true);

  virtual void SetWinModuleHandle(void* /*instance*/) {}
  virtual void* GetWinModuleHandle() { return nullptr; }
  virtual std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fontName,
                                                         int style) = 0;
  virtual std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const void* data, int dataSize) = 0;
  virtual std::unique_ptr<PlatformFont> LoadPlatformFont(const char* fontID, const char* fileNameOrResID) = 0;
  virtual void CachePlatformFont(const char* fontID, std::unique_ptr<PlatformFont> font) = 0;
  virtual const char* GetBundleID() { return ""; }
  virtual void ActivateGLContext() {}
  virtual void DeactivateGLContext() {}
  virtual bool PlatformSupportsMultiTouch() const { return false; }
  virtual float GetPlatformWindowScale() const { return 1.f; }
  virtual void PlatformResize(bool /*parentHasResized*/) {}
  virtual void DrawResize() {}
  // Milliseconds on a monotonic clock: the time base of animations.
  virtual double GetTimeMs() const;

  // ---- Resources.
  // Loads a film strip through the resource search and the process-wide cache.
  // targetScale 0 means the screen scale rounded up.
  virtual IBitmapRef LoadBitmap(const char* name, int nStates = 1, bool framesAreHorizontal = false,
                                int targetScale = 0);
  IBitmapRef LoadBitmap(const char* name, const void* data, int dataSize, int nStates = 1,
                        bool framesAreHorizontal = false, int targetScale = 0);
  virtual ISVG LoadSVG(const char* name, const void* data, int dataSize, const char* units = "px",
                       float dpi = 72.f);
  virtual ISVG LoadSVG(const char* fileName, const char* units = "px", float dpi = 72.f);
  // Finds the best resolution variant of an image ("name@2x.png" ...) and the scale it was made for.
  int SearchImageResource(const char* name, const char* type, iplug::TextBuffer& result, int targetScale,
                          int& sourceScale);
  virtual int LocateResource(const char* name, const char* type, iplug::TextBuffer& result, const char* bundleID,
                             void* pHandle, const char* sharedResourcesSubPath) = 0;
  virtual void AttachGestureRecognizer(EGestureType /*type*/) {}
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* name, const void* data, int dataSize,
                                                   int scale) = 0;
  virtual std::unique_ptr<APIBitmap> LoadAPIBitmap(const char* fileNameOrResID, int scale, int location,
                                                   const char* ext) = 0;
  virtual std::unique_ptr<APIBitmap> CreateAPIBitmap(int width, int height, float scale, double drawScale) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFont& font) = 0;
  virtual float DoMeasureText(const ITextStyle& text, const char* str, IBounds& bounds) const = 0;
  virtual void DoDrawText(const ITextStyle& text, const char* str, const IBounds& bounds,
                          const IBlend* blend) = 0;

  // ---- Attaching and the control list.
  // Takes ownership. A tag already in use attaches nothing and returns null (the caller keeps it).
  IControl* AttachControl(IControl* control, int ctrlTag = kNoTag, const char* group = "");
  // The background goes first in the list, drawn under everything.
  void AttachBackground(const char* fileName);
  void AttachPanelBackground(const IPattern& pattern);
  void AttachCornerResizer(int resizeMode = kResizeModeScale, bool layoutOnResize = false,
                           const IColor& color = kColorTranslucentBlack, const IColor& mouseOverColor = kColorBlack,
                           const IColor& dragColor = kColorBlack, float size = 20.f);
  void AttachBubbleControl(const ITextStyle& text = ITextStyle());
  void RemoveAllControls();
  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  void EnableTooltips(bool enable);
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  void SetLayoutOnResize(bool layoutOnResize) { mLayoutOnResize = layoutOnResize; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  void SetKeyHandlerFunc(KeyHandlerFunc f) { mKeyHandlerFunc = std::move(f); }
  void SetTickFunc(std::function<void()> f) { mTickFunc = std::move(f); }

  int NControls() const { return static_cast<int>(mControls.size()); }
  IControl* GetControl(int idx) const;
  int GetControlIdx(const IControl* control) const;
  IControl* GetControlWithTag(int ctrlTag) const;
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer.get(); }
  int NBubbleControls() const { return static_cast<int>(mBubbleControls.size()); }
  IBubbleControl* GetBubbleControl(int i) const;

  // mControls from index 0 up. By index: a function may attach controls (a layout run on
  // resize). Templates, so iterating while drawing allocates nothing.
  template <typename F>
  void ForStandardControlsFunc(F&& func) {
    for (size_t i = 0; i < mControls.size(); ++i) func(*mControls[i]);
  }
  // mControls, then the special controls (corner resizer ...) and the bubbles on top.
  template <typename F>
  void ForAllControlsFunc(F&& func) {
    ForStandardControlsFunc(func);
    for (int i = 0; IControl* c = SpecialControlAt(i); ++i) func(*c);
  }
  // Controls of mControls with a value bound to paramIdx.
  template <typename F>
  void ForMatchingControls(int paramIdx, F&& func) {
    ForStandardControlsFunc([&](IControl& c) {
      if (c.IsBoundToParam(paramIdx)) func(c);
    });
  }

  // ---- Input from the platform, in logical units (dispatch rules in IGraphicsInput.cpp).
  void OnMouseDown(const std::vector<IMouseState>& points);
  void OnMouseUp(const std::vector<IMouseState>& points);
  void OnMouseDrag(const std::vector<IMouseState>& points);
  bool OnMouseDblClick(float x, float y, const IMouseMod& mod);
  bool OnMouseOver(float x, float y, const IMouseMod& mod);
  void OnMouseOut();
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  void OnDrop(const char* str, float x, float y);
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  bool OnKeyUp(float x, float y, const IKeyPress& key);
  // The control under a pointer, or the one that holds it; capture records the pointer's owner.
  IControl* GetMouseControl(float x, float y, bool capture, bool mouseOver = false, int64_t touchID = 0);

  bool ControlIsCaptured(const IControl* control) const;
  bool ControlIsCaptured(const IControl* control, int64_t& touchID) const;
  IControl* GetCapturedControl(int64_t touchID) const;
  int NCapturedPointers() const { return static_cast<int>(mCapturedMap.size()); }
  IControl* GetMouseOverControl() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  void GetMouseDownPoint(float& x, float& y) const {
    x = mMouseDownX;
    y = mMouseDownY;
  }
  // After a modal dialog, which took the pointer: drops every capture (closing the host
  // gestures their presses opened) and shows a hidden cursor again.
  void ReleaseMouseCapture() { ReleaseCaptures(); }
  // The corner resizer starts a resize; drags then resize the editor until the release.
  void StartResizeGesture() { mResizingInProcess = true; }
  bool IsResizing() const { return mResizingInProcess; }
  int GetResizeMode() const { return mResizeMode; }

  // ---- Values, prompts and the bubble.
  void UpdatePeers(IControl* caller, int valIdx);
  void PromptUserInput(IControl& control, const IBounds& bounds, int valIdx = 0);
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IBounds& bounds, int valIdx = 0,
                       bool isContext = false);
  void SetControlValueAfterPopupMenu(IPopupMenu* menu);
  void CreateTextEntry(IControl& control, const ITextStyle& text, const IBounds& bounds, const char* str = "",
                       int valIdx = 0);
  void SetControlValueAfterTextEdit(const char* str);
  IControl* GetControlInTextEntry() const { return mInTextEntry; }
  // The platform's edit box closed without a result (cancelled): no text entry is pending.
  void ClearTextEntryControl() { mInTextEntry = nullptr; }
  IControl* GetControlInPopupMenu() const { return mInPopupMenu; }
  IPopupMenu& GetPromptMenu() { return mPromptMenu; }
  void ShowBubbleControl(IControl* caller, float x, float y, const char* str, int direction = 1,
                         const IBounds& minimumContentBounds = IBounds());

  // ---- Size and scale.
  // Clamped to the delegate's size limits and to half..twice the initial scale; a request
  // for the current size and scale does nothing.
  void Resize(int w, int h, float scale, bool needsPlatformResize = true);
  // Device pixels per logical unit; 0, negative, NaN or infinite scales are ignored.
  void SetScreenScale(float scale);
  float GetTotalScale() const { return mDrawScale * mScreenScale; }
  float GetDrawScale() const { return mDrawScale; }
  float GetScreenScale() const { return mScreenScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int WindowWidth() const { return static_cast<int>(static_cast<float>(mWidth) * mDrawScale); }
  int WindowHeight() const { return static_cast<int>(static_cast<float>(mHeight) * mDrawScale); }
  int FPS() const { return mFPS; }
  IBounds GetBounds() const { return IBounds(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)); }
  IBitmapRef GetScaledBitmap(const IBitmapRef& bitmap);
  int GetCursorType() const { return mCursorType; }
  bool IsCursorHidden() const { return mCursorHidden; }

  IGEditorDelegate* GetDelegate() const { return mDelegate; }

protected:
  virtual void PathTransformApply(const ITransform& transform) = 0;
  virtual void PlatformHideMouseCursor(bool hide, bool lock) = 0;
  void DrawControl(IControl* control, const IBounds& area, float scale);
  // Makes the layer the drawing target until it is popped.
  void PushLayer(std::unique_ptr<ILayer> layer);
  std::unique_ptr<ILayer> PopLayer();
  const ILayer* GetActiveLayer() const { return mLayers.empty() ? nullptr : mLayers.back().get(); }

private:
  struct Capture {
    IControl* mControl;
    bool mGesturesOpen;  // the press opened host gestures that its release must close
  };

  void InitSpecialControl(IControl& control);
  // The controls kept outside the list, in drawing order; null past the last.
  IControl* SpecialControlAt(int i) const;
  // Drops every pointer capture, closing the host gestures their presses opened
  // (except those of `keep`, whose gestures a prompt result closes), and shows the cursor.
  void ReleaseCaptures(const IControl* keep = nullptr);
  void BeginGestures(IControl& control);
  void EndGestures(IControl& control);
  void DeliverPopupResult(IPopupMenu* menu);
  // Asks the delegate (and through it the host) for the window size in pixels.
  void ResizeWindow(bool resizeHostWindow);

  std::vector<std::unique_ptr<IControl>> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  std::unique_ptr<ICornerResizerControl> mCornerResizer;
  std::vector<std::unique_ptr<IBubbleControl>> mBubbleControls;
  // In-editor popup, frame-time display and text entry controls: never attached in this
  // product (the platform menu and edit box are used); kept for the drawing order.
  std::unique_ptr<IControl> mPopupControl;
  std::unique_ptr<IControl> mPerfDisplay;
  std::unique_ptr<IControl> mTextEntryControl;
  IPopupMenu mPromptMenu;
  iplug::TextBuffer mSharedResourcesSubPath;
  int mCursorType = kArrowPointer;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  float mMinScale;
  float mMaxScale;
  std::unordered_map<int64_t, Capture> mCapturedMap;
  IControl* mMouseOver = nullptr;
  IControl* mInTextEntry = nullptr;
  int mTextEntryValIdx = kNoValIdx;
  IControl* mInPopupMenu = nullptr;
  int mPopupValIdx = kNoValIdx;
  bool mIsContextMenu = false;
  bool mPopupClosesGestures = false;
  int mMouseOverIdx = -1;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  bool mEnableMouseOver = false;
  bool mStrictDrawing = false;
  bool mEnableTooltips = false;
  bool mResizingInProcess = false;
  bool mLayoutOnResize = false;
  bool mEnableMultiTouch = false;
  int mResizeMode = kResizeModeScale;
  double mPrevFrameTime = 0.;
  KeyHandlerFunc mKeyHandlerFunc;
  std::function<void()> mTickFunc;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  std::vector<std::unique_ptr<ILayer>> mLayers;  // a stack: the last is drawn into
  IBounds mClipBounds;
  ITransform mTransform;
  std::vector<ITransform> mTransformStack;
};

}  // namespace igraphics
