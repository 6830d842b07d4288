#include "IPlug/IEditorDelegate.h"

#include <algorithm>

#include "IPlug/Trace.h"

namespace iplug {

IEditorDelegate::IEditorDelegate(int nParams) {
  mParams.reserve(static_cast<size_t>(std::max(nParams, 0)));
  for (int i = 0; i < nParams; ++i) mParams.push_back(std::make_unique<IParam>());
}

IEditorDelegate::~IEditorDelegate() {
  while (!mParams.empty()) mParams.pop_back();  // last to first
}

void* IEditorDelegate::OpenEditor(void*) {
  OnEditorOpened();
  return nullptr;
}

void IEditorDelegate::CloseEditor() { OnEditorClosed(); }

void IEditorDelegate::OnEditorOpened() {
  for (int i = 0; i < NParams(); ++i) SendParamValueToEditor(i, GetParam(i)->GetNormalized(), true);
}

void IEditorDelegate::OnParamChange(int paramIdx, ParamSource source, int) {
  TRACE_LOG("iplug::IEditorDelegate::OnParamChange", "idx:%i src:%s\n", paramIdx, ParamSourceName(source));
  OnParamChange(paramIdx);
}

void IEditorDelegate::NotifyAllParamsChanged(ParamSource source) {
  for (int i = 0; i < NParams(); ++i) {
    OnParamChange(i, source, -1);
    OnParamChangeInEditor(i, source);
  }
}

void IEditorDelegate::SendControlMsgToEditor(int ctrlTag, int msgTag, int dataSize, const void* pData) {
  HandleEditorMessage(msgTag, ctrlTag, dataSize, pData);
}

void IEditorDelegate::SendMessageToEditor(int msgTag, int dataSize, const void* pData) {
  HandleEditorMessage(msgTag, -1, dataSize, pData);
}

void IEditorDelegate::SendParamValueToEditor(int paramIdx, double, bool) {
  OnParamChangeInEditor(paramIdx, ParamSource::kDelegate);
}

void IEditorDelegate::SetParamFromEditor(int paramIdx, double normalizedValue) {
  if (!IsValidParamIdx(paramIdx)) return;
  GetParam(paramIdx)->SetNormalized(normalizedValue);
  OnParamChangeInEditor(paramIdx, ParamSource::kUI);
}

void IEditorDelegate::SetSizeConstraints(int minW, int maxW, int minH, int maxH) {
  mMinWidth = std::min(minW, maxW);
  mMaxWidth = std::max(minW, maxW);
  mMinHeight = std::min(minH, maxH);
  mMaxHeight = std::max(minH, maxH);
}

}  // namespace iplug
