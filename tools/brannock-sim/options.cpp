// options.cpp: brannock-sim, a Brannock master server and game servers on 127.0.0.1 for the
// browser.
//
//   brannock-sim [--scenario FILE | --servers N [--silent N] [--broken N]] [--master-port N]
//                [--seconds N] [--background]
//   brannock-sim [--scenario FILE] --write-corpus DIR
#include "tools/brannock-sim/options.h"

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>

#include "host/os.h"
#include "host/suggest.h"
#include "tools/brannock-sim/simulator.h"

namespace sim {

extern const char kDemoScenario[];   // scenarios/demo.json, built in

namespace {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };
constexpr double kMostSeconds = 86400;
// One socket each: with the master and the standard streams below the 1024 descriptors a
// process commonly gets and a socket set can hold.
constexpr int kMostServers = 1000;

constexpr const char* kUsage =
    "usage: brannock-sim [--scenario FILE | --servers N [--silent N] [--broken N]]\n"
    "                    [--master-port N] [--seconds N] [--background]\n"
    "       brannock-sim [--scenario FILE] --write-corpus DIR\n"
    "       brannock-sim --help | --version\n"
    "Serves the scenario's master server and game servers on 127.0.0.1 and prints their ports\n"
    "(\"master 127.0.0.1:PORT\", then \"server N 127.0.0.1:PORT NAME\" each). Without --scenario it\n"
    "plays the demo scenario built in (scenarios/demo.json). It runs until killed, or for\n"
    "--seconds N (above 0, at most a day). --master-port 0..65535: the master's port, 0 for any\n"
    "free one (default: the scenario's, else 15300). --background (posix): once the ports are\n"
    "printed, goes on in the background and prints \"pid N\", the process to stop with kill N.\n"
    "--servers N (1..1000) serves N generated servers (\"server 1\", ...) instead of a scenario,\n"
    "--silent N of them silent and --broken N broken (cut short, wrong magic, garbage in turn),\n"
    "spread evenly over the list. --write-corpus writes the fuzz seed datagrams and exits.\n"
    "\n"
    "Scenario (JSON): {\"master\": {port, datagrams, status, fault, truncate_at, extra_entries},\n"
    "                  \"servers\": [{name, map, pwads, iwad, game_type, skill, players, flags,\n"
    "                               send, reply_flags, fault, truncate_at, ...}]}\n"
    "An unknown key, a value of the wrong kind or a number out of range is refused.\n"
    "Faults: none; silent (no answer); truncate (decoded reply ends after truncate_at bytes);\n"
    "        wrong_magic (server: another magic); garbage (random bytes);\n"
    "        outdated (master: status 22383).\n"
    "Every key: tools/brannock-sim/README.md; an example: scenarios/demo.json.\n";

struct Options {
    std::string scenario_file, corpus_dir;
    int servers = 0, silent = 0, broken = 0;   // servers 0: no generated scenario
    std::optional<uint16_t> master_port;
    double seconds = 0;   // 0: until killed
    bool background = false;
};

// A whole number of servers from `least` to kMostServers into `target`; empty when taken.
std::string count(const std::string& v, const char* name, int least, int* target) {
    int n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || n < least || n > kMostServers)
        return std::string(name) + " wants a number of servers " + std::to_string(least) + ".." +
               std::to_string(kMostServers) + ", not '" + v + "'";
    *target = n;
    return "";
}

// One option and what its value must be; an empty answer is a value taken.
struct OptionRule {
    const char* name;
    std::string (*take)(const std::string& value, Options* options);
};

const OptionRule kOptions[] = {
    {"--scenario", [](const std::string& v, Options* o) { return o->scenario_file = v, std::string(); }},
    {"--write-corpus", [](const std::string& v, Options* o) { return o->corpus_dir = v, std::string(); }},
    {"--master-port",
     [](const std::string& v, Options* o) {
         unsigned port = 0;
         const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), port);
         if (v.empty() || ec != std::errc() || end != v.data() + v.size() || port > 65535)
             return "--master-port wants a port number 0..65535 (0: any free port), not '" + v + "'";
         o->master_port = static_cast<uint16_t>(port);
         return std::string();
     }},
    {"--servers", [](const std::string& v, Options* o) { return count(v, "--servers", 1, &o->servers); }},
    {"--silent", [](const std::string& v, Options* o) { return count(v, "--silent", 0, &o->silent); }},
    {"--broken", [](const std::string& v, Options* o) { return count(v, "--broken", 0, &o->broken); }},
    {"--seconds",
     [](const std::string& v, Options* o) {
         char* end = nullptr;
         const double seconds = std::strtod(v.c_str(), &end);
         if (v.empty() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0 || seconds > kMostSeconds)
             return "--seconds wants a number of seconds above 0 and at most 86400, not '" + v + "'";
         o->seconds = seconds;
         return std::string();
     }},
};

