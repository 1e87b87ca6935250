#include "runtime/utf8_text.h"

namespace pvz {
namespace {

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

std::size_t utf8CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (char byte : text)
        if (!continuesCharacter(byte)) ++count;
    return count;
}

std::string_view utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (continuesCharacter(text[i])) continue;
        if (seen == count) return text.substr(0, i);
        ++seen;
    }
    return text;
}

}  // namespace pvz
