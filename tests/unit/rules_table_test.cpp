// rules_table_test.cpp: every game type and every IWAD through each place a user meets it: the
// settings page, the server list's TYPE and GAME columns, the hosted server's command line and the
// player records of a server's reply.
//
// The rows are typed in from the engine's and the launcher's own lists, not read from the
// plug-in's tables, so one wrong value in those tables fails here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brannock/game_rules.h"
#include "brannock/launch_text.h"
#include "brannock/reply_layout.h"
#include "brannock/server_list_columns.h"
#include "brannock/reply_iwad.h"
#include "brannock/server_settings.h"
#include "host/description.h"
#include "tests/support/expected_tables.h"
#include "tests/support/test_paths.h"
#include "tests/support/wire_writer.h"

namespace {

using test_support::Writer;

struct GameType {
    int number;
    const char* label;        // the multiplayer page's list; null: not on it
    const char* list_name;    // the server list's TYPE column
    const char* option;       // on the hosted server's line
    bool longer_records;      // its player records carry one more byte
};

constexpr GameType kGameTypes[] = {
    {0, "Cooperative", "Cooperative", "+cooperative 1 ", false},
    {1, "Survival", "Survival", "+survival 1 ", false},
    {2, "Invasion", "Invasion", "+invasion 1 ", true},
    {3, "Deathmatch", "Deathmatch", "+deathmatch 1 ", false},
    {4, "Teamplay", "Team Play", "+teamplay 1 ", false},
    {5, "Duel", "Duel", "+duel 1 ", false},
    {6, "Terminator", "Terminator", "+terminator 1 ", true},
    {7, "LMS", "LMS", "+lastmanstanding 1 ", false},
    {8, "Team LMS", "Team LMS", "+leamlms 1 ", false},
    {9, "Possession", "Possession", "+possession 1 ", true},
    {10, "Team Possession", "Team Possession", "+teampossession 1 ", false},
    {11, "Team Game", "Team Game", "+teamgame 1 ", true},
    {12, "CTF", "CTF", "+ctf 1 ", false},
    {13, "One Flag CTF", "One Flag CTF", "+oneflagctf 1 ", false},
    {14, "Skulltag", "Skulltag", "+skulltag 1 ", false},
    {15, "Domination", "Domination", "+domination 1 ", false},
    {16, nullptr, "Unknown", "", false},   // any other number
};

Writer reply_head(uint32_t flags) {
    Writer w;
    w.u32(brannock::kServerReplyMagic).text("1.2").u32(flags);
    return w;
}

// The server list's value under `key`, "<absent>" without one.
std::string column(const std::vector<unsigned char>& decoded, const std::string& key) {
    brannock::ReplyFields reply;
    EXPECT_EQ(brannock::walk_reply(decoded, brannock::kListReading, &reply), brannock::ReplyRead::complete);
    std::string value = "<absent>";
    brannock::server_properties(reply, [&](const char* k, const char* v) {
        if (k == key) value = v;
    });
    return value;
}

// What the settings copy hands the launcher of the players and the IWAD; nothing else is kept.
struct Copied final : brannock::SettingsSink {
    std::vector<std::string> players;
    int iwad = 0;
    Copied() : SettingsSink(ignore_int, nullptr) {}
    static void SDLL_CALL ignore_int(void*, const char*, const char*, int) {}
    void set_string(const char*, const char*, const char*) override {}
    void set_map(const char*) override {}
    void add_file(const char*) override {}
    void report_message(const char*, int) override {}
    void set_iwad(int number) override { iwad = number; }
    void add_player(const char* name) override { players.push_back(name); }
};

Copied copy_settings(const std::vector<unsigned char>& decoded) {
    brannock::ReplyFields reply;
    const brannock::ReplyRead read = brannock::walk_reply(decoded, brannock::kSettingsReading, &reply);
    Copied copied;
    EXPECT_EQ(brannock::write_game_settings(read, reply, copied), 1);
    return copied;
}

// Two players of a game of `type`, laid out as the engine's servers send them: name, u16, u16,
// u8, u8, the one more byte where `longer`, u8. No byte is 0, so a record read one byte too long
// or too short shows in the next name.
std::vector<unsigned char> two_players(int type, bool longer) {
    Writer w = reply_head(0x80 | 0x80000 | 0x100000);
    w.u8(type).zeros(4).zeros(12).u8(2);
    for (const char* name : {"Bob", "Ann"}) {
        w.text(name).u16(0x4141).u16(0x4242).u8('C').u8('D');
        if (longer) w.u8('T');
        w.u8('E');
    }
    return w.bytes;
}

TEST(RulesTable, EveryGameTypeOnThePageTheListTheServerLineAndThePlayerRecords) {
    host::Description page;
    std::string error;
    ASSERT_TRUE(host::parse_description(test_support::read_file(test_support::source_file("brannock/brannock.cfg")),
                                        &page, &error))
        << error;
    const host::Item* type_item = page.item("multiplayer", "general", "type");
    ASSERT_NE(type_item, nullptr);
    EXPECT_EQ(type_item->list.size(), 16u);

    for (const GameType& t : kGameTypes) {
        SCOPED_TRACE("game type " + std::to_string(t.number));
        const std::string label = t.label ? t.label : "<none>";
        const host::ListRow* row = type_item->row(std::to_string(t.number));
        EXPECT_EQ(row ? row->label : "<none>", label);
        // The game-rules table keeps the page's label beside the type's other faces.
        const brannock::GameRule* rule = brannock::game_rule(t.number);
        EXPECT_EQ(rule ? std::string(rule->label) : "<none>", label);

        Writer listed = reply_head(0x80 | 0x200);
        listed.u8(t.number).zeros(4).text("doom2.wad");
        EXPECT_EQ(column(listed.bytes, "TYPE"), t.list_name);
        EXPECT_EQ(column(listed.bytes, "GAME"), std::string("Doom 2 ") + t.list_name);

        brannock::ServerGame game;
        game.iwad = "doom2.wad";
        game.map = "map01";
        game.type = t.number;
        const std::string line = brannock::server_line(game);
        EXPECT_NE(line.find(std::string("+map MAP01 ") + t.option + "+skill 3 "), std::string::npos) << line;

        EXPECT_EQ(copy_settings(two_players(t.number, t.longer_records)).players,
                  (std::vector<std::string>{"Bob", "Ann"}));
    }
    // Without a game type the records are the short ones.
    Writer untyped = reply_head(0x80000 | 0x100000);
    untyped.zeros(12).u8(1).text("Bob").u16(0x4141).u16(0x4242).u8('C').u8('D').u8('E');
    EXPECT_EQ(copy_settings(untyped.bytes).players, std::vector<std::string>{"Bob"});
}

// The GAME column's prefix and the IWAD number the settings copy selects, for each IWAD name a
// server may send, in any case; any other name is shown in parentheses and selects number 20.
TEST(RulesTable, EveryIwadInTheGameColumnAndTheSettingsCopy) {
    for (const expected::Iwad& iwad : expected::kIwads) {
        std::string upper = iwad.file;
        for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        for (const std::string& sent : {std::string(iwad.file), upper}) {
            SCOPED_TRACE(sent);
            Writer w = reply_head(0x200);
            w.text(sent);
            EXPECT_EQ(column(w.bytes, "GAME"), std::string(iwad.game) + "Unknown");
            EXPECT_EQ(copy_settings(w.bytes).iwad, iwad.number);
        }
    }
    Writer other = reply_head(0x200);
    other.text("mygame.wad");
    EXPECT_EQ(column(other.bytes, "GAME"), "(mygame.wad) Unknown");
    EXPECT_EQ(copy_settings(other.bytes).iwad, 20);
}

}  // namespace
