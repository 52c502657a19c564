// reply_bench.cpp: replies per second of the server-browser exports.
//
// The built plug-in (brannock.so beside this executable) is loaded the way the launcher loads it,
// with callbacks that do nothing (quiet_launcher.h), so the figure covers the export glue, the
// codec and the reader.
// The parts of the server reply path are timed alone too, to show where the time goes. Every
// benchmark reports the heap allocations per reply.
//
// With BENCH_BASELINE_SO naming another build of the plug-in (tools/bench-compare makes one from
// an earlier commit), every export benchmark runs on it too, as "baseline/...", in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "bench_samples.h"
#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/reply_layout.h"
#include "brannock/server_list_columns.h"
#include "quiet_launcher.h"

namespace {

using bench::Bytes;
using bench::encoded;
using Plugin = bench::BrowserExports;

std::string executable_folder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string text(path, static_cast<std::size_t>(n));
    return text.substr(0, text.rfind('/'));
}

const Plugin& plugin() {
    static const Plugin loaded = bench::load_browser(executable_folder() + "/brannock.so");
    return loaded;
}

const Plugin& baseline() {
    static const Plugin loaded =
        bench::load_browser(std::getenv("BENCH_BASELINE_SO") ? std::getenv("BENCH_BASELINE_SO") : "");
    return loaded;
}

const Bytes& server_packet() {
    static const Bytes packet = encoded(bench::server_reply());
    return packet;
}
// The typical reply with its flag word cleared: the same bytes to decode, no field to read.
const Bytes& fieldless_packet() {
    static const Bytes packet = encoded(bench::without_fields(bench::server_reply()));
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

void export_server_gamesettings(benchmark::State& state, PluginFn which, const Bytes& (*packet_of)()) {
    const Plugin& p = which();
    if (!p.error.empty()) return state.SkipWithError(p.error.c_str());
    const Bytes& packet = packet_of();
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
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerResponse/no_fields").c_str(), export_server_response,
                                     b.plugin, fieldless_packet);
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerGamesettings").c_str(), export_server_gamesettings,
                                     b.plugin, server_packet);
        benchmark::RegisterBenchmark((prefix + "SDLL_ServerGamesettings/no_fields").c_str(),
                                     export_server_gamesettings, b.plugin, fieldless_packet);
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
