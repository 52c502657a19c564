// launcher_impl.h: the launcher's private state, shared by its implementation files.
//
// launcher.cpp drives the load (modules are opened through os.h), settings.cpp keeps values,
// callbacks.cpp answers the 26 slots, journal.cpp records calls. Not for plug-in tests.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <optional>
#include <string>

#include "host/description.h"
#include "host/host.h"

namespace host {

struct Launcher::Impl {
    void* module = nullptr;
    ExportLookup linked = nullptr;   // set instead of `module` for plug-in code linked in
    std::string name;
    uint16_t capabilities = 0;
    int load_result = -1;
    bool description_received = false;
    std::string description_bytes;
    Description description;
    std::map<std::string, std::string> values;   // "page/group/key" -> value text, set ones only
    // The person's own comment and blank lines of the settings file, under the entry they stand
    // above ("page/group/key", "file#N", "wad-dir#N"; "" for those after the last entry), so a
    // save writes them back where they were.
    std::map<std::string, std::vector<std::string>> notes;
    std::vector<JournalEntry> journal;
    std::unique_ptr<std::ostream> journal_out;   // the journal file, when one is named
    // Every UTF-16 text handed to the plug-in; kept for the Launcher's lifetime, so a text stays
    // valid however long the export that asked for it runs.
    std::deque<std::u16string> texts;
};

struct LauncherAccess {
    static Launcher::Impl& impl(Launcher& launcher) { return *launcher.impl_; }
};

// ---- callbacks.cpp -------------------------------------------------------------------------
// The launcher the callbacks answer for; null when none is open.
Launcher* active_launcher();
void set_active_launcher(Launcher* launcher);
// The function offered for `slot` (0..25) and its name.
void* callback_function(unsigned slot);
const char* callback_name(unsigned slot);

// ---- journal.cpp ---------------------------------------------------------------------------
// One journal entry: a callback's under its slot, an export's under kSlotCount (SDLL_InitCall's
// under the slot it offers); `result` null for void.
JournalEntry journal_entry(unsigned slot, std::string name, nlohmann::json args, nlohmann::json result = nullptr);

// ---- settings.cpp --------------------------------------------------------------------------
std::string setting_address(const std::string& page, const std::string& group, const std::string& key);
// The item's current value as text: the value set, else its default in the store's form.
std::string current_value(const Launcher::Impl& impl, const std::string& page, const std::string& group,
                          const Item& item);
// What an integer read answers for a value of the item (a select: its list key as a number).
int integer_of(const std::string& value);
// Checks a value against its item; the reason when it does not fit.
std::optional<std::string> value_fault(const Item& item, const std::string& value);

}  // namespace host
