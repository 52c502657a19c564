// version_test.cpp: each built DLL carries the project version where Windows reads it, next to an
// unchanged settings description.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/test_paths.h"

namespace {

struct PluginCase {
    const char* module;
    const char* description;   // the FileDescription text
    const char* cfg;           // relative to the source folder
};

const PluginCase kPlugins[] = {
    {"brannock", "Brannock engine plug-in for the Vorlane launcher", "brannock/brannock.cfg"},
    {"orvento", "Orvento engine plug-in for the Vorlane launcher", "orvento/orvento.cfg"},
};

// The file's whole version resource as GetFileVersionInfoA hands it out; empty when it has none.
std::string version_block(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return {};
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return {};
    return block;
}

// One value of the block; null when the block lacks it.
const void* query(const std::string& block, const std::string& sub_block, UINT* length) {
    void* value = nullptr;
    *length = 0;
    if (!VerQueryValueA(block.data(), sub_block.c_str(), &value, length)) return nullptr;
    return value;
}

class Version : public ::testing::TestWithParam<PluginCase> {};

TEST_P(Version, FixedNumbersAndTextsAreTheProjectVersion) {
    const PluginCase& plugin = GetParam();
    const std::string block = version_block(test_support::plugin_path(plugin.module));
    ASSERT_FALSE(block.empty()) << plugin.module << " has no version resource";

    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(block, "\\", &length));
    ASSERT_TRUE(fixed);
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(SDLL_VERSION_MINOR, SDLL_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, SDLL_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    // The texts are found the way Explorer finds them: through the language the file declares.
    const auto* language = static_cast<const WORD*>(query(block, "\\VarFileInfo\\Translation", &length));
    ASSERT_TRUE(language);
    ASSERT_GE(length, 2 * sizeof(WORD));
    char table[9];
    snprintf(table, sizeof table, "%04x%04x", language[0], language[1]);
    auto text = [&](const char* name) {
        UINT chars = 0;
        const auto* value = static_cast<const char*>(
            query(block, std::string("\\StringFileInfo\\") + table + "\\" + name, &chars));
        return value ? std::string(value) : std::string("<missing>");
    };
    EXPECT_EQ(text("FileVersion"), SDLL_VERSION);
    EXPECT_EQ(text("ProductVersion"), SDLL_VERSION);
    EXPECT_EQ(text("FileDescription"), plugin.description);
    EXPECT_EQ(text("OriginalFilename"), std::string(plugin.module) + ".dll");
    EXPECT_EQ(text("ProductName"), "Vorlane engine plug-ins");
}

// Read from outside, as the launcher's resource loader does, not through the plug-in's own code:
// adding the version resource must leave the description's bytes and place alone.
TEST_P(Version, DescriptionIsStillResource101OfItsOwnType) {
    const PluginCase& plugin = GetParam();
    HMODULE module = LoadLibraryExA(test_support::plugin_path(plugin.module).c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    std::string bytes;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(101), "CONFIGURATION")) {
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (data) bytes.assign(data, SizeofResource(module, found));
    }
    FreeLibrary(module);

    const std::string cfg = std::string("Z:") + SDLL_SOURCE_DIR + "/" + plugin.cfg;   // the source, seen from Wine
    const std::string expected = test_support::read_file(cfg);
    ASSERT_FALSE(expected.empty()) << cfg;
    EXPECT_EQ(bytes, expected);
}

INSTANTIATE_TEST_SUITE_P(Plugins, Version, ::testing::ValuesIn(kPlugins),
                         [](const auto& info) { return std::string(info.param.module); });

}  // namespace
