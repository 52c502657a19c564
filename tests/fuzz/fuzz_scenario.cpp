// fuzz_scenario.cpp: any text as a brannock-sim scenario file, then the replies it asks for.
//
// A scenario sets sizes and counts the reply builders obey (cut points, datagram counts, text
// lengths), so a parsed one is also played: every server's datagram and the master's list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/brannock-sim/replies.h"
#include "tools/brannock-sim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;   // the reply builders are linear in the texts; keep runs fast
    const std::string text(reinterpret_cast<const char*>(data), size);
    sim::Scenario scenario;
    std::string error;
    if (!sim::parse_scenario(text, &scenario, &error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    std::vector<sim::ListEntry> entries;
    for (const sim::GameServer& server : scenario.servers) {
        sim::server_datagram(server);
        entries.push_back({"127.0.0.1", server.port});
    }
    sim::master_datagrams(scenario.master, entries);
    return 0;
}
