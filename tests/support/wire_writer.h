// wire_writer.h: builds datagrams for tests: little-endian integers and zero-terminated texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct Writer {
    std::vector<unsigned char> bytes;
    Writer& u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); return *this; }
    Writer& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Writer& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Writer& text(const std::string& t) {
        bytes.insert(bytes.end(), t.begin(), t.end());
        return u8(0);
    }
    Writer& zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); return *this; }
};

}  // namespace test_support
