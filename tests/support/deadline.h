// deadline.h: waiting in tests for an event, never for a fixed time.
#pragma once

#include <chrono>
#include <thread>

namespace test_support {

// One generous limit for every wait on an event: processes start slowly under Wine. A wait that
// reaches it has failed; a wait that sees its event returns at once.
constexpr int kDeadlineMs = 60000;

// Asks `done` every 10 ms until it answers true (true) or `timeout_ms` has passed (false).
template <class Done>
bool wait_until(Done done, int timeout_ms = kDeadlineMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace test_support
