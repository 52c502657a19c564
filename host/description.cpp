// description.cpp: the settings description parser (tokens, blocks, properties, lists).
//
// A small hand-written reader: a cursor that turns the text into tokens and knows its line and
// column, and one function per block level. The first fault ends the parse with a message
// naming where it stands; the result is built aside and handed out only when it is whole.
#include "host/description.h"

#include <cctype>
#include <charconv>
#include <set>
#include <stdexcept>

namespace host {

namespace {

struct TypeName { ItemType type; const char* name; };
constexpr TypeName kTypeNames[] = {
    {ItemType::Caption, "caption"}, {ItemType::Folder, "folder"}, {ItemType::Text, "text"},
    {ItemType::TextSelect, "textselect"}, {ItemType::Boolean, "boolean"},
    {ItemType::Select, "select"}, {ItemType::Number, "number"}, {ItemType::Map, "map"},
};

// The first row whose `name` field is `wanted`; null when none is.
template <typename Row>
const Row* find_named(const std::vector<Row>& rows, std::string Row::*name, std::string_view wanted) {
    for (const Row& row : rows)
        if (row.*name == wanted) return &row;
    return nullptr;
}

enum class Tok { Word, Text, Open, Close, Equals, Semicolon, End };

struct Token {
    Tok kind = Tok::End;
    std::string value;   // the word, or the text with its escapes resolved
    int line = 1, column = 1;
};

// Thrown inside the parser only; parse_description turns it into the error text.
struct ParseError : std::runtime_error {
    ParseError(int line, int column, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) +
                             ": " + what) {}
};

bool is_word_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.';
}

bool is_integer(std::string_view word) {
    if (!word.empty() && word[0] == '-') word.remove_prefix(1);
    if (word.empty()) return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next() {
        skip_blanks_and_comments();
        Token token;
        token.line = line_;
        token.column = column_;
        if (pos_ >= text_.size()) return token;
        const char c = text_[pos_];
        if (c == '"') {
            token.kind = Tok::Text;
            token.value = read_text();
            return token;
        }
        if (c == '{' || c == '}' || c == '=' || c == ';') {
            token.kind = c == '{' ? Tok::Open : c == '}' ? Tok::Close : c == '=' ? Tok::Equals : Tok::Semicolon;
            token.value = std::string(1, advance());
            return token;
        }
        if (!is_word_char(c)) {
            const std::string shown = std::isprint(static_cast<unsigned char>(c))
                ? std::string("'") + c + "'"
                : "byte " + std::to_string(static_cast<unsigned char>(c));
            throw ParseError(line_, column_, "unexpected " + shown);
        }
        token.kind = Tok::Word;
        while (pos_ < text_.size() && is_word_char(text_[pos_])) token.value += advance();
        return token;
    }

private:
    char advance() {
        const char c = text_[pos_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
        return c;
    }
    bool at(std::string_view s) const { return text_.substr(pos_, s.size()) == s; }

    void skip_blanks_and_comments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                advance();
            } else if (at("//")) {
                while (pos_ < text_.size() && text_[pos_] != '\n') advance();
            } else if (at("/*")) {
                const int line = line_, column = column_;
                advance();
                advance();
                while (pos_ < text_.size() && !at("*/")) advance();
                if (pos_ >= text_.size()) throw ParseError(line, column, "unterminated comment");
                advance();
                advance();
            } else {
                return;
            }
        }
    }

    // A quoted text on one line; \n, \t, \" and \\ are escapes, any other backslash stays.
    std::string read_text() {
        const int line = line_, column = column_;
        advance();   // opening quote
        std::string value;
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == '\r' || text_[pos_] == '\n')
                throw ParseError(line, column, "unterminated text");
            const char c = advance();
            if (c == '"') return value;
            if (c == '\\' && pos_ < text_.size()) {
                const char e = text_[pos_];
                if (e == 'n') { advance(); value += '\n'; continue; }
                if (e == 't') { advance(); value += '\t'; continue; }
                if (e == '"' || e == '\\') { value += advance(); continue; }
            }
            value += c;
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1, column_ = 1;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) { take(); }

    Description description() {
        Description result;
        std::set<std::string> names;
        while (current_.kind != Tok::End)
            result.pages.push_back(page(block_head("page", "a page name", "", &names).value));
        return result;
    }

