#include <gtest/gtest.h>

#include <memory>

#include "aax-library/AAXParameterManager.h"
#include "aax-library/AAX_CLinearTaperDelegate.h"
#include "aax-library/AAX_CNumberDisplayDelegate.h"
#include "aax-library/AAX_CParameter.h"
#include "aax-library/AAX_VAutomationDelegate.h"
#include "host/aax/AutomationDelegate.h"
#include "host/aax/CallLog.h"

namespace {
// Counts deletions so ownership can be checked.
class CountedParameter : public AAX_CParameter<int32_t> {
public:
  CountedParameter(const char* id, const char* name, int* deletions)
      : AAX_CParameter<int32_t>(id, AAX_CString(name), 0, AAX_CLinearTaperDelegate<int32_t, 1>(0, 10),
                                AAX_CNumberDisplayDelegate<int32_t, 0>(), true),
        mDeletions(deletions) {}
  ~CountedParameter() override { ++*mDeletions; }

private:
  int* mDeletions;
};
}  // namespace

TEST(ParameterManager, KeepsOrderAndFindsByIdentifier) {
  int deletions = 0;
  AAXParameterManager manager;
  EXPECT_TRUE(manager.AddParameter(new CountedParameter("", "Master Bypass", &deletions)));
  EXPECT_TRUE(manager.AddParameter(new CountedParameter("1", "Threshold", &deletions)));
  EXPECT_TRUE(manager.AddParameter(new CountedParameter("2", "Ratio", &deletions)));
  EXPECT_EQ(manager.NumParameters(), 3);
  EXPECT_EQ(manager.GetParameterIndex(""), 0);
  EXPECT_EQ(manager.GetParameterIndex("2"), 2);
  EXPECT_EQ(manager.GetParameterIndex("3"), -1);
  EXPECT_EQ(manager.GetParameterIndex(nullptr), -1);
  EXPECT_STREQ(manager.GetParameter(1)->Identifier(), "1");
  EXPECT_EQ(manager.GetParameter(3), nullptr);
  EXPECT_EQ(manager.GetParameter(-1), nullptr);
  EXPECT_EQ(manager.GetParameterByID("2")->Name().StdString(), "Ratio");
  EXPECT_EQ(manager.GetParameterByID("nope"), nullptr);
  EXPECT_EQ(manager.GetParameterByName("Threshold"), manager.GetParameter(1));
  EXPECT_EQ(manager.GetParameterByName(nullptr), nullptr);
}

TEST(ParameterManager, DuplicatesAndNullAreRefusedAndStayWithTheCaller) {
  int deletions = 0;
  {
    AAXParameterManager manager;
    ASSERT_TRUE(manager.AddParameter(new CountedParameter("1", "First", &deletions)));
    auto duplicate = std::make_unique<CountedParameter>("1", "Second", &deletions);
    EXPECT_FALSE(manager.AddParameter(duplicate.get()));
    EXPECT_FALSE(manager.AddParameter(nullptr));
    EXPECT_EQ(manager.NumParameters(), 1);
    EXPECT_EQ(manager.GetParameterByID("1")->Name().StdString(), "First");
    duplicate.reset();
    EXPECT_EQ(deletions, 1);
  }
  EXPECT_EQ(deletions, 2) << "the manager deletes what it accepted";
}

TEST(ParameterManager, RemovalDeletesAndReindexes) {
  int deletions = 0;
  AAXParameterManager manager;
  for (const char* id : {"a", "b", "c"}) manager.AddParameter(new CountedParameter(id, id, &deletions));
  manager.RemoveParameterByID("b");
  manager.RemoveParameterByID("zzz");
  manager.RemoveParameterByID(nullptr);
  EXPECT_EQ(deletions, 1);
  EXPECT_EQ(manager.NumParameters(), 2);
  EXPECT_EQ(manager.GetParameterIndex("c"), 1);
  EXPECT_TRUE(manager.AddParameter(new CountedParameter("b", "again", &deletions)));
  manager.RemoveAllParameters();
  EXPECT_EQ(deletions, 4);
  EXPECT_EQ(manager.NumParameters(), 0);
  EXPECT_EQ(manager.GetParameterByID("a"), nullptr);
}

TEST(ParameterManager, InstallsTheAutomationDelegateOnEveryParameter) {
  aaxhost::CallLog log;
  aaxhost::AutomationDelegate automation(log);
  AAX_VAutomationDelegate wrapper(&automation);
  int deletions = 0;
  AAXParameterManager manager;
  manager.AddParameter(new CountedParameter("early", "Early", &deletions));
  manager.Initialize(&wrapper);
  manager.AddParameter(new CountedParameter("late", "Late", &deletions));
  EXPECT_EQ(automation.Registered(), (std::set<std::string>{"early", "late"}));
  manager.RemoveAllParameters();
  EXPECT_TRUE(automation.Registered().empty());
}
