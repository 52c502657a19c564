// reply_bench.cpp: replies per second of the server-browser exports.
//
// The built plug-in (brannock.so beside this executable) is loaded the way the launcher loads it,
// with callbacks that do nothing, so the figure covers the export glue, the codec and the reader.
// The parts of the server reply path are timed alone too, to show where the time goes. Every
// benchmark reports the heap allocations per reply.
//
// With BENCH_BASELINE_SO naming another build of the plug-in (tools/bench-compare makes one from
// an earlier commit), every export benchmark runs on it too, as "baseline/...", in the same run.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <vector>
#include <cstdlib>
#include <string>

#include "alloc_counter.h"
#include "bench_samples.h"
#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/reply_model.h"
#include "brannock/server_info.h"

#ifndef SDLL_HOST_SIDE
#define SDLL_HOST_SIDE   // the launcher side's view: types only
#endif
#include "frame/launcher.h"

namespace {

using bench::Bytes;

// Do-nothing launcher: every callback answers 0 or null.
void SDLL_CALL set_configuration(const char*, int) {}
int SDLL_CALL get_int(HostHandle, const char*, const char*) { return 0; }
HostText SDLL_CALL get_string(HostHandle, const char*, const char*) { return nullptr; }
int SDLL_CALL message_box(const char*, const char*, unsigned) { return 0; }
void SDLL_CALL set_int(HostHandle, const char*, const char*, int) {}
void SDLL_CALL set_string(HostHandle, const char*, const char*, const char*) {}
void SDLL_CALL report_message(const char*, int) {}
void SDLL_CALL require_file(const char*, const char*) {}
void SDLL_CALL set_iwad_mask(HostHandle, unsigned) {}
int SDLL_CALL get_file_count(HostHandle) { return 0; }
HostText SDLL_CALL get_file(HostHandle, int) { return nullptr; }
void SDLL_CALL send_query(HostHandle, const char*, const char*, const unsigned char*, int, int) {}
HostText SDLL_CALL add_server(HostHandle, const char*, const char*) { return nullptr; }
void SDLL_CALL set_server_info(ServerRef, const char*, const char*) {}
HostText SDLL_CALL get_server_info(ServerRef, const char*) { return nullptr; }
HostText SDLL_CALL find_file(const char*) { return nullptr; }
void SDLL_CALL add_file(const char*) {}
void SDLL_CALL set_iwad(HostHandle, int) {}
void SDLL_CALL set_map(HostHandle, const char*) {}
void SDLL_CALL add_player(const char*) {}
void SDLL_CALL set_engine_ready(HostHandle, int) {}
void SDLL_CALL unused() {}

void* const callbacks[kSlotCount] = {
    reinterpret_cast<void*>(set_configuration), reinterpret_cast<void*>(get_int),
    reinterpret_cast<void*>(get_string),        reinterpret_cast<void*>(unused),
    reinterpret_cast<void*>(unused),            reinterpret_cast<void*>(message_box),
    reinterpret_cast<void*>(get_int),           reinterpret_cast<void*>(get_string),
    reinterpret_cast<void*>(set_int),           reinterpret_cast<void*>(set_string),
    reinterpret_cast<void*>(report_message),    reinterpret_cast<void*>(require_file),
    reinterpret_cast<void*>(set_iwad_mask),     reinterpret_cast<void*>(get_file_count),
    reinterpret_cast<void*>(get_file),          reinterpret_cast<void*>(send_query),
    reinterpret_cast<void*>(add_server),        reinterpret_cast<void*>(set_server_info),
    reinterpret_cast<void*>(get_server_info),   reinterpret_cast<void*>(find_file),
    reinterpret_cast<void*>(add_file),          reinterpret_cast<void*>(set_iwad),
    reinterpret_cast<void*>(set_map),           reinterpret_cast<void*>(add_player),
    reinterpret_cast<void*>(set_engine_ready),  reinterpret_cast<void*>(unused),
};

struct Plugin {
    SDLL_ServerResponse_t server_response = nullptr;
    SDLL_ServerGamesettings_t server_gamesettings = nullptr;
    SDLL_MasterserverResponse_t master_response = nullptr;
    std::string error;
};

std::string executable_folder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string text(path, static_cast<std::size_t>(n));
    return text.substr(0, text.rfind('/'));
}

// Loaded once for the run and never unloaded.
Plugin load(const std::string& file) {
    Plugin p;
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        p.error = "cannot load " + file + " (build the brannock target)";
        return p;
    }
    auto init = reinterpret_cast<SDLL_Init_t>(dlsym(module, "SDLL_Init"));
    auto init_call = reinterpret_cast<SDLL_InitCall_t>(dlsym(module, "SDLL_InitCall"));
    p.server_response = reinterpret_cast<SDLL_ServerResponse_t>(dlsym(module, "SDLL_ServerResponse"));
    p.server_gamesettings = reinterpret_cast<SDLL_ServerGamesettings_t>(dlsym(module, "SDLL_ServerGamesettings"));
    p.master_response = reinterpret_cast<SDLL_MasterserverResponse_t>(dlsym(module, "SDLL_MasterserverResponse"));
    if (!init || !init_call || !p.server_response || !p.server_gamesettings || !p.master_response) {
        p.error = "missing export in " + file;
        return p;
    }
    char name[256] = {};
    uint16_t capabilities = 0;
    init(nullptr, name, &capabilities);
    for (unsigned slot = 0; slot < kSlotCount; ++slot) init_call(slot, callbacks[slot]);
    return p;
}

