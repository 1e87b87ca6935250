#pragma once
// The settings of a locale that writes a decimal comma, as a Russian desktop does; set them for a
// test's scope with ScopedFormatSettings.

#include "runtime/formatting.h"

namespace pvz::test {

inline FormatSettings decimalComma() {
    FormatSettings s;
    s.decimalPointChar = ",";
    return s;
}

}  // namespace pvz::test
