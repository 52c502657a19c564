// main.cpp: brannock-sim, a Brannock master server and game servers on 127.0.0.1 for the browser.
//
//   brannock-sim --scenario FILE [--master-port N] [--seconds N]
//   brannock-sim --scenario FILE --write-corpus DIR
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/brannock-sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: brannock-sim --scenario FILE [--master-port N] [--seconds N]\n"
    "       brannock-sim --scenario FILE --write-corpus DIR\n"
    "Serves the scenario's master server and game servers on 127.0.0.1 and prints their ports;\n"
    "runs until killed or for --seconds. --master-port 0 takes any free port (default: the\n"
    "scenario's, else 15300). --write-corpus writes the fuzz seed datagrams and exits.\n"
    "\n"
    "Scenario (JSON): {\"master\": {port, datagrams, status, fault, truncate_at, extra_entries},\n"
    "                  \"servers\": [{name, map, pwads, iwad, game_type, skill, players, flags,\n"
    "                               send, reply_flags, fault, truncate_at, ...}]}\n"
    "Faults: none; silent (no answer); truncate (decoded reply ends after truncate_at bytes);\n"
    "        wrong_magic (server: another magic); garbage (random bytes);\n"
    "        outdated (master: status 22383).\n"
    "Every key: tools/brannock-sim/README.md; an example: scenarios/demo.json.\n";

int usage(const char* problem) {
    if (problem) std::fprintf(stderr, "brannock-sim: %s\n", problem);
    std::fputs(kUsage, problem ? stderr : stdout);
    return problem ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string scenario_file, corpus_dir;
    long master_port = -1;
    double seconds = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") return usage(nullptr);
        if (!has_value) return usage(("missing value after " + arg).c_str());
        const std::string value = argv[++i];
        if (arg == "--scenario") {
            scenario_file = value;
        } else if (arg == "--master-port") {
            master_port = std::strtol(value.c_str(), nullptr, 10);
            if (master_port < 0 || master_port > 65535) return usage("the master port must be 0..65535");
        } else if (arg == "--seconds") {
            seconds = std::strtod(value.c_str(), nullptr);
        } else if (arg == "--write-corpus") {
            corpus_dir = value;
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }
    if (scenario_file.empty()) return usage("--scenario is required");

    sim::Scenario scenario;
    std::string error;
    if (!sim::load_scenario(scenario_file, &scenario, &error)) {
        std::fprintf(stderr, "brannock-sim: %s: %s\n", scenario_file.c_str(), error.c_str());
        return 1;
    }
    if (!corpus_dir.empty()) {
        if (!sim::write_corpus(scenario, corpus_dir, &error)) {
            std::fprintf(stderr, "brannock-sim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (master_port >= 0) scenario.master.port = static_cast<uint16_t>(master_port);

    sim::Simulator simulator;
    if (!simulator.open(scenario, &error)) {
        std::fprintf(stderr, "brannock-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("master %s:%u\n", sim::kLoopback, simulator.master_port());
    for (std::size_t i = 0; i < scenario.servers.size(); ++i) {
        std::printf("server %zu %s:%u %s\n", i + 1, sim::kLoopback, simulator.server_port(i),
                    scenario.servers[i].name.c_str());
    }
    std::fflush(stdout);
    std::atomic<bool> stop{false};
    simulator.run(stop, seconds);
    return 0;
}
