// value_words.cpp: a value that looks like an option taken as the value it stands in the place of.
//
// The parser takes any word that starts with '-' for an option, so `set engine/general/parameters
// -nomusic` would fail; a person should not need to know about "--". The words are walked as the
// parser walks them: options of the subcommand reached so far (and of those around it) with their
// values, subcommand names, and the rest filling the innermost subcommand's positional slots in
// order. A word in a text slot that names no option is a value.
#include "host/value_words.h"

#include <CLI/CLI.hpp>

namespace host {
namespace {

constexpr const char* kValuesFollow = "--";
constexpr const char* kTextType = "TEXT";

const CLI::Option* option_named(const std::vector<const CLI::App*>& chain, const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return nullptr;
    const std::string name = word.substr(0, word.find('='));
    for (auto at = chain.rbegin(); at != chain.rend(); ++at)
        if (const CLI::Option* option = (*at)->get_option_no_throw(name); option && !option->get_positional())
            return option;
    return nullptr;
}

const CLI::App* subcommand_named(const CLI::App& app, const std::string& word) {
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->check_name(word)) return sub;
    return nullptr;
}

std::vector<const CLI::Option*> slots_of(const CLI::App& app) {
    return app.get_options([](const CLI::Option* option) { return option->get_positional(); });
}

}  // namespace

std::vector<std::string> values_as_values(const CLI::App& app, const std::vector<std::string>& args) {
    std::vector<const CLI::App*> chain = {&app};
    std::vector<const CLI::Option*> slots = slots_of(app);
    std::size_t filled = 0;
    std::vector<std::string> kept, moved;
    std::size_t i = 0;
    for (; i < args.size() && args[i] != kValuesFollow; ++i) {
        const std::string& word = args[i];
        if (const CLI::Option* option = option_named(chain, word)) {
            kept.push_back(word);
            if (word.find('=') == std::string::npos && option->get_items_expected_min() > 0 && i + 1 < args.size())
                kept.push_back(args[++i]);
            continue;
        }
        if (const CLI::App* sub = filled == 0 && moved.empty() ? subcommand_named(*chain.back(), word) : nullptr) {
            chain.push_back(sub);
            slots = slots_of(*sub);
            kept.push_back(word);
            continue;
        }
        const bool text_slot = filled < slots.size() && slots[filled]->get_type_name().rfind(kTextType, 0) == 0;
        if (text_slot && word.size() > 1 && word[0] == '-') moved.push_back(word);
        else (moved.empty() ? kept : moved).push_back(word);
        ++filled;
    }
    if (moved.empty()) return args;
    kept.push_back(kValuesFollow);
    kept.insert(kept.end(), moved.begin(), moved.end());
    if (i < args.size()) kept.insert(kept.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return kept;
}

}  // namespace host
