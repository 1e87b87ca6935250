#include "runtime/utf8_text.h"

namespace pvz {
namespace {

bool continuesCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts; 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

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

void utf8Truncate(std::string& text, std::size_t maxCharacters) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < maxCharacters && i < text.size(); ++n) {
        const std::size_t length = sequenceLength(static_cast<unsigned char>(text[i]));
        i += length == 0 ? 1 : length;
    }
    if (i < text.size()) text.resize(i);
}

std::string_view utf8FirstCharacter(std::string_view text) {
    if (text.empty()) return {};
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || length > text.size()) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80) return {};
        // Overlong three- and four-byte forms, surrogates and code points above U+10FFFF.
        if (i == 1 && ((lead == 0xE0 && c < 0xA0) || (lead == 0xED && c > 0x9F) || (lead == 0xF0 && c < 0x90) ||
                       (lead == 0xF4 && c > 0x8F))) {
            return {};
        }
    }
    return text.substr(0, length);
}

bool isWellFormedUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::string_view c = utf8FirstCharacter(text);
        if (c.empty()) return false;
        text.remove_prefix(c.size());
    }
    return true;
}

}  // namespace pvz
