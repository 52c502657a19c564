// browser_test.cpp: the server-browser readers: master list, server list columns, game settings.
//
// Replies are written byte by byte here, as the engine's servers lay them out, so a layout
// mistake shared by the readers and the simulator still shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "brannock/byte_cursor.h"
#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/master_list.h"
#include "brannock/reply_layout.h"
#include "brannock/server_list_columns.h"
#include "brannock/reply_iwad.h"
#include "brannock/server_settings.h"
#include "tests/support/expected_tables.h"
#include "tests/support/wire_writer.h"

using namespace brannock;

namespace {

using Bytes = std::vector<unsigned char>;

using test_support::Writer;

// Magic, version text and flag word.
Writer reply_head(uint32_t flags) {
    Writer w;
    w.u32(kServerReplyMagic).text("1.2").u32(flags);
    return w;
}

std::vector<std::pair<std::string, std::string>> props(const Bytes& decoded) {
    ReplyFields reply;
    EXPECT_EQ(walk_reply(decoded, kListReading, &reply), ReplyRead::complete);
    std::vector<std::pair<std::string, std::string>> out;
    server_properties(reply, [&](const char* key, const char* value) { out.emplace_back(key, value); });
    return out;
}

std::string prop(const Bytes& decoded, const std::string& key) {
    for (auto& [k, v] : props(decoded)) {
        if (k == key) return v;
    }
    return "<absent>";
}

// What the settings copy wrote, gathered back by field.
struct Written {
    std::optional<std::string> map;
    std::optional<std::vector<std::string>> pwads;   // absent: the launcher was told there are none
    std::optional<int> type;
    std::vector<int> modifiers;
    std::optional<int> iwad;
    std::optional<int> skill;                        // as written: counted from 1
    std::optional<Limits> limits;
    std::vector<std::string> players;
    std::vector<std::pair<std::string, int>> flags;  // "group/key", value
    std::optional<FlagWords> flag_words;             // as walked
};

class Recorder final : public SettingsSink {
public:
    explicit Recorder(Written* out) : SettingsSink(record_int, this), out_(out) {}
    void set_string(const char* group, const char* key, const char* value) override {
        EXPECT_EQ(std::string(group) + "/" + key, "general/map");
        out_->map = value;
    }
    void set_map(const char* map) override { EXPECT_EQ(out_->map, map); }
    void add_file(const char* file) override {
        if (!out_->pwads) out_->pwads.emplace();
        out_->pwads->push_back(file);
    }
    void report_message(const char* text, int level) override {
        EXPECT_EQ(level, kSettingsMessageLevel);
        if (std::string(text) == "No PWAD information included in packet") told_no_pwads_ = true;
    }
    static void SDLL_CALL record_int(void* self, const char* group, const char* key, int value) {
        Written* out = static_cast<Recorder*>(self)->out_;
        const std::string k = key;
        if (std::string(group) != frame::setting::general) {
            out->flags.emplace_back(std::string(group) + "/" + k, value);
            return;
        }
        if (k == "type") out->type = value;
        else if (k == "modifier") out->modifiers.push_back(value);
        else if (k == "skill") out->skill = value;
        for (std::size_t i = 0; i < std::size(expected::kLimitKeys); ++i) {
            if (k != expected::kLimitKeys[i]) continue;
            if (!out->limits) out->limits.emplace();
            (*out->limits)[i] = value;
        }
    }
    void set_iwad(int number) override { out_->iwad = number; }
    void add_player(const char* name) override { out_->players.push_back(name); }

