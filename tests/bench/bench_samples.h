// bench_samples.h: the data the benchmarks run on, shared by the codec and the reply benchmarks.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

using Bytes = std::vector<unsigned char>;

// `n` bytes drawn with the launcher protocol's byte frequencies (same seed for the same size).
Bytes protocol_bytes(std::size_t n);

// A game server's answer as the browser sees it, decoded: every common field present.
Bytes server_reply();

// A master server's list, decoded: status, 180 servers, end marker.
Bytes master_list();

}  // namespace bench
