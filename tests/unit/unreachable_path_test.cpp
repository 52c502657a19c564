// unreachable_path_test.cpp: launcher paths the system cannot be given, and the one message that
// says so in an export call.
//
// A path with an unpaired surrogate holds no character at all there: no code page holds it and no
// file has it, so it has no short form either, natively and under Windows alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/paths.h"
#include "frame/registry.h"
#include "frame/setting_keys.h"

namespace {

// What the launcher of one case hands over and what it was shown.
struct FakeLauncher {
    std::u16string engine_folder;
    std::vector<std::u16string> files;
    std::u16string found;
    std::vector<std::string> shown;   // caption, then text
};
FakeLauncher* g_launcher = nullptr;

HostText SDLL_CALL engine_string(HostHandle, const char*, const char*) { return g_launcher->engine_folder.c_str(); }
int SDLL_CALL file_count(HostHandle) { return static_cast<int>(g_launcher->files.size()); }
HostText SDLL_CALL file(HostHandle, int index) { return g_launcher->files[static_cast<std::size_t>(index)].c_str(); }
HostText SDLL_CALL find_file(const char*) { return g_launcher->found.c_str(); }
int SDLL_CALL message_box(const char* text, const char* caption, unsigned style) {
    g_launcher->shown.push_back(std::string(caption) + " | " + text + " | " + std::to_string(style));
    return 1;
}

// The message of the one plug-in name the cases use, word for word.
std::string told(const std::string& path) {
    return "Brannock | Brannock cannot reach " + path +
           " through the launcher's ANSI interface: its name has characters this system's code page cannot hold, "
           "and it has no short form. A folder whose name has only plain letters works. | 48";
}

class UnreachablePath : public testing::Test {
protected:
    void SetUp() override {
        const std::pair<unsigned, void*> slots[] = {
            {kSlotGetEngineString, reinterpret_cast<void*>(&engine_string)},
            {kSlotGetFileCount, reinterpret_cast<void*>(&file_count)},
            {kSlotGetFile, reinterpret_cast<void*>(&file)},
            {kSlotFindFile, reinterpret_cast<void*>(&find_file)},
            {kSlotMessageBox, reinterpret_cast<void*>(&message_box)},
        };
        for (const auto& [slot, function] : slots) {
            saved_.emplace_back(slot, frame::slot(slot));
            frame::set_slot(slot, function);
        }
        g_launcher = &launcher_;
    }
    void TearDown() override {
        for (const auto& [slot, function] : saved_) frame::set_slot(slot, function);
        g_launcher = nullptr;
    }

    FakeLauncher launcher_;
    std::vector<std::pair<unsigned, void*>> saved_;
};

// Each path read in one call: the lossy form is handed on, and the first path that cannot be
// reached is named once, whichever launcher call gave it.
TEST_F(UnreachablePath, IsNamedOncePerCallWordForWord) {
    const std::u16string lone = u"/g\xD800mes/";   // an unpaired high surrogate
    const std::u16string plain = u"/games/";
    struct Case {
        const char* what;
        const char* plugin;
        std::u16string folder;
        std::vector<std::u16string> files;
        std::u16string found;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"plain paths", "Brannock", plain, {plain + u"a.wad"}, plain + u"b.wad", {}},
        {"the folder", "Brannock", lone, {plain + u"a.wad"}, plain + u"b.wad", {told("/g?mes/")}},
        {"a chosen file", "Brannock", plain, {plain + u"a.wad", u"/x\xDC00.wad"}, plain + u"b.wad", {told("/x?.wad")}},
        {"a found file", "Brannock", plain, {}, u"/y\xD83D.wad", {told("/y?.wad")}},
        {"every one", "Brannock", lone, {u"/x\xDC00.wad"}, u"/y\xD83D.wad", {told("/g?mes/")}},
        {"no plug-in name", nullptr, lone, {u"/x\xDC00.wad"}, u"/y\xD83D.wad", {}},
    };
    for (const Case& c : cases) {
        launcher_ = {c.folder, c.files, c.found, {}};
        frame::PathReader paths(c.plugin);
        EXPECT_EQ(paths.engine_path(frame::setting::engine_folder), c.folder == lone ? "/g?mes/" : "/games/") << c.what;
        EXPECT_EQ(paths.chosen_files().size(), c.files.size()) << c.what;
        EXPECT_TRUE(paths.found_file("b.wad")) << c.what;
        EXPECT_EQ(launcher_.shown, c.shown) << c.what;
    }
}

}  // namespace
