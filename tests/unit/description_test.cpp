// description_test.cpp: the launcher's settings description parser, on both plug-ins' real
// descriptions and on broken ones.
#include <gtest/gtest.h>

#include <string>

#include "brannock/flag_table.h"
#include "brannock/game_rules.h"
#include "host/description.h"
#include "tests/support/expected_tables.h"
#include "tests/support/test_paths.h"

namespace {

using host::Description;
using host::ItemType;

std::string source_file(const std::string& relative) {
#ifdef _WIN32
    return std::string("Z:") + SDLL_SOURCE_DIR + "/" + relative;   // the source tree, seen from Wine
#else
    return std::string(SDLL_SOURCE_DIR) + "/" + relative;
#endif
}

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

// The page's game types are the game-rules table's labels, by number and in full.
TEST(RealDescription, BrannockGameTypesAreTheGameRulesLabels) {
    const Description d = parse_file("brannock/brannock.cfg");
    const host::Item* type = d.item("multiplayer", "general", "type");
    ASSERT_NE(type, nullptr);
    ASSERT_EQ(type->list.size(), brannock::kGameRules.size());
    for (std::size_t i = 0; i < brannock::kGameRules.size(); ++i) {
        const host::ListRow* row = type->row(std::to_string(i));
        ASSERT_NE(row, nullptr) << i;
        EXPECT_EQ(row->label, brannock::kGameRules[i].label) << i;
    }
}

TEST(RealDescription, BrannockDeclaresEveryItemThePluginReads) {
    const Description d = parse_file("brannock/brannock.cfg");
    ASSERT_EQ(d.pages.size(), 2u);

    struct Read { const char* page; const char* group; const char* key; ItemType type; };
    const Read reads[] = {
        {"engine", "general", "enginepath", ItemType::Folder},
        {"engine", "general", "parameters", ItemType::Text},
        {"engine", "servers", "masteraddress", ItemType::TextSelect},
        {"engine", "servers", "performquery", ItemType::Boolean},
        {"multiplayer", "general", "type", ItemType::Select},
        {"multiplayer", "general", "map", ItemType::Map},
        {"multiplayer", "general", "skill", ItemType::Select},
        {"multiplayer", "general", "botskill", ItemType::Select},
        {"multiplayer", "general", "fraglimit", ItemType::Number},
        {"multiplayer", "general", "timelimit", ItemType::Number},
        {"multiplayer", "general", "duellimit", ItemType::Number},
        {"multiplayer", "general", "pointlimit", ItemType::Number},
        {"multiplayer", "general", "winlimit", ItemType::Number},
        {"multiplayer", "general", "modifier", ItemType::Select},
    };
    for (const auto& r : reads) {
        const host::Item* item = d.item(r.page, r.group, r.key);
        ASSERT_TRUE(item) << r.page << "/" << r.group << "/" << r.key;
        EXPECT_EQ(item->type, r.type) << r.key;
    }

    size_t flags = 0;
    for (const auto& row : expected::kFlagRows) {
        const host::Item* item = d.item("multiplayer", row.group, row.key);
        ASSERT_TRUE(item) << row.group << "/" << row.key;
        EXPECT_EQ(item->type, ItemType::Boolean) << row.key;
        EXPECT_EQ(item->default_value.value_or("?"), "0") << row.key;
        ++flags;
    }
    EXPECT_EQ(flags, 125u);

    // Both `general` groups, and keepteams in two groups, are distinct items.
    EXPECT_FALSE(d.item("engine", "general", "type"));
    EXPECT_FALSE(d.item("multiplayer", "general", "enginepath"));
    EXPECT_NE(d.item("multiplayer", "dmflags2", "keepteams"), d.item("multiplayer", "dmflags3", "keepteams"));

    const host::Item* skill = d.item("multiplayer", "general", "skill");
    EXPECT_EQ(skill->default_value.value_or(""), "4");
    ASSERT_EQ(skill->list.size(), 5u);
    EXPECT_EQ(skill->list[4].label, "NIGHTMARE!");
    EXPECT_EQ(d.item("multiplayer", "general", "type")->list.size(), 16u);
    EXPECT_FALSE(d.item("multiplayer", "general", "duellimit")->min);
    EXPECT_EQ(d.item("multiplayer", "general", "duellimit")->max.value_or(0), 999);
    EXPECT_EQ(d.item("engine", "servers", "performquery")->default_value.value_or(""), "1");
    const host::Item* info1 = d.item("engine", "general", "info1");
    ASSERT_TRUE(info1);
    EXPECT_NE(info1->caption.find(" \n be in your Brannock folder"), std::string::npos) << info1->caption;
}

TEST(RealDescription, OrventoDeclaresItsPagesAndListKeys) {
    const Description d = parse_file("orvento/orvento.cfg");
    const char* engine_keys[] = {"enginepath", "demopath", "parameters"};
    for (const char* key : engine_keys) EXPECT_TRUE(d.item("engine", "general", key)) << key;
    const char* general_keys[] = {"netnumber", "type", "map", "skill", "fraglimit", "timelimit",
                                  "avg", "monsters", "respawnmonsters", "turbo"};
    for (const char* key : general_keys) EXPECT_TRUE(d.item("multiplayer", "general", key)) << key;
    const char* connection_keys[] = {"port", "dup", "extratic", "privateserver", "servername"};
    for (const char* key : connection_keys) EXPECT_TRUE(d.item("multiplayer", "connection", key)) << key;

    const host::Item* maxdemo = d.item("multiplayer", "demo", "maxdemo");
    ASSERT_TRUE(maxdemo);
    ASSERT_EQ(maxdemo->list.size(), 4u);
    EXPECT_EQ(maxdemo->list[0].key, "128");
    EXPECT_EQ(maxdemo->list[3].key, "4096");
    EXPECT_EQ(maxdemo->default_value.value_or(""), "2048");
    EXPECT_EQ(d.item("multiplayer", "demo", "file")->maxlength.value_or(-1), 64);
    EXPECT_EQ(d.item("multiplayer", "connection", "servername")->maxlength.value_or(-1), 18);
    EXPECT_EQ(d.item("multiplayer", "connection", "dup")->min.value_or(0), 1);
    const host::Item* map = d.item("multiplayer", "general", "map");
    EXPECT_FALSE(map->default_quoted);
    EXPECT_EQ(d.item("engine", "general", "info1")->caption,
              "Select your Orvento engine folder here.\nIWAD files must be in your Orvento folder!");
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
