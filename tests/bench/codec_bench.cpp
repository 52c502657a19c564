// codec_bench.cpp: speed of the packet codec against the tree walk and two deflate libraries.
//
// Data: bytes drawn with the launcher protocol's frequencies at four sizes, a typical server
// reply and a master list. Decoders report bytes/s of decoded data; encoders bytes/s of input.
// zlib and libdeflate work on the same data compressed Huffman-only as raw deflate, so every
// decoder does the same job: static-code literals, no matches. Each benchmark also reports the
// heap allocations made per call inside the timed loop.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "bench_samples.h"
#include "brannock/codec/huffman.h"
#include "brannock/codec/huffman_reference.h"
#include "brannock/codec/huffman_tables.h"

namespace {

using bench::Bytes;
using bench::master_list;
using bench::protocol_bytes;
using bench::server_reply;

struct Sample {
    std::string name;
    Bytes data;
    Bytes packet;   // HuffmanEncode
    Bytes deflated; // zlib raw deflate, Huffman only
};

Bytes deflate_huffman_only(const Bytes& data) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_HUFFMAN_ONLY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&z, data.size()));
    z.next_in = const_cast<unsigned char*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Sample make_sample(std::string name, Bytes data) {
    Sample s{std::move(name), std::move(data), {}, {}};
    s.packet.resize(codec::encode_capacity(s.data.size()));
    int length = 0;
    codec::HuffmanEncode(s.data.data(), s.packet.data(), static_cast<int>(s.data.size()), &length);
    s.packet.resize(static_cast<std::size_t>(length));
    s.deflated = deflate_huffman_only(s.data);
    return s;
}

// Runs `call` in the timed loop and reports throughput over `bytes` per call and allocations.
template <typename Call>
void measure(benchmark::State& state, std::size_t bytes, std::size_t packet_bytes, Call&& call) {
    const std::uint64_t before = bench::allocation_count();
    for (auto _ : state) call();
    const std::uint64_t allocations = bench::allocation_count() - before;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["allocs_per_call"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    state.counters["packet_bytes"] = static_cast<double>(packet_bytes);
}

void register_sample(const Sample& s) {
    const auto n = s.data.size();

    benchmark::RegisterBenchmark(("decode/fast/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(n);
        measure(state, n, s.packet.size(), [&] {
            int length = 0;
            auto status = codec::HuffmanDecode(s.packet.data(), out.data(), static_cast<int>(s.packet.size()), &length,
                                               static_cast<int>(out.size()));
            benchmark::DoNotOptimize(status);
            benchmark::DoNotOptimize(out.data());
        });
    });
    benchmark::RegisterBenchmark(("decode/tree_walk/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(n);
        measure(state, n, s.packet.size(), [&] {
            int length = 0;
            auto status = codec::reference_decode(s.packet.data(), out.data(), static_cast<int>(s.packet.size()),
                                                  &length, static_cast<int>(out.size()));
            benchmark::DoNotOptimize(status);
            benchmark::DoNotOptimize(out.data());
        });
    });
    benchmark::RegisterBenchmark(("decode/zlib_inflate/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(n);
        z_stream z{};
        inflateInit2(&z, -15);
        measure(state, n, s.deflated.size(), [&] {
            inflateReset(&z);
            z.next_in = const_cast<unsigned char*>(s.deflated.data());
            z.avail_in = static_cast<uInt>(s.deflated.size());
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (inflate(&z, Z_FINISH) != Z_STREAM_END) state.SkipWithError("inflate");
            benchmark::DoNotOptimize(out.data());
        });
        inflateEnd(&z);
    });
    benchmark::RegisterBenchmark(("decode/libdeflate/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(n);
        libdeflate_decompressor* d = libdeflate_alloc_decompressor();
        measure(state, n, s.deflated.size(), [&] {
            std::size_t actual = 0;
            if (libdeflate_deflate_decompress(d, s.deflated.data(), s.deflated.size(), out.data(), out.size(),
                                              &actual) != LIBDEFLATE_SUCCESS)
                state.SkipWithError("libdeflate");
            benchmark::DoNotOptimize(out.data());
        });
        libdeflate_free_decompressor(d);
    });

    benchmark::RegisterBenchmark(("encode/fast/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(codec::encode_capacity(n));
        measure(state, n, s.packet.size(), [&] {
            int length = 0;
            codec::HuffmanEncode(s.data.data(), out.data(), static_cast<int>(n), &length);
            benchmark::DoNotOptimize(length);
            benchmark::DoNotOptimize(out.data());
        });
    });
    benchmark::RegisterBenchmark(("encode/bit_by_bit/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        Bytes out(codec::encode_capacity(n));
        measure(state, n, s.packet.size(), [&] {
            int length = 0;
            codec::reference_encode(s.data.data(), out.data(), static_cast<int>(n), &length);
            benchmark::DoNotOptimize(length);
            benchmark::DoNotOptimize(out.data());
        });
    });
    benchmark::RegisterBenchmark(("encode/zlib_huffman_only/" + s.name).c_str(), [&s, n](benchmark::State& state) {
        z_stream z{};
        deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_HUFFMAN_ONLY);
        Bytes out(deflateBound(&z, n));
        measure(state, n, s.deflated.size(), [&] {
            deflateReset(&z);
            z.next_in = const_cast<unsigned char*>(s.data.data());
            z.avail_in = static_cast<uInt>(n);
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (deflate(&z, Z_FINISH) != Z_STREAM_END) state.SkipWithError("deflate");
            benchmark::DoNotOptimize(out.data());
        });
        deflateEnd(&z);
    });
}

// Samples live for the whole run; the registered benchmarks refer to them.
const std::vector<Sample>& samples() {
    static const std::vector<Sample> all = [] {
        codec::HuffmanInit();
        std::vector<Sample> v;
        v.push_back(make_sample("protocol_64B", protocol_bytes(64)));
        v.push_back(make_sample("protocol_1400B", protocol_bytes(1400)));
        v.push_back(make_sample("protocol_8KB", protocol_bytes(8192)));
        v.push_back(make_sample("protocol_64KB", protocol_bytes(65536)));
        v.push_back(make_sample("server_reply", server_reply()));
        v.push_back(make_sample("master_list", master_list()));
        return v;
    }();
    return all;
}

[[maybe_unused]] const bool registered = [] {
    for (const Sample& s : samples()) register_sample(s);
    return true;
}();

}  // namespace
