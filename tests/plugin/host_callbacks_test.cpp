// host_callbacks_test.cpp: the stand-in launcher's callbacks, settings store and settings file,
// driven directly as a plug-in would call them, over the real plug-ins' descriptions.
#include <gtest/gtest.h>

#include "host/launcher_impl.h"
#include "host/utf.h"
#include "tests/support/test_paths.h"

namespace {

template <typename Fn>
Fn slot(HostSlot s) { return reinterpret_cast<Fn>(host::callback_function(s)); }

std::string text_of(HostText text) { return text ? host::utf16_to_utf8(text) : "<null>"; }

std::unique_ptr<host::Launcher> open_plugin(const char* name) {
    std::string error;
    auto launcher = host::Launcher::open(test_support::plugin_path(name), &error);
    EXPECT_TRUE(launcher) << error;
    if (launcher) {
        launcher->quiet = true;
        launcher->clear_journal();
    }
    return launcher;
}

TEST(HostSettings, ReadsAnswerByTypeAndFlagUndeclaredOrMistypedKeys) {
    auto launcher = open_plugin("orvento");
    ASSERT_TRUE(launcher);
    HostHandle h = launcher->handle();
    auto get_int = slot<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt);
    auto get_text = slot<Host_GetMultiplayerString_t>(kSlotGetMultiplayerString);
    auto engine_int = slot<Host_GetEngineInt_t>(kSlotGetEngineInt);

    EXPECT_EQ(get_int(h, "demo", "maxdemo"), 2048);   // a select reads as its list key
    EXPECT_EQ(get_int(h, "general", "skill"), 4);
    EXPECT_EQ(get_int(h, "connection", "dup"), 1);
    EXPECT_EQ(text_of(get_text(h, "connection", "port")), "2342");
    EXPECT_EQ(text_of(get_text(h, "general", "map")), "");   // bare 0: no map chosen, an empty text
    EXPECT_EQ(get_int(h, "general", "nosuchkey"), 0);
    EXPECT_EQ(get_text(h, "general", "nosuchkey"), nullptr);
    EXPECT_EQ(engine_int(h, "general", "type"), 0);   // `type` is on the multiplayer page only
    EXPECT_EQ(get_int(h, "connection", "port"), 2342);

    const auto& j = launcher->journal();
    ASSERT_EQ(j.size(), 9u);
    EXPECT_EQ(j[0].name, "Host_GetMultiplayerInt");
    EXPECT_EQ(j[0].args, nlohmann::json({"host", "demo", "maxdemo"}));
    EXPECT_EQ(j[0].result, 2048);
    EXPECT_FALSE(j[0].undeclared);
    EXPECT_TRUE(j[5].undeclared);
    EXPECT_TRUE(j[6].undeclared);
    EXPECT_TRUE(j[6].result.is_null());
    EXPECT_TRUE(j[7].undeclared);
    EXPECT_TRUE(j[8].mistyped);
    EXPECT_EQ(j[8].to_json()["mistyped"], true);
}

TEST(HostSettings, WritesReachOnlyTheirOwnItem) {
    auto launcher = open_plugin("brannock");
    ASSERT_TRUE(launcher);
    HostHandle h = launcher->handle();
    auto set_int = slot<Host_SetMultiplayerInt_t>(kSlotSetMultiplayerInt);
    auto set_text = slot<Host_SetMultiplayerString_t>(kSlotSetMultiplayerString);
    auto get_int = slot<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt);

    set_int(h, "dmflags2", "keepteams", 1);
    EXPECT_EQ(get_int(h, "dmflags2", "keepteams"), 1);
    EXPECT_EQ(get_int(h, "dmflags3", "keepteams"), 0);
    set_text(h, "general", "map", "MAP07");
    EXPECT_EQ(launcher->get_value("multiplayer", "general", "map").value_or(""), "MAP07");
    EXPECT_EQ(launcher->get_value("engine", "general", "enginepath").value_or("?"), "");

    set_int(h, "general", "nosuchkey", 5);
    EXPECT_TRUE(launcher->journal().back().undeclared);
    EXPECT_EQ(get_int(h, "general", "nosuchkey"), 0);
}

