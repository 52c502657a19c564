// query_schedule.cpp: the browse's query window, retries and give-ups.
#include "host/query_schedule.h"

#include <algorithm>

namespace host {

QuerySchedule::QuerySchedule(std::size_t servers, std::size_t window, std::chrono::milliseconds wait)
    : queries_(servers), window_(std::max<std::size_t>(window, 1)), wait_(wait) {}

std::vector<QuerySchedule::Send> QuerySchedule::due(Clock::time_point now) {
    std::vector<Send> sends;
    for (; in_flight_ < window_ && next_ < queries_.size(); ++next_) {
        queries_[next_] = {now, true, false};
        ++in_flight_;
        sends.push_back({next_, false});
    }
    for (std::size_t i = 0; i < next_; ++i) {
        Query& query = queries_[i];
        if (!query.in_flight) continue;
        if (now >= query.sent_at + wait_) {
            query.in_flight = false;
            --in_flight_;
        } else if (!query.retried && now >= query.sent_at + wait_ / 2) {
            query.retried = true;
            sends.push_back({i, true});
        }
    }
    return sends;
}

void QuerySchedule::not_sent(std::size_t server) { answered(server); }

bool QuerySchedule::answered(std::size_t server) {
    if (server >= queries_.size() || !queries_[server].in_flight) return false;
    queries_[server].in_flight = false;
    --in_flight_;
    return true;
}

bool QuerySchedule::done() const { return in_flight_ == 0 && next_ == queries_.size(); }

QuerySchedule::Clock::time_point QuerySchedule::next(Clock::time_point now) const {
    if (in_flight_ < window_ && next_ < queries_.size()) return now;
    Clock::time_point wake = now + wait_;
    for (std::size_t i = 0; i < next_; ++i) {
        const Query& query = queries_[i];
        if (query.in_flight) wake = std::min(wake, query.sent_at + (query.retried ? wait_ : wait_ / 2));
    }
    return wake;
}

}  // namespace host
