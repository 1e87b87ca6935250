#pragma once
// UTF-8 text: character counts and cuts for the limits that the viewer states in characters,
// and the checks that decide whether text from the locale can be shown.

#include <cstddef>
#include <string>
#include <string_view>

namespace pvz {

// The number of characters: every byte that does not continue a multi-byte sequence counts
// as one, so malformed text is still counted, never overrun.
std::size_t utf8CharacterCount(std::string_view text);

// The first `count` characters of `text` (all of it when it is shorter), counted as
// utf8CharacterCount counts them; never splits a character.
std::string_view utf8Prefix(std::string_view text, std::size_t count);

// Cuts `text` after `maxCharacters` characters, stepping over each lead byte's whole sequence;
// a byte that cannot start a character counts as one. The text left is never longer than four
// bytes a character, however malformed it was.
void utf8Truncate(std::string& text, std::size_t maxCharacters);

// The first character of `text`; empty when `text` is empty or does not start with a
// well-formed character (overlong forms, surrogates and code points above U+10FFFF are not).
std::string_view utf8FirstCharacter(std::string_view text);

// True when the whole of `text` is well-formed characters.
bool isWellFormedUtf8(std::string_view text);

}  // namespace pvz