private:
    void take() { current_ = lexer_.next(); }

    [[noreturn]] void fail_here(const std::string& wanted) const {
        const std::string found = current_.kind == Tok::End ? "the end of the description"
            : current_.kind == Tok::Text ? "a quoted text" : "'" + current_.value + "'";
        throw ParseError(current_.line, current_.column, "expected " + wanted + ", found " + found);
    }
    Token expect(Tok kind, const std::string& wanted) {
        if (current_.kind != kind) fail_here(wanted);
        Token token = current_;
        take();
        return token;
    }
    Token expect_word(const std::string& wanted) { return expect(Tok::Word, wanted); }

    // The head of a page, group or item block: its name (a word, not a property, not one of
    // `names` seen before in the block around it, `where`) and its '{'.
    Token block_head(const std::string& kind, const std::string& wanted, const std::string& where,
                     std::set<std::string>* names) {
        const Token name = expect_word(wanted);
        if (current_.kind == Tok::Equals)
            throw ParseError(name.line, name.column, "property '" + name.value + "' outside an item");
        if (!names->insert(name.value).second)
            throw ParseError(name.line, name.column, kind + " '" + name.value + "' declared twice" + where);
        expect(Tok::Open, "'{' after " + kind + " '" + name.value + "'");
        return name;
    }

    Page page(const std::string& name) {
        Page result{name, {}};
        std::set<std::string> names;
        while (current_.kind != Tok::Close)
            result.groups.push_back(
                group(block_head("group", "a group name or '}'", " in page '" + name + "'", &names).value));
        take();
        return result;
    }

    Group group(const std::string& name) {
        Group result{name, {}};
        std::set<std::string> keys;
        while (current_.kind != Tok::Close)
            result.items.push_back(item(block_head("item", "an item name or '}'", " in group '" + name + "'", &keys)));
        take();
        return result;
    }

    Item item(const Token& key) {
        Item result;
        result.key = key.value;
        result.line = key.line;
        std::set<std::string> seen;
        std::optional<Token> type_token, default_token;
        while (current_.kind != Tok::Close) {
            const Token name = expect_word("a property name or '}'");
            if (!seen.insert(name.value).second)
                throw ParseError(name.line, name.column,
                                 "property '" + name.value + "' set twice in item '" + key.value + "'");
            if (name.value == "list" && current_.kind == Tok::Open) {
                take();
                result.list = list(key.value);
                continue;
            }
            expect(Tok::Equals, "'=' after property '" + name.value + "'");
            // A bare word names blocks and list keys only; a launcher may refuse it as a value.
            const bool integer = current_.kind == Tok::Word && is_integer(current_.value);
            if (current_.kind != Tok::Text && !integer)
                fail_here("a quoted text or an integer as the value of '" + name.value + "'");
            const Token value = current_;
            take();
            expect(Tok::Semicolon, "';' after the value of '" + name.value + "'");
            store_property(result, name, value);
            if (name.value == "type") type_token = value;
            if (name.value == "default") default_token = value;
        }
        const Token close = current_;
        take();
        if (!type_token) throw ParseError(close.line, close.column, "item '" + key.value + "' has no type");
        check_default(result, default_token ? *default_token : close);
        return result;
    }

    void store_property(Item& item, const Token& name, const Token& value) {
        const std::string& p = name.value;
        if (p == "type") {
            const auto type = item_type_from_name(value.value);
            if (!type) throw ParseError(value.line, value.column, "unknown item type '" + value.value + "'");
            item.type = *type;
        } else if (p == "caption") {
            item.caption = value.value;
        } else if (p == "default") {
            item.default_value = value.value;
            item.default_quoted = value.kind == Tok::Text;
        } else if (p == "min" || p == "max" || p == "step" || p == "maxlength") {
            long long number = 0;
            const auto [end, ec] = std::from_chars(value.value.data(), value.value.data() + value.value.size(), number);
            if (!is_integer(value.value) || ec != std::errc() || end != value.value.data() + value.value.size())
                throw ParseError(value.line, value.column, "'" + p + "' needs an integer");
            (p == "min" ? item.min : p == "max" ? item.max : p == "step" ? item.step : item.maxlength) = number;
        } else {
            throw ParseError(name.line, name.column, "unknown property '" + p + "'");
        }
    }

    // The default must be a value the item can hold, or every fresh settings store is broken.
    void check_default(const Item& item, const Token& where) {
        if (!item.default_value) return;
        const std::string& value = *item.default_value;
        auto fail = [&](const std::string& what) {
            throw ParseError(where.line, where.column, "default of item '" + item.key + "' " + what);
        };
        switch (item.type) {
        case ItemType::Boolean:
            if (value != "0" && value != "1") fail("must be 0 or 1");
            break;
        case ItemType::Number:
            if (!is_integer(value)) fail("must be an integer");
            break;
        case ItemType::Select:
            if (!item.row(value)) fail("is not a key of its list");
            break;
        default:
            break;
        }
    }

    std::vector<ListRow> list(const std::string& item_key) {
        std::vector<ListRow> rows;
        std::set<std::string> keys;
        while (current_.kind != Tok::Close) {
            const Token key = expect_word("a list key or '}'");
            if (!keys.insert(key.value).second)
                throw ParseError(key.line, key.column,
                                 "list key '" + key.value + "' appears twice in item '" + item_key + "'");
            expect(Tok::Equals, "'=' after list key '" + key.value + "'");
            const Token label = expect(Tok::Text, "a quoted label");
            expect(Tok::Semicolon, "';' after the label");
            rows.push_back({key.value, label.value});
        }
        take();
        return rows;
    }

    Lexer lexer_;
    Token current_;
};

}  // namespace

std::optional<ItemType> item_type_from_name(std::string_view name) {
    for (const auto& entry : kTypeNames)
        if (name == entry.name) return entry.type;
    return std::nullopt;
}

const char* item_type_name(ItemType type) {
    for (const auto& entry : kTypeNames)
        if (type == entry.type) return entry.name;
    return "?";
}

bool reads_as_integer(ItemType type) {
    return type == ItemType::Boolean || type == ItemType::Number || type == ItemType::Select;
}

const ListRow* Item::row(std::string_view wanted) const { return find_named(list, &ListRow::key, wanted); }
const Item* Group::item(std::string_view wanted) const { return find_named(items, &Item::key, wanted); }
const Group* Page::group(std::string_view wanted) const { return find_named(groups, &Group::name, wanted); }
const Page* Description::page(std::string_view wanted) const { return find_named(pages, &Page::name, wanted); }

const Group* Description::group(std::string_view page_name, std::string_view group_name) const {
    const Page* p = page(page_name);
    return p ? p->group(group_name) : nullptr;
}

const Item* Description::item(std::string_view page_name, std::string_view group_name,
                              std::string_view key) const {
    const Group* g = group(page_name, group_name);
    return g ? g->item(key) : nullptr;
}

bool parse_description(std::string_view text, Description* out, std::string* error) {
    try {
        Parser parser(text);
        Description parsed = parser.description();
        *out = std::move(parsed);
        return true;
    } catch (const ParseError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace host
