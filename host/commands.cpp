// commands.cpp: what the groups of sdll-host subcommands share: waits, saving, JSON output.
#include "host/commands.h"

#include <cmath>
#include <cstdlib>
#include <ostream>

namespace host::commands {
namespace {

constexpr double kMostSeconds = 86400;

}  // namespace

const CLI::Validator kSeconds(
    [](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (!text.empty() && *end == '\0' && std::isfinite(seconds) && seconds > 0 && seconds <= kMostSeconds)
            return "";
        return "wants a number of seconds above 0 and at most " + std::to_string(static_cast<int>(kMostSeconds)) +
               ", not '" + text + "'";
    },
    "SECONDS");

void save(const Launcher& launcher, const Options& options) {
    if (options.settings.empty()) throw Failure{kExitUsage, "this needs --settings FILE to keep the change"};
    std::string error;
    if (!launcher.save_settings(options.settings, &error)) throw Failure{kExitUsage, error};
}

void print_json(const nlohmann::json& document, std::ostream& out) {
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void json_option(CLI::App* command, Options* o) {
    command->add_flag("--json", o->json, "print one JSON document");
}

}  // namespace host::commands
