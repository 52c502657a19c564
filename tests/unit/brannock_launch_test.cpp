// brannock_launch_test.cpp: the Brannock flag words, command lines and join response file.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "brannock/flag_table.h"
#include "brannock/launch_text.h"
#include "frame/engine_arguments.h"
#include "tests/support/expected_tables.h"

namespace {

using brannock::FlagWords;

// Answers flag reads from a set of (group, key) pairs that are on, and records every read.
struct FakeFlags {
    std::set<std::pair<std::string, std::string>> on;
    std::vector<std::pair<std::string, std::string>> reads;

    FlagWords words() {
        return brannock::compute_flag_words([this](const char* group, const char* key) {
            reads.emplace_back(group, key);
            return on.count({group, key}) ? 1 : 0;
        });
    }
};

FakeFlags with_group_on(const std::string& group) {
    FakeFlags flags;
    for (const auto& row : expected::kFlagRows) {
        if (row.group == group) flags.on.insert({row.group, row.key});
    }
    return flags;
}

std::size_t word_of(const expected::FlagRow& row) {
    for (std::size_t w = 0; w < std::size(expected::kFlagWords); ++w)
        if (std::string(expected::kFlagWords[w].group) == row.group) return w;
    ADD_FAILURE() << "no word for " << row.group;
    return 0;
}

TEST(BrannockFlagTable, HoldsTheEnginesItemsAndWords) {
    const auto words = brannock::flag_words();
    for (std::size_t w = 0; w < brannock::kFlagWordCount; ++w) {
        EXPECT_STREQ(words[w].group, expected::kFlagWords[w].group);
        EXPECT_STREQ(words[w].option, expected::kFlagWords[w].option);
    }
    const auto rows = brannock::flag_rows();
    ASSERT_EQ(rows.size(), std::size(expected::kFlagRows));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const expected::FlagRow& want = expected::kFlagRows[i];
        EXPECT_STREQ(rows[i].group, want.group) << i;
        EXPECT_STREQ(rows[i].key, want.key) << i;
        EXPECT_EQ(rows[i].value, want.value) << want.group << "/" << want.key;
        EXPECT_EQ(rows[i].word, word_of(want)) << want.group << "/" << want.key;
    }
}

TEST(BrannockFlagWords, EveryItemIsReadOnceInTableOrderEvenWhenOff) {
    FakeFlags flags;
    EXPECT_EQ(flags.words(), (FlagWords{0, 0, 0, 0, 0}));
    ASSERT_EQ(flags.reads.size(), std::size(expected::kFlagRows));
    for (std::size_t i = 0; i < flags.reads.size(); ++i) {
        const expected::FlagRow& want = expected::kFlagRows[i];
        EXPECT_EQ(flags.reads[i], std::make_pair(std::string(want.group), std::string(want.key))) << i;
    }
}

// Each item alone: its own value in its own word, nothing anywhere else. Two values swapped in
// the table, or an item read under another group, shows here.
TEST(BrannockFlagWords, EachItemAloneGivesItsValueInItsWord) {
    for (const expected::FlagRow& row : expected::kFlagRows) {
        FakeFlags flags;
        flags.on = {{row.group, row.key}};
        FlagWords want{};
        want[word_of(row)] = row.value;
        EXPECT_EQ(flags.words(), want) << row.group << "/" << row.key;
    }
}

TEST(BrannockFlagWords, FallDamagesAddUpAndCarry) {
    struct Case { std::vector<std::string> keys; int32_t word; };
    const Case cases[] = {
        {{"falldamage", "strifefalldamage"}, 40},
        {{"oldfalldamage", "strifefalldamage"}, 32},
        {{"oldfalldamage", "falldamage", "strifefalldamage"}, 48},
        {{"strifefalldamage"}, 24},
        {{"allowcrouch"}, 1073741824},
    };
    for (const Case& c : cases) {
        FakeFlags flags;
        for (const auto& key : c.keys) flags.on.insert({"dmflags1", key});
        EXPECT_EQ(flags.words()[0], c.word) << c.keys.front();
    }
}

TEST(BrannockFlagWords, LikeNamedItemsOfTwoGroupsAreSeparate) {
    FakeFlags only_second;
    only_second.on = {{"dmflags2", "keepteams"}};
    EXPECT_EQ(only_second.words(), (FlagWords{0, 8192, 0, 0, 0}));

    FakeFlags only_third;
    only_third.on = {{"dmflags3", "keepteams"}};
    EXPECT_EQ(only_third.words(), (FlagWords{0, 0, 128, 0, 0}));

    FakeFlags radius;
    radius.on = {{"compatflags", "oldradiusdmg"}, {"compatflags2", "oldradiussmg"}};
    EXPECT_EQ(radius.words(), (FlagWords{0, 0, 0, 16777216, 16777216}));

    FakeFlags crossdropoff;
    crossdropoff.on = {{"compatflags", "crossdropoff"}};
    EXPECT_EQ(crossdropoff.words()[3], 1073741824);
}

