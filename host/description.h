// description.h: a plug-in's settings description, parsed into pages, groups and items.
//
// The grammar is the one the plug-ins hand over through slot 0: `//` and `/* */` comments,
// blocks on three levels (page, group, item), properties `name = "text";` or `name = 123;`, and
// `list { key = "label"; ... }` blocks inside items. A bare word names a block or a list key and
// is refused as a property's value. Values are kept as text exactly as written (quotes removed,
// `\n` turned into a line break); the settings store decides what they mean.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

enum class ItemType { Caption, Folder, Text, TextSelect, Boolean, Select, Number, Map };

// "caption", "folder", ...; null for an unknown name.
std::optional<ItemType> item_type_from_name(std::string_view name);
const char* item_type_name(ItemType type);
// Integer reads (slots 1 and 6) answer boolean, number and select items; text reads the rest.
bool reads_as_integer(ItemType type);

struct ListRow {
    std::string key;     // an integer or a bare word, as written
    std::string label;
};

struct Item {
    std::string key;
    ItemType type = ItemType::Caption;
    std::string caption;
    std::optional<std::string> default_value;   // as written, quoted or bare
    bool default_quoted = false;
    std::optional<long long> min, max, step, maxlength;
    std::vector<ListRow> list;
    int line = 0;                                 // where the item's name stands

    const ListRow* row(std::string_view key) const;
};

struct Group {
    std::string name;
    std::vector<Item> items;
    const Item* item(std::string_view key) const;
};

struct Page {
    std::string name;
    std::vector<Group> groups;
    const Group* group(std::string_view name) const;
};

struct Description {
    std::vector<Page> pages;

    const Page* page(std::string_view name) const;
    const Group* group(std::string_view page, std::string_view group) const;
    const Item* item(std::string_view page, std::string_view group, std::string_view key) const;
};

// Parses `text` (CR LF or LF line ends, no terminating zero). On a malformed description returns
// false, leaves `out` untouched and sets `error` to "line L, column C: what is wrong".
bool parse_description(std::string_view text, Description* out, std::string* error);

}  // namespace host
