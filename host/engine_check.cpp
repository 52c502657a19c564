// engine_check.cpp: the `check` command's findings about the engine folder.
#include "host/engine_check.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "frame/iwads.h"
#include "host/os.h"

namespace host {

namespace {

bool ends_in_separator(const std::string& folder) {
    return !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string hint_for(const EngineCheck& check) {
    if (check.folder.empty()) return "no engine folder set: sdll-host set engine/general/enginepath FOLDER/";
    const bool missing = check.result != 0 || std::any_of(check.required.begin(), check.required.end(),
                                                          [](const auto& r) { return !r.found; });
    if (!missing) return "";
    if (!check.folder_exists)
        return "the engine folder " + check.folder + " does not exist; set engine/general/enginepath to the engine's "
               "folder (fake-engine --install FOLDER brannock|orvento makes a try-out one)";
    if (!ends_in_separator(check.folder)) {
        const char separator = check.folder.find('\\') != std::string::npos ? '\\' : '/';
        return "the engine folder '" + check.folder + "' does not end in a path separator, so the file names are "
               "joined to it as they are; set engine/general/enginepath to '" + check.folder + separator + "'";
    }
    return "put the missing files into " + check.folder + " or point engine/general/enginepath elsewhere";
}

}  // namespace

bool required_files(Launcher& launcher, int iwad, std::vector<RequiredFile>* files, std::string* error) {
    auto verification = launcher.get<void*>("SDLL_Verification");
    if (!verification) {
        if (error) *error = "the plug-in " + launcher.name() + " lacks the export SDLL_Verification";
        return false;
    }
    const std::size_t first = launcher.required_files.size();
    const std::size_t first_missing = launcher.missing_files.size();
    if (is_brannock(launcher)) {
        reinterpret_cast<Brannock_Verification_t>(verification)();
        record_export(launcher, "SDLL_Verification", nlohmann::json::array(), nullptr);
    } else {
        reinterpret_cast<Orvento_Verification_t>(verification)(iwad);
        record_export(launcher, "SDLL_Verification", {iwad}, nullptr);
    }
    files->clear();
    // Host_RequireFile has already looked for each.
    const auto missing = launcher.missing_files.begin() + static_cast<std::ptrdiff_t>(first_missing);
    for (std::size_t i = first; i < launcher.required_files.size(); ++i) {
        const auto& [folder, name] = launcher.required_files[i];
        const std::string path = folder + name;
        const bool found = std::find(missing, launcher.missing_files.end(), path) == launcher.missing_files.end();
        files->push_back({name, path, found});
    }
    return true;
}

bool check_engine(Launcher& launcher, EngineCheck* check, std::string* error) {
    auto config = launcher.get<SDLL_EngineConfig_t>("SDLL_EngineConfig");
    if (!config) {
        if (error) *error = "the plug-in " + launcher.name() + " lacks the export SDLL_EngineConfig";
        return false;
    }
    *check = EngineCheck{};
    check->folder = launcher.get_value("engine", "general", "enginepath").value_or("");
    check->folder_exists = os::file_kind(check->folder) == os::FileKind::folder;
    check->result = config();
    record_export(launcher, "SDLL_EngineConfig", nlohmann::json::array(), check->result);
    check->engine_ready = launcher.engine_ready;
    check->iwad_mask = launcher.iwad_mask;
    const bool any_iwad = check->iwad_mask == frame::kAllIwadsMask;
    if (check->iwad_mask)
        for (const auto& row : frame::iwad_table())
            if (any_iwad || (row.orvento_mask & *check->iwad_mask)) check->iwads.emplace_back(row.number, row.file);
    if (!required_files(launcher, 0, &check->required, error)) return false;
    check->hint = hint_for(*check);
    return true;
}

void print_check(const EngineCheck& check, std::ostream& out) {
    out << "SDLL_EngineConfig: " << check.result << (check.result == 0 ? " (accepted)" : " (refused)") << "\n";
    out << "engine ready: " << check.engine_ready << "\n";
    out << "IWAD mask: " << (check.iwad_mask ? hex(*check.iwad_mask) : std::string("not set"))
        << (check.iwad_mask && *check.iwad_mask == frame::kAllIwadsMask ? " (any IWAD)" : "") << "\n";
    for (const auto& [number, file] : check.iwads) out << "IWAD " << number << ": " << file << "\n";
    if (check.iwad_mask == frame::kAllIwadsMask) out << "IWAD " << frame::kUnknownIwad << ": any other IWAD\n";
    if (!check.iwads.empty()) out << "(launch --iwad takes these numbers)\n";
    for (const auto& required : check.required)
        out << (required.found ? "found: " : "missing: ") << required.name << " (tried " << required.path << ")\n";
    if (!check.hint.empty()) out << "hint: " << check.hint << "\n";
}

nlohmann::json check_json(const EngineCheck& check) {
    nlohmann::json iwads = nlohmann::json::array();
    for (const auto& [number, file] : check.iwads) iwads.push_back({{"number", number}, {"file", file}});
    nlohmann::json required = nlohmann::json::array();
    for (const auto& r : check.required) required.push_back({{"name", r.name}, {"path", r.path}, {"found", r.found}});
    return {{"result", check.result},
            {"accepted", check.result == 0},
            {"engine_ready", check.engine_ready},
            {"iwad_mask", check.iwad_mask ? nlohmann::json(*check.iwad_mask) : nlohmann::json()},
            {"iwads", iwads},
            {"engine_folder", check.folder},
            {"required", required},
            {"hint", check.hint.empty() ? nlohmann::json() : nlohmann::json(check.hint)}};
}

}  // namespace host
