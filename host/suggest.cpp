// suggest.cpp: the nearest word by typing slips (restricted Damerau-Levenshtein distance).
#include "host/suggest.h"

#include <algorithm>

namespace host {
namespace {

constexpr std::size_t kMostSlips = 2;

std::size_t slips(std::string_view a, std::string_view b) {
    // d[i][j]: slips between the first i letters of a and the first j of b.
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

}  // namespace

std::string closest_word(std::string_view word, const std::vector<std::string>& choices) {
    std::string best;
    std::size_t best_slips = kMostSlips + 1;
    for (const std::string& choice : choices) {
        const std::size_t n = slips(word, choice);
        // A word of two letters is two slips from any other: only nearer ones count.
        if (n < best_slips && n < std::max<std::size_t>(word.size(), 1)) {
            best = choice;
            best_slips = n;
        }
    }
    return best;
}

std::string did_you_mean(std::string_view word, const std::vector<std::string>& choices) {
    const std::string near = closest_word(word, choices);
    return near.empty() ? "" : " (did you mean '" + near + "'?)";
}

}  // namespace host
