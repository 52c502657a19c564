// address_list.h: the readers of the launcher's address texts: the counted-string list of a
// game's players and a "host:port" address.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace frame {

// Longest host or port part of an address, and longest entry of an address list, in bytes.
constexpr std::size_t kAddressPartMax = 255;

// Reads entry `index` of a counted-string list (signed 16-bit little-endian length, then the
// bytes). At most `capacity` bytes of the entry are kept. A null list or a negative length on the
// way gives false and an empty text.
bool ReadCountedString(const void* list, int index, std::string* out, std::size_t capacity = kAddressPartMax);

// Splits "host:port" at the first colon; without a colon the port is `default_port`. Each part is
// cut to kAddressPartMax bytes. A null address reads as empty.
void SplitHostPort(const char* address, std::string* host, std::string* port, std::string_view default_port);

}  // namespace frame
