#include "tests/support/golden_pictures.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace pvz::test {

::testing::AssertionResult matchesGoldenPicture(const Bitmap& actual, const std::string& name) {
    const std::string goldenPath = std::string(PVZ_TEST_DATA_DIR) + "/golden/" + name + ".png";
    if (const char* update = std::getenv("PVZ_UPDATE_GOLDEN"); update != nullptr && std::string_view(update) == "1") {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(goldenPath).parent_path(), ignored);
        if (!actual.saveToFile(goldenPath)) return ::testing::AssertionFailure() << "cannot write " << goldenPath;
        return ::testing::AssertionSuccess();
    }

    Bitmap expected;
    const bool loaded = expected.loadFromFile(goldenPath);
    const bool sameSize = loaded && expected.width() == actual.width() && expected.height() == actual.height();
    int differing = 0;
    Bitmap difference;
    difference.setSize(actual.width(), actual.height());
    Canvas& canvas = difference.canvas();
    canvas.brush() = Brush{clRed, BrushStyle::Solid};
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const bool inside = sameSize || (loaded && x < expected.width() && y < expected.height());
            if (inside && expected.pixel(x, y) == actual.pixel(x, y)) continue;
            ++differing;
            canvas.fillRect(Rect{x, y, x + 1, y + 1});
        }
    }
    if (sameSize && differing == 0) return ::testing::AssertionSuccess();

    const std::filesystem::path folder = std::filesystem::path(PVZ_TEST_OUTPUT_DIR) / "golden-failures";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string actualPath = (folder / (name + "-actual.png")).string();
    const std::string differencePath = (folder / (name + "-difference.png")).string();
    actual.saveToFile(actualPath);
    difference.saveToFile(differencePath);
    auto failure = ::testing::AssertionFailure();
    if (!loaded)
        failure << "no golden picture " << goldenPath;
    else if (!sameSize)
        failure << "the golden picture is " << expected.width() << "x" << expected.height() << ", the drawing "
                << actual.width() << "x" << actual.height();
    else
        failure << differing << " pixels differ from " << goldenPath;
    return failure << "; the drawing is in " << actualPath << ", the differing pixels in " << differencePath;
}

}  // namespace pvz::test
