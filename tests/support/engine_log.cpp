// engine_log.cpp: reading the fake engines' records and writing their release files.
#include "tests/support/engine_log.h"

#include <algorithm>
#include <iostream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/deadline.h"
#include "tests/support/environment.h"
#include "tests/support/test_paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>

#include <fstream>
#endif

namespace test_support {
namespace {

// Longer than any test waits, so an engine never gives up while a test still counts on it; an
// engine a failed test left behind still ends by itself.
constexpr const char* kEngineGiveUpSeconds = "120";

#ifndef _WIN32
constexpr long kHighNice = -10;
constexpr unsigned kCapSysNice = 23;

// Whether this process may lower a nice value to kHighNice: CAP_SYS_NICE, or a nice limit that
// reaches it.
bool may_raise_priority() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const unsigned long long caps = std::stoull(line.substr(7), nullptr, 16);
        if (caps >> kCapSysNice & 1) return true;
    }
    rlimit limit{};
    return getrlimit(RLIMIT_NICE, &limit) == 0 &&
           (limit.rlim_cur == RLIM_INFINITY || 20 - static_cast<long>(limit.rlim_cur) <= kHighNice);
}
#endif

std::string type_of(const Record& event) { return event.value("event", ""); }

}  // namespace

long normal_priority() {
#ifdef _WIN32
    return NORMAL_PRIORITY_CLASS;
#else
    return getpriority(PRIO_PROCESS, 0);
#endif
}

long high_priority() {
#ifdef _WIN32
    return HIGH_PRIORITY_CLASS;
#else
    static const bool may = may_raise_priority();
    if (!may) {
        static const bool said = (std::cerr << "note: this user cannot raise a process's priority, so an "
                                               "engine's high priority is expected to stay normal\n",
                                  true);
        (void)said;
        return normal_priority();
    }
    return kHighNice;
#endif
}

unsigned long pid_of(const Record& start) {
    return start.is_object() ? start.value("pid", 0ul) : 0ul;
}

void EngineLog::open(const std::string& folder) {
    path_ = folder + "engine-log.jsonl";
    release_all_path_ = folder + "release";
    set_env("FAKE_ENGINE_LOG", path_);
    set_env("FAKE_ENGINE_RELEASE", release_all_path_);
    set_env("FAKE_ENGINE_TIMEOUT", kEngineGiveUpSeconds);
}

std::vector<Record> EngineLog::events() const {
    std::vector<Record> events;
    std::istringstream in(read_file(path_));
    for (std::string line; std::getline(in, line);) {
        // A line still being written has no line end yet and does not parse: it is left for the
        // next reading.
        const Record event = Record::parse(line, nullptr, false);
        if (!event.is_discarded()) events.push_back(event);
    }
    return events;
}

std::vector<Record> EngineLog::starts() const {
    std::vector<Record> starts;
    for (const Record& event : events())
        if (type_of(event) == "start") starts.push_back(event);
    return starts;
}

Record EngineLog::start_where(const std::function<bool(const Record&)>& match) const {
    const std::vector<Record> all = starts();
    Record found;
    int count = 0;
    for (const Record& start : all) {
        if (!match(start)) continue;
        found = start;
        ++count;
    }
    if (count == 1) return found;
    std::string listing;
    for (const Record& start : all) listing += "\n  [" + start.value("parameters", "") + "]";
    ADD_FAILURE() << count << " engine starts match, of these:" << listing;
    return Record();
}

Record EngineLog::start_beginning(const std::string& prefix) const {
    return start_where([&](const Record& start) { return start.value("parameters", "").rfind(prefix, 0) == 0; });
}

Record EngineLog::new_start(const std::vector<Record>& earlier) const {
    return start_where([&](const Record& start) { return std::find(earlier.begin(), earlier.end(), start) == earlier.end(); });
}

bool EngineLog::wait_for_starts(std::size_t count) const {
    return wait_until([&] { return starts().size() >= count; });
}

std::vector<Record> EngineLog::events_of(const Record& start) const {
    std::vector<Record> own;
    const unsigned long pid = pid_of(start);
    bool after = false;
    for (const Record& event : events()) {
        if (event == start) {
            after = true;
            own.push_back(event);
        } else if (after && pid_of(event) == pid) {
            if (type_of(event) == "start") break;
            own.push_back(event);
        }
    }
    return own;
}

Record EngineLog::end_of(const Record& start) const {
    for (const Record& event : events_of(start))
        if (type_of(event) == "end") return event;
    return Record();
}

bool EngineLog::wait_for_end(const Record& start) const {
    return wait_until([&] { return !end_of(start).is_null(); });
}

std::optional<long> EngineLog::priority_of(const Record& start) const {
    std::optional<long> last;
    for (const Record& event : events_of(start))
        if (event.contains("priority")) last = event["priority"].get<long>();
    return last;
}

bool EngineLog::wait_for_priority(const Record& start, long priority) const {
    return wait_until([&] { return priority_of(start) == priority; });
}

void EngineLog::release(const Record& start) const {
    const std::string own = start.is_object() ? start.value("release", "") : "";
    if (own.empty()) {
        ADD_FAILURE() << "no release file recorded: " << start.dump();
        return;
    }
    write_file(own, "go");
}

void EngineLog::release_all() const {
    if (!release_all_path_.empty()) write_file(release_all_path_, "go");
}

}  // namespace test_support
