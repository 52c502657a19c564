// double_byte_paths_test.cpp: both plug-ins in a process whose ANSI code page is 932 (Japanese).
//
// There the second byte of a character can be a backslash (表 is 0x95 0x5C) or a capital letter
// (ア is 0x83 0x41): the user's extra files must still be one argument each on the engine's lines
// and in the response file, and an existing file must be named by its short form. scripts/test
// runs this program under Wine with LC_ALL=ja_JP.UTF-8, the locale scripts/setup provides; in any
// other code page every test fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/launcher.h"
#include "platform/platform.h"
#include "tests/plugin/plugin_fixture.h"

namespace {

namespace fs = std::filesystem;
using test_support::Record;

constexpr UINT kCodePage = 932;

std::wstring to_wide(const std::string& text, UINT code_page) {
    const int units = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(units, 0)), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), units);
    return out;
}

std::string to_utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

std::string bytes_of_hex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string ascii_lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

fs::path native(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// What Windows gives a program for a line of code page 932 after the program's own name, split by
// CommandLineToArgvW, in UTF-8.
std::vector<std::string> windows_arguments(const std::string& line) {
    const std::wstring whole = L"engine.exe " + to_wide(line, kCodePage);
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(whole.c_str(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv && i < count; ++i) args.push_back(to_utf8(argv[i]));
    LocalFree(argv);
    return args;
}

// The arguments after `option` up to and including `next`, or all that follow it; the ASCII
// letters in lower case, as the plug-ins ask for the short form of a lower-cased path.
std::vector<std::string> after_option(const std::vector<std::string>& args, const std::string& option,
                                      const std::string& next) {
    auto from = std::find(args.begin(), args.end(), option);
    if (from == args.end()) return {};
    auto to = std::find(from + 1, args.end(), next);
    std::vector<std::string> out;
    for (auto it = from + 1; it != args.end() && it <= to; ++it) out.push_back(ascii_lower(*it));
    return out;
}

// The user's two files, in a folder with a blank so that a file named by its full path goes in
// quotes: a missing one whose name ends in 表, and an existing アイ.wad with its short form.
struct UserFiles {
    std::string missing;
    std::string existing;
    std::string existing_short;
};

// The players' address list of a launch: one entry, the host's.
const std::string kAddresses = std::string("\x0E\x00", 2) + "10.0.0.5:10666";

class CodePage932 : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), kCodePage) << "this program runs in code page 932: under Wine with "
                                          "LC_ALL=ja_JP.UTF-8, a locale scripts/setup generates";
    }

    // Loads the plug-in with the user's two files chosen and `map` set; its engines end at once.
    void open(const char* plugin, const char* engine, const char* map) {
        ASSERT_TRUE(f.open(plugin, engine));
        const std::string folder = f.scratch + "my wads" + f.scratch.back();
        std::error_code ec;
        fs::create_directories(native(folder), ec);
        files = {folder + "x\xE8\xA1\xA8", folder + "\xE3\x82\xA2\xE3\x82\xA4.wad", ""};   // x表, アイ.wad
        std::ofstream(native(files.existing)) << "PWAD";
        std::wstring buffer(MAX_PATH, L'\0');
        const DWORD n = GetShortPathNameW(native(files.existing).c_str(), buffer.data(), MAX_PATH);
        if (n > 0 && n < MAX_PATH) files.existing_short = to_utf8(buffer.substr(0, n));
        // The short form the plug-in must use names the file and goes bare.
        ASSERT_FALSE(files.existing_short.empty()) << "no short form of " << files.existing;
        ASSERT_EQ(files.existing_short.find(' '), std::string::npos) << files.existing_short;

        f.launcher->files = {files.missing, files.existing};
        std::string error;
        ASSERT_TRUE(f.launcher->set("multiplayer", "general", "map", map, &error)) << error;
        f.engines.release_all();
    }

    test_support::PluginFixture f;
    UserFiles files;
};

TEST_F(CodePage932, LeadBytesAreThoseOfTheCodePage) {
    const std::pair<unsigned char, bool> cases[] = {
        {0x81, true}, {0x83, true}, {0x95, true}, {0x9F, true}, {0xE0, true}, {0xFC, true},
        {0x41, false}, {0x5C, false}, {0x7F, false}, {0x80, false}, {0xA1, false}, {0xDF, false},
    };
    for (const auto& [byte, lead] : cases) EXPECT_EQ(platform::is_lead_byte(byte), lead) << int(byte);
}

// Both hosted lines name each file as one argument: the missing one by its whole path, the
// existing one by its short form, and the line's next option stays an option.
TEST_F(CodePage932, BrannockHostedLinesKeepEachFileOneArgument) {
    ASSERT_NO_FATAL_FAILURE(open("brannock", "Brannock.exe", "map01"));
    f.launcher->get<Brannock_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(4, 0, 0, 0, kAddresses.data(), "Ann");
    ASSERT_TRUE(f.engines.wait_for_starts(2));

    const std::pair<const char*, const char*> lines[] = {{" -host ", "+masterip"}, {"-connect ", "+name"}};
    for (const auto& [start, next] : lines) {
        const Record engine = f.engines.start_beginning(start);
        const std::vector<std::string> args = windows_arguments(bytes_of_hex(engine.value("parameters_hex", "")));
        EXPECT_EQ(after_option(args, "-file", next),
                  (std::vector<std::string>{ascii_lower(files.missing), ascii_lower(files.existing_short), next}))
            << start;
    }
    EXPECT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

// Orvento's response file, each line split as Windows splits a line: the .wad by its short form
// on the -file line, the other file whole on the -deh line.
TEST_F(CodePage932, OrventoResponseFileKeepsEachFileOneArgument) {
    ASSERT_NO_FATAL_FAILURE(open("orvento", "doom32.exe", "MAP01"));
    f.launcher->get<Orvento_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(4, 0, 0, 0, kAddresses.data());
    ASSERT_TRUE(f.engines.wait_for_starts(1));

    const Record engine = f.engines.start_beginning("@doomargs.tmp");
    const std::string text = bytes_of_hex(engine["response_file"].value("hex", ""));
    std::vector<std::vector<std::string>> file_lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        std::vector<std::string> args = windows_arguments(text.substr(at, end - at));
        if (!args.empty() && (args[0] == "-file" || args[0] == "-deh")) {
            for (std::string& arg : args) arg = ascii_lower(arg);
            file_lines.push_back(args);
        }
        at = end + 2;
    }
    EXPECT_EQ(file_lines, (std::vector<std::vector<std::string>>{{"-file", ascii_lower(files.existing_short)},
                                                                 {"-deh", ascii_lower(files.missing)}}))
        << text;
    EXPECT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

}  // namespace
