// bench_main.cpp: entry point of the benchmarks executable; every file in tests/bench registers its own.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
