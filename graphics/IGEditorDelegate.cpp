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
  if (!mGraphics) {
    mGraphics.reset(MakeGraphicsContext());
    if (mGraphics && mSavedWidth != 0 && mSavedHeight != 0 && mSavedScale != 0.f)
      mGraphics->Resize(mSavedWidth, mSavedHeight, mSavedScale, true);
  }
  return mGraphics ? mGraphics->OpenWindow(pParent) : nullptr;
}

void IGEditorDelegate::CloseEditor() {
  if (mClosing) return;  // the platform called back while the window was closing
  mClosing = true;
  OnEditorClosed();
  if (mGraphics) {
    mSavedWidth = mGraphics->Width();
    mSavedHeight = mGraphics->Height();
    mSavedScale = mGraphics->GetDrawScale();
    mGraphics->CloseWindow();
    mGraphics.reset();
  }
  mClosing = false;
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
  const int32_t width = mGraphics ? mGraphics->Width() : mSavedWidth;
  const int32_t height = mGraphics ? mGraphics->Height() : mSavedHeight;
  const float scale = mGraphics ? mGraphics->GetDrawScale() : mSavedScale;
  // Judged by growth, not by a positive size: an append that failed on a non-empty chunk
  // leaves the size positive but the state incomplete.
  const int before = chunk.Size();
  chunk.Append(width);
  chunk.Append(height);
  chunk.Append(scale);
  return chunk.Size() == before + 12;
}

int IGEditorDelegate::ReadEditorGeometry(const iplug::ByteChunk& chunk, int startPos) {
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
  int pos = chunk.Read(width, startPos);
  pos = chunk.Read(height, pos);
  pos = chunk.Read(scale, pos);
  if (!mGraphics) {
    mSavedWidth = width;
    mSavedHeight = height;
    mSavedScale = scale;
  } else if (width != 0 && height != 0 && scale != 0.f) {
    mGraphics->Resize(width, height, scale, true);
  }
  return pos;
}

IGraphics* IGEditorDelegate::MakeGraphicsContext() { return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr; }

void IGEditorDelegate::LayoutEditor(IGraphics* pGraphics) {
  if (mLayoutFunc && pGraphics) mLayoutFunc(pGraphics);
}

}  // namespace igraphics
