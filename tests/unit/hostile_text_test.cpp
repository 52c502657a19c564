// hostile_text_test.cpp: texts from strangers' servers and from the launcher on their way onto the
// engines' lines. A server's map, IWAD and file names and an address are one word each; player
// names stay quoted; the user's own parameters stay as written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brannock/launch_text.h"
#include "frame/frame.h"
#include "frame/helpers.h"
#include "orvento/launch_text.h"

namespace {

TEST(SingleWord, EndsAtTheFirstBlankTabOrControlByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"MAP01\t+exec\tevil.cfg", "MAP01"}, {"MAP01 +exec evil.cfg", "MAP01"},
        {"doom2.wad\r\n-file evil.wad", "doom2.wad"}, {"e1m1\x01x", "e1m1"}, {"e1m1\x7f", "e1m1"},
        {"\tMAP01", ""}, {"", ""},
        // Option characters inside one word cannot open a second argument.
        {"+exec", "+exec"}, {"-file", "-file"}, {"@evil.txt", "@evil.txt"}, {"a\"b", "a\"b"},
        // Bytes of other code pages are letters, not separators.
        {"Zo\xEB\xA0x", "Zo\xEB\xA0x"},
    };
    for (const auto& [text, word] : cases) EXPECT_EQ(frame::single_word(text), word) << text;
    const std::string longest(40000, 'm');
    EXPECT_EQ(frame::single_word(longest).size(), longest.size());
}

// Invalid UTF-16 from the launcher reaches the lines as the conversion's question marks, and a
// tab beside it still ends the word.
TEST(SingleWord, LoneSurrogatesFromTheLauncherStayInsideTheWord) {
    const char16_t map[] = {u'm', 0xD800, u'p', u'\t', u'+', u'x', 0};
    char* narrow = nullptr;
    ASSERT_EQ(ToNarrow(map, &narrow), kResultOk);
    const std::string text = narrow;
    FreeHostText(narrow);
    EXPECT_EQ(brannock::map_option(text), "+map M?P ");
}

TEST(BrannockHostileTexts, HostedServerLineTakesOneWordOfTheMap) {
    brannock::ServerGame game;
    game.iwad = "doom2.wad";
    game.map = "MAP01\t+exec\tevil.cfg";
    const std::string line = brannock::server_line(game);
    EXPECT_NE(line.find("+map MAP01 +cooperative 1 "), std::string::npos) << line;
    EXPECT_EQ(line.find("exec"), std::string::npos) << line;
    game.map = "map01\r\n-file evil.wad";
    EXPECT_EQ(brannock::server_line(game).find("evil"), std::string::npos);
}

TEST(BrannockHostileTexts, ClientLineTakesOneWordOfTheAddressAndKeepsTheParameters) {
    brannock::ClientGame game;
    game.host_address = "10.0.0.5:10666\t-file evil.wad";
    game.iwad = "doom2.wad";
    game.parameters = "-nosound  +vid_fps\t1";
    game.player_name = "\"Ann\" -file x\r\n";
    EXPECT_EQ(brannock::client_line(game),
              "-connect 10.0.0.5:10666 -iwad doom2.wad  -nosound  +vid_fps\t1 +name \"Ann -file x\"");
}

TEST(BrannockHostileTexts, ResponseFileKeepsOneWordOfEachServerText) {
    brannock::JoinGame game;
    game.iwad = "@evil.txt doom2.wad";
    game.address = "-connect";
    game.port = "10666 +exec evil.cfg";
    game.player_name = "+name";
    game.parameters = "-nosound  -width 640";
    // '@' or an option sign at the start is kept inside the one word: it cannot start another.
    EXPECT_EQ(brannock::response_file_text(game),
              "-nosound  -width 640\n-iwad @evil.txt\n+name \"+name\"\n-connect -connect:10666\n");
}

// Reads answered from a table; every other text is empty and every number 0.
class Settings final : public orvento::SettingsSource {
public:
    std::string map, parameters;
    std::string engine_text(const char* key) override { return std::string(key) == "parameters" ? parameters : ""; }
    std::string multiplayer_text(const char* group, const char* key) override {
        return std::string(group) + "/" + key == "general/map" ? map : "";
    }
    int multiplayer_int(const char*, const char*) override { return 0; }
};

TEST(OrventoHostileTexts, WarpTakesOneWordOfTheMap) {
    Settings settings;
    settings.map = "MAP07\t+exec evil.cfg";
    orvento::LaunchText text = orvento::build_launch(settings, 0, {}, std::string("10.0.0.7"));
    EXPECT_EQ(text.response, "\n-warp 07\n");
    EXPECT_EQ(text.command_line, "@doomargs.tmp -warp 07 -connect  10.0.0.7 ");

    // A map that begins with a blank gives no warp at all rather than the characters after it.
    settings.map = "\tMAP07";
    text = orvento::build_launch(settings, 0, {}, std::string("10.0.0.7"));
    EXPECT_EQ(text.response, "\n");
}

TEST(OrventoHostileTexts, JoinAddressIsOneWordAndTheParametersStayVerbatim) {
    Settings settings;
    settings.map = "MAP01";
    settings.parameters = "-nosound -config \"my doom.cfg\"";
    const orvento::LaunchText text =
        orvento::build_launch(settings, 0, {}, std::string("10.0.0.7:2342\r\n-file evil.wad"));
    EXPECT_EQ(text.command_line, "@doomargs.tmp -warp 01 -connect  10.0.0.7:2342 ");
    EXPECT_EQ(text.response, "-nosound -config \"my doom.cfg\"\n-warp 01\n");
}

}  // namespace
