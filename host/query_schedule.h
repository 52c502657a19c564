// query_schedule.h: when the browse sends each server its query, asks a silent one again, and
// gives it up.
//
// At most `window` queries are in flight at once; a server silent for half its wait is asked once
// more, one silent for its whole wait is given up and stays unanswered. Pure bookkeeping over the
// moments it is told: the browse sends, receives and reads the clock (browse.cpp).
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

namespace host {

class QuerySchedule {
public:
    using Clock = std::chrono::steady_clock;

    QuerySchedule(std::size_t servers, std::size_t window, std::chrono::milliseconds wait);

    struct Send {
        std::size_t server;
        bool again;   // the retry of a silent server
    };
    // What is to go out at `now`: first queries while the window has room, then the retries that
    // are due. Servers silent for their whole wait leave the window.
    std::vector<Send> due(Clock::time_point now);
    // A first query that could not be sent leaves the window; its server stays unanswered.
    void not_sent(std::size_t server);
    // An answer from `server`: true when its query was in flight, false for a stray, late or
    // second answer.
    bool answered(std::size_t server);
    // Every server answered, given up or never sent.
    bool done() const;
    // The next moment something is due: at once while the window has room, else the nearest retry
    // or give-up.
    Clock::time_point next(Clock::time_point now) const;

private:
    struct Query {
        Clock::time_point sent_at;
        bool in_flight = false;
        bool retried = false;
    };
    std::vector<Query> queries_;
    std::size_t window_;
    std::chrono::milliseconds wait_;
    std::size_t next_ = 0;        // the first server never sent
    std::size_t in_flight_ = 0;
};

}  // namespace host
