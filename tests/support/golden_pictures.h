#pragma once
// Golden pictures: drawings kept as PNG files in tests/data/golden/ and compared pixel by pixel.

#include <string>

#include <gtest/gtest.h>

#include "runtime/window_system.h"

namespace pvz::test {

// Compares `actual` with tests/data/golden/NAME.png. On a difference it writes NAME-actual.png
// and NAME-difference.png (the differing pixels red on white) into the build's
// tests/golden-failures/ folder and says where they are. With PVZ_UPDATE_GOLDEN=1 in the
// environment it writes `actual` as the new golden picture instead.
::testing::AssertionResult matchesGoldenPicture(const Bitmap& actual, const std::string& name);

}  // namespace pvz::test
