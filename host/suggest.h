// suggest.h: the word a person most likely meant by a misspelt one, for messages that ask
// "did you mean ...?" (sdll-host's subcommands, brannock-sim's scenario keys).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// The choice within two typing slips of `word` (a letter wrong, missing, extra, or two letters
// swapped), the nearest first; empty when none is that near.
std::string closest_word(std::string_view word, const std::vector<std::string>& choices);

// " (did you mean 'browse'?)" for a near choice, else empty.
std::string did_you_mean(std::string_view word, const std::vector<std::string>& choices);

}  // namespace host
