// bench_samples.h: the data the benchmarks run on, shared by the codec and the reply benchmarks.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

using Bytes = std::vector<unsigned char>;

// `n` bytes drawn with the launcher protocol's byte frequencies (same seed for the same size and
// variant).
Bytes protocol_bytes(std::size_t n, unsigned variant = 0);

// A game server's answer as the browser sees it, decoded: every common field present.
Bytes server_reply();

// A master server's list, decoded: status, kMasterListServers servers, end marker.
constexpr int kMasterListServers = 180;
Bytes master_list();

// `reply` with its flag word cleared: the same bytes and length, but a reply that announces no
// field, so reading it costs only its decode.
Bytes without_fields(Bytes reply);

// A server reply of `n` bytes that announces no field: magic, version, flag word 0, then
// protocol bytes. Through SDLL_ServerResponse it costs its decode alone.
Bytes fieldless_reply(std::size_t n, unsigned variant = 0);

// A master reply of `n` bytes whose status is no list: the master export decodes it, reads the
// status and stops. Through SDLL_MasterserverResponse it costs its decode alone.
Bytes unlisted_master_reply(std::size_t n, unsigned variant = 0);

// The Huffman packet of `data`.
Bytes encoded(const Bytes& data);

}  // namespace bench
