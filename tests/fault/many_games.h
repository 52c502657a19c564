// many_games.h: many launch-and-finish cycles in one process, and the handles and child
// processes they leave behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "tests/plugin/plugin_fixture.h"
#include "tests/support/handles.h"

namespace test_support {

// Cycles of full games: natively many; under Wine, where each start is slow, fewer.
#ifdef _WIN32
constexpr int kManyGames = 50;
#else
constexpr int kManyGames = 1000;
#endif
// A handle the system opens for its own reasons now and then (a cached file, a thread) is no leak;
// one per game would be hundreds.
constexpr std::size_t kHandleSlack = 3;

// Plays `cycles` games after two that let the process settle, each engine ending at once, and
// expects no more open handles and child processes afterwards than after the settling games.
// Where the count sees process handles, a game under way must show its engines' handles, so a
// handle a finish forgets to close adds one per game.
inline void expect_nothing_left_by_games(PluginFixture& f, int cycles, const char* what,
                                         const std::function<void()>& play, const std::function<int()>& finish) {
    f.engines.release_all();
    auto game = [&] {
        play();
        EXPECT_TRUE(wait_until([&] { return finish() == 1; }));
    };
    game();
    const std::size_t settled = open_handle_count();
    play();
    const std::size_t during_game = open_handle_count();
    EXPECT_TRUE(wait_until([&] { return finish() == 1; }));
    std::string why;
    if (process_handles_counted(&why)) {
        EXPECT_GT(during_game, settled) << "a game under way shows no process handle in the count";
    } else {
        std::printf("%s: process handles are not counted: %s; the child processes are\n", what, why.c_str());
    }
    const std::size_t handles_before = open_handle_count();
    const std::size_t children_before = child_process_count();
    for (int i = 0; i < cycles && !::testing::Test::HasFailure(); ++i) game();
    const std::size_t handles_after = open_handle_count();
    const std::size_t children_after = child_process_count();
    std::printf("%s: %d games: open handles %zu -> %zu, child processes %zu -> %zu\n", what, cycles,
                handles_before, handles_after, children_before, children_after);
    EXPECT_LE(handles_after, handles_before + kHandleSlack);
    EXPECT_LE(children_after, children_before);
}

}  // namespace test_support