    bool told_no_pwads_ = false;

private:
    Written* out_;
};

Written settings_of(const Bytes& decoded) {
    ReplyFields reply;
    const ReplyRead read = walk_reply(decoded, kSettingsReading, &reply);
    EXPECT_EQ(read, ReplyRead::complete);
    Written s;
    Recorder recorder(&s);
    EXPECT_EQ(write_game_settings(read, reply, recorder), 1);
    if (!recorder.told_no_pwads_ && !s.pwads) s.pwads.emplace();
    if (reply.has(Row::flag_words)) s.flag_words = reply_flag_words(reply);
    return s;
}

ReplyRead settings_read(const Bytes& decoded) {
    ReplyFields reply;
    return walk_reply(decoded, kSettingsReading, &reply);
}

Bytes decode(const Bytes& packet, std::size_t area_size) {
    Bytes area(area_size);
    const auto decoded = decode_datagram(packet.data(), static_cast<int>(packet.size()), area);
    return Bytes(decoded.begin(), decoded.end());
}

struct Listed {
    MasterStatus status;
    struct Entry {
        std::string address, port;
    };
    std::vector<Entry> entries;
};
Listed read_list(const Bytes& decoded) {
    Listed list;
    list.status = read_master_list(decoded, [&](const char* address, const char* port) {
        list.entries.push_back({address, port});
    });
    return list;
}

// A reply carrying every field both readings share, laid out so both read it alike.
Bytes full_reply(uint8_t game_type = 3) {
    const uint32_t flags = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x800 |
                           0x1000 | 0x2000 | 0x08000000 | 0x10000 | 0x20000 | 0x80000 | 0x100000;
    Writer w = reply_head(flags);
    w.text("Fragfest").text("http://example.org").text("ops@example.org").text("map01");
    w.u8(16).u8(8);
    w.u8(2).text("Foo.WAD").text("bar.pk3");
    w.u8(game_type).u8(1).u8(0).u8(0).u8(0);
    w.text("Brannock").text("DOOM2.WAD").u8(0).u8(1).u8(2).u8(3);
    w.zeros(12);
    w.u16(20).u16(15).u16(600).u16(0).u16(0).u16(5);
    w.u32(0);
    w.u8(2);
    w.text("\x1c" "aBob").u16(12).u16(50).u8(0).u8(0);
    if (game_type == 2 || game_type == 6 || game_type == 9 || game_type == 11) w.u8(1);
    w.u8(0);
    w.text("Ann").u16(3).u16(70).u8(0).u8(0);
    if (game_type == 2 || game_type == 6 || game_type == 9 || game_type == 11) w.u8(0);
    w.u8(0);
    w.u32(0x10).u32(0x2000).u32(0x80).u32(0x40000000).u32(0x1000000);
    return w.bytes;
}

}  // namespace

TEST(ByteCursor, ReadsLittleEndianAndStopsForGoodAtTheEnd) {
    const Bytes data = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xAA};
    ByteCursor c(data);
    EXPECT_EQ(c.u8(), 0x01);
    EXPECT_EQ(c.u16(), 0x1234);
    EXPECT_EQ(c.u32(), 0x12345678u);
    EXPECT_EQ(c.u16(), 0);        // one byte left: fails
    EXPECT_FALSE(c.ok());
    EXPECT_EQ(c.u8(), 0);         // and stays failed, though one byte is there
    EXPECT_EQ(c.position(), 7u);
    EXPECT_EQ(c.remaining(), 0u);
    c.skip_at_most(1);            // neither moves a failed cursor
    c.seek(0);
    EXPECT_EQ(c.position(), 7u);
    EXPECT_FALSE(c.ok());
}

TEST(ByteCursor, TextsAreCutButPassedWholeAndNeedTheirZeroByte) {
    const Bytes data = {'a', 'b', 'c', 'd', 0, 'x', 0, 'y', 'z'};
    ByteCursor c(data);
    EXPECT_EQ(c.text(2), "ab");
    EXPECT_EQ(c.text(10), "x");
    EXPECT_TRUE(c.ok());
    EXPECT_EQ(c.text(10), "");    // "yz" has no zero byte inside the data
    EXPECT_FALSE(c.ok());

    ByteCursor skip(data);
    skip.skip_at_most(100);
    EXPECT_TRUE(skip.ok());
    EXPECT_EQ(skip.remaining(), 0u);
    skip.seek(10);
    EXPECT_FALSE(skip.ok());
}

// Texts are found a word at a time: the zero byte must be found wherever it lies in a word, after
// bytes of 0x01 and 0x80..0xFF (which a word-wide test can mistake for zeros above a real one),
// and a text running to the data's end has none.
TEST(ByteCursor, ZeroByteFoundAtEveryOffset) {
    for (unsigned char filler : {'a', '\x01', '\x80', '\xFF'}) {
        for (std::size_t size = 0; size <= 20; ++size) {
            for (std::size_t zero = 0; zero <= size; ++zero) {
                Bytes data(size, filler);
                if (zero < size) data[zero] = 0;
                if (zero + 1 < size) data[zero + 1] = 0x01;   // a byte right above the zero
                EXPECT_EQ(zero_offset(data.data(), size), zero) << int(filler) << " " << size << " " << zero;
            }
        }
    }
}

