// settings_commands.cpp: the sdll-host commands on the settings pages: describe, get and set.
#include <array>
#include <ostream>

#include "host/browse.h"
#include "host/commands.h"
#include "host/os.h"
#include "host/settings_pages.h"

namespace host::commands {
namespace {

constexpr const char* kMasterAddress = "engine/servers/masteraddress";
constexpr const char* kEngineFolder = "engine/general/enginepath";

// "page/group/key" into its parts.
std::array<std::string, 3> split_address(const std::string& text) {
    const size_t first = text.find('/');
    const size_t second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos || text.find('/', second + 1) != std::string::npos || first == 0 ||
        second == first + 1 || second + 1 == text.size())
        throw Failure{kExitUsage, "'" + text + "' is not page/group/key"};
    return {text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1)};
}

}  // namespace

int describe(const Run& run) {
    if (run.options.json) print_json(pages_json(run.launcher), run.out);
    else print_pages(run.launcher, run.out);
    return kExitOk;
}

int get(const Run& run) {
    const auto [page, group, key] = split_address(run.options.address);
    const auto value = run.launcher.get_value(page, group, key);
    if (!value)
        throw Failure{kExitUsage, "no setting " + run.options.address + " in the description of " + run.launcher.name()};
    if (run.options.json) print_json({{"setting", run.options.address}, {"value", *value}}, run.out);
    else run.out << *value << "\n";
    return kExitOk;
}

// The settings stay as permissive as the launcher's page: an address the browse could not use is
// taken, with a warning.
int set(const Run& run) {
    const auto [page, group, key] = split_address(run.options.address);
    std::string error;
    if (!run.launcher.set(page, group, key, run.options.value, &error)) throw Failure{kExitUsage, error};
    save(run.launcher, run.options);
    if (run.options.address == kMasterAddress)
        if (const std::string why = master_address_problem(run.launcher); !why.empty())
            run.err << "sdll-host: warning: " << why << " (HOST:PORT, or HOST alone for the default port)\n";
    if (run.options.address == kEngineFolder && !run.options.value.empty() &&
        os::file_kind(run.options.value) != os::FileKind::folder)
        run.err << "sdll-host: warning: the engine folder " << run.options.value << " does not exist (yet); no game "
                << "starts until it holds the engine (see 'check')\n";
    return kExitOk;
}

void get_options(CLI::App* command, Options* o) {
    command->add_option("address", o->address, "page/group/key")->required();
    json_option(command, o);
}

void set_options(CLI::App* command, Options* o) {
    command->add_option("address", o->address, "page/group/key")->required();
    command->add_option("value", o->value, "the value: 0/1, a number, a list key or a text")->required();
}

}  // namespace host::commands
