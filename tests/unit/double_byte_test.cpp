// double_byte_test.cpp: the user's paths in a double-byte ANSI code page, with the lead bytes of
// code page 932 as the rule, so the logic runs in every build: a second byte that is a backslash
// is never doubled before a quote, one that is a capital is never lower-cased, and a single-byte
// code page gets what it always got.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "frame/engine_arguments.h"
#include "frame/text_bytes.h"

namespace {

bool lead_of_932(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool no_lead(unsigned char) { return false; }

// In code page 932: 表 is 0x95 0x5C, ソ 0x83 0x5C, ア 0x83 0x41, イ 0x83 0x43.
#define HYO "\x95\x5C"
#define SO "\x83\x5C"

struct ArgumentCase {
    const char* text;
    const char* in_932;
    const char* single_byte;   // the same bytes where no byte leads
};

TEST(DoubleBytePaths, OneArgumentKeepsTheSecondByteOfACharacter) {
    const ArgumentCase cases[] = {
        {R"(C:\My Wads\x)" HYO, R"("C:\My Wads\x)" HYO R"(")", R"("C:\My Wads\x)" "\x95" R"(\\")"},
        {R"(C:\My Wads\)" HYO R"(\)", R"("C:\My Wads\)" HYO R"(\\")", R"("C:\My Wads\)" "\x95" R"(\\\\")"},
        {SO R"(" x)", R"(")" SO R"(\" x")", R"(")" "\x83" R"(\\\" x")"},
        {R"(C:\Wads\x)" HYO, R"(C:\Wads\x)" HYO, R"(C:\Wads\x)" HYO},
        {"a b\x95", "\"a b\x95\"", "\"a b\x95\""},                 // a lead byte at the end
        {"\x95 b", "\"\x95 b\"", "\"\x95 b\""},                     // a blank ends no character
        {"\x95\"b", "\"\x95\\\"b\"", "\"\x95\\\"b\""},             // nor does a quote
    };
    for (const ArgumentCase& c : cases) {
        EXPECT_EQ(frame::one_argument(c.text, lead_of_932), c.in_932) << c.text;
        EXPECT_EQ(frame::one_argument(c.text, no_lead), c.single_byte) << c.text;
    }
}

TEST(DoubleBytePaths, LowerCaseLeavesTwoByteCharactersWhole) {
    const ArgumentCase cases[] = {
        {"C:\\WADS\\\x83\x41\x83\x43.WAD", "c:\\wads\\\x83\x41\x83\x43.wad", "c:\\wads\\\x83\x61\x83\x63.wad"},
        {"\x83\x83" "AB", "\x83\x83" "ab", "\x83\x83" "ab"},   // 0x83 0x83 is one character
        {"A\x83", "a\x83", "a\x83"},                           // a lead byte at the end
        {"\x83 B", "\x83 b", "\x83 b"},
    };
    // Each path lies in a longer buffer, as in the launcher's text: the byte after it is not its own.
    const auto lowered = [](const char* text, frame::LeadByteRule rule) {
        std::string buffer = std::string(text) + "Z";
        frame::to_lower_path(std::span<char>(buffer.data(), buffer.size() - 1), rule);
        return buffer;
    };
    for (const ArgumentCase& c : cases) {
        EXPECT_EQ(lowered(c.text, lead_of_932), std::string(c.in_932) + "Z") << c.text;
        EXPECT_EQ(lowered(c.text, no_lead), std::string(c.single_byte) + "Z") << c.text;
    }
}

}  // namespace
