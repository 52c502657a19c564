// launcher_text_test.cpp: the conversions of the launcher's UTF-16 texts to ANSI copies and back
// (frame/launcher_text.h).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/launcher_text.h"
#include "platform/platform.h"

namespace {

// Runs frame::ToNarrow and returns the copy as a string, checking the result code and freeing it.
std::string narrow_copy(const char16_t* text) {
    char* out = reinterpret_cast<char*>(1);
    EXPECT_EQ(frame::ToNarrow(text, &out), frame::kResultOk);
    EXPECT_NE(out, nullptr);
    std::string copy = out ? out : "";
    frame::FreeHostText(out);
    return copy;
}

// The way back, through the platform's own conversion.
std::u16string widened(const std::string& ansi) {
    const int units = platform::ansi_to_wide(ansi.c_str(), -1, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(units > 0 ? units : 1), u'\0');
    platform::ansi_to_wide(ansi.c_str(), -1, wide.data(), units);
    wide.resize(wide.size() - 1);
    return wide;
}

TEST(TextConversion, NullTextsGiveNullCopiesAndSuccess) {
    char* narrow = reinterpret_cast<char*>(1);
    EXPECT_EQ(frame::ToNarrow(nullptr, &narrow), frame::kResultOk);
    EXPECT_EQ(narrow, nullptr);
    EXPECT_EQ(frame::FreeHostText(nullptr), 0);
    EXPECT_EQ(frame::HostTextCopy().view(), "");
}

TEST(TextConversion, EmptyTextsGiveAllocatedEmptyCopies) {
    EXPECT_EQ(narrow_copy(u""), "");
}

TEST(TextConversion, AsciiPassesUnchanged) {
    EXPECT_EQ(narrow_copy(u"C:\\Games\\Brannock\\"), "C:\\Games\\Brannock\\");
}

TEST(TextConversion, UnpairedSurrogateBecomesQuestionMark) {
    const char16_t lone_high[] = {u'a', 0xD800, u'b', 0};
    const char16_t lone_low_at_end[] = {u'a', 0xDC00, 0};
    EXPECT_EQ(narrow_copy(lone_high), "a?b");
    EXPECT_EQ(narrow_copy(lone_low_at_end), "a?");
}

#ifdef _WIN32
// The ANSI code page of a Windows system holds the Latin-1 letters used here.
TEST(TextConversion, NonAsciiRoundTripsThroughTheAnsiCodePage) {
    const std::u16string text = u"Caf\u00e9 \u00fc\u00df";
    EXPECT_EQ(widened(narrow_copy(text.c_str()).c_str()), text);
}
#else
// Here the ANSI code page is UTF-8, where one UTF-16 unit can take three bytes: the copy must
// be sized by the conversion, not by twice the unit count.
TEST(TextConversion, NonAsciiNeedingThreeBytesPerUnitIsNotCut) {
    EXPECT_EQ(narrow_copy(u"\u20ac\u20ac\u20ac"), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
    EXPECT_EQ(narrow_copy(u"\U0001F600x"), "\xF0\x9F\x98\x80x");
    EXPECT_EQ(widened("\xE2\x82\xAC \xC3\xA9"), u"\u20ac \u00e9");
}

TEST(TextConversion, MalformedAnsiBytesBecomeReplacementCharacters) {
    EXPECT_EQ(widened("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(widened("cut\xE2\x82"), u"cut\uFFFD");
}
#endif

}  // namespace
