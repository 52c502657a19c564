// description_test.cpp: the launcher's settings description parser, on both plug-ins' real
// descriptions and on broken ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <utility>

#include "host/description.h"
#include "tests/support/expected_tables.h"
#include "tests/support/test_paths.h"

namespace {

using host::Description;
using host::ItemType;

using test_support::source_file;

Description parse_file(const std::string& relative) {
    const std::string text = test_support::read_file(source_file(relative));
    EXPECT_FALSE(text.empty()) << source_file(relative);
    Description description;
    std::string error;
    EXPECT_TRUE(host::parse_description(text, &description, &error)) << relative << ": " << error;
    return description;
}

std::string parse_error(const std::string& text) {
    Description description;
    std::string error;
    EXPECT_FALSE(host::parse_description(text, &description, &error)) << text;
    return error;
}

// ---- the real descriptions ------------------------------------------------------------------

// "Game types" in a list column: that list is the game-type table's (rules_table_test.cpp).
constexpr const char* kGameTypeList = "<game types>";
// In a default column: a value this project chose (a host name, a domain name), checked apart.
constexpr const char* kOwnChoice = "<own choice>";
constexpr const char* kYesNo = "1=Yes|2=No";
constexpr const char* kSkills = "1=Im too young to die|2=Hey, not too rough|3=Hurt me plenty|4=Ultra Violence|5=NIGHTMARE!";

struct Declared {
    const char* file;
    const char* page;
    const char* group;
    const char* key;
    ItemType type;
    const char* caption;
    const char* default_value;   // as written, quotes included; null: none
    const char* bounds;          // min, max, step and maxlength as present
    const char* list;            // key=label rows joined by '|'
};

constexpr const char* kB = "brannock/brannock.cfg";
constexpr const char* kO = "orvento/orvento.cfg";

// Every item of both descriptions but the flag items (held by expected::kFlagRows), and the flag
// captions given as they stand.
const Declared kDeclared[] = {
    {kB, "engine", "general", "info1", ItemType::Caption,
     "Select your Brannock engine folder here. IWAD files must \n be in your Brannock folder or your Brannock "
     "configuration \n file (tessaly-user.ini)!", nullptr, "", ""},
    {kB, "engine", "general", "enginepath", ItemType::Folder, "Engine Folder", "\"\"", "", ""},
    {kB, "engine", "general", "info2", ItemType::Caption,
     "Type any extra launch parameters here if needed.\nSee the Brannock wiki for help!", nullptr, "", ""},
    {kB, "engine", "general", "parameters", ItemType::Text, "Parameters", "\"\"", "maxlength=0", ""},
    {kB, "engine", "servers", "masteraddress", ItemType::TextSelect, "Masterserver", kOwnChoice, "", kOwnChoice},
    {kB, "engine", "servers", "performquery", ItemType::Boolean, "Show public servers", "1", "", ""},
    {kB, "multiplayer", "general", "type", ItemType::Select, "Type", "0", "", kGameTypeList},
    {kB, "multiplayer", "general", "map", ItemType::Map, "Map", "0", "", ""},
    {kB, "multiplayer", "general", "skill", ItemType::Select, "Skill", "\"4\"", "", kSkills},
    {kB, "multiplayer", "general", "botskill", ItemType::Select, "Bot Skill", "\"4\"", "",
     "1=I want my mommy!|2=Im allergic to pain|3=Bring it on|4=I thrive on pain|5=Nightmare!"},
    {kB, "multiplayer", "general", "fraglimit", ItemType::Number, "Fraglimit", "0", "min=0 max=999 step=1", ""},
    {kB, "multiplayer", "general", "timelimit", ItemType::Number, "Timelimit", "0", "min=0 max=999 step=1", ""},
    {kB, "multiplayer", "general", "duellimit", ItemType::Number, "Duellimit", "0", "max=999 step=1", ""},
    {kB, "multiplayer", "general", "pointlimit", ItemType::Number, "Pointlimit", "0", "max=999 step=1", ""},
    {kB, "multiplayer", "general", "winlimit", ItemType::Number, "Winlimit", "0", "max=999 step=1", ""},
    {kB, "multiplayer", "general", "modifier", ItemType::Select, "Modifier", "\"0\"", "", "0=None|1=Instagib|2=Buckshot"},
    {kB, "multiplayer", "dmflags1", "nohealth", ItemType::Boolean, "Prevents health from spawning", "0", "", ""},
    {kB, "multiplayer", "dmflags1", "weaponstay", ItemType::Boolean, "Weapons stay.", "0", "", ""},
    {kB, "multiplayer", "dmflags1", "oldfalldamage", ItemType::Boolean, "Enables ZDoom falling damage", "0", "", ""},
    {kB, "multiplayer", "dmflags1", "spawnfarthest", ItemType::Boolean, "Spawn farthest (DM)", "0", "", ""},
    {kB, "multiplayer", "dmflags2", "chasecam", ItemType::Boolean, "No chasecam", "0", "", ""},
    {kB, "multiplayer", "dmflags2", "noautoaim", ItemType::Boolean, "No freeaim", "0", "", ""},
    {kB, "multiplayer", "compatflags", "ravenscroll", ItemType::Boolean, "Ooriginal Raven scroller speed", "0", "", ""},
    {kB, "multiplayer", "dmflags2", "losefrag", ItemType::Boolean, "Loose frag point when fragged", "0", "", ""},
    {kB, "multiplayer", "compatflags2", "oldzdoomzmovement", ItemType::Boolean, "Old jump physics", "0", "", ""},

    {kO, "engine", "general", "info1", ItemType::Caption,
     "Select your Orvento engine folder here.\nIWAD files must be in your Orvento folder!", nullptr, "", ""},
    {kO, "engine", "general", "enginepath", ItemType::Folder, "Engine Folder", "\"\"", "", ""},
    {kO, "engine", "general", "info3", ItemType::Caption,
     "Select a folder where you want to store your demo's. Leave this empty to store in engine folder.", nullptr, "",
     ""},
    {kO, "engine", "general", "demopath", ItemType::Folder, "Demos Folder", "\"\"", "", ""},
    {kO, "engine", "general", "info2", ItemType::Caption,
     "Type any extra launch parameters here if needed.\nSee the Orvento documentation for help!", nullptr, "", ""},
    {kO, "engine", "general", "parameters", ItemType::Text, "Parameters", "\"\"", "maxlength=0", ""},
    {kO, "multiplayer", "general", "netnumber", ItemType::Select, "Net Players", "\"1\"", "",
     "0=None (Solo)|1=1 Player|2=2 Player|3=3 Player|4=4 Player"},
    {kO, "multiplayer", "general", "type", ItemType::Select, "Type", "\"1\"", "", "1=Cooperative|2=Deathmatch"},
    {kO, "multiplayer", "general", "map", ItemType::Map, "Map", "0", "", ""},
    {kO, "multiplayer", "general", "skill", ItemType::Select, "Skill", "\"4\"", "", kSkills},
    {kO, "multiplayer", "general", "fraglimit", ItemType::Number, "Fraglimit", "0", "min=0 max=666 step=1", ""},
    {kO, "multiplayer", "general", "timelimit", ItemType::Number, "Timelimit", "0", "min=0 max=666 step=1", ""},
    {kO, "multiplayer", "general", "avg", ItemType::Select, "AVG Timer", "\"2\"", "", kYesNo},
    {kO, "multiplayer", "general", "monsters", ItemType::Select, "Monsters", "\"2\"", "", "1=None|2=Normal|3=Fast"},
    {kO, "multiplayer", "general", "respawnmonsters", ItemType::Select, "Respawn Monsters", "\"2\"", "", kYesNo},
    {kO, "multiplayer", "general", "turbo", ItemType::Select, "Turbo 200", "\"2\"", "", kYesNo},
    {kO, "multiplayer", "connection", "port", ItemType::Text, "Port Number", "\"2342\"", "maxlength=0", ""},
    {kO, "multiplayer", "connection", "infoport", ItemType::Caption,
     "Port Number: The Port Number can be changed here, the default is 2342. Make sure to forward it to your router "
     "as needed.", nullptr, "", ""},
    {kO, "multiplayer", "connection", "dup", ItemType::Number, "Dup", "1", "min=1 max=4 step=1", ""},
    {kO, "multiplayer", "connection", "info1", ItemType::Caption,
     "Dup: Reduce the resolution of the game by a factor of n, reducing the amount of network bandwidth needed. ",
     nullptr, "", ""},
    {kO, "multiplayer", "connection", "extratic", ItemType::Number, "Extra Tics", "0", "min=0 max=4 step=1", ""},
    {kO, "multiplayer", "connection", "info2", ItemType::Caption,
     "Extra Tics: Send n extra tics in every packet as insurance against dropped packets.", nullptr, "", ""},
    {kO, "multiplayer", "connection", "privateserver", ItemType::Select, "Broadcast to Master", "\"2\"", "", kYesNo},
    {kO, "multiplayer", "connection", "servername", ItemType::Text, "Sever Name", kOwnChoice, "maxlength=18", ""},
    {kO, "multiplayer", "demo", "info1", ItemType::Caption,
     "Enter a filename for demo recording. Extension is not required.", nullptr, "", ""},
    {kO, "multiplayer", "demo", "file", ItemType::Text, "Demo name", "\"\"", "maxlength=64", ""},
    {kO, "multiplayer", "demo", "maxdemo", ItemType::Select, "Max demo size", "\"2048\"", "",
     "128=128 KB|1024=1024 KB|2048=2048 KB|4096=4096 KB"},
};

std::string bounds_of(const host::Item& item) {
    std::string out;
    const std::pair<const char*, const std::optional<long long>*> all[] = {
        {"min", &item.min}, {"max", &item.max}, {"step", &item.step}, {"maxlength", &item.maxlength}};
    for (const auto& [name, value] : all) {
        if (!*value) continue;
        if (!out.empty()) out += ' ';
        out.append(name).append("=").append(std::to_string(**value));
    }
    return out;
}

std::string list_of(const host::Item& item) {
    std::string out;
    for (const host::ListRow& row : item.list) {
        if (!out.empty()) out += '|';
        out.append(row.key).append("=").append(row.label);
    }
    return out;
}

std::optional<std::string> default_as_written(const host::Item& item) {
    if (!item.default_value) return std::nullopt;
    return item.default_quoted ? "\"" + *item.default_value + "\"" : *item.default_value;
}

bool is_flag_group(const std::string& group) {
    for (const expected::FlagWord& word : expected::kFlagWords) {
        if (group == word.group) return true;
    }
    return false;
}

// Each declared item as the engines' and the launcher's lists have it, and nothing more: every
// other item of a description is a flag item of its group's list.
TEST(RealDescription, EveryItemWithItsTypeCaptionDefaultBoundsAndList) {
    for (const char* file : {kB, kO}) {
        SCOPED_TRACE(file);
        const Description d = parse_file(file);
        for (const Declared& row : kDeclared) {
            if (row.file != file) continue;
            SCOPED_TRACE(std::string(row.page) + "/" + row.group + "/" + row.key);
            const host::Item* item = d.item(row.page, row.group, row.key);
            ASSERT_TRUE(item);
            EXPECT_EQ(item->type, row.type);
            EXPECT_EQ(item->caption, row.caption);
            if (row.default_value != kOwnChoice) {
                EXPECT_EQ(default_as_written(*item), row.default_value ? std::optional<std::string>(row.default_value)
                                                                       : std::nullopt);
            }
            EXPECT_EQ(bounds_of(*item), row.bounds);
            if (row.list != kGameTypeList && row.list != kOwnChoice) {
                EXPECT_EQ(list_of(*item), row.list);
            }
        }
        for (const host::Page& page : d.pages) {
            for (const host::Group& group : page.groups) {
                if (page.name == "multiplayer" && is_flag_group(group.name)) {
                    std::size_t flags = 0;
                    for (const expected::FlagRow& row : expected::kFlagRows) flags += group.name == row.group ? 1 : 0;
                    EXPECT_EQ(group.items.size(), flags) << group.name;
                    continue;
                }
                for (const host::Item& item : group.items) {
                    const bool declared = std::any_of(std::begin(kDeclared), std::end(kDeclared), [&](const Declared& r) {
                        return r.file == file && page.name == r.page && group.name == r.group && item.key == r.key;
                    });
                    EXPECT_TRUE(declared) << "an item of its own: " << page.name << "/" << group.name << "/" << item.key;
                }
            }
        }
    }
}

// The master server's address is one host name of this project's and the master's port 15300:
// the default and the list's one entry are the same text. Orvento's server name is a domain name
// that fits its own field.
TEST(RealDescription, MasterAddressAndServerNameDefaults) {
    const Description brannock = parse_file(kB);
    const host::Item* master = brannock.item("engine", "servers", "masteraddress");
    ASSERT_TRUE(master && master->default_value);
    ASSERT_EQ(list_of(*master), "main=" + *master->default_value);
    const std::string& address = *master->default_value;
    ASSERT_TRUE(address.ends_with(":15300")) << address;
    const std::string host_name = address.substr(0, address.size() - 6);
    EXPECT_FALSE(host_name.empty());
    EXPECT_EQ(host_name.find_first_of(": \t"), std::string::npos) << host_name;

    const Description orvento = parse_file(kO);
    const host::Item* server = orvento.item("multiplayer", "connection", "servername");
    ASSERT_TRUE(server && server->default_value && server->default_quoted);
    const std::string& name = *server->default_value;
    EXPECT_NE(name.find('.'), std::string::npos) << name;
    EXPECT_EQ(name.find_first_of(" \t"), std::string::npos) << name;
    EXPECT_LE(name.size(), 18u);
}

// Both open with the same box of comment lines.
TEST(RealDescription, BothOpenWithTheInterfaceCommentBox) {
    for (const char* file : {kB, kO}) {
        const std::string text = test_support::read_file(source_file(file));
        const std::string box = text.substr(0, text.find("\r\n\r\n"));
        for (std::size_t at = 0; at < box.size(); at = box.find("\r\n", at) + 2) {
            EXPECT_EQ(box.compare(at, 2, "//"), 0) << file << " line at byte " << at;
            if (box.find("\r\n", at) == std::string::npos) break;
        }
        for (const char* line : {"SDLL Interface Configuration for Vorlane",
                                 "This file makes up the interface items for this SDLL.",
                                 "See the SDLL SDK documentation for more information."}) {
            EXPECT_NE(box.find(line), std::string::npos) << file << ": " << line;
        }
    }
}

// The flag items the plug-in reads and writes, all off by default; both `general` groups, and
// keepteams in two groups, are distinct items.
TEST(RealDescription, BrannockDeclaresEveryFlagItem) {
    const Description d = parse_file(kB);
    ASSERT_EQ(d.pages.size(), 2u);
    for (const auto& row : expected::kFlagRows) {
        const host::Item* item = d.item("multiplayer", row.group, row.key);
        ASSERT_TRUE(item) << row.group << "/" << row.key;
        EXPECT_EQ(item->type, ItemType::Boolean) << row.key;
        EXPECT_EQ(item->default_value.value_or("?"), "0") << row.key;
    }
    EXPECT_FALSE(d.item("engine", "general", "type"));
    EXPECT_FALSE(d.item("multiplayer", "general", "enginepath"));
    EXPECT_NE(d.item("multiplayer", "dmflags2", "keepteams"), d.item("multiplayer", "dmflags3", "keepteams"));
}

// Both are held to the grammar a real launcher reads: every property value quoted or a bare
// integer, CR LF line ends, no terminator.
TEST(RealDescription, ShippedDescriptionsKeepTheGrammarAndEndInBraceAndCrLf) {
    for (const char* file : {"brannock/brannock.cfg", "orvento/orvento.cfg"}) {
        const std::string text = test_support::read_file(source_file(file));
        ASSERT_GE(text.size(), 3u);
        EXPECT_EQ(text.substr(text.size() - 3), "}\r\n") << file;
        EXPECT_EQ(text.find('\0'), std::string::npos) << file;
        Description description;
        std::string error;
        EXPECT_TRUE(host::parse_description(text, &description, &error)) << file << ": " << error;
    }
}

// ---- the grammar ------------------------------------------------------------------------------

const char kSmall[] =
    "// header\r\n"
    "engine\r\n{\r\n\tgeneral\r\n\t{\r\n"
    "\t\tpath { type = \"folder\"; caption = \"Folder\"; default = \"\"; }\r\n"
    "\t\t/* old\r\n\t\tgone { type = \"text\"; }\r\n\t\t*/\r\n"
    "\t\tmode { type = \"select\"; default = \"b\"; list { a = \"First\\nline\"; b = \"B\"; 7 = \"Seven\"; } }\r\n"
    "\t\tcount { type = \"number\"; default = 5; min = -3; max = 10; step = 1; } // trailing\r\n"
    "\t}\r\n}\r\n";

TEST(DescriptionGrammar, CommentsBlocksPropertiesAndLists) {
    Description d;
    std::string error;
    ASSERT_TRUE(host::parse_description(kSmall, &d, &error)) << error;
    ASSERT_EQ(d.pages.size(), 1u);
    ASSERT_EQ(d.pages[0].groups[0].items.size(), 3u);   // `gone` is commented out
    EXPECT_FALSE(d.item("engine", "general", "gone"));

    const host::Item* mode = d.item("engine", "general", "mode");
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->type, ItemType::Select);
    ASSERT_EQ(mode->list.size(), 3u);
    EXPECT_EQ(mode->list[0].label, "First\nline");
    EXPECT_EQ(mode->list[2].key, "7");
    EXPECT_TRUE(mode->default_quoted);

