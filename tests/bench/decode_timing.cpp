// decode_timing.cpp: the plug-in's decode and server-list rows timed against the tree walk.
//
// One source for both builds, timed with std::chrono alone (the cross build has no benchmark
// library): the native plug-in in a 64-bit process, the 32-bit DLL in a 32-bit process. Each
// figure is a ratio of two timings taken in the same process, turn about, so it compares across
// builds: a decode row is how many times faster the export decodes than the tree walk compiled
// into this program (reference_decode), and a list row is what an export costs on the typical
// reply over what it costs on a reply of the same length that announces no field (the decode
// alone). The exports run with a launcher whose callbacks do nothing (quiet_launcher.h).
//
//   decode_timing PLUGIN [MILLISECONDS PER BATCH]     (default 1)
//
// Prints one row a line: name, value, unit, separated by tabs (scripts/decode-timing gathers the
// runs of both builds).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_samples.h"
#include "brannock/codec/huffman.h"
#include "brannock/codec/huffman_reference.h"
#include "quiet_launcher.h"

namespace {

using bench::Bytes;
using Clock = std::chrono::steady_clock;

// Batches of each side, turn about; the quickest batch counts. Short batches, so that on a busy
// machine some of them run without being put aside for another program.
constexpr int kRounds = 61;
// Packets of each protocol row, taken in turn: the walk's branches must not learn one packet.
constexpr unsigned kPacketsPerRow = 8;

volatile int sink;

// Calls of `call` that take about `batch_ms`.
template <class Call>
long calls_per_batch(Call& call, double batch_ms) {
    for (long calls = 1;; calls *= 4) {
        const auto start = Clock::now();
        for (long i = 0; i < calls; ++i) call();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (ms >= batch_ms / 4) return std::max(1L, static_cast<long>(static_cast<double>(calls) * batch_ms / ms));
    }
}

template <class Call>
double batch_ns(Call& call, long calls) {
    const auto start = Clock::now();
    for (long i = 0; i < calls; ++i) call();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / static_cast<double>(calls);
}

// Nanoseconds per call of the quickest of `kRounds` batches of each of `a` and `b`, run turn about
// so that a load that comes and goes hits both alike.
template <class A, class B>
std::pair<double, double> time_pair(A&& a, B&& b, double batch_ms) {
    const long a_calls = calls_per_batch(a, batch_ms), b_calls = calls_per_batch(b, batch_ms);
    double best_a = 1e300, best_b = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        best_a = std::min(best_a, batch_ns(a, a_calls));
        best_b = std::min(best_b, batch_ns(b, b_calls));
    }
    return {best_a, best_b};
}

template <class A>
double time_alone(A&& a, double batch_ms) {
    const long calls = calls_per_batch(a, batch_ms);
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) best = std::min(best, batch_ns(a, calls));
    return best;
}

void row(const std::string& name, double value, const char* unit) {
    std::printf("%s\t%.3f\t%s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

struct DecodeRow {
    const char* name;
    std::vector<Bytes> data;   // decoded
    bool master;               // through SDLL_MasterserverResponse, whose area holds 64 KB
};

// `kPacketsPerRow` packets of `n` bytes: a fieldless reply, or a master reply for 64 KB.
std::vector<Bytes> protocol_packets(std::size_t n, bool master) {
    std::vector<Bytes> all;
    for (unsigned i = 0; i < kPacketsPerRow; ++i)
        all.push_back(master ? bench::unlisted_master_reply(n, i) : bench::fieldless_reply(n, i));
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: decode_timing PLUGIN [MILLISECONDS PER BATCH]\n");
        return 2;
    }
    const double batch_ms = argc > 2 ? std::atof(argv[2]) : 1.0;
    const bench::BrowserExports plugin = bench::load_browser(argv[1]);
    if (!plugin.error.empty()) {
        std::fprintf(stderr, "decode_timing: %s\n", plugin.error.c_str());
        return 1;
    }
    codec::HuffmanInit();
    row("pointer bits", 8.0 * sizeof(void*), "bits");

    // Decode rows: the export against the walk on the same packet.
    const std::vector<DecodeRow> decode_rows = {
        {"protocol 1400 B", protocol_packets(1400, false), false},
        {"protocol 8 KB", protocol_packets(8192, false), false},
        {"protocol 64 KB", protocol_packets(65536, true), true},
        {"typical reply", {bench::without_fields(bench::server_reply())}, false},
    };
    for (const DecodeRow& r : decode_rows) {
        std::vector<Bytes> packets;
        for (const Bytes& data : r.data) packets.push_back(bench::encoded(data));
        Bytes out(r.data[0].size());
        int marker = 0;   // the server reference a launcher passes
        std::size_t walk_next = 0, plug_next = 0;
        auto walk = [&] {
            const Bytes& packet = packets[walk_next++ % packets.size()];
            int produced = 0;
            codec::reference_decode(packet.data(), out.data(), static_cast<int>(packet.size()), &produced,
                                    static_cast<int>(out.size()));
            sink = produced;
        };
        auto plug = [&] {
            const Bytes& packet = packets[plug_next++ % packets.size()];
            const int length = static_cast<int>(packet.size());
            sink = r.master ? plugin.master_response(nullptr, nullptr, packet.data(), length)
                            : plugin.server_response(&marker, packet.data(), length);
        };
        const auto [walk_ns, plug_ns] = time_pair(walk, plug, batch_ms);
        const double mb = static_cast<double>(r.data[0].size()) / 1e6;
        row(std::string("decode ") + r.name, walk_ns / plug_ns, "x walk");
        row(std::string("decode MB/s ") + r.name, mb / (plug_ns * 1e-9), "MB/s");
        row(std::string("walk MB/s ") + r.name, mb / (walk_ns * 1e-9), "MB/s");
    }

    // List rows: the typical reply against the same bytes announcing no field.
    const Bytes typical = bench::encoded(bench::server_reply());
    const Bytes fieldless = bench::encoded(bench::without_fields(bench::server_reply()));
    const int typical_length = static_cast<int>(typical.size()), fieldless_length = static_cast<int>(fieldless.size());
    int marker = 0;
    {
        const auto [full_ns, decode_ns] = time_pair(
            [&] { sink = plugin.server_response(&marker, typical.data(), typical_length); },
            [&] { sink = plugin.server_response(&marker, fieldless.data(), fieldless_length); }, batch_ms);
        row("SDLL_ServerResponse", full_ns / decode_ns, "x its decode");
        row("SDLL_ServerResponse ns", full_ns, "ns");
    }
    {
        const auto [full_ns, decode_ns] = time_pair(
            [&] { sink = plugin.server_gamesettings(nullptr, typical.data(), typical_length); },
            [&] { sink = plugin.server_gamesettings(nullptr, fieldless.data(), fieldless_length); }, batch_ms);
        row("SDLL_ServerGamesettings", full_ns / decode_ns, "x its decode");
        row("SDLL_ServerGamesettings ns", full_ns, "ns");
    }
    {
        // The master list is sent raw (its addresses do not compress), so its decode is a copy:
        // the row is the time per listed server.
        const Bytes listed = bench::encoded(bench::master_list());
        const double ns = time_alone(
            [&] { sink = plugin.master_response(nullptr, nullptr, listed.data(), static_cast<int>(listed.size())); },
            batch_ms);
        row("SDLL_MasterserverResponse ns per server", ns / bench::kMasterListServers, "ns");
    }
    return 0;
}
