// formatByPattern and formatDateByPattern with arbitrary patterns, values and locale settings.
// Besides crashes and sanitizer reports, these are findings: a text made from a well-formed UTF-8
// pattern that is not well-formed itself (a character cut in two, say), and a date text longer
// than 256 characters.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "runtime/errors.h"
#include "runtime/formatting.h"

namespace {

// The number of characters of well-formed UTF-8 text, or -1 when it is not well-formed
// (overlong forms and surrogates are not checked: the formatting only copies and cuts).
long characterCount(std::string_view text) {
    long count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                    ? 1
                                   : lead >= 0xC2 && lead <= 0xDF ? 2
                                   : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                  : 0;
        if (length == 0 || i + length > text.size()) return -1;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return -1;
        i += length;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < pvz::fuzz::kPatternHeaderSize) return -1;
    const unsigned selector = data[0];
    const double value = pvz::fuzz::doubleAt(data + 1);
    const std::string_view pattern(reinterpret_cast<const char*>(data) + pvz::fuzz::kPatternHeaderSize,
                                   size - pvz::fuzz::kPatternHeaderSize);
    pvz::ScopedFormatSettings settings(pvz::fuzz::settingsVariant(selector >> 1));
    const bool wellFormed = characterCount(pattern) >= 0;
    try {
        if (selector & 1) {
            const std::string text = pvz::formatDateByPattern(pattern, value);
            const long characters = characterCount(text);
            if ((wellFormed && characters < 0) || characters > 256 || text.size() > 4 * 256) std::abort();
        } else {
            const std::string text = pvz::formatByPattern(pattern, value);
            if (wellFormed && characterCount(text) < 0) std::abort();
        }
    } catch (const pvz::Exception&) {
        // The viewer's own errors (a date out of range, not a number) are defined outcomes.
    }
    return 0;
}