TEST(Datagram, ChallengeIsTheCodedLauncherQuery) {
    codec::HuffmanInit();
    EXPECT_EQ(challenge_packet(), (Bytes{0x05, 0xB8, 0x49, 0x02}));
    const Bytes packet = challenge_packet();
    EXPECT_EQ(decode(packet, kServerReplyArea), (Bytes{0xC7, 0, 0, 0}));
    unsigned char area[8];
    EXPECT_TRUE(decode_datagram(nullptr, 4, area).empty());
    EXPECT_TRUE(decode_datagram(packet.data(), -1, area).empty());
    EXPECT_TRUE(decode_datagram(packet.data(), 4, std::span<unsigned char>()).empty());
}

TEST(Datagram, DecodingStopsAtTheArea) {
    codec::HuffmanInit();
    Bytes raw(100, 0x41);
    raw.insert(raw.begin(), 0xFF);
    EXPECT_EQ(decode(raw, 10).size(), 10u);
}

TEST(MasterList, ReadsRecordsUntilTheEndMarker) {
    const Bytes one = {0, 0, 0, 0, 0x01, 0xC0, 0xA8, 0x01, 0x02, 0xA6, 0x29, 0x02, 0x01, 1, 2, 3, 4, 5, 6};
    const Listed list = read_list(one);
    EXPECT_EQ(list.status, MasterStatus::list);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].address, "192.168.1.2");
    EXPECT_EQ(list.entries[0].port, "10662");

    // Ports and address parts are unsigned.
    const Bytes high = {0, 0, 0, 0, 0x00, 0xDF, 0x80, 0x00, 0x01, 0x00, 0xC8, 0x02};
    ASSERT_EQ(read_list(high).entries.size(), 1u);
    EXPECT_EQ(read_list(high).entries[0].address, "223.128.0.1");
    EXPECT_EQ(read_list(high).entries[0].port, "51200");
}

TEST(MasterList, ListWithoutEndMarkerKeepsEveryWholeRecord) {
    EXPECT_TRUE(read_list(Bytes{0, 0, 0, 0, 0x01, 0x0A, 0x00, 0x00, 0x01, 0xA6}).entries.empty());
    const Bytes two_and_a_half = {0, 0, 0, 0, 1, 10, 0, 0, 1, 0x10, 0, 1, 10, 0, 0, 2, 0x11, 0, 1, 10, 0};
    const Listed list = read_list(two_and_a_half);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[1].address, "10.0.0.2");
    EXPECT_EQ(list.entries[1].port, "17");
    EXPECT_TRUE(read_list(Bytes{0, 0, 0, 0}).entries.empty());
}

TEST(MasterList, StatusOtherThanAListAddsNothing) {
    const Bytes outdated = {0x6F, 0x57, 0, 0, 1, 10, 0, 0, 1, 0x10, 0, 2};
    EXPECT_EQ(read_list(outdated).status, MasterStatus::outdated);
    EXPECT_TRUE(read_list(outdated).entries.empty());
    const Bytes other = {1, 0, 0, 0, 1, 10, 0, 0, 1, 0x10, 0, 2};
    EXPECT_EQ(read_list(other).status, MasterStatus::ignored);
    EXPECT_TRUE(read_list(other).entries.empty());
    EXPECT_EQ(read_list(Bytes{0, 0, 0}).status, MasterStatus::ignored);
}

TEST(ServerInfo, NameAndMapOnly) {
    const Bytes reply = reply_head(0x9).text("My Server").text("map07").bytes;
    using P = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(props(reply), (P{{"MAP", "MAP07"}, {"TYPE", "Unknown"}, {"ICON", "13"}, {"", "My Server"}}));
}

