// journal.cpp: the record of every launcher call, in memory and as JSON lines in a file.
#include "host/launcher_impl.h"
#include "host/os.h"

namespace host {

nlohmann::json JournalEntry::to_json() const {
    nlohmann::json line = {{"slot", slot}, {"name", name}, {"args", args}, {"result", result}};
    if (undeclared) line["undeclared"] = true;
    if (mistyped) line["mistyped"] = true;
    return line;
}

namespace {

void write_line(std::ostream& out, const JournalEntry& entry) {
    out << entry.to_json().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    out.flush();
}

}  // namespace

JournalEntry journal_entry(unsigned slot, std::string name, nlohmann::json args, nlohmann::json result) {
    JournalEntry entry;
    entry.slot = slot;
    entry.name = std::move(name);
    entry.args = std::move(args);
    entry.result = std::move(result);
    return entry;
}

void record_export(Launcher& launcher, const char* name, nlohmann::json args, nlohmann::json result) {
    launcher.record(journal_entry(kSlotCount, name, std::move(args), std::move(result)));
}

void Launcher::record(JournalEntry entry) {
    if (impl_->journal_out) write_line(*impl_->journal_out, entry);
    impl_->journal.push_back(std::move(entry));
}

const std::vector<JournalEntry>& Launcher::journal() const { return impl_->journal; }

void Launcher::clear_journal() { impl_->journal.clear(); }

void Launcher::set_journal_file(const std::string& path) {
    impl_->journal_out.reset();
    if (path.empty()) return;
    impl_->journal_out = os::open_for_appending(path);
    if (!impl_->journal_out) return;
    // The load happened before any file could be named; it belongs in the file all the same.
    for (const auto& entry : impl_->journal) write_line(*impl_->journal_out, entry);
}

}  // namespace host