TEST(HostSettings, SetChecksTheValueAgainstItsItem) {
    auto launcher = open_plugin("orvento");
    ASSERT_TRUE(launcher);
    struct Case { const char* group; const char* key; const char* value; const char* fault; };
    const Case refused[] = {
        {"general", "fraglimit", "667", "at most 666"},
        {"connection", "dup", "0", "at least 1"},
        {"general", "fraglimit", "ten", "must be an integer"},
        {"demo", "maxdemo", "512", "list keys (128, 1024, 2048, 4096)"},
        {"connection", "servername", "nineteen-characters", "longer than 18"},
        {"connection", "infoport", "x", "caption"},
    };
    for (const auto& c : refused) {
        std::string error;
        EXPECT_FALSE(launcher->set("multiplayer", c.group, c.key, c.value, &error)) << c.key;
        EXPECT_NE(error.find(std::string("multiplayer/") + c.group + "/" + c.key), std::string::npos) << error;
        EXPECT_NE(error.find(c.fault), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(launcher->set("multiplayer", "general", "nothing", "1", &error));
    EXPECT_NE(error.find("no setting multiplayer/general/nothing"), std::string::npos) << error;

    EXPECT_TRUE(launcher->set("multiplayer", "connection", "servername", "eighteen-characte", &error)) << error;
    EXPECT_TRUE(launcher->set("engine", "general", "parameters", std::string(300, 'p'), &error))
        << "maxlength 0 sets no limit";
    EXPECT_TRUE(launcher->set("multiplayer", "demo", "maxdemo", "4096", &error)) << error;
    EXPECT_EQ(slot<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt)(launcher->handle(), "demo", "maxdemo"), 4096);
}

TEST(HostSettings, FileKeepsAwkwardValuesAndRefusesWhatTheDescriptionLacks) {
    const std::string dir = test_support::scratch_dir("settings");
    const std::string file = dir + "settings.txt";
    {
        auto launcher = open_plugin("orvento");
        ASSERT_TRUE(launcher);
        std::string error;
        ASSERT_TRUE(launcher->set("multiplayer", "general", "map", " ", &error)) << error;
        ASSERT_TRUE(launcher->set("engine", "general", "parameters", "-a \"b\"\nsecond line", &error)) << error;
        ASSERT_TRUE(launcher->set("engine", "general", "enginepath", "C:\\Games\\Orvento\\", &error)) << error;
        ASSERT_TRUE(launcher->set("engine", "general", "demopath", "\"quoted\"", &error)) << error;
        ASSERT_TRUE(launcher->set("multiplayer", "general", "skill", "2", &error)) << error;
        launcher->files = {"/data/extra one.wad", "C:\\wads\\b.pk3"};
        ASSERT_TRUE(launcher->save_settings(file, &error)) << error;
    }
    const std::string text = test_support::read_file(file);
    EXPECT_NE(text.find("engine/general/enginepath = C:\\Games\\Orvento\\\n"), std::string::npos) << text;
    EXPECT_NE(text.find("multiplayer/general/skill = 2\n"), std::string::npos) << text;

    auto launcher = open_plugin("orvento");
    ASSERT_TRUE(launcher);
    std::string error;
    ASSERT_TRUE(launcher->load_settings(file, &error)) << error;
    EXPECT_EQ(launcher->get_value("multiplayer", "general", "map").value_or("?"), " ");
    EXPECT_EQ(launcher->get_value("engine", "general", "parameters").value_or("?"), "-a \"b\"\nsecond line");
    EXPECT_EQ(launcher->get_value("engine", "general", "enginepath").value_or("?"), "C:\\Games\\Orvento\\");
    EXPECT_EQ(launcher->get_value("engine", "general", "demopath").value_or("?"), "\"quoted\"");
    EXPECT_EQ(launcher->get_value("multiplayer", "general", "skill").value_or("?"), "2");
    EXPECT_EQ(launcher->files, (std::vector<std::string>{"/data/extra one.wad", "C:\\wads\\b.pk3"}));
    EXPECT_TRUE(launcher->load_settings(dir + "missing.txt", &error)) << "a missing file is a fresh store";

    // A bad line anywhere leaves the store as it was.
    test_support::write_file(file, "multiplayer/general/skill = 5\nmultiplayer/general/skil = 3\n");
    EXPECT_FALSE(launcher->load_settings(file, &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_NE(error.find("multiplayer/general/skil"), std::string::npos) << error;
    test_support::write_file(file, "multiplayer/general/skill = 5\nmultiplayer/general/fraglimit = 1000\n");
    EXPECT_FALSE(launcher->load_settings(file, &error));
    EXPECT_NE(error.find("at most 666"), std::string::npos) << error;
    EXPECT_EQ(launcher->get_value("multiplayer", "general", "skill").value_or("?"), "2");
}

// A copied server setting stores a flag's own bits; the saved file must load again.
TEST(HostSettings, FlagBitsWrittenByThePlugInSurviveTheSettingsFile) {
    const std::string file = test_support::scratch_dir("flagbits") + "settings.txt";
    std::string error;
    {
        auto launcher = open_plugin("brannock");
        ASSERT_TRUE(launcher);
        slot<Host_SetMultiplayerInt_t>(kSlotSetMultiplayerInt)(launcher->handle(), "dmflags1", "strifefalldamage", 16);
        ASSERT_TRUE(launcher->save_settings(file, &error)) << error;
    }
    auto launcher = open_plugin("brannock");
    ASSERT_TRUE(launcher);
    ASSERT_TRUE(launcher->load_settings(file, &error)) << error;
    EXPECT_EQ(slot<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt)(launcher->handle(), "dmflags1", "strifefalldamage"), 16);
    EXPECT_FALSE(launcher->set("multiplayer", "dmflags1", "nohealth", "yes", &error));
}

TEST(HostState, FilesServersAndDatagrams) {
    auto launcher = open_plugin("brannock");
    ASSERT_TRUE(launcher);
    HostHandle h = launcher->handle();
    launcher->files = {"C:\\wads\\a.wad"};
    launcher->known_files = {{"doom2.wad", "C:\\iwads\\DOOM2.WAD"}};

    EXPECT_EQ(slot<Host_GetFileCount_t>(kSlotGetFileCount)(h), 1);
    EXPECT_EQ(text_of(slot<Host_GetFile_t>(kSlotGetFile)(h, 0)), "C:\\wads\\a.wad");
    EXPECT_EQ(slot<Host_GetFile_t>(kSlotGetFile)(h, 1), nullptr);
    EXPECT_EQ(text_of(slot<Host_FindFile_t>(kSlotFindFile)("DOOM2.wad")), "C:\\iwads\\DOOM2.WAD");
    EXPECT_EQ(slot<Host_FindFile_t>(kSlotFindFile)("tnt.wad"), nullptr);

    HostText entry = slot<Host_AddServer_t>(kSlotAddServer)(h, "10.0.0.1", "10666");
    EXPECT_EQ(text_of(entry), "10.0.0.1:10666");
    slot<Host_AddServer_t>(kSlotAddServer)(h, "10.0.0.1", "10666");
    ASSERT_EQ(launcher->servers.size(), 1u);
    ServerRef server = host::Launcher::ref(launcher->servers[0].get());
    auto set_info = slot<Host_SetServerInfo_t>(kSlotSetServerInfo);
    auto get_info = slot<Host_GetServerInfo_t>(kSlotGetServerInfo);
    set_info(server, "MAP", "MAP01");
    set_info(server, "PWAD0", "a.wad");
    set_info(server, "PWAD1", "b.pk3");
    set_info(server, "MAP", "MAP02");
    launcher->server_iwad = "doom2.wad";
    EXPECT_EQ(text_of(get_info(server, "MAP")), "MAP02");
    EXPECT_EQ(text_of(get_info(server, "NUMPWADS")), "2");
    EXPECT_EQ(text_of(get_info(server, "IWAD")), "doom2.wad");
    EXPECT_EQ(text_of(get_info(server, "ADDRESS")), "10.0.0.1");
    EXPECT_EQ(text_of(get_info(server, "PORT")), "10666");
    EXPECT_EQ(get_info(server, "WEBSITE"), nullptr);
    EXPECT_EQ(launcher->journal().back().args[0], "server:0");
    EXPECT_EQ(get_info(reinterpret_cast<ServerRef>(&launcher), "MAP"), nullptr);   // not a listed server

    std::vector<unsigned char> wire;
    launcher->on_send = [&](const host::Launcher::Datagram& d) { wire = d.data; };
    const unsigned char bytes[] = {0x00, 0xFF, 0x10};
    slot<Host_SendQuery_t>(kSlotSendQuery)(h, "master.example", "15300", bytes, 3, 0);
    ASSERT_EQ(launcher->sent.size(), 1u);
    EXPECT_EQ(launcher->sent[0].host, "master.example");
    EXPECT_EQ(launcher->sent[0].port, "15300");
    EXPECT_EQ(wire, (std::vector<unsigned char>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(launcher->journal().back().args[3], "00ff10");

    // Every text handed out stays valid while the launcher lives, however many follow it.
    for (int i = 0; i < 1000; ++i) slot<Host_GetFile_t>(kSlotGetFile)(h, 0);
    EXPECT_EQ(text_of(entry), "10.0.0.1:10666");
}

TEST(HostState, GameChoicesMessagesAndRequiredFiles) {
    auto launcher = open_plugin("brannock");
    ASSERT_TRUE(launcher);
    HostHandle h = launcher->handle();
    const std::string dir = test_support::scratch_dir("require");
    test_support::write_file(dir + "Brannock.exe", "x");

    slot<Host_RequireFile_t>(kSlotRequireFile)(dir.c_str(), "Brannock.exe");
    slot<Host_RequireFile_t>(kSlotRequireFile)(dir.c_str(), "Brannock.pk3");
    EXPECT_EQ(launcher->required_files.size(), 2u);
    EXPECT_EQ(launcher->missing_files, std::vector<std::string>{dir + "Brannock.pk3"});

    slot<Host_SetIwad_t>(kSlotSetIwad)(h, 20);
    slot<Host_SetMap_t>(kSlotSetMap)(h, "MAP11");
    slot<Host_AddPlayer_t>(kSlotAddPlayer)("Ann");
    slot<Host_AddFile_t>(kSlotAddFile)("extra.wad");
    slot<Host_SetEngineReady_t>(kSlotSetEngineReady)(h, 1);
    slot<Host_SetIwadMask_t>(kSlotSetIwadMask)(h, 0x7FFFF);
    EXPECT_EQ(slot<Host_MessageBox_t>(kSlotMessageBox)("Text", "Brannock", 0x30), 1);
    slot<Host_ReportMessage_t>(kSlotReportMessage)("Querying", 2);
    EXPECT_EQ(launcher->iwad, 20);
    EXPECT_EQ(launcher->map, "MAP11");
    EXPECT_EQ(launcher->players, std::vector<std::string>{"Ann"});
    EXPECT_EQ(launcher->files, std::vector<std::string>{"extra.wad"});
    EXPECT_EQ(launcher->engine_ready, 1);
    EXPECT_EQ(launcher->iwad_mask.value_or(0), 0x7FFFFu);
    ASSERT_EQ(launcher->message_boxes.size(), 1u);
    EXPECT_EQ(launcher->message_boxes[0].caption, "Brannock");
    EXPECT_EQ(launcher->message_boxes[0].style, 0x30u);
    EXPECT_EQ(launcher->reports.at(0).level, 2);

    // The journal file starts with what happened before it was named, load included.
    const std::string journal = dir + "journal.jsonl";
    launcher->set_journal_file(journal);
    // Plug-in texts are ANSI: the Windows code page there, UTF-8 natively.
#ifdef _WIN32
    slot<Host_AddPlayer_t>(kSlotAddPlayer)("Bo\xE9");
#else
    slot<Host_AddPlayer_t>(kSlotAddPlayer)("Bo\xC3\xA9");
#endif
    std::vector<nlohmann::json> lines;
    std::istringstream in(test_support::read_file(journal));
    for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(lines.size(), launcher->journal().size());
    EXPECT_EQ(lines.front()["name"], "Host_RequireFile");
    EXPECT_EQ(lines.back()["args"][0], "Bo\xC3\xA9");
    EXPECT_EQ(lines.back()["slot"], 23);
}

}  // namespace