TEST(ServerInfo, EveryColumnOfAFullReplyInCallOrder) {
    using P = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(props(full_reply()), (P{{"WEBSITE", "http://example.org"},
                                      {"EMAIL", "ops@example.org"},
                                      {"LIMIT", "8"},
                                      {"PWAD0", "foo.wad"},
                                      {"PWAD1", "bar.pk3"},
                                      {"MAP", "MAP01 - foo.wad, bar.pk3"},
                                      {"TYPE", "Deathmatch"},
                                      {"GAME", "Doom 2 Deathmatch"},
                                      {"ICON", "14"},
                                      {"USERS", "2"},
                                      {"", "Fragfest"}}));
}

// Without a map each PWAD column is its name alone, lower-cased.
TEST(ServerInfo, PwadColumnsWithoutAMapStandAlone) {
    const Bytes reply = reply_head(0x40).u8(2).text("A.WAD").text("b.pk3").bytes;
    EXPECT_EQ(prop(reply, "PWAD0"), "a.wad");
    EXPECT_EQ(prop(reply, "PWAD1"), "b.pk3");
    EXPECT_EQ(prop(reply, "MAP"), "<absent>");
}

TEST(ServerInfo, EmptyPwadListAddsNoSeparator) {
    const Bytes reply = reply_head(0x8 | 0x40).text("e1m1").u8(0).bytes;
    EXPECT_EQ(prop(reply, "MAP"), "E1M1");
    EXPECT_EQ(prop(reply, "PWAD0"), "<absent>");
}

TEST(ServerInfo, GamePrefixComesFromTheNormalisedIwad) {
    auto game = [](const std::string& iwad, int type) {
        Writer w = reply_head(type >= 0 ? 0x80 | 0x200 : 0x200);
        if (type >= 0) w.u8(type).zeros(4);
        w.text(iwad);
        return prop(w.bytes, "GAME");
    };
    EXPECT_EQ(game("DOOM2.WAD", 3), "Doom 2 Deathmatch");
    EXPECT_EQ(game("iwads/doom2.wad", 3), "(iwadsdoom2.wad) Deathmatch");
    EXPECT_EQ(game("freedoom2.wad", 0), "(freedoom2.wad) Cooperative");
    EXPECT_EQ(game("mygame.wad", -1), "(mygame.wad) Unknown");
    EXPECT_EQ(game("MEGAGAME.PK3", 15), "MM8BDM Domination");
    EXPECT_EQ(game("doom2.wad", 16), "Doom 2 Unknown");
}

TEST(ServerInfo, IwadNamesOfEveryLength) {
    EXPECT_EQ(normalise_iwad("ab").view(), ".wad");
    EXPECT_EQ(normalise_iwad("a.b").view(), ".wad");
    EXPECT_EQ(normalise_iwad("").view(), ".wad");
    EXPECT_EQ(normalise_iwad("C:\\Games\\HEXEN.WAD").view(), "c:gameshexen.wad");
    // An IWAD name over the area is cut to 255 bytes before it is worked on.
    const std::string long_name(400, 'q');
    const Bytes reply = reply_head(0x200).text(long_name).bytes;
    EXPECT_EQ(prop(reply, "GAME"), "(" + std::string(252, 'q') + ".wad) Unknown");
}

TEST(ServerInfo, IconAndTypeDefaults) {
    EXPECT_EQ(prop(reply_head(0x400 | 0x800).u8(0).u8(1).bytes, "ICON"), "14");
    EXPECT_EQ(prop(reply_head(0x400).u8(7).bytes, "ICON"), "14");
    EXPECT_EQ(prop(reply_head(0).bytes, "ICON"), "13");
    EXPECT_EQ(prop(reply_head(0x80).u8(16).zeros(4).bytes, "TYPE"), "Unknown");
    EXPECT_EQ(prop(reply_head(0).bytes, ""), "");
}

TEST(ServerInfo, LimitsBlockIsTenOrTwelveBytes) {
    const uint32_t flags = 0x10000 | 0x80000;
    EXPECT_EQ(prop(reply_head(flags).u16(10).u16(0).u16(1).u16(2).u16(3).u8(6).bytes, "USERS"), "6");
    EXPECT_EQ(prop(reply_head(flags).u16(10).u16(5).u16(9).u16(1).u16(2).u16(3).u8(7).bytes, "USERS"), "7");
}

