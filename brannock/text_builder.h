// text_builder.h: zero-terminated texts built in an area the caller owns.
//
// The reply path hands the launcher texts it puts together (a map with its PWADs, a lower-case
// file name) without touching the heap: they are built in a local area. Appending past the area
// keeps what fits, so a text is cut, never written past its area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace brannock {

class TextBuilder {
public:
    // The last byte of `area` is kept for the zero byte.
    explicit TextBuilder(std::span<char> area) : area_(area) { terminate(); }

    TextBuilder& clear() {
        length_ = 0;
        return terminate();
    }
    TextBuilder& append(std::string_view text) {
        const std::size_t room = area_.size() - 1 - length_;
        const std::size_t n = text.size() < room ? text.size() : room;
        if (n != 0) std::memcpy(area_.data() + length_, text.data(), n);
        length_ += n;
        return terminate();
    }
    // The text so far, to work on in place; shorten() keeps its first `length` bytes.
    std::span<char> chars() { return area_.first(length_); }
    TextBuilder& shorten(std::size_t length) {
        if (length < length_) length_ = length;
        return terminate();
    }

    const char* c_str() const { return area_.data(); }
    std::string_view view() const { return {area_.data(), length_}; }

private:
    TextBuilder& terminate() {
        area_[length_] = '\0';
        return *this;
    }

    std::span<char> area_;
    std::size_t length_ = 0;
};

// Room for any uint64_t in decimal with its zero byte.
using DecimalText = char[24];

// Writes `value` in decimal, ending with a zero byte, at the end of `out`; gives its start.
inline const char* decimal(uint64_t value, DecimalText& out) {
    char* p = out + sizeof out;
    *--p = '\0';
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return p;
}

}  // namespace brannock
