// flag_table.h: the Brannock engine's five game-flag words and the 125 items that form them.
//
// One table serves both directions: the launch reads every item and sums the words for the
// server's command line; the server-settings reader walks the same rows to write the items back
// from a server's words. The settings description declares the same (group, key) pairs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace brannock {

constexpr std::size_t kFlagWordCount = 5;
constexpr std::size_t kFlagRowCount = 125;

// One flag word: the multiplayer settings group that holds its items and the engine option that
// carries it ("+dmflags " ...; every option ends in a blank).
struct FlagWordInfo {
    const char* group;
    const char* option;
};

// One flag item. Keys repeat across groups (`keepteams` is in dmflags2 and dmflags3): an item is
// (group, key), and each has its own value in its own word.
struct FlagRow {
    std::size_t word;    // index into flag_words()
    const char* group;   // flag_words()[word].group, filled from the word
    const char* key;
    int32_t value;
};

// All rows, word by word in the order dmflags1, dmflags2, dmflags3, compatflags, compatflags2.
std::span<const FlagRow> flag_rows();
// The five words in command-line order.
std::span<const FlagWordInfo, kFlagWordCount> flag_words();

using FlagWords = std::array<int32_t, kFlagWordCount>;

// Reads one boolean item of the multiplayer page; nonzero means on.
using FlagReader = std::function<int(const char* group, const char* key)>;

// Asks `read` once per row, in table order (items that are off included), and adds the value of
// every item that is on to its word.
FlagWords compute_flag_words(const FlagReader& read);

// "+dmflags 0 +dmflags2 0 +zadmflags 0 +compatflags 0 +zacompatflags 0 " with the words' values.
std::string flag_words_text(const FlagWords& words);

}  // namespace brannock