TEST(ServerInfo, TwelveBytesOnlyWithTheirBit) {
    EXPECT_EQ(prop(reply_head(0x08000000 | 0x80000).zeros(12).u8(4).bytes, "USERS"), "4");
    EXPECT_EQ(prop(reply_head(0x80000).u8(4).bytes, "USERS"), "4");
}

TEST(ServerInfo, LongServerNameIsCutAndTheRestStillRead) {
    const std::string name(600, 'n');
    const Bytes reply = reply_head(0x1 | 0x8).text(name).text("map02").bytes;
    EXPECT_EQ(prop(reply, ""), std::string(511, 'n'));
    EXPECT_EQ(prop(reply, "MAP"), "MAP02");
}

TEST(ServerInfo, ColourCodesInTheNameStay) {
    EXPECT_EQ(prop(reply_head(0x1).text("\x1c" "aRed").bytes, ""), "\x1c" "aRed");
}

TEST(ServerInfo, ForeignAndCutShortRepliesGiveNothing) {
    ReplyFields reply;
    Bytes wrong = full_reply();
    wrong[0] ^= 1;
    EXPECT_EQ(walk_reply(wrong, kListReading, &reply), ReplyRead::foreign);
    EXPECT_EQ(walk_reply(Bytes{0x77, 0x5D}, kListReading, &reply), ReplyRead::foreign);
    const Bytes no_zero = reply_head(0x1).bytes;
    Bytes name_without_end = no_zero;
    name_without_end.push_back('x');
    EXPECT_EQ(walk_reply(name_without_end, kListReading, &reply), ReplyRead::truncated);
    EXPECT_FALSE(reply.has(Row::name));
    // A PWAD count larger than the list.
    EXPECT_EQ(walk_reply(reply_head(0x40).u8(3).text("a.wad").bytes, kListReading, &reply), ReplyRead::truncated);
}

TEST(ServerSettings, MapOnlyReplyIsWholeWithoutTheTwelveBytes) {
    const Written s = settings_of(reply_head(0x8).text("e1m1").bytes);
    EXPECT_EQ(s.map, "E1M1");
    EXPECT_FALSE(s.pwads);
    EXPECT_FALSE(s.type);
    EXPECT_FALSE(s.iwad);
    EXPECT_FALSE(s.skill);
    EXPECT_FALSE(s.limits);
    EXPECT_TRUE(s.players.empty());
    EXPECT_FALSE(s.flag_words);
    EXPECT_TRUE(s.flags.empty());

    // A field announced after the twelve bytes needs them.
    EXPECT_EQ(settings_read(reply_head(0x8 | 0x80000).text("e1m1").zeros(11).bytes), ReplyRead::truncated);
    EXPECT_EQ(settings_read(reply_head(0x8 | 0x80000).text("e1m1").zeros(12).u8(0).bytes), ReplyRead::complete);
}

TEST(ServerSettings, FullReply) {
    const Written s = settings_of(full_reply());
    EXPECT_EQ(s.map, "MAP01");
    EXPECT_EQ(s.pwads, (std::vector<std::string>{"foo.wad", "bar.pk3"}));
    EXPECT_EQ(s.type, 3);
    EXPECT_EQ(s.modifiers, (std::vector<int>{0, 1}));
    EXPECT_EQ(s.iwad, 4);
    EXPECT_EQ(s.skill, 3);   // 2 on the wire
    ASSERT_TRUE(s.limits);
    EXPECT_EQ((*s.limits)[0], 20);
    EXPECT_EQ((*s.limits)[1], 15);
    EXPECT_EQ((*s.limits)[2], 0);
    EXPECT_EQ((*s.limits)[4], 5);
    EXPECT_EQ(s.players, (std::vector<std::string>{"Bob", "Ann"}));
    ASSERT_TRUE(s.flag_words);
    EXPECT_EQ(*s.flag_words, (FlagWords{0x10, 0x2000, 0x80, 0x40000000, 0x1000000}));
    EXPECT_EQ(s.flags.size(), std::size(expected::kFlagRows));
}

