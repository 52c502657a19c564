// browse_commands.cpp: the sdll-host commands of the public server browser: browse, copy and
// join, and how they reach the master and the servers.
#include "host/browse.h"
#include "host/commands.h"

namespace host::commands {
namespace {

int browser(const Run& run, BrowserCommand::Kind kind) {
    BrowserCommand command = run.options.browser;
    command.kind = kind;
    command.settings_file = run.options.settings;
    return run_browser_command(run.launcher, command, run.out, run.err);
}

// How browse, copy and join reach the master and the servers.
void server_options(CLI::App* command, Options* o) {
    BrowseOptions& b = o->browser.browse;
    command->add_option("--server-wait", b.server_wait_ms, "milliseconds each server may stay silent (1..600000); "
                                                           "one retry halfway")
        ->capture_default_str()
        ->check(CLI::Range(1, 600000));
    command->add_option("--master", b.master, "send the master query to HOST:PORT instead of "
                                              "engine/servers/masteraddress");
    command->add_option("--master-wait", b.master_wait_ms, "milliseconds to wait for the master's first datagram "
                                                           "(1..600000)")
        ->capture_default_str()
        ->check(CLI::Range(1, 600000));
}

}  // namespace

int browse(const Run& run) { return browser(run, BrowserCommand::list); }
int copy(const Run& run) { return browser(run, BrowserCommand::copy); }
int join(const Run& run) { return browser(run, BrowserCommand::join); }

void browse_options(CLI::App* command, Options* o) {
    command->add_flag("--json", o->browser.json, "print one JSON document, also when the browse fails: master, "
                                                 "master_datagrams, master_list, error, servers [{number, address, "
                                                 "port, status, properties}]");
    server_options(command, o);
}

void copy_options(CLI::App* command, Options* o) {
    auto* number = command->add_option("number", o->browser.number, "server number in the browse table")
                       ->check(CLI::Range(1, 1 << 20));
    auto* address = command->add_option("--address", o->browser.address, "query this one server (HOST:PORT, the "
                                                                          "server's UDP port as the ADDRESS column "
                                                                          "of browse shows it) instead of browsing");
    number->excludes(address);
    server_options(command, o);
}

void join_options(CLI::App* command, Options* o) {
    copy_options(command, o);
    command->add_option("--player", o->browser.player, "this player's name")->capture_default_str();
    command->add_option("--timeout", o->browser.wait.timeout_s, "seconds to wait for the finish (above 0, at most "
                                                                "a day)")
        ->capture_default_str()
        ->check(kSeconds);
}

}  // namespace host::commands
