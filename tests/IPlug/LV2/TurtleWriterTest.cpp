#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/port-props/port-props.h>
#include <lv2/units/units.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Turtle.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/TestFiles.h"

// The Turtle writer on parameter kinds the product does not use: a stepped double with a
// unit, a switch with texts, an enumeration, a value with a label of its own that no host
// may automate, and a plug-in without a side chain. What it writes validates against the
// LV2 schemas and reads back through lilv as declared.
namespace {

class KindsPlugin : public iplug::IPlugLV2 {
public:
  KindsPlugin() : IPlugLV2(iplug::InstanceInfo{}, Config()) {
    GetParam(0)->InitDouble("Cutoff", 1000.0, 20.0, 20000.0, 0.5, "", 0, "", iplug::IParam::ShapeLinear(),
                            iplug::IParam::kUnitFrequency);
    GetParam(1)->InitBool("Active \"A\"", true);
    GetParam(2)->InitEnum("Mode", 1, 3, "", 0, "", "Soft", "Hard", "Brick");
    GetParam(3)->InitDouble("Widgets", 0.25, 0.0, 1.0, 0.0, "wdg", iplug::IParam::kFlagNotAutomatable);
  }
  static iplug::PluginConfig Config() {
    iplug::PluginConfig c;
    c.mNParams = 5;  // the last one has no kind and gets no port
    c.mChannelIOStr = "2-2";
    c.mPluginName = "Kinds";
    c.mProductName = "Kinds";
    c.mMfrName = "Test Maker";
    c.mVendorVersion = 0x00010203;
    return c;
  }
};

struct Bundle {
  hosttest::ScopedTempDir dir;
  KindsPlugin plug;
  iplug::LV2Turtle turtle{plug, "Filter"};
  std::string manifest, plugins;

  Bundle() {
    std::ostringstream m, p;
    turtle.WriteManifest(m);
    turtle.WritePlugins(p);
    manifest = m.str();
    plugins = p.str();
    std::ofstream(dir.File("manifest.ttl")) << manifest;
    std::ofstream(dir.File(turtle.Catalogue().TurtleName())) << plugins;
  }
};

TEST(LV2Turtle, NumbersAndTextsReadBackExactly) {
  EXPECT_EQ(iplug::LV2Turtle::Number(15.0), "15");
  EXPECT_EQ(iplug::LV2Turtle::Number(-2.5), "-2.5");
  EXPECT_EQ(iplug::LV2Turtle::Number(0.1), "0.1");
  EXPECT_EQ(iplug::LV2Turtle::Number(1e-5), "1e-05");
  EXPECT_EQ(std::stod(iplug::LV2Turtle::Number(1.0 / 3.0)), 1.0 / 3.0);
  EXPECT_EQ(iplug::LV2Turtle::Literal("say \"hi\"\\\n"), "\"say \\\"hi\\\"\\\\\\n\"");
  EXPECT_EQ(iplug::LV2Catalogue::Slug("  High Pass -- Filter 2 ", '_'), "high_pass_filter_2");
}

TEST(LV2Turtle, OtherParameterKindsValidateAndReadBack) {
  Bundle b;
  ASSERT_EQ(b.turtle.Catalogue().Components().size(), 1u);
  EXPECT_EQ(b.turtle.Catalogue().Components()[0].mURI, "urn:test-maker:kinds:stereo");

  const lv2test::ToolRun run = lv2test::RunTool(
      {"sh", "-c", "sord_validate $(find -L \"$1\" -name '*.ttl') \"$0\"/*.ttl", b.dir.Path().string(),
       lv2test::VocabulariesDir()});
  EXPECT_NE(run.output.find("Found 0 errors"), std::string::npos) << run.output << b.plugins;
  // Version 1.2.3 as LV2 orders releases, in the manifest as in the plug-in's data.
  for (const std::string* ttl : {&b.manifest, &b.plugins})
    EXPECT_NE(ttl->find("lv2:minorVersion 1004 ;\n\tlv2:microVersion 6"), std::string::npos) << *ttl;

  LilvWorld* world = lilv_world_new();
  lilv_world_load_specifications(world);
  lilv_world_load_plugin_classes(world);
  LilvNode* bundleURI = lilv_new_file_uri(world, nullptr, (b.dir.Path().string() + "/").c_str());
  lilv_world_load_bundle(world, bundleURI);
  LilvNode* uri = lilv_new_uri(world, "urn:test-maker:kinds:stereo");
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  ASSERT_NE(plugin, nullptr) << b.manifest;
  EXPECT_EQ(lilv_plugin_get_num_ports(plugin), 4u + 4u + 2u) << "audio, four parameters, enable and latency";

  auto property = [&](const char* symbol, const char* prop) {
    LilvNode* s = lilv_new_string(world, symbol);
    LilvNode* p = lilv_new_uri(world, prop);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, s);
    const bool has = port && lilv_port_has_property(plugin, port, p);
    lilv_node_free(s);
    lilv_node_free(p);
    return has;
  };
  EXPECT_FALSE(property("cutoff", LV2_CORE__integer));
  EXPECT_TRUE(property("active_a", LV2_CORE__toggled));
  EXPECT_TRUE(property("mode", LV2_CORE__enumeration));
  EXPECT_TRUE(property("mode", LV2_CORE__integer));
  EXPECT_TRUE(property("widgets", LV2_PORT_PROPS__notAutomatic));
  EXPECT_FALSE(property("cutoff", LV2_PORT_PROPS__notAutomatic));

  auto values = [&](const char* symbol, const char* predicate) {
    LilvNode* s = lilv_new_string(world, symbol);
    LilvNode* p = lilv_new_uri(world, predicate);
    LilvNodes* found = lilv_port_get_value(plugin, lilv_plugin_get_port_by_symbol(plugin, s), p);
    std::vector<std::string> texts;
    LILV_FOREACH(nodes, i, found) texts.emplace_back(lilv_node_as_string(lilv_nodes_get(found, i)));
    lilv_nodes_free(found);
    lilv_node_free(s);
    lilv_node_free(p);
    return texts;
  };
  EXPECT_EQ(values("cutoff", LV2_UNITS__unit), std::vector<std::string>{LV2_UNITS__hz});
  // Only a parameter that keeps to its steps says how many there are.
  EXPECT_EQ(values("mode", LV2_PORT_PROPS__rangeSteps), std::vector<std::string>{"3"});
  EXPECT_TRUE(values("cutoff", LV2_PORT_PROPS__rangeSteps).empty());
  EXPECT_EQ(values("widgets", LV2_UNITS__unit).size(), 1u) << "a unit of its own";
  LilvNode* name = lilv_port_get_name(plugin, lilv_plugin_get_port_by_index(plugin, 5));
  EXPECT_STREQ(lilv_node_as_string(name), "Active \"A\"");

  lilv_node_free(name);
  lilv_node_free(uri);
  lilv_node_free(bundleURI);
  lilv_world_free(world);
}

}  // namespace
