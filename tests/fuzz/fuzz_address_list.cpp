// fuzz_address_list.cpp: any bytes as the launcher's counted-string address list.
//
// The first byte picks the entry, the rest is the list. The launcher hands the list without its
// size, so the bytes are followed by zeros (empty entries) enough to hold every skip the reader
// can make before the chosen entry: each skip is at most 2 + 32767 bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "frame/address_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int index = data[0] % 8;
    const std::size_t capacity = data[0] / 8;   // 0 .. 31: cut points below an entry's length
    std::vector<unsigned char> list(size - 1 + static_cast<std::size_t>(index + 1) * (2 + 32767) + 2);
    if (size > 1) std::memcpy(list.data(), data + 1, size - 1);

    std::string entry = "stale";
    const bool found = frame::ReadCountedString(list.data(), index, &entry, capacity);
    if (!found && !entry.empty()) __builtin_trap();
    if (entry.size() > capacity) __builtin_trap();
    std::string whole;
    frame::ReadCountedString(list.data(), index, &whole);
    if (whole.size() > frame::kAddressPartMax) __builtin_trap();
    // A shorter capacity keeps a beginning of the same entry.
    if (whole.compare(0, entry.size(), entry) != 0) __builtin_trap();
    return 0;
}
