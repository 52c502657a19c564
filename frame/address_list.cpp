// address_list.cpp: the counted-string list and "host:port" readers.
#include "frame/address_list.h"

#include <algorithm>
#include <cstdint>

namespace frame {

bool ReadCountedString(const void* list, int index, std::string* out, std::size_t capacity) {
    out->clear();
    if (!list || index < 0) return false;
    const auto* bytes = static_cast<const unsigned char*>(list);
    auto length_at = [](const unsigned char* p) {
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    };
    for (int i = 0; i < index; ++i) {
        const int16_t length = length_at(bytes);
        if (length < 0) return false;
        bytes += 2 + length;
    }
    const int16_t length = length_at(bytes);
    if (length < 0) return false;
    const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(length), capacity);
    out->assign(reinterpret_cast<const char*>(bytes + 2), kept);
    return true;
}

void SplitHostPort(const char* address, std::string* host_part, std::string* port_part,
                   std::string_view default_port) {
    const std::string_view text = address ? std::string_view(address) : std::string_view();
    const std::size_t colon = text.find(':');
    const std::string_view h = colon == std::string_view::npos ? text : text.substr(0, colon);
    const std::string_view p = colon == std::string_view::npos ? default_port : text.substr(colon + 1);
    host_part->assign(h.substr(0, kAddressPartMax));
    port_part->assign(p.substr(0, kAddressPartMax));
}

}  // namespace frame
