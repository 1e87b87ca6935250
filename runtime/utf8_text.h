#pragma once
// Character counts of UTF-8 text, for the limits that the viewer states in characters.

#include <cstddef>
#include <string_view>

namespace pvz {

// The number of characters: every byte that does not continue a multi-byte sequence counts
// as one, so malformed text is still counted, never overrun.
std::size_t utf8CharacterCount(std::string_view text);

// The first `count` characters of `text` (all of it when it is shorter); never splits a character.
std::string_view utf8Prefix(std::string_view text, std::size_t count);

}  // namespace pvz
