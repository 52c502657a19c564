// value_words.h: a value that looks like an option ("-nomusic", "/home/me/wads") taken as the
// value it stands in the place of.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace host {

// The command words with every word from the first text value that starts with '-' (and names
// none of the command's options) moved after a "--", in their order, so the parser takes them
// as values; the words unchanged when there is none. `app` is the whole command, subcommands
// included.
std::vector<std::string> values_as_values(const CLI::App& app, const std::vector<std::string>& args);

}  // namespace host
