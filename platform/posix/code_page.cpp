// code_page.cpp: task memory and ANSI <-> UTF-16 conversion, for posix (Linux) builds.
//
// The ANSI code page here is UTF-8. The conversions keep the Windows contract of
// WideCharToMultiByte / MultiByteToWideChar with flags 0: a zero capacity asks for the size, a
// too small area fails with ERROR_INSUFFICIENT_BUFFER, a length of -1 means "up to and including
// the terminator". What cannot be converted is replaced, as Windows does: an unpaired surrogate
// becomes '?' (the ANSI default character), a malformed UTF-8 sequence becomes U+FFFD.
#include <cstdlib>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr unsigned kErrorInvalidParameter = 87;
constexpr unsigned kErrorInsufficientBuffer = 122;
constexpr char16_t kReplacement = 0xFFFD;

thread_local unsigned t_last_error = 0;

// Counts the units of a conversion and, with a capacity, writes them, noting an overflow.
template <typename Unit>
struct Sink {
    Unit* dst;
    int capacity;   // 0: only count
    int count = 0;
    bool overflow = false;

    void put(Unit u) {
        if (capacity > 0) {
            if (count >= capacity) { overflow = true; return; }
            dst[count] = u;
        }
        ++count;
    }
};

template <typename Unit>
int finish(const Sink<Unit>& sink) {
    if (sink.overflow) {
        t_last_error = kErrorInsufficientBuffer;
        return 0;
    }
    return sink.count;
}

template <typename Unit>
bool valid_arguments(const void* src, int src_units, const Unit* dst, int dst_units) {
    return src && src_units != 0 && src_units >= -1 && dst_units >= 0 && (dst_units == 0 || dst);
}

template <typename Unit>
int length_with_terminator(const Unit* text) {
    int n = 0;
    while (text[n] != 0) ++n;
    return n + 1;
}

void put_utf8(Sink<char>& sink, char32_t c) {
    auto put = [&](unsigned v) { sink.put(static_cast<char>(static_cast<unsigned char>(v))); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// One UTF-8 sequence starting at src[i]: its code point and length, or a replacement covering
// the longest valid prefix (at least one byte), as the Unicode standard recommends.
struct Decoded {
    char32_t code;
    int length;
};

Decoded decode_utf8(const unsigned char* s, int n, int i) {
    const unsigned char lead = s[i];
    if (lead < 0x80) return {lead, 1};
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;   // allowed range of the second byte
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1F; }
    else if (lead == 0xE0) { length = 3; low = 0xA0; code = lead & 0x0F; }
    else if (lead == 0xED) { length = 3; high = 0x9F; code = lead & 0x0F; }   // no surrogates
    else if (lead >= 0xE1 && lead <= 0xEF) { length = 3; code = lead & 0x0F; }
    else if (lead == 0xF0) { length = 4; low = 0x90; code = lead & 0x07; }
    else if (lead >= 0xF1 && lead <= 0xF3) { length = 4; code = lead & 0x07; }
    else if (lead == 0xF4) { length = 4; high = 0x8F; code = lead & 0x07; }
    else return {kReplacement, 1};

    for (int k = 1; k < length; ++k) {
        if (i + k >= n) return {kReplacement, k};
        const unsigned char b = s[i + k];
        const unsigned char lo = k == 1 ? low : 0x80;
        const unsigned char hi = k == 1 ? high : 0xBF;
        if (b < lo || b > hi) return {kReplacement, k};
        code = (code << 6) | (b & 0x3F);
    }
    return {code, length};
}

}  // namespace

void* task_alloc(std::size_t bytes) { return std::malloc(bytes ? bytes : 1); }
void task_free(void* block) { std::free(block); }

unsigned last_error() { return t_last_error; }

// UTF-8 holds every character; only an unpaired surrogate, which names no character, is lost (as
// '?'). There are no short forms: a path is held or it is not.
bool ansi_name(const char16_t* name, std::string* out) {
    out->clear();
    int units = 0;
    bool unpaired = false;
    for (; name[units] != 0; ++units) {
        if (is_high_surrogate(name[units]) && is_low_surrogate(name[units + 1])) ++units;
        else if (is_high_surrogate(name[units]) || is_low_surrogate(name[units])) unpaired = true;
    }
    const int needed = wide_to_ansi(name, units, nullptr, 0);
    if (needed <= 0) return units == 0;
    out->assign(static_cast<std::size_t>(needed), '\0');
    return wide_to_ansi(name, units, out->data(), needed) == needed && !unpaired;
}

bool ansi_path(const char16_t* path, std::string* out) { return ansi_name(path, out); }

// UTF-8 has no lead bytes in this sense: no byte of a character is an ASCII byte.
bool is_lead_byte(unsigned char) { return false; }

int wide_to_ansi(const char16_t* src, int src_units, char* dst, int dst_bytes) {
    if (!valid_arguments(src, src_units, dst, dst_bytes)) {
        t_last_error = kErrorInvalidParameter;
        return 0;
    }
    const int n = src_units == -1 ? length_with_terminator(src) : src_units;
    Sink<char> sink{dst, dst_bytes};
    for (int i = 0; i < n && !sink.overflow; ++i) {
        const char16_t u = src[i];
        if (is_high_surrogate(u) && i + 1 < n && is_low_surrogate(src[i + 1])) {
            put_utf8(sink, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(src[i + 1]) - 0xDC00));
            ++i;
        } else if (is_high_surrogate(u) || is_low_surrogate(u)) {
            sink.put('?');
        } else {
            put_utf8(sink, u);
        }
    }
    return finish(sink);
}

int ansi_to_wide(const char* src, int src_bytes, char16_t* dst, int dst_units) {
    if (!valid_arguments(src, src_bytes, dst, dst_units)) {
        t_last_error = kErrorInvalidParameter;
        return 0;
    }
    const int n = src_bytes == -1 ? length_with_terminator(src) : src_bytes;
    const auto* bytes = reinterpret_cast<const unsigned char*>(src);
    Sink<char16_t> sink{dst, dst_units};
    for (int i = 0; i < n && !sink.overflow;) {
        const Decoded d = decode_utf8(bytes, n, i);
        if (d.code >= 0x10000) {
            const char32_t v = d.code - 0x10000;
            sink.put(static_cast<char16_t>(0xD800 + (v >> 10)));
            sink.put(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            sink.put(static_cast<char16_t>(d.code));
        }
        i += d.length;
    }
    return finish(sink);
}

}  // namespace platform
