// formatFixed with arbitrary values, precisions, decimals and locale settings. A fixed-point text
// must also read back as the value it stands for, within the rounding it was asked for.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "runtime/errors.h"
#include "runtime/formatting.h"

namespace {

// The text as a number when it is plain fixed-point ("-", digits, one "." and digits).
bool readFixed(const std::string& text, long double& value) {
    std::size_t i = text[0] == '-' ? 1 : 0;
    long double mantissa = 0;
    int decimals = -1;
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + (c - '0');
            if (decimals >= 0) ++decimals;
            anyDigit = true;
        } else {
            return false;
        }
    }
    if (!anyDigit) return false;
    value = mantissa / std::pow(10.0L, decimals < 0 ? 0 : decimals);
    if (text[0] == '-') value = -value;
    return true;
}

void checkReadsBack(const std::string& text, double value, int precision, int decimals) {
    long double shown = 0;
    if (text.empty() || !readFixed(text, shown)) return;
    precision = precision < 2 ? 2 : precision > 18 ? 18 : precision;
    decimals = decimals > 18 ? 18 : decimals;
    const long double magnitude = std::fabs(static_cast<long double>(value));
    // Rounding to `decimals` places or to `precision` digits, after the 18-digit first rounding.
    const long double allowed =
        0.5L * std::pow(10.0L, -decimals) + magnitude * (0.5L * std::pow(10.0L, 1 - precision) + 1e-17L) + 1e-300L;
    if (std::fabs(shown - value) > allowed * (1 + 1e-12L)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < pvz::fuzz::kFixedInputSize) return -1;
    const double value = pvz::fuzz::doubleAt(data);
    const std::int32_t precision = pvz::fuzz::int32At(data + 8);
    const std::int32_t decimals = pvz::fuzz::int32At(data + 12);
    const unsigned variant = data[16];
    pvz::ScopedFormatSettings settings(pvz::fuzz::settingsVariant(variant));
    try {
        const std::string text = pvz::formatFixed(value, precision, decimals);
        if (variant % 4 == 0 && decimals >= 0 && std::isfinite(value)) checkReadsBack(text, value, precision, decimals);
    } catch (const pvz::Exception&) {
    }
    return 0;
}
