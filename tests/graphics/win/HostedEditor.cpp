#include "tests/graphics/win/HostedEditor.h"

#include <string>

#include "IPlug/AAX/IPlugAAX_Describe.h"
#include "graphics/win/WindowClass.h"

namespace tbtest {

void HostedEditor::SetUp() {
  if (mInstance) return;  // the suite's shared editor
  mInstance = std::make_unique<aaxhost::Instance>(mLog, &CreateEffectParameters, &CreateEffectGUI);
  ASSERT_EQ(mInstance->Create(), 0);
  ASSERT_EQ(mInstance->CreateGUI(), 0);
  mPlug = dynamic_cast<iplug::IPlugAAX*>(mInstance->Effect());
  ASSERT_NE(mPlug, nullptr);
  AAX_Point size;
  ASSERT_EQ(GUI().GetViewSize(&size), 0);
  std::string error;
  mWindow = aaxhost::HostWindow::Create("Tollenbrook test host", static_cast<int>(size.horz),
                                        static_cast<int>(size.vert), error);
  ASSERT_NE(mWindow, nullptr) << error;
  mContainer = std::make_unique<aaxhost::ViewContainer>(mLog, *mWindow, "host window");
}

void HostedEditor::TearDown() {
  if (mSession != sShared) mSession->Destroy();
}

void HostedEditor::Session::Destroy() {
  if (mInstance) mInstance->Destroy();
  mContainer.reset();
  mWindow.reset();
}

bool HostedEditor::OpenView() {
  if (GUI().SetViewContainer(mContainer.get()) != 0) return false;
  return Win() && Win()->WindowIsOpen();
}

void HostedEditor::CloseView() { GUI().SetViewContainer(nullptr); }

void HostedEditor::PumpUntilIdle() {
  for (int i = 0; i < 30; ++i) {
    const int frames = Win() ? Win()->FramesDrawn() : 0;
    Pump(120);
    if (!Win() || Win()->FramesDrawn() == frames) return;
  }
}

HWND HostedEditor::ChildWindow() const {
  return FindWindowExA(HostHandle(), nullptr, igraphics::WindowClass::kName, nullptr);
}

}  // namespace tbtest
