// server_names_test.cpp: the word rule, the map's and the file-name rule on a stranger's texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frame/server_names.h"

namespace {

using Name = std::optional<std::string>;
constexpr std::nullopt_t kNone = std::nullopt;

// What each rule keeps of one server text: none, or the part used.
struct RuleCase {
    std::string text;
    Name word, map, file;
};

TEST(ServerNames, EachRuleKeepsOnlyWhatCannotBeReadAsMore) {
    const RuleCase cases[] = {
        {"doom2.wad", "doom2.wad", "doom2.wad", "doom2.wad"},
        {"evil.wad\t+exec\tevil.cfg", "evil.wad", "evil.wad", "evil.wad"},
        {"map01 +quit", "map01", "map01", "map01"},
        {"a-b+c@d.wad", "a-b+c@d.wad", "a-b+c@d.wad", "a-b+c@d.wad"},
        {"My_Map-v1.2.PK3", "My_Map-v1.2.PK3", "My_Map-v1.2.PK3", "My_Map-v1.2.PK3"},
        // An empty first word names nothing.
        {"", kNone, kNone, kNone}, {"\t+quit", kNone, kNone, kNone}, {" lead.wad", kNone, kNone, kNone},
        // Options, console commands, response files, quoted parts.
        {"+quit", kNone, kNone, kNone}, {"-file", kNone, kNone, kNone}, {"@evil.txt", kNone, kNone, kNone},
        {"\"+exec", kNone, kNone, kNone}, {"evil.cfg\"", kNone, kNone, kNone}, {"a\"b c", kNone, kNone, kNone},
        // A console separator ends the map's command; in a file name it is a letter.
        {"MAP01;quit", "MAP01;quit", kNone, "MAP01;quit"},
        // Paths give their last component; one that fails is not used.
        {"/etc/passwd", "/etc/passwd", "/etc/passwd", "passwd"},
        {"\\\\evil.example\\share\\x.wad", "\\\\evil.example\\share\\x.wad", "\\\\evil.example\\share\\x.wad", "x.wad"},
        {"..\\..\\..\\boot.ini", "..\\..\\..\\boot.ini", "..\\..\\..\\boot.ini", "boot.ini"},
        {"c:/windows/win.ini", "c:/windows/win.ini", "c:/windows/win.ini", "win.ini"},
        {"iwads/doom2.wad", "iwads/doom2.wad", "iwads/doom2.wad", "doom2.wad"},
        {"c:x.wad", "c:x.wad", "c:x.wad", "x.wad"},
        {"a/-x.wad", "a/-x.wad", "a/-x.wad", kNone}, {"a\\+quit", "a\\+quit", "a\\+quit", kNone},
        {"a/", "a/", "a/", kNone}, {"c:", "c:", "c:", kNone}, {"a/b\"c", kNone, kNone, kNone},
        // Dots: none of these is a plain file.
        {".", ".", ".", kNone}, {"..", "..", "..", kNone}, {"...", "...", "...", kNone}, {"x.wad.", "x.wad.", "x.wad.", kNone},
        {"a..b.wad", "a..b.wad", "a..b.wad", "a..b.wad"}, {".hidden", ".hidden", ".hidden", ".hidden"},
        // Wildcards and redirections.
        {"x*.wad", "x*.wad", "x*.wad", kNone}, {"x?.wad", "x?.wad", "x?.wad", kNone}, {"a<b", "a<b", "a<b", kNone},
        {"a>b", "a>b", "a>b", kNone}, {"a|b", "a|b", "a|b", kNone},
    };
    for (const RuleCase& c : cases) {
        EXPECT_EQ(frame::server_argument(c.text), c.word) << c.text;
        EXPECT_EQ(frame::server_map(c.text), c.map) << c.text;
        EXPECT_EQ(frame::server_file_name(c.text), c.file) << c.text;
    }
}

// A byte above 0x7F can become a blank, a quote or a plus in another code page: no map or file
// name holds one. It stays a letter of a word (the address and port rule).
TEST(ServerNames, BytesAboveAsciiNameNoMapAndNoFile) {
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const std::string text = std::string("e1m") + static_cast<char>(byte) + ".wad";
        EXPECT_EQ(frame::server_argument(text), text) << byte;
        EXPECT_EQ(frame::server_map(text), kNone) << byte;
        EXPECT_EQ(frame::server_file_name(text), kNone) << byte;
        EXPECT_EQ(frame::server_file_name(std::string(1, static_cast<char>(byte)) + "\\x.wad"), "x.wad") << byte;
    }
}

// Windows opens a device for its name whatever follows the first dot, in any letter case.
TEST(ServerNames, WindowsDevicesAreNoFileNames) {
    std::vector<std::string> devices = {"CON", "prn", "Aux", "nul", "CONIN$", "conout$"};
    for (char digit = '0'; digit <= '9'; ++digit) {
        devices.push_back(std::string("COM") + digit);
        devices.push_back(std::string("lpt") + digit);
    }
    for (const std::string& device : devices)
        for (const std::string& name : {device, device + ".wad", device + ".a.wad", "c:\\" + device + ".WAD"})
            EXPECT_EQ(frame::server_file_name(name), kNone) << name;
    for (const std::string name : {"con2.wad", "console.wad", "com10.wad", "lpt.wad", "comx.wad", "conin.wad",
                                   "xnul.wad", "nul_.wad", "a.nul", "com!.wad", "co~.wad"})
        EXPECT_EQ(frame::server_file_name(name), name) << name;
}

}  // namespace
