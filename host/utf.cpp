// utf.cpp: the launcher's UTF-8 / UTF-16 conversion, and the plug-ins' ANSI texts through the
// platform layer's code-page conversion (the one the plug-ins use themselves).
#include "host/utf.h"

#include "platform/platform.h"

namespace host {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `pos`, advancing it; malformed, overlong or surrogate sequences give
// U+FFFD and advance by one byte.
char32_t decode_utf8(std::string_view text, size_t& pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) { length = 2; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { length = 3; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { length = 4; cp = lead & 0x07; }
    else { ++pos; return kReplacement; }
    if (pos + length > text.size()) { ++pos; return kReplacement; }
    for (int i = 1; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[pos + i]);
        if ((c & 0xC0) != 0x80) { ++pos; return kReplacement; }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::u16string utf8_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const char32_t cp = decode_utf8(text, pos);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        char32_t cp = unit;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            cp = kReplacement;   // a lone surrogate
        }
        append_utf8(out, cp);
    }
    return out;
}

std::string ansi_to_utf8(const char* text) {
    if (!text) return {};
    const int units = platform::ansi_to_wide(text, -1, nullptr, 0);
    if (units <= 1) return {};
    std::u16string wide(static_cast<size_t>(units), u'\0');
    platform::ansi_to_wide(text, -1, wide.data(), units);
    wide.resize(static_cast<size_t>(units - 1));
    return utf16_to_utf8(wide);
}

std::string utf8_to_ansi(const std::string& text) {
    const std::u16string wide = utf8_to_utf16(text);
    if (wide.empty()) return {};
    const int bytes = platform::wide_to_ansi(wide.c_str(), -1, nullptr, 0);
    if (bytes <= 1) return {};
    std::string out(static_cast<size_t>(bytes), '\0');
    platform::wide_to_ansi(wide.c_str(), -1, out.data(), bytes);
    out.resize(static_cast<size_t>(bytes - 1));
    return out;
}

}  // namespace host