TEST(ServerSettings, GameTypeModifierSkillAndIwadDecisions) {
    EXPECT_EQ(detail::game_type_setting({20, 0, 0}), 0);
    EXPECT_EQ(detail::game_type_setting({15, 0, 0}), 15);
    auto steps = [](const detail::GameTypeBlock& game) {
        const detail::ModifierSteps m = detail::modifier_steps(game);
        return std::vector<int>(m.begin(), m.end());
    };
    // Only a byte of exactly 1 turns its modifier on.
    const std::pair<detail::GameTypeBlock, std::vector<int>> modifiers[] = {
        {{0, 0, 0}, {0}},    {{0, 1, 0}, {0, 1}}, {{0, 0, 1}, {0, 2}},       {{0, 1, 1}, {0, 1, 2}},
        {{0, 2, 0}, {0}},    {{0, 0, 2}, {0}},    {{0, 255, 255}, {0}},      {{0, 2, 1}, {0, 2}},
    };
    for (const auto& [block, expected_steps] : modifiers)
        EXPECT_EQ(steps(block), expected_steps) << int(block.instagib) << " " << int(block.buckshot);
    EXPECT_EQ(settings_of(reply_head(0x1000).u8(3).bytes).skill, 4);
    auto iwad = [](const std::string& name) { return *settings_of(reply_head(0x200).text(name).bytes).iwad; };
    EXPECT_EQ(iwad("HERETIC1.WAD"), 10);
    EXPECT_EQ(iwad("heretic.wad"), 9);
    EXPECT_EQ(iwad("mygame.pk3"), 20);
    EXPECT_EQ(iwad("x"), 20);
}

TEST(ServerSettings, PlayerNamesLoseColourCodesAndAreCut) {
    const uint32_t flags = 0x80000 | 0x100000;
    Writer w = reply_head(flags);
    w.zeros(12).u8(2);
    w.text("\x1c" "aBob").zeros(7);
    w.text(std::string(300, 'p')).zeros(7);
    EXPECT_EQ(settings_of(w.bytes).players, (std::vector<std::string>{"Bob", std::string(255, 'p')}));
}

TEST(ServerSettings, VersionTextIsTakenFromOffsetFive) {
    // The byte at offset 4 is passed whatever it is, even a zero that would end an empty text.
    for (const uint8_t fifth : {uint8_t{0}, uint8_t{'1'}}) {
        Writer w;
        w.u32(kServerReplyMagic).u8(fifth).text("x").u32(0x8).text("e1m1");
        EXPECT_EQ(settings_of(w.bytes).map, "E1M1") << int(fifth);
    }
}

TEST(ServerSettings, TeamScoresFieldSizeDiffersBetweenTheReadings) {
    // Three bytes here, four in the server list: the list reads 'a' (97) as the player count.
    const uint32_t flags = 0x08000000 | 0x40000 | 0x80000 | 0x100000;
    Writer w = reply_head(flags);
    w.zeros(12).u8(1).u8(2).u8(3).u8(2);
    w.text("a").zeros(7).text("b").zeros(7);
    w.zeros(20);
    EXPECT_EQ(prop(w.bytes, "USERS"), "97");
    EXPECT_EQ(settings_of(w.bytes).players, (std::vector<std::string>{"a", "b"}));
}

// A server's words copied back into the items: each item alone in its word turns on that item
// (and, for the fall damages, the items whose bits it shares), checked against the engine's
// values typed in independently of the plug-in's table.
TEST(ServerSettings, FlagItemsCarryTheMaskedBits) {
    for (std::size_t w = 0; w < std::size(expected::kFlagWords); ++w) {
        for (const expected::FlagRow& on : expected::kFlagRows) {
            if (on.group != std::string(expected::kFlagWords[w].group)) continue;
            std::array<uint32_t, 5> words{};
            words[w] = static_cast<uint32_t>(on.value);
            Writer reply = reply_head(0x08000000).zeros(12);
            for (uint32_t word : words) reply.u32(word);
            const Written s = settings_of(reply.bytes);
            ASSERT_EQ(s.flags.size(), std::size(expected::kFlagRows));
            for (std::size_t i = 0; i < s.flags.size(); ++i) {
                const expected::FlagRow& row = expected::kFlagRows[i];
                const bool same_word = row.group == std::string(on.group);
                // strifefalldamage is 8 + 16, on exactly when those two are: its own item stays 0.
                const bool own_bits = row.key != std::string("strifefalldamage");
                EXPECT_EQ(s.flags[i].first, std::string(row.group) + "/" + row.key);
                EXPECT_EQ(s.flags[i].second, same_word && own_bits ? (row.value & on.value) : 0)
                    << on.group << "/" << on.key << " on, item " << row.group << "/" << row.key;
            }
        }
    }
}

