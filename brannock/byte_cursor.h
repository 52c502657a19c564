// byte_cursor.h: the one bounds-checked reader of datagram bytes.
//
// Every reader of a master or game-server reply walks the decoded bytes with a ByteCursor. A read
// that would pass the end of the data fails the cursor; from then on every read answers 0 or the
// empty text and the position stays where it was, so a reader can run its whole field sequence
// and ask ok() once at the end. Integers are little-endian; a text ends with a zero byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace brannock {

// Offset of the first zero byte of the `n` bytes at `p`, or `n` when there is none. A reply's
// texts are short and many, so this looks at a register's width of bytes at a time, inline,
// rather than calling the C library's search once per text.
inline std::size_t zero_offset(const unsigned char* p, std::size_t n) {
    using Word = std::uintptr_t;
    constexpr Word ones = ~Word{0} / 0xFF;   // 0x01 in every byte
    constexpr Word highs = ones << 7;        // 0x80 in every byte
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; n - i >= sizeof(Word); i += sizeof(Word)) {
            Word w;
            std::memcpy(&w, p + i, sizeof w);
            // The lowest flagged byte is the first zero byte (a borrow only reaches bytes above it).
            if (const Word zeros = (w - ones) & ~w & highs) return i + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
        }
    }
    for (; i < n; ++i) {
        if (p[i] == 0) return i;
    }
    return n;
}

class ByteCursor {
public:
    explicit ByteCursor(std::span<const unsigned char> data) : data_(data) {}

    bool ok() const { return !failed_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return failed_ ? 0 : data_.size() - pos_; }

    uint8_t u8() {
        if (!need(1)) return 0;
        return data_[pos_++];
    }
    uint16_t u16() {
        if (!need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        if (!need(4)) return 0;
        const uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                           (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                           (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }

    // A zero-terminated text, as a view into the data. At most `max_kept` bytes are kept; the
    // cursor still moves past the whole text and its zero byte. A text without its zero byte
    // inside the data fails.
    std::string_view text(std::size_t max_kept = SIZE_MAX) {
        if (failed_ || pos_ == data_.size()) return fail(), std::string_view();
        const std::size_t length = zero_offset(data_.data() + pos_, data_.size() - pos_);
        if (length == data_.size() - pos_) return fail(), std::string_view();
        const std::size_t end = pos_ + length;
        const std::string_view out(reinterpret_cast<const char*>(data_.data() + pos_),
                                   length < max_kept ? length : max_kept);
        pos_ = end + 1;
        return out;
    }
    void skip_text() { text(0); }

    void skip(std::size_t count) {
        if (need(count)) pos_ += count;
    }
    // Moves on by `count` bytes or to the end of the data, whichever comes first; never fails.
    void skip_at_most(std::size_t count) {
        if (!failed_) pos_ += count < remaining() ? count : remaining();
    }
    // Jumps to an absolute offset; an offset past the end fails.
    void seek(std::size_t offset) {
        if (failed_) return;
        if (offset > data_.size()) return fail();
        pos_ = offset;
    }

private:
    bool need(std::size_t count) {
        if (failed_) return false;
        if (count > data_.size() - pos_) {
            fail();
            return false;
        }
        return true;
    }
    void fail() { failed_ = true; }

    std::span<const unsigned char> data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

}  // namespace brannock
