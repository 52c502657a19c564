// windows_arguments.cpp: the Windows argument rules for process starts, for posix (Linux) builds.
#include "platform/posix/windows_arguments.h"

namespace platform::detail {

std::vector<std::string> split_command_line(const std::string& parameters) {
    const std::string& s = parameters;
    const std::size_t n = s.size();
    auto blank = [](char c) { return c == ' ' || c == '\t'; };

    std::vector<std::string> args;
    std::string current;
    std::size_t backslashes = 0;   // run of backslashes just before the current character
    int quotes = 0;                // 1 inside a quoted part; counts a run of quotes modulo 3
    std::size_t i = 0;
    while (i < n && blank(s[i])) ++i;
    if (i == n) return args;

    while (i < n) {
        const char c = s[i];
        if (blank(c) && quotes == 0) {
            args.push_back(std::move(current));
            current.clear();
            backslashes = 0;
            while (i < n && blank(s[i])) ++i;
            if (i == n) return args;
            continue;
        }
        if (c == '\\') {
            current += c;
            ++backslashes;
            ++i;
            continue;
        }
        if (c == '"') {
            if (backslashes % 2 == 0) {
                current.erase(current.size() - backslashes / 2);
                ++quotes;
            } else {
                current.erase(current.size() - backslashes / 2 - 1);
                current += '"';
            }
            backslashes = 0;
            ++i;
            for (; i < n && s[i] == '"'; ++i) {
                if (++quotes == 3) {
                    current += '"';
                    quotes = 0;
                }
            }
            if (quotes == 2) quotes = 0;
            continue;
        }
        current += c;
        backslashes = 0;
        ++i;
    }
    args.push_back(std::move(current));
    return args;
}

}  // namespace platform::detail