TEST(BrannockFlagWords, WholeGroupsOnStayInRange) {
    EXPECT_EQ(with_group_on("compatflags").words()[3], 2147483647);
    EXPECT_EQ(with_group_on("dmflags1").words()[0], 2147483639);   // 2^31 - 1 - 32 + 24
    EXPECT_EQ(with_group_on("dmflags2").words()[1], 1073741822);   // 2 .. 2^29
    EXPECT_EQ(with_group_on("dmflags3").words()[2], 8191);
    EXPECT_EQ(with_group_on("compatflags2").words()[4], 2047 + 131072 + 262144 + 524288 + 1048576 +
                                                            2097152 + 4194304 + 8388608 + 16777216 +
                                                            33554432 + 67108864);
}

TEST(BrannockFlagWords, TextHoldsAllFiveOptionsInOrder) {
    EXPECT_EQ(brannock::flag_words_text({0, 0, 0, 0, 0}),
              "+dmflags 0 +dmflags2 0 +zadmflags 0 +compatflags 0 +zacompatflags 0 ");
    EXPECT_EQ(brannock::flag_words_text({40, 8192, 128, 2147483647, 16777216}),
              "+dmflags 40 +dmflags2 8192 +zadmflags 128 +compatflags 2147483647 +zacompatflags 16777216 ");
}

brannock::ServerGame default_server() {
    brannock::ServerGame game;
    game.iwad = "doom2.wad";
    game.map = "map01";
    game.type = 0;
    game.modifier = 0;
    game.skill = 4;
    return game;
}

TEST(BrannockCommandLines, DefaultSettingsGiveTheBareServerLine) {
    EXPECT_EQ(brannock::server_line(default_server()),
              " -host -iwad doom2.wad  +masterip 0.0.0.0  -private  +sv_updatemaster 0 +map MAP01 "
              "+cooperative 1 +skill 3 +dmflags 0 +dmflags2 0 +zadmflags 0 +compatflags 0 "
              "+zacompatflags 0 ");
}

TEST(BrannockCommandLines, EveryOptionSetReachesTheServerLine) {
    brannock::ServerGame game = default_server();
    game.files = {"c:\\games\\a.wad", "c:\\games\\b.pk3"};
    game.map = "e1m1 the hangar";
    game.type = 12;
    game.modifier = 2;
    game.skill = 1;
    game.flags = {40, 8192, 0, 2147483647, 16777216};
    game.limits = {20, 10, 5, 3, 2};
    EXPECT_EQ(brannock::server_line(game),
              " -host -iwad doom2.wad  -file c:\\games\\a.wad c:\\games\\b.pk3 +masterip 0.0.0.0  -private "
              " +sv_updatemaster 0 +map E1M1 +ctf 1 +buckshot 1 +skill 0 +dmflags 40 +dmflags2 8192 "
              "+zadmflags 0 +compatflags 2147483647 +zacompatflags 16777216  +set fraglimit 20 "
              "+set timelimit 10 +set duellimit 5 +set pointlimit 3 +set winlimit 2");
}

TEST(BrannockCommandLines, OutOfRangeChoicesAddNothing) {
    brannock::ServerGame game = default_server();
    game.type = 16;
    game.modifier = 3;
    game.skill = 5;
    game.limits = {0, -1, 0, 0, 7};
    const std::string line = brannock::server_line(game);
    EXPECT_NE(line.find("+sv_updatemaster 0 +map MAP01 +skill 4 +dmflags 0"), std::string::npos);
    EXPECT_TRUE(line.ends_with("+zacompatflags 0  +set winlimit 7")) << line;
    EXPECT_EQ(brannock::game_type_text(-1), "");
    EXPECT_EQ(brannock::game_type_text(8), "+leamlms 1 ");
    EXPECT_EQ(brannock::game_type_text(15), "+domination 1 ");
    EXPECT_EQ(brannock::modifier_text(1), "+instagib 1 ");
}

TEST(BrannockCommandLines, MapIsUpperCasedAndCutAtItsFirstBlank) {
    EXPECT_EQ(brannock::detail::map_option("map01 and more words"), "+map MAP01 ");
    EXPECT_EQ(brannock::detail::map_option("E2m3"), "+map E2M3 ");
    EXPECT_EQ(brannock::detail::map_option(""), "+map  ");
    EXPECT_EQ(brannock::detail::map_option(" map01"), "+map  ");
}

