// Keeping what the chart shows: the picture as a PNG file or on the clipboard, the plotted
// points as a CSV file, each source's statistics as a table on the clipboard.
#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/kept_views.h"
#include "app/main_window.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

// Saved pictures are drawn at the screen's ratio, and at least at twice the logical size, so
// that a printed report is sharp.
constexpr double kLeastKeptRatio = 2.0;
constexpr double kLogicalDotsPerInch = 96.0;

std::string withoutEllipsis(std::string text) {
    const std::string ellipsis = "…";
    if (text.size() >= ellipsis.size() && text.compare(text.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0)
        text.resize(text.size() - ellipsis.size());
    return text;
}

// Asks where to save what a command keeps, in the folder saved into last (the home folder at
// first), proposing a name made of the parameter and the shown dates. The folder chosen is
// remembered for the next time; nothing when the user cancels.
std::optional<std::string> chooseKeptFile(std::string& folder, const ViewerState& state, const char* command,
                                          std::string_view extension, const char* filter) {
    if (folder.empty()) folder = homeDirectory();
    const FileChoice choice = chooseSaveFile(
        withoutEllipsis(command), folder,
        proposedFileName(state.selectedParameter, state.windowStartMjd, state.windowEndMjd, extension), filter);
    if (!choice.confirmed) return std::nullopt;
    folder = std::filesystem::path(choice.path).parent_path().string();
    return choice.path;
}

}  // namespace

void TForm1::connectCommands() {
    commands_ = std::make_unique<WindowCommands>(*this, *Chart);
    commands_->add(kSavePictureText, kSavePictureKeys, [this] { SavePictureCommand(); });
    commands_->add(kSavePointsText, kSavePointsKeys, [this] { SavePointsCommand(); });
    commands_->add(kCopyPictureText, kCopyPictureKeys, [this] { CopyPictureCommand(); });
    commands_->add(kCopyStatisticsText, kCopyStatisticsKeys, [this] { CopyStatisticsCommand(); });
    // Nothing is shown to keep before Start.
    commands_->setEnabled(false);
}

void TForm1::drawKeptPicture(Bitmap& picture) {
    drawingKeptPicture_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{drawingKeptPicture_};
    Chart->drawPicture(picture, std::max(Chart->pixelRatio(), kLeastKeptRatio));
}

std::string TForm1::pointsCsvText() const {
    // The series view's points whichever view is shown: the series arrays as the last rebuild
    // left them, for each source it plotted. A rebuild that was abandoned plotted nothing.
    const int parameter = state.selectedParameter;
    bool plotted = false;
    for (int i = 0; i < Chart->SeriesCount(); ++i) plotted = plotted || Chart->Series(i).Count() > 0;
    std::vector<KeptSeries> shown;
    std::vector<std::vector<double>> columns;  // mjd, value, difference of each series
    for (int i = 0; plotted && i < Chart->SeriesCount(); ++i) {
        const int slot = i + 1;
        if (!state.seriesChecked[i] || arrays.seriesEmpty[slot]) continue;
        const auto count = static_cast<std::size_t>(arrays.seriesCount[slot]);
        std::vector<double> mjd(arrays.seriesX.slotRows(slot), arrays.seriesX.slotRows(slot) + count);
        std::vector<double> value(arrays.seriesY.slotRows(slot), arrays.seriesY.slotRows(slot) + count);
        // The reference is what the others are compared with, not a compared source.
        std::vector<double> difference(count, std::numeric_limits<double>::quiet_NaN());
        if (slot != kReferenceSlot) slotDifferences(arrays, parameter, slot, difference);
        columns.push_back(std::move(mjd));
        columns.push_back(std::move(value));
        columns.push_back(std::move(difference));
        const std::size_t c = columns.size();
        shown.push_back({Chart->Series(i).Title(), columns[c - 3], columns[c - 2], columns[c - 1]});
    }
    return pointsCsv(parameter, shown);
}

std::string TForm1::statisticsText() const {
    const SeriesStatistics& statistics = cycle_->statistics();
    std::vector<KeptStatistics> rows;
    for (int i = 1; i < kSeriesSlotCount; ++i) {
        const DifferenceStatistics& s = statistics.bySeries[static_cast<std::size_t>(i)];
        if (s.count > 0) rows.push_back({seriesAt(i).Title(), s});
    }
    return statisticsTable(state.selectedParameter, state.windowStartMjd, state.windowEndMjd, rows,
                           formatSettings().decimalPointChar);
}

void TForm1::SavePictureCommand() {
    const std::optional<std::string> path =
        chooseKeptFile(keepFolder_, state, kSavePictureText, "png", "Рисунок PNG (*.png)");
    if (!path) return;
    Bitmap picture;
    drawKeptPicture(picture);
    writeFileAtomically(*path, picture.pngData(kLogicalDotsPerInch * picture.pixelRatio()));
}

void TForm1::SavePointsCommand() {
    const std::optional<std::string> path =
        chooseKeptFile(keepFolder_, state, kSavePointsText, "csv", "Таблица CSV (*.csv)");
    if (path) writeFileAtomically(*path, pointsCsvText());
}

void TForm1::CopyPictureCommand() {
    Bitmap picture;
    drawKeptPicture(picture);
    copyPictureToClipboard(picture);
}

void TForm1::CopyStatisticsCommand() { copyTextToClipboard(statisticsText()); }

}  // namespace pvz
