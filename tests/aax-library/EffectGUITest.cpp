#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "aax-library/AAX_CEffectGUI.h"
#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"
#include "aax-library/AAX_Exports.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"
#include "host/aax/ViewContainer.h"

namespace {
class TwoParameterEffect : public AAX_CEffectParameters {
protected:
  AAX_Result EffectInit() override {
    for (const char* id : {"1", "2"}) {
      mParameterManager.AddParameter(new AAX_CParameter<double>(id, AAX_CString(id), 0.0,
                                                                AAX_CLinearTaperDelegate<double>(0.0, 1.0),
                                                                AAX_CNumberDisplayDelegate<double>(), true));
    }
    return AAX_SUCCESS;
  }
};

// Writes down which of its hooks ran, in order.
class RecordingGUI : public AAX_CEffectGUI {
public:
  explicit RecordingGUI(std::vector<std::string>* events) : mEvents(events) {}
  AAX_Result ParameterUpdated(AAX_CParamID id) override {
    mEvents->push_back(std::string("updated ") + id);
    return AAX_SUCCESS;
  }

protected:
  void CreateViewContents() override { mEvents->push_back("contents"); }
  void CreateViewContainer() override {
    mEvents->push_back(GetViewContainer() && GetViewContainer()->GetPtr() ? "open with window" : "open");
  }
  void DeleteViewContainer() override { mEvents->push_back("close"); }

private:
  std::vector<std::string>* mEvents;
};

std::vector<std::string>* gEvents = nullptr;
IACFUnknown* CreateEffect() { return (new TwoParameterEffect)->GetPrivateUnknown(); }
IACFUnknown* CreateGUI() { return (new RecordingGUI(gEvents))->GetPrivateUnknown(); }
}  // namespace

TEST(EffectGUI, OpensAndClosesTheViewThroughItsHooks) {
  std::vector<std::string> events;
  gEvents = &events;
  aaxhost::Host host;
  aaxhost::Instance instance(host.Log(), CreateEffect, CreateGUI);
  ASSERT_EQ(instance.Create(), 0);
  ASSERT_EQ(instance.CreateGUI(), 0);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), 2);
  EXPECT_EQ(events, std::vector<std::string>{"contents"});

  int window = 0;
  aaxhost::ViewContainer view(host.Log(), &window, AAX_eViewContainer_Type_HWND);
  EXPECT_EQ(instance.GUI()->SetViewContainer(&view), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"contents", "open with window", "updated 1", "updated 2"}));
  EXPECT_GT(view.References(), 0);

  AAX_Point size{1.0f, 2.0f};
  EXPECT_EQ(instance.GUI()->GetViewSize(&size), 0);
  EXPECT_EQ(size.vert, 1.0f) << "the library leaves the size to the plug-in";
  AAX_CString label;
  EXPECT_EQ(instance.GUI()->GetCustomLabel(0, &label), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(instance.GUI()->SetControlHighlightInfo("1", 1, AAX_eHighlightColor_Red), 0);
  EXPECT_EQ(instance.GUI()->Draw(nullptr), 0);
  EXPECT_EQ(instance.GUI()->TimerWakeup(), 0);

  EXPECT_EQ(instance.GUI()->SetViewContainer(nullptr), 0);
  EXPECT_EQ(events.back(), "close");
  EXPECT_EQ(view.References(), 0) << "the container is released when the view closes";
  EXPECT_EQ(instance.GUI()->SetViewContainer(nullptr), 0);
  EXPECT_EQ(events.back(), "close") << "closing without a view still asks the plug-in to close";

  instance.GUI()->SetViewContainer(&view);
  instance.Destroy();  // Uninitialize with a view open closes it
  EXPECT_EQ(events.back(), "close");
  EXPECT_EQ(view.References(), 0);
  EXPECT_EQ(ACFCanUnloadNow(nullptr), 0);
  gEvents = nullptr;
}

TEST(EffectGUI, MissingHostContextOrControllerIsNotInitialized) {
  std::vector<std::string> events;
  auto* gui = new RecordingGUI(&events);
  IACFUnknown* unknown = gui->GetPrivateUnknown();
  unknown->AddRef();
  EXPECT_EQ(gui->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
  aaxhost::HostContext noController(nullptr, nullptr, nullptr);
  EXPECT_EQ(gui->Initialize(&noController), AAX_ERROR_NOT_INITIALIZED);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(gui->GetEffectParameters(), nullptr);
  EXPECT_EQ(gui->Uninitialize(), 0);
  unknown->Release();
}