TEST(BrannockCommandLines, ClientLineKeepsItsBlanks) {
    brannock::ClientGame game;
    game.host_address = "192.168.0.2:10666";
    game.iwad = "doom2.wad";
    game.player_name = "Ann";
    EXPECT_EQ(brannock::client_line(game), "-connect 192.168.0.2:10666 -iwad doom2.wad   +name \"Ann\"");

    game.files = {"a.wad", "b.pk3"};
    EXPECT_EQ(brannock::client_line(game),
              "-connect 192.168.0.2:10666 -iwad doom2.wad  -file a.wad b.pk3  +name \"Ann\"");

    game.parameters = "-nosound +vid_fps 1";
    game.iwad.clear();
    EXPECT_EQ(brannock::client_line(game),
              "-connect 192.168.0.2:10666 -iwad   -file a.wad b.pk3 -nosound +vid_fps 1 +name \"Ann\"");
}

TEST(BrannockCommandLines, PlayerNameCannotCloseItsQuotes) {
    brannock::ClientGame game;
    game.player_name = "Ann\" +exec evil.cfg \"x\r\n";
    const std::string line = brannock::client_line(game);
    EXPECT_TRUE(line.ends_with("+name \"Ann +exec evil.cfg x\"")) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2);
}

TEST(BrannockExtraFiles, ShortFormOrAFullPathTheEngineCanName) {
    EXPECT_EQ(frame::file_argument("c:\\long folder\\file.wad", std::string("C:\\LONGFO~1\\FILE.WAD")),
              "C:\\LONGFO~1\\FILE.WAD");
    EXPECT_EQ(frame::file_argument("c:\\games\\gone.wad", std::nullopt), "c:\\games\\gone.wad");
    EXPECT_EQ(frame::file_argument("c:\\my games\\gone.wad", std::nullopt), "\"c:\\my games\\gone.wad\"");
    EXPECT_EQ(frame::file_argument("c:\\my games\\x.wad", std::string(300, 'a')), "\"c:\\my games\\x.wad\"");
    EXPECT_EQ(brannock::detail::command_file_list({}), "");
    EXPECT_EQ(brannock::detail::command_file_list({"a.wad"}), " -file a.wad");
}

TEST(BrannockJoin, FileCountReadsLikePercentI) {
    const std::pair<const char*, int> cases[] = {
        {"2", 2},   {"0x10", 16}, {"010", 8},  {" 3", 3},   {"7 files", 7}, {"", 0},
        {"abc", 0}, {"-4", 0},    {"0", 0},    {"300", 255}, {"99999999999999999999", 255},
    };
    for (const auto& [text, count] : cases) EXPECT_EQ(brannock::parse_file_count(text), count) << text;
}

brannock::JoinGame plain_join() {
    brannock::JoinGame game;
    game.iwad = "doom2.wad";
    game.player_name = "Ann";
    game.address = "10.1.2.3";
    game.port = "10666";
    return game;
}

TEST(BrannockJoin, ResponseFileLines) {
    brannock::JoinGame game = plain_join();
    EXPECT_EQ(brannock::response_file_text(game), "\n-iwad doom2.wad\n+name \"Ann\"\n-connect 10.1.2.3:10666\n");

    game.parameters = "-nosound";
    game.files = std::vector<std::string>{};
    EXPECT_EQ(brannock::response_file_text(game),
              "-nosound\n-iwad doom2.wad\n-file\n+name \"Ann\"\n-connect 10.1.2.3:10666\n");

    game.files = std::vector<std::string>{"/e/A.WAD", "\"/my e/b.pk3\""};
    EXPECT_EQ(brannock::response_file_text(game),
              "-nosound\n-iwad doom2.wad\n-file /e/A.WAD \"/my e/b.pk3\"\n+name \"Ann\"\n-connect 10.1.2.3:10666\n");
}

TEST(BrannockJoin, HostileServerTextsCannotAddLines) {
    brannock::JoinGame game = plain_join();
    game.iwad = "doom2.wad\r\n+exec evil.cfg";
    game.address = "10.1.2.3\n-file evil.wad";
    game.port = "10666\r\x01\x7f";
    game.player_name = "A\"n\nn\t";
    game.files = std::vector<std::string>{"x.wad\n+rcon_password p"};
    game.parameters = "-nosound\r\n";
    const std::string text = brannock::response_file_text(game);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << text;
    // The server's IWAD, address and port end at their first control byte; the file paths the
    // launcher found and the user's parameters only lose theirs.
    EXPECT_EQ(text,
              "-nosound\n-iwad doom2.wad\n-file x.wad+rcon_password p\n+name \"Ann\"\n"
              "-connect 10.1.2.3:10666\n");
    for (char c : text) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
}

TEST(BrannockJoin, SingleLineKeepsEverythingButControlBytes) {
    EXPECT_EQ(brannock::detail::single_line("a\x1b[1mb\x7f c\xe9"), "a[1mb c\xe9");
    EXPECT_EQ(brannock::detail::clean_player_name("\"\""), "");
}

}  // namespace
