// engine_log.h: what the fake engines started during one test recorded, and their release.
//
// Every engine start is one "start" record (its exact parameter text, show mode, priority,
// folder, response file, process number and own release file); an engine adds a "priority"
// record when its priority changes and an "end" record when it ends by itself (a killed one
// writes none). Tests pick a start by what it was started with, never by the order of the log.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace test_support {

using Record = nlohmann::json;

// The priority an engine records when started normally, and after the platform layer raised
// it: the priority class on Windows (32, 128), the nice value on posix (the test program's own,
// and -10 where this user may raise a priority; where it may not, the normal one, said once).
long normal_priority();
long high_priority();

// The show modes an engine records: Windows' SW_SHOWNORMAL and SW_MINIMIZE.
constexpr int kShowNormal = 1;
constexpr int kShowMinimize = 6;

unsigned long pid_of(const Record& start);

class EngineLog {
public:
    // Points every fake engine this process starts from now on at the log and release files in
    // `folder` (which ends in a separator).
    void open(const std::string& folder);
    const std::string& path() const { return path_; }

    std::vector<Record> events() const;
    std::vector<Record> starts() const;
    // The one start that satisfies `match`; with none or several, a null record and a test
    // failure that lists every start.
    Record start_where(const std::function<bool(const Record&)>& match) const;
    // The start whose parameter text begins with `prefix`.
    Record start_beginning(const std::string& prefix) const;
    bool wait_for_starts(std::size_t count) const;
    // The one start that is not among `earlier` (starts read before a launch).
    Record new_start(const std::vector<Record>& earlier) const;

    // What the engine of `start` recorded after its start (process numbers come round again, so
    // a later start with the same number belongs to another engine).
    std::vector<Record> events_of(const Record& start) const;
    // Its end record, or a null record while it has not ended by itself.
    Record end_of(const Record& start) const;
    bool wait_for_end(const Record& start) const;
    // The priority it recorded last.
    std::optional<long> priority_of(const Record& start) const;
    bool wait_for_priority(const Record& start, long priority) const;

    // Lets one engine end (within its 20 ms poll), or every engine.
    void release(const Record& start) const;
    void release_all() const;

private:
    std::string path_;
    std::string release_all_path_;
};

}  // namespace test_support