// Every cut of a whole reply ends normally, and none reads as more than it holds; exact-size
// copies let the address sanitizer see any read past the data.
TEST(ServerReplies, EveryTruncationIsReadSafely) {
    const Bytes whole = full_reply(9);
    // The server list stops reading at the player count; after it come two players of a team
    // game (14 + 12 bytes) and the five flag words (20), which only the settings copy reads.
    const std::size_t list_end = whole.size() - 46;
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        ReplyFields listed_fields;
        const ReplyRead listed = walk_reply(part, kListReading, &listed_fields);
        if (cut < 4) EXPECT_EQ(listed, ReplyRead::foreign) << cut;
        else EXPECT_EQ(listed, cut < list_end ? ReplyRead::truncated : ReplyRead::complete) << cut;
        ReplyFields copy_fields;
        const ReplyRead copied = walk_reply(part, kSettingsReading, &copy_fields);
        EXPECT_EQ(copied == ReplyRead::complete, cut == whole.size()) << cut;
        Written written;
        Recorder recorder(&written);
        EXPECT_EQ(write_game_settings(copied, copy_fields, recorder), cut == whole.size() ? 1 : 0) << cut;
        EXPECT_EQ(written.map.has_value(), cut == whole.size()) << cut;
        const Listed master = read_list(part);
        EXPECT_EQ(master.status, MasterStatus::ignored) << cut;
        EXPECT_TRUE(master.entries.empty()) << cut;
    }
}

// The simulator's seed replies (tests/fuzz/corpus) read as the demo scenario made them: its
// master's list whole and in two parts and its outdated answer, its three sound servers, the one
// cut short and the one with the wrong magic.
TEST(ServerReplies, SeedCorpusReplays) {
    codec::HuffmanInit();
    const std::filesystem::path corpus = std::filesystem::path(__FILE__).parent_path().parent_path() / "fuzz" / "corpus";
    auto decoded = [&](const char* target, const char* name, std::size_t area) {
        std::ifstream in(corpus / target / name, std::ios::binary);
        EXPECT_TRUE(in) << target << "/" << name;
        const Bytes packet((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return decode(packet, area);
    };

    std::vector<std::string> listed;
    auto listed_of = [&](std::initializer_list<const char*> names) {
        listed.clear();
        for (const char* name : names) {
            const Listed list = read_list(decoded("master_response", name, kMasterReplyArea));
            EXPECT_EQ(list.status, MasterStatus::list) << name;
            for (const Listed::Entry& e : list.entries) listed.push_back(e.address + ":" + e.port);
        }
        return listed;
    };
    const std::vector<std::string> six = {"127.0.0.1:10666", "127.0.0.1:10667", "127.0.0.1:10668",
                                          "127.0.0.1:10669", "127.0.0.1:10670", "127.0.0.1:10671"};
    EXPECT_EQ(listed_of({"master0_0", "master0_1"}), six);
    EXPECT_EQ(listed_of({"master1_0", "master1_1"}), six);
    EXPECT_EQ(read_list(decoded("master_response", "master2_0", kMasterReplyArea)).status, MasterStatus::outdated);

    const std::pair<const char*, ReplyRead> servers[] = {
        {"fragfest", ReplyRead::complete}, {"coop", ReplyRead::complete},
        {"ctf", ReplyRead::complete},      {"cut_short", ReplyRead::truncated},
        {"wrong_magic", ReplyRead::foreign},
    };
    for (const auto& [name, outcome] : servers) {
        ReplyFields listed_fields;
        EXPECT_EQ(walk_reply(decoded("server_response", name, kServerReplyArea), kListReading, &listed_fields), outcome)
            << name;
        ReplyFields copy_fields;
        EXPECT_EQ(walk_reply(decoded("server_gamesettings", name, kServerReplyArea), kSettingsReading, &copy_fields),
                  outcome)
            << name;
    }
    EXPECT_EQ(prop(decoded("server_response", "fragfest", kServerReplyArea), ""), "Fragfest Central");
}