    const host::Item* count = d.item("engine", "general", "count");
    EXPECT_EQ(count->min.value_or(0), -3);
    EXPECT_EQ(count->max.value_or(0), 10);
    EXPECT_EQ(count->default_value.value_or(""), "5");
    EXPECT_FALSE(count->default_quoted);
    EXPECT_EQ(count->line, 11);
}

TEST(DescriptionGrammar, LfLineEndsParseAlikeWithTheSameLineNumbers) {
    std::string lf = kSmall;
    for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    Description d;
    std::string error;
    ASSERT_TRUE(host::parse_description(lf, &d, &error)) << error;
    EXPECT_EQ(d.item("engine", "general", "count")->line, 11);
    EXPECT_EQ(d.item("engine", "general", "mode")->list[0].label, "First\nline");
}

TEST(DescriptionGrammar, MalformedTextNamesLineAndColumnAndLeavesNothingBuilt) {
    struct Case { const char* text; const char* message; };
    const Case cases[] = {
        {"engine\r\n{\r\n\tgeneral\r\n\t{\r\n", "line 5, column 1: expected an item name or '}', found the end"},
        {"engine { }\r\n}\r\n", "line 2, column 1: expected a page name"},
        {"engine { g { i { caption = \"open; } } }", "line 1, column 28: unterminated text"},
        {"engine { g { i { caption = \"a\r\nb\"; } } }", "unterminated text"},
        {"engine { g {\n /* never closed\n i { type = \"text\"; } } }", "line 2, column 2: unterminated comment"},
        {"engine { g { caption = \"x\"; } }", "line 1, column 14: property 'caption' outside an item"},
        {"engine { caption = \"x\"; }", "property 'caption' outside an item"},
        {"engine { g { i { type = \"text\"; } i { type = \"text\"; } } }", "item 'i' declared twice in group 'g'"},
        {"engine { g { } g { } }", "group 'g' declared twice"},
        {"engine { } engine { }", "page 'engine' declared twice"},
        {"engine { g { i { type = \"text\"; type = \"text\"; } } }", "property 'type' set twice"},
        {"engine { g { i { type = \"select\"; list { 1 = \"a\"; 1 = \"b\"; } } } }", "list key '1' appears twice"},
        {"engine { g { i { caption = \"x\"; } } }", "item 'i' has no type"},
        {"engine { g { i { type = \"slider\"; } } }", "unknown item type 'slider'"},
        {"engine { g { i { type = \"text\"; colour = 3; } } }", "unknown property 'colour'"},
        {"engine { g { i { type = \"number\"; max = \"ten\"; } } }", "'max' needs an integer"},
        {"engine { g { i { type = \"boolean\"; default = 2; } } }", "default of item 'i' must be 0 or 1"},
        {"engine { g { i { type = \"select\"; default = 3; list { 1 = \"a\"; } } } }", "is not a key of its list"},
        {"engine { g { i { type = \"text\"; caption = \"x\" } } }", "expected ';' after the value of 'caption'"},
        {"engine { g { i { type = \"text\"; } } }\0", "unexpected byte 0"},
        {"engine { g {\r\n\t\ti { type = caption; } } }",
         "line 2, column 14: expected a quoted text or an integer as the value of 'type', found 'caption'"},
        {"engine { g { i { type = \"number\"; default = ten; } } }", "as the value of 'default', found 'ten'"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        if (text == "engine { g { i { type = \"text\"; } } }") text.push_back('\0');   // a counted terminator
        Description d;
        d.pages.push_back({"untouched", {}});
        std::string error;
        EXPECT_FALSE(host::parse_description(text, &d, &error)) << text;
        EXPECT_NE(error.find(c.message), std::string::npos) << "text: " << text << "\nerror: " << error;
        ASSERT_EQ(d.pages.size(), 1u);
        EXPECT_EQ(d.pages[0].name, "untouched");
    }
}

TEST(DescriptionGrammar, EmptyDescriptionHasNoPages) {
    Description d;
    std::string error;
    EXPECT_TRUE(host::parse_description("// nothing\r\n/* at all */\r\n", &d, &error)) << error;
    EXPECT_TRUE(d.pages.empty());
    EXPECT_NE(parse_error("engine").find("expected '{' after page 'engine'"), std::string::npos);
}

}  // namespace
