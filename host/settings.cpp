// settings.cpp: the settings store (values per page, group and key) and its text file.
//
// Values are kept as text in the form a person would type them: "0"/"1" for a boolean, the
// decimal number, a select's list key, the text itself. Unset items read as their defaults.
// The file holds one `page/group/key = value` line per item, one `file = PATH` line per extra
// game file (`copied-file = PATH` for one the last copy of a server's settings added) and one
// `wad-dir = FOLDER` line per folder searched for game files; blank lines and
// lines starting with # are kept and written back above the entry they stood above. A value that
// starts or ends with a blank, starts with a quote or holds a line break is written as a JSON
// string so it survives the trip. A file that exists but cannot be read is an error, never an
// empty store: saving over it would lose it; so is a setting given twice (which line was meant?).
#include "host/launcher_impl.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <sstream>
#include <utility>

#include "host/os.h"

namespace host {

namespace {

constexpr const char* kFileKey = "file";
constexpr const char* kCopiedFileKey = "copied-file";
constexpr const char* kWadDirKey = "wad-dir";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";   // editors on Windows start UTF-8 files with it
constexpr const char* kHeaderStart = "# Settings of the ";  // the line a save writes first, not the person's

// The value a fresh store holds for the item.
std::string default_of(const Item& item) {
    const std::string written = item.default_value.value_or("");
    switch (item.type) {
    case ItemType::Boolean:
    case ItemType::Number:
        return written.empty() ? "0" : written;
    case ItemType::Select:
        if (!written.empty()) return written;
        return item.list.empty() ? "0" : item.list.front().key;
    case ItemType::Map:
        // The descriptions write a bare 0 for "no map chosen".
        return (!item.default_quoted && written == "0") ? "" : written;
    case ItemType::Caption:
        return "";
    default:
        return written;
    }
}

std::optional<long long> to_integer(const std::string& text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool needs_quotes(const std::string& value) {
    if (value.empty()) return false;
    return value.find_first_of("\r\n") != std::string::npos || value.front() == '"' ||
           value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t';
}

std::string file_form(const std::string& value) {
    if (!needs_quotes(value)) return value;
    return nlohmann::json(value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::string setting_address(const std::string& page, const std::string& group, const std::string& key) {
    return page + "/" + group + "/" + key;
}

std::string current_value(const Launcher::Impl& impl, const std::string& page, const std::string& group,
                          const Item& item) {
    const auto found = impl.values.find(setting_address(page, group, item.key));
    return found != impl.values.end() ? found->second : default_of(item);
}

int integer_of(const std::string& value) {
    const auto number = to_integer(value);
    if (!number) return 0;
    if (*number > INT_MAX) return INT_MAX;
    if (*number < INT_MIN) return INT_MIN;
    return static_cast<int>(*number);
}

std::optional<std::string> value_fault(const Item& item, const std::string& value) {
    switch (item.type) {
    case ItemType::Caption:
        return std::string("is a caption and holds no value");
    case ItemType::Boolean:
        // Copying a server's settings stores a flag's own bits (non-zero means on), so a saved
        // file holds more than 0 and 1.
        if (!to_integer(value)) return "must be 0 or 1 (any non-zero integer is on), not '" + value + "'";
        return std::nullopt;
    case ItemType::Number: {
        const auto number = to_integer(value);
        if (!number) return "must be an integer, not '" + value + "'";
        if (item.min && *number < *item.min) return "must be at least " + std::to_string(*item.min);
        if (item.max && *number > *item.max) return "must be at most " + std::to_string(*item.max);
        return std::nullopt;
    }
    case ItemType::Select: {
        if (item.row(value)) return std::nullopt;
        std::string keys;
        for (const auto& row : item.list) keys += (keys.empty() ? "" : ", ") + row.key;
        return "must be one of its list keys (" + keys + "), not '" + value + "'";
    }
    case ItemType::Text:
        if (item.maxlength && *item.maxlength > 0 && static_cast<long long>(value.size()) > *item.maxlength)
            return "is longer than " + std::to_string(*item.maxlength) + " characters";
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool Launcher::set(const std::string& page, const std::string& group, const std::string& key,
                   const std::string& value, std::string* error) {
    const std::string address = setting_address(page, group, key);
    const Item* item = impl_->description.item(page, group, key);
    if (!item) {
        if (error) *error = "no setting " + address + " in the description of " + impl_->name;
        return false;
    }
    if (const auto fault = value_fault(*item, value)) {
        if (error) *error = "setting " + address + " " + *fault;
        return false;
    }
    impl_->values[address] = value;
    return true;
}

std::optional<std::string> Launcher::get_value(const std::string& page, const std::string& group,
                                               const std::string& key) const {
    const Item* item = impl_->description.item(page, group, key);
    if (!item || item->type == ItemType::Caption) return std::nullopt;
    return current_value(*impl_, page, group, *item);
}

namespace {

// A settings file as read so far; taken into the store only once every line has passed.
struct SettingsReading {
    std::map<std::string, std::string> values;
    std::map<std::string, int> first_line;
    std::map<std::string, std::vector<std::string>> notes;
    std::vector<std::string> pending_notes;   // comment and blank lines above the next entry
    std::vector<std::string> files, copied_files, wad_dirs;
};

// Takes one line (numbered from 1); what is wrong with it, or nothing.
std::optional<std::string> take_line(const Description& description, const std::string& plugin, std::string raw,
                                     int number, SettingsReading* reading) {
    if (number == 1 && raw.rfind(kByteOrderMark, 0) == 0) raw.erase(0, std::strlen(kByteOrderMark));
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') {
        if (line.rfind(kHeaderStart, 0) != 0) reading->pending_notes.push_back(line);
        return std::nullopt;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return "expected 'page/group/key = value'";
    const std::string name = trim(line.substr(0, equals));
    std::string value = trim(line.substr(equals + 1));
    if (!value.empty() && value.front() == '"') {
        const auto parsed = nlohmann::json::parse(value, nullptr, false);
        if (!parsed.is_string()) return "malformed quoted value " + value;
        value = parsed.get<std::string>();
    }
    if (name == kFileKey || name == kCopiedFileKey || name == kWadDirKey) {
        auto& list = name == kWadDirKey ? reading->wad_dirs : reading->files;
        const std::string list_key = name == kWadDirKey ? kWadDirKey : kFileKey;
        reading->notes[list_key + "#" + std::to_string(list.size())] = std::exchange(reading->pending_notes, {});
        list.push_back(value);
        if (name == kCopiedFileKey) reading->copied_files.push_back(value);
        return std::nullopt;
    }
    const size_t first = name.find('/');
    const size_t second = first == std::string::npos ? first : name.find('/', first + 1);
    if (second == std::string::npos || name.find('/', second + 1) != std::string::npos)
        return "'" + name + "' is not page/group/key";
    const Item* item =
        description.item(name.substr(0, first), name.substr(first + 1, second - first - 1), name.substr(second + 1));
    if (!item) return "no setting " + name + " in the description of " + plugin;
    if (const auto fault = value_fault(*item, value)) return "setting " + name + " " + *fault;
    if (const auto earlier = reading->first_line.find(name); earlier != reading->first_line.end())
        return name + " is set a second time (first on line " + std::to_string(earlier->second) +
               "); keep one of the two lines";
    reading->first_line[name] = number;
    reading->notes[name] = std::exchange(reading->pending_notes, {});
    reading->values[name] = value;
    return std::nullopt;
}

}  // namespace

bool Launcher::load_settings(const std::string& file, std::string* error) {
    auto unreadable = [&](const std::string& why) {
        if (error) *error = "settings file " + file + " cannot be read: " + why;
        return false;
    };
    switch (os::file_kind(file)) {
    case os::FileKind::none: return true;   // nothing saved yet
    case os::FileKind::file: break;
    default: return unreadable("it is not a plain file, or the system will not say what it is");
    }
    const auto bytes = os::read_file(file);
    if (!bytes) return unreadable("it cannot be opened (check its permissions)");
    std::istringstream in(*bytes);
    SettingsReading reading;
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        if (const auto why = take_line(impl_->description, impl_->name, raw, ++number, &reading)) {
            if (error) *error = file + " line " + std::to_string(number) + ": " + *why;
            return false;
        }
    }
    for (auto& [name, value] : reading.values) impl_->values[name] = value;
    reading.notes[""] = std::move(reading.pending_notes);
    impl_->notes = std::move(reading.notes);
    files = std::move(reading.files);
    copied_files = std::move(reading.copied_files);
    wad_dirs = std::move(reading.wad_dirs);
    return true;
}

bool Launcher::save_settings(const std::string& file, std::string* error) const {
    std::ostringstream text;
    text << kHeaderStart << impl_->name
         << " plug-in: page/group/key = value; file = extra game file; copied-file = one the last copy "
            "added; wad-dir = folder searched for game files\n";
    auto entry = [&](const std::string& note_key, const std::string& name, const std::string& value) {
        if (const auto notes = impl_->notes.find(note_key); notes != impl_->notes.end())
            for (const auto& line : notes->second) text << line << '\n';
        text << name << " = " << file_form(value) << '\n';
    };
    for (const auto& page : impl_->description.pages)
        for (const auto& group : page.groups)
            for (const auto& item : group.items) {
                if (item.type == ItemType::Caption) continue;
                const std::string address = setting_address(page.name, group.name, item.key);
                entry(address, address, current_value(*impl_, page.name, group.name, item));
            }
    std::vector<std::string> copied = copied_files;   // each marks one entry of `files`
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto mark = std::find(copied.begin(), copied.end(), files[i]);
        const bool was_copied = mark != copied.end();
        if (was_copied) copied.erase(mark);
        entry(std::string(kFileKey) + "#" + std::to_string(i), was_copied ? kCopiedFileKey : kFileKey, files[i]);
    }
    for (std::size_t i = 0; i < wad_dirs.size(); ++i)
        entry(std::string(kWadDirKey) + "#" + std::to_string(i), kWadDirKey, wad_dirs[i]);
    if (const auto closing = impl_->notes.find(""); closing != impl_->notes.end())
        for (const auto& line : closing->second) text << line << '\n';

    // Written beside the old file and renamed over it, so a failed write leaves the old one whole.
    if (os::replace_file(file, text.str(), error)) return true;
    if (error) *error = "settings file: " + *error;
    return false;
}

}  // namespace host