const Plugin& plugin() {
    static const Plugin loaded = load(executable_folder() + "/brannock.so");
    return loaded;
}

const Plugin& baseline() {
    static const Plugin loaded = load(std::getenv("BENCH_BASELINE_SO") ? std::getenv("BENCH_BASELINE_SO") : "");
    return loaded;
}

Bytes encoded(const Bytes& data) {
    Bytes packet(codec::encode_capacity(data.size()));
    int length = 0;
    codec::HuffmanEncode(data.data(), packet.data(), static_cast<int>(data.size()), &length);
    packet.resize(static_cast<std::size_t>(length));
    return packet;
}

const Bytes& server_packet() {
    static const Bytes packet = encoded(bench::server_reply());
    return packet;
}
const Bytes& master_packet() {
    static const Bytes packet = encoded(bench::master_list());
    return packet;
}

// Runs `call` once per reply in the timed loop; reports replies/s and allocations per reply.
template <typename Call>
void per_reply(benchmark::State& state, Call&& call) {
    const std::uint64_t before = bench::allocation_count();
    for (auto _ : state) call();
    const std::uint64_t allocations = bench::allocation_count() - before;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.counters["allocs_per_call"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
}

// A reply of another protocol: the typical reply with its magic's first byte changed.
const Bytes& refused_packet() {
    static const Bytes packet = [] {
        Bytes reply = bench::server_reply();
        reply[0] ^= 0x01;
        return encoded(reply);
    }();
    return packet;
}

using PluginFn = const Plugin& (*)();

void export_server_response(benchmark::State& state, PluginFn which, const Bytes& (*packet_of)()) {
    const Plugin& p = which();
    if (!p.error.empty()) return state.SkipWithError(p.error.c_str());
    const Bytes& packet = packet_of();
    int marker = 0;   // the server reference the launcher would pass
    per_reply(state, [&] {
        int result = p.server_response(&marker, packet.data(), static_cast<int>(packet.size()));
        benchmark::DoNotOptimize(result);
    });
}

void export_server_gamesettings(benchmark::State& state, PluginFn which) {
    const Plugin& p = which();
    if (!p.error.empty()) return state.SkipWithError(p.error.c_str());
    const Bytes& packet = server_packet();
    per_reply(state, [&] {
        int result = p.server_gamesettings(nullptr, packet.data(), static_cast<int>(packet.size()));
        benchmark::DoNotOptimize(result);
    });
}

void export_master_response(benchmark::State& state, PluginFn which) {
    const Plugin& p = which();
    if (!p.error.empty()) return state.SkipWithError(p.error.c_str());
    const Bytes& packet = master_packet();
    per_reply(state, [&] {
        int result = p.master_response(nullptr, nullptr, packet.data(), static_cast<int>(packet.size()));
        benchmark::DoNotOptimize(result);
    });
}

// The export benchmarks, once per plug-in build: this one, and the baseline when one is named.
const bool registered = [] {
    struct Build {
        const char* prefix;
        PluginFn plugin;
    };
    std::vector<Build> builds = {{"reply/export/", plugin}};
    if (std::getenv("BENCH_BASELINE_SO")) builds.push_back({"baseline/reply/export/", baseline});
    for (const Build& b : builds) {
        const std::string prefix = b.prefix;
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerResponse").c_str(), export_server_response, b.plugin,
                                     server_packet);
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerResponse/refused_at_magic").c_str(),
                                     export_server_response, b.plugin, refused_packet);
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerGamesettings").c_str(), export_server_gamesettings,
                                     b.plugin);
        benchmark::RegisterBenchmark((prefix + "SDLL_MasterserverResponse").c_str(), export_master_response,
                                     b.plugin);
    }
    return true;
}();

// The server reply path in parts, linked directly.
void part_decode(benchmark::State& state) {
    const Bytes& packet = server_packet();
    static unsigned char area[brannock::kServerReplyArea];
    per_reply(state, [&] {
        int length = 0;
        auto status = codec::HuffmanDecode(packet.data(), area, static_cast<int>(packet.size()), &length,
                                           static_cast<int>(sizeof area));
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(area);
    });
}
BENCHMARK(part_decode)->Name("reply/part/HuffmanDecode");

void part_decode_datagram(benchmark::State& state) {
    const Bytes& packet = server_packet();
    per_reply(state, [&] {
        unsigned char area[brannock::kServerReplyArea];
        auto decoded = brannock::decode_datagram(packet.data(), static_cast<int>(packet.size()), area);
        benchmark::DoNotOptimize(decoded.data());
    });
}
BENCHMARK(part_decode_datagram)->Name("reply/part/decode_datagram");

void part_read_and_properties(benchmark::State& state) {
    const Bytes decoded = bench::server_reply();
    per_reply(state, [&] {
        brannock::ReplyFields reply;
        auto read = brannock::walk_reply(decoded, brannock::kListReading, &reply);
        std::size_t value_bytes = 0;
        brannock::server_properties(reply, [&](const char*, const char* value) {
            value_bytes += std::char_traits<char>::length(value);
        });
        benchmark::DoNotOptimize(read);
        benchmark::DoNotOptimize(value_bytes);
    });
}
BENCHMARK(part_read_and_properties)->Name("reply/part/walk_reply+server_properties");

}  // namespace
