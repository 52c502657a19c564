// alloc_counter.h: counts heap allocations made by the benchmark process.
//
// Benchmarks read the count before and after their timed loop to report allocations per call.
// With the GNU C library every malloc, calloc and realloc is counted (operator new included, and
// the baseline libraries' own allocations); elsewhere only operator new.
#pragma once

#include <cstdint>

namespace bench {

std::uint64_t allocation_count();

}  // namespace bench
