#include "runtime/utf8_text.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace pvz {
namespace {

TEST(Utf8Text, CountsAndPrefixesWholeCharacters) {
    EXPECT_EQ(utf8CharacterCount("abc"), 3u);
    EXPECT_EQ(utf8CharacterCount("Путь"), 4u);
    EXPECT_EQ(utf8Prefix("Путь/x", 3), "Пут");
    EXPECT_EQ(utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(utf8Prefix("ab", 0), "");
    EXPECT_EQ(utf8CharacterCount("\x80\x80"
                                 "a"),
              1u);
}

TEST(Utf8Text, FirstCharacterTakesOnlyWellFormedCharacters) {
    struct Row {
        std::string_view text;
        std::string_view expected;
    };
    const Row rows[] = {
        {",", ","},
        {". x", "."},
        {"\u202F", "\u202F"},
        {"\u00A0rest", "\u00A0"},
        {"янв", "я"},
        {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80"},
        {"", ""},
        {"\xE2\x80", ""},      // cut short
        {"\xA0", ""},          // a lone continuation byte
        {"\xC0\xAE", ""},      // overlong "."
        {"\xED\xA0\x80", ""},  // a surrogate
        {"\xE2x\x80", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text));
        EXPECT_EQ(utf8FirstCharacter(row.text), row.expected);
    }
}

// The cut used on formatted dates: a malformed text keeps at most four bytes a character.
TEST(Utf8Text, TruncateKeepsWholeSequences) {
    struct Row {
        std::string text;
        std::size_t characters;
        std::string expected;
    };
    const Row rows[] = {
        {"abc", 2, "ab"},
        {"abc", 3, "abc"},
        {"abc", 9, "abc"},
        {"Путь", 2, "Пу"},
        {"\xF0\x9F\x98\x80!", 1, "\xF0\x9F\x98\x80"},
        {"\x80\x80\x80", 1, "\x80"},  // lone continuation bytes count one each
        {"\xC3"
         "ab",
         1,
         "\xC3"
         "a"},  // a lead byte takes its sequence, well-formed or not
        {"\xFF\xFF\xFF", 2, "\xFF\xFF"},
        {"", 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::string text = row.text;
        utf8Truncate(text, row.characters);
        EXPECT_EQ(text, row.expected);
    }
}

TEST(Utf8Text, WellFormedTextIsEveryCharacterWellFormed) {
    EXPECT_TRUE(isWellFormedUtf8(""));
    EXPECT_TRUE(isWellFormedUtf8("янв."));
    EXPECT_FALSE(isWellFormedUtf8("янв\xD1"));
    EXPECT_FALSE(isWellFormedUtf8("\xC0\xAE"));
}

}  // namespace
}  // namespace pvz
