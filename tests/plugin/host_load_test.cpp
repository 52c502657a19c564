// host_load_test.cpp: each built plug-in loads through the stand-in launcher as the launcher does.
#include <gtest/gtest.h>

#include "host/host.h"
#include "tests/support/test_paths.h"

namespace {

struct PluginCase {
    const char* module;
    const char* name;
    uint16_t capabilities;
    const char* description;   // relative to the source folder
};

const PluginCase kPlugins[] = {
    {"brannock", "Brannock", 31, "brannock/brannock.cfg"},
    {"orvento", "Orvento", 29, "orvento/orvento.cfg"},
};

using test_support::source_file;

class HostLoad : public ::testing::TestWithParam<PluginCase> {};

TEST_P(HostLoad, OffersEverySlotThenInitsAndTakesTheDescriptionWhole) {
    const PluginCase& plugin = GetParam();
    std::string error;
    auto launcher = host::Launcher::open(test_support::plugin_path(plugin.module), &error);
    ASSERT_TRUE(launcher) << error;

    EXPECT_EQ(launcher->name(), plugin.name);
    EXPECT_EQ(launcher->capabilities(), plugin.capabilities);
    EXPECT_EQ(launcher->load_configuration_result(), 0);

    const std::string file = test_support::read_file(source_file(plugin.description));
    ASSERT_FALSE(file.empty()) << source_file(plugin.description);
    EXPECT_EQ(launcher->description_bytes(), file);

    // 26 offers in ascending order, SDLL_Init, the slot-0 hand-over, SDLL_LoadConfiguration.
    const auto& journal = launcher->journal();
    ASSERT_EQ(journal.size(), 29u);
    for (unsigned slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(journal[slot].name, "SDLL_InitCall");
        EXPECT_EQ(journal[slot].slot, slot);
        EXPECT_EQ(journal[slot].args[0], slot);
    }
    EXPECT_EQ(journal[26].name, "SDLL_Init");
    EXPECT_EQ(journal[26].result, 0);
    EXPECT_EQ(journal[27].name, "Host_SetConfiguration");
    EXPECT_EQ(journal[27].slot, 0u);
    EXPECT_EQ(journal[27].args[1], file.size());
    EXPECT_EQ(journal[28].name, "SDLL_LoadConfiguration");
    EXPECT_EQ(journal[28].result, 0);

    EXPECT_TRUE(launcher->description().item("engine", "general", "enginepath"));
    EXPECT_TRUE(launcher->description().item("multiplayer", "general", "map"));
}

INSTANTIATE_TEST_SUITE_P(Plugins, HostLoad, ::testing::ValuesIn(kPlugins),
                         [](const auto& info) { return std::string(info.param.module); });

TEST(HostLoadRefusals, SecondLauncherWhileOneIsOpenAndMissingModule) {
    std::string error;
    auto first = host::Launcher::open(test_support::plugin_path("orvento"), &error);
    ASSERT_TRUE(first) << error;
    EXPECT_FALSE(host::Launcher::open(test_support::plugin_path("brannock"), &error));
    EXPECT_NE(error.find("already open"), std::string::npos) << error;
    first.reset();

    const std::string missing = test_support::scratch_dir("load") + "nothing-here.module";
    EXPECT_FALSE(host::Launcher::open(missing, &error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    // The refusal left no launcher behind: a fresh open works.
    EXPECT_TRUE(host::Launcher::open(test_support::plugin_path("brannock"), &error)) << error;
}

TEST(HostLoadRefusals, ModuleWithoutTheExportsIsNamed) {
    // The fake engine is a program, not a plug-in; where it cannot be loaded as a module at all
    // the error names the path instead.
    std::string error;
    EXPECT_FALSE(host::Launcher::open(test_support::fake_engine_path(), &error));
    EXPECT_TRUE(error.find("SDLL_InitCall") != std::string::npos ||
                error.find(test_support::fake_engine_path()) != std::string::npos)
        << error;
}

}  // namespace
