#include "graphics/IGEditorDelegate.h"

#include <cstdint>

#include "graphics/IGraphics.h"

namespace igraphics {

IGEditorDelegate::IGEditorDelegate(int nParams) : iplug::IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate() {
  mGraphics.reset();
  mMakeGraphicsFunc = nullptr;
  mLayoutFunc = nullptr;
}

void* IGEditorDelegate::OpenEditor(void* pParent) {
  mEditorThread.store(std::this_thread::get_id(), std::memory_order_release);
  if (!mGraphics) {
    mGraphics.reset(MakeGraphicsContext());
    EditorGeometry saved;
    {
      std::lock_guard lock(mGeometryLock);
      saved = mGeometry;
      mGeometryRestored = false;  // taken now
    }
    if (mGraphics && saved.Usable()) mGraphics->Resize(saved.mWidth, saved.mHeight, saved.mScale, true);
  }
  if (!mGraphics) return nullptr;
  PublishEditorGeometry();
  return mGraphics->OpenWindow(pParent);
}

void IGEditorDelegate::CloseEditor() {
  if (mClosing) return;  // the platform called back while the window was closing
  mClosing = true;
  OnEditorClosed();
  if (mGraphics) {
    PublishEditorGeometry();  // kept as the saved geometry
    mGraphics->CloseWindow();
    mGraphics.reset();
  }
  mClosing = false;
}

IGEditorDelegate::EditorGeometry IGEditorDelegate::Geometry() const {
  std::lock_guard lock(mGeometryLock);
  return mGeometry;
}

void IGEditorDelegate::PublishEditorGeometry() {
  if (!mGraphics) return;
  const EditorGeometry live{mGraphics->Width(), mGraphics->Height(), mGraphics->GetDrawScale()};
  std::lock_guard lock(mGeometryLock);
  if (mGeometryRestored) return;  // a restored geometry is on its way in and wins
  mGeometry = live;
}

void IGEditorDelegate::ApplyRestoredEditorGeometry() {
  EditorGeometry restored;
  {
    std::lock_guard lock(mGeometryLock);
    if (!mGeometryRestored) return;
    mGeometryRestored = false;
    restored = mGeometry;
  }
  if (!mGraphics) return;  // the next opening takes it
  if (restored.Usable()) mGraphics->Resize(restored.mWidth, restored.mHeight, restored.mScale, true);
  // A geometry the editor refused or clamped: the state holds what the editor shows.
  PublishEditorGeometry();
}

bool IGEditorDelegate::ForwardKeyDown(const iplug::IKeyPress& key) {
  if (!mGraphics) return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::ForwardKeyUp(const iplug::IKeyPress& key) {
  if (!mGraphics) return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetMouseLocation(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

void IGEditorDelegate::SetControlValueInEditor(int ctrlTag, double normalizedValue) {
  if (!mGraphics) return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag)) control->SetValueFromDelegate(normalizedValue, 0);
}

void IGEditorDelegate::SendControlMsgToEditor(int ctrlTag, int msgTag, int dataSize, const void* pData) {
  if (!mGraphics) return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag)) control->OnMsgFromDelegate(msgTag, dataSize, pData);
}

void IGEditorDelegate::SendMidiToEditor(const iplug::MidiMessage& msg) {
  if (mGraphics) {
    mGraphics->ForStandardControlsFunc([&](IControl& c) {
      if (c.GetWantsMidi()) c.OnMidi(msg);
    });
  }
  OnMidiInEditor(msg);
}

void IGEditorDelegate::SendParamValueToEditor(int paramIdx, double value, bool normalized) {
  if (mGraphics && IsValidParamIdx(paramIdx)) {
    if (!normalized) value = GetParam(paramIdx)->ToNormalized(value);
    mGraphics->ForStandardControlsFunc([&](IControl& c) {
      for (int v = 0; v < c.NVals(); ++v)
        if (c.GetParamIdx(v) == paramIdx) c.SetValueFromDelegate(value, v);
    });
  }
  OnParamChangeInEditor(paramIdx, iplug::ParamSource::kDelegate);
}

void IGEditorDelegate::SetEditorScreenScale(float scale) {
  if (mGraphics) mGraphics->SetScreenScale(scale);
}

bool IGEditorDelegate::WriteEditorGeometry(iplug::ByteChunk& chunk) const {
  const EditorGeometry g = Geometry();
  // Judged by growth, not by a positive size: an append that failed on a non-empty chunk
  // leaves the size positive but the state incomplete.
  const int before = chunk.Size();
  chunk.Append(g.mWidth);
  chunk.Append(g.mHeight);
  chunk.Append(g.mScale);
  return chunk.Size() == before + 12;
}

int IGEditorDelegate::ReadEditorGeometry(const iplug::ByteChunk& chunk, int startPos) {
  EditorGeometry g;
  int pos = chunk.Read(g.mWidth, startPos);
  pos = chunk.Read(g.mHeight, pos);
  pos = chunk.Read(g.mScale, pos);
  // Kept only when all three values could be read: a damaged state does not wipe the size
  // the user chose.
  if (pos < 0) return pos;
  {
    std::lock_guard lock(mGeometryLock);
    mGeometry = g;
    mGeometryRestored = true;
  }
  if (std::this_thread::get_id() == mEditorThread.load(std::memory_order_acquire)) ApplyRestoredEditorGeometry();
  return pos;
}

IGraphics* IGEditorDelegate::MakeGraphicsContext() { return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr; }

void IGEditorDelegate::LayoutEditor(IGraphics* pGraphics) {
  if (mLayoutFunc && pGraphics) mLayoutFunc(pGraphics);
}

}  // namespace igraphics