std::vector<std::string> option_names() {
    std::vector<std::string> names = {"--help", "--version", "--background"};
    for (const OptionRule& rule : kOptions) names.push_back(rule.name);
    return names;
}

// Empty when every argument was taken.
std::string parse(const std::vector<std::string>& args, Options* options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--background") {
            options->background = true;
            continue;
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : kOptions)
            if (arg == candidate.name) rule = &candidate;
        if (!rule)
            return (arg.rfind("-", 0) == 0 ? "unknown option " + arg + host::did_you_mean(arg, option_names())
                                           : "unexpected argument '" + arg + "'");
        if (i + 1 == args.size()) return std::string("missing value after ") + rule->name;
        if (std::string why = rule->take(args[++i], options); !why.empty()) return why;
    }
    if (options->background && !options->corpus_dir.empty()) return "--background serves; --write-corpus does not";
    if (options->servers && !options->scenario_file.empty()) return "--servers makes a scenario; --scenario reads one: give one of the two";
    if ((options->silent || options->broken) && !options->servers) return "--silent and --broken count among --servers N";
    if (options->silent + options->broken > options->servers)
        return "--silent " + std::to_string(options->silent) + " and --broken " + std::to_string(options->broken) +
               " are more than the " + std::to_string(options->servers) + " servers";
    // Refused before a port is opened, so nothing is printed that would suggest it serves.
    if (options->background)
        if (std::string why = host::os::background_refusal(); !why.empty()) return why;
    return "";
}

int serve(const Scenario& scenario, const Options& options, std::ostream& out, std::ostream& err) {
    Simulator simulator;
    std::string error;
    if (!simulator.open(scenario, &error)) {
        err << "brannock-sim: " << error << "\n";
        return kExitFailed;
    }
    out << "master " << kLoopback << ":" << simulator.master_port() << "\n";
    for (std::size_t i = 0; i < scenario.servers.size(); ++i)
        out << "server " << i + 1 << " " << kLoopback << ":" << simulator.server_port(i) << " "
            << scenario.servers[i].name << "\n";
    out.flush();
    if (options.background) {
        unsigned long child = 0;
        switch (host::os::detach(&child, &error)) {
        case host::os::Detached::parent: return out << "pid " << child << "\n", kExitOk;
        case host::os::Detached::failed: return err << "brannock-sim: " << error << "\n", kExitFailed;
        case host::os::Detached::child: break;
        }
    }
    std::atomic<bool> stop{false};
    simulator.run(stop, options.seconds);
    return kExitOk;
}

}  // namespace

int run_brannock_sim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return out << kUsage, kExitOk;
        if (arg == "--version") return out << "brannock-sim " << SDLL_VERSION << "\n", kExitOk;
    }
    Options options;
    if (const std::string why = parse(args, &options); !why.empty()) {
        err << "brannock-sim: " << why << "\n(brannock-sim --help tells the options)\n";
        return kExitUsage;
    }
    Scenario scenario;
    std::string error;
    if (options.servers) scenario = generated_scenario(options.servers, options.silent, options.broken);
    const bool loaded = options.servers || (options.scenario_file.empty()
                                                ? parse_scenario(kDemoScenario, &scenario, &error)
                                                : load_scenario(options.scenario_file, &scenario, &error));
    if (!loaded) {
        err << "brannock-sim: " << (options.scenario_file.empty() ? "the demo scenario" : options.scenario_file)
            << ": " << error << "\n";
        return kExitFailed;
    }
    if (!options.corpus_dir.empty()) {
        if (write_corpus(scenario, options.corpus_dir, &error)) return kExitOk;
        err << "brannock-sim: " << error << "\n";
        return kExitFailed;
    }
    if (options.master_port) scenario.master.port = *options.master_port;
    return serve(scenario, options, out, err);
}

}  // namespace sim
