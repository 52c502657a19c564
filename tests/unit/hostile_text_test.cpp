// hostile_text_test.cpp: texts from strangers' servers and from the launcher on their way onto the
// engines' lines. A server's map, IWAD and file names and an address are one word each, and none
// that would start an option; a file is one argument; player names stay quoted; the user's own
// parameters stay as written.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include "platform/posix/windows_arguments.h"
#endif

#include "brannock/launch_text.h"
#include "frame/engine_arguments.h"
#include "frame/launcher_text.h"
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
    ASSERT_EQ(frame::ToNarrow(map, &narrow), frame::kResultOk);
    const std::string text = narrow;
    frame::FreeHostText(narrow);
    EXPECT_EQ(brannock::detail::map_option(text), "+map M?P ");
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
    game.iwad = "doom2.wad +exec evil.cfg";
    game.address = "10.0.0.1\t-file evil.wad";
    game.port = "10666 +exec evil.cfg";
    game.player_name = "+name";
    game.parameters = "-nosound  -width 640";
    EXPECT_EQ(brannock::response_file_text(game),
              "-nosound  -width 640\n-iwad doom2.wad\n+name \"+name\"\n-connect 10.0.0.1:10666\n");
    // A word that would start an option of its own is left out; the IWAD line stays, as for an
    // IWAD the launcher does not know.
    game.iwad = "+quit";
    game.address = "@evil.txt";
    game.port = "-file";
    EXPECT_EQ(brannock::response_file_text(game), "-nosound  -width 640\n-iwad \n+name \"+name\"\n-connect :\n");
    // The IWAD is a plain file name: a path gives its last component, a device nothing.
    for (const auto& [iwad, line] : {std::pair<std::string, std::string>{"\\\\evil.example\\share\\doom2.wad", "-iwad doom2.wad\n"},
                                     {"../../doom2.wad", "-iwad doom2.wad\n"}, {"nul.wad", "-iwad \n"}}) {
        game.iwad = iwad;
        EXPECT_NE(brannock::response_file_text(game).find(line), std::string::npos) << iwad;
    }
}

// What Windows gives a program for its command line, after the program's own name.
std::vector<std::string> windows_arguments(const std::string& parameters) {
#ifdef _WIN32
    const std::string line = "engine.exe " + parameters;
    std::wstring wide(line.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(),
                                                             static_cast<int>(wide.size()))) - 1);
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv && i < count; ++i) {
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, narrow, sizeof narrow, nullptr, nullptr);
        args.emplace_back(narrow);
    }
    LocalFree(argv);
    return args;
#else
    return platform::detail::split_command_line(parameters);
#endif
}

// Whatever a file's text holds, it is one argument equal to that text, and a short form without
// blanks or quotes goes as it is.
TEST(FileArgument, IsExactlyOneArgumentAsWindowsSplitsALine) {
    const std::pair<std::string, std::string> cases[] = {
        {R"(C:\WADS\A.WAD)", R"(C:\WADS\A.WAD)"},
        {R"(c:\my wads\a.wad)", R"("c:\my wads\a.wad")"},
        {"evil.wad\t+exec\tevil.cfg", "\"evil.wad\t+exec\tevil.cfg\""},
        {R"("+exec)", R"("\"+exec")"},
        {R"(evil.cfg")", R"("evil.cfg\"")"},
        {R"(c:\my dir\)", R"("c:\my dir\\")"},
        {R"(a\"b c)", R"("a\\\"b c")"},
        {R"(a\\" \\)", R"("a\\\\\" \\\\")"},
        {R"("")", R"("\"\"")"},
        {"", R"("")"},
        {"+exec evil.cfg", R"("+exec evil.cfg")"},
    };
    for (const auto& [text, argument] : cases) {
        EXPECT_EQ(frame::file_argument(text, std::nullopt), argument) << text;
        EXPECT_EQ(windows_arguments("-file " + argument + " +name x"),
                  (std::vector<std::string>{"-file", text, "+name", "x"}))
            << argument;
    }
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
