#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "IPlug/AAX/AAX_CEffectGUI_IPLUG.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "graphics/win/IGraphicsWin.h"
#include "host/aax/CallLog.h"
#include "host/aax/HostWindow.h"
#include "host/aax/Instance.h"
#include "host/aax/ViewContainer.h"

namespace tbtest {

// The product's editor as an AAX host opens it: an instance and its GUI object made through
// the module's registered creation functions, a real top-level window of the size the GUI
// object asks for, and a view container around that window.
//
// Each test makes its own, unless its fixture shares one across its suite (ShareAcrossSuite
// in SetUpTestSuite, EndSharing in TearDownTestSuite): opening one costs seconds under Wine.
class HostedEditor : public ::testing::Test {
protected:
  struct Session {
    aaxhost::CallLog mLog;
    std::unique_ptr<aaxhost::Instance> mInstance;
    iplug::IPlugAAX* mPlug = nullptr;
    std::unique_ptr<aaxhost::HostWindow> mWindow;
    std::unique_ptr<aaxhost::ViewContainer> mContainer;
    void Destroy();
  };

  HostedEditor() : mSession(sShared ? sShared : std::make_shared<Session>()) {}
  static void ShareAcrossSuite() { sShared = std::make_shared<Session>(); }
  static void EndSharing() {
    if (sShared) sShared->Destroy();
    sShared.reset();
  }

  void SetUp() override;
  void TearDown() override;

  // SetViewContainer with the host window's container; true when the editor's window opened.
  bool OpenView();
  void CloseView();
  // The host's message loop for about `ms` milliseconds (timers, ticks, paints).
  void Pump(int ms) { mWindow->PumpMessages(ms); }
  // Pumps until the editor has drawn no frame for a while (at most a few seconds): whatever
  // was queued for it has been delivered and drawn, however loaded the machine is.
  void PumpUntilIdle();
  // Pumps until `done` holds (at most a few seconds); returns it.
  template <typename F>
  bool PumpUntil(F done) {
    for (int i = 0; i < 100 && !done(); ++i) Pump(30);
    return done();
  }

  AAX_IACFEffectGUI& GUI() { return *mInstance->GUI(); }
  iplug::IPlugAAX& Plug() { return *mPlug; }
  igraphics::IGraphicsWin* Win() { return dynamic_cast<igraphics::IGraphicsWin*>(mPlug->GetUI()); }
  HWND HostHandle() const { return static_cast<HWND>(mWindow->Handle()); }
  // The editor's child window inside the host window, found through the system.
  HWND ChildWindow() const;

  static inline std::shared_ptr<Session> sShared;
  std::shared_ptr<Session> mSession;
  aaxhost::CallLog& mLog = mSession->mLog;
  std::unique_ptr<aaxhost::Instance>& mInstance = mSession->mInstance;
  iplug::IPlugAAX*& mPlug = mSession->mPlug;
  std::unique_ptr<aaxhost::HostWindow>& mWindow = mSession->mWindow;
  std::unique_ptr<aaxhost::ViewContainer>& mContainer = mSession->mContainer;
};

}  // namespace tbtest
