#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "IPlug/VST3/VST3Rig.h"

// The factory as a host scans it, and moduleinfo.json as a host reads it before loading.
namespace {

using namespace vst3test;

// The 32-digit text of a class identifier, as moduleinfo.json and hosts write it.
std::string CIDText(const v3_tuid id) {
#if V3_COM_COMPAT
  const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
#else
  const int order[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
#endif
  std::string text;
  char digits[3];
  for (int i : order) {
    std::snprintf(digits, sizeof digits, "%02X", id[i]);
    text += digits;
  }
  return text;
}

// The value of "key" in the JSON object that follows `from`.
std::string ValueAfter(const std::string& json, size_t from, const std::string& key) {
  const size_t at = json.find("\"" + key + "\"", from);
  if (at == std::string::npos) return "";
  const size_t open = json.find('"', json.find(':', at) + 1);
  return json.substr(open + 1, json.find('"', open + 1) - open - 1);
}

TEST(VST3Factory, ClassesAreNamedAndDescribedAlikeInTheFactoryAndModuleInfo) {
  Module module;
  ASSERT_TRUE(module.mFactory) << module.mError;
  ASSERT_TRUE(module.mFactory2);
  v3_factory_info factoryInfo{};
  ASSERT_EQ(v3_cpp_obj(module.mFactory)->get_factory_info(module.mFactory, &factoryInfo), V3_OK);
  EXPECT_STREQ(factoryInfo.vendor, "Vantorell");

  std::ifstream file(BundlePath() + "/Contents/Resources/moduleinfo.json");
  ASSERT_TRUE(file) << BundlePath();
  std::stringstream text;
  text << file.rdbuf();
  const std::string json = text.str();

  ASSERT_EQ(v3_cpp_obj(module.mFactory)->num_classes(module.mFactory), 2);
  const char* categories[] = {"Audio Module Class", "Component Controller Class"};
  for (int i = 0; i < 2; ++i) {
    v3_class_info_2 info{};
    ASSERT_EQ(v3_cpp_obj(module.mFactory2)->get_class_info_2(module.mFactory2, i, &info), V3_OK);
    EXPECT_STREQ(info.category, categories[i]);
    EXPECT_STREQ(info.name, "Tollenbrook");
    EXPECT_STREQ(info.vendor, "Vantorell");
    EXPECT_STREQ(info.sub_categories, i == 0 ? "Fx|Dynamics" : "");
    const std::string cid = CIDText(info.class_id);
    const size_t entry = json.find("\"CID\": \"" + cid + "\"");
    ASSERT_NE(entry, std::string::npos) << cid << " missing from moduleinfo.json";
    EXPECT_EQ(ValueAfter(json, entry, "Category"), categories[i]);
    EXPECT_EQ(ValueAfter(json, entry, "Name"), "Tollenbrook");
    EXPECT_EQ(ValueAfter(json, entry, "Version"), info.version);
  }
  v3_class_info_2 past{};
  EXPECT_NE(v3_cpp_obj(module.mFactory2)->get_class_info_2(module.mFactory2, 2, &past), V3_OK);
  v3_tuid unknown = {1, 2, 3};
  void* made = nullptr;
  EXPECT_NE(v3_cpp_obj(module.mFactory)->create_instance(module.mFactory, unknown, v3_component_iid, &made), V3_OK);
  EXPECT_EQ(made, nullptr);
}

}  // namespace
