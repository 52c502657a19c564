// text_bytes_test.cpp: the colour escapes a name loses (frame/text_bytes.h).
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "frame/text_bytes.h"

namespace {

TEST(StripColorCodes, RemovesEachEscapeWithItsLetter) {
    auto stripped = [](std::string text) {
        text.resize(frame::StripColorCodes(std::span<char>(text)));
        return text;
    };
    EXPECT_EQ(stripped("\x1C" "Ared\x1C" "B \x1C\x1C" "Cblue"), "red Cblue");   // an escape eats the escape after it
    EXPECT_EQ(stripped("\x1C" "A\x1C" "B\x1C" "C"), "");
    EXPECT_EQ(stripped("name\x1C"), "name");   // an escape as the last byte goes alone
    EXPECT_EQ(stripped("plain name"), "plain name");
}

}  // namespace
