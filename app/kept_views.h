#pragma once
// The texts that keep what the window shows: the plotted points as CSV, each source's statistics
// as a table for a spreadsheet, and the name proposed for a saved file. Plain functions of the
// numbers, without a window.

#include <span>
#include <string>
#include <string_view>

#include "data/series_statistics.h"

namespace pvz {

// One shown series: its legend title and its points as plotted, with each point's difference
// from the reference in the series' units (NaN where the point is not compared).
struct KeptSeries {
    std::string title;
    std::span<const double> mjd;
    std::span<const double> value;
    std::span<const double> difference;  // empty: no point is compared
};

// One source with statistics.
struct KeptStatistics {
    std::string title;
    DifferenceStatistics statistics;
};

// "UT1", "UT1R", "Xp" or "Yp" for parameter 1 to 4.
std::string_view parameterName(int parameter);

// The value in the fewest decimal digits that read back as the same double, with "." as the
// decimal point and without an exponent.
std::string roundTripText(double value);

// "YYYY-MM-DD" of the day that holds `mjd`, and "YYYY-MM-DDTHH:MM:SSZ" of `mjd` rounded to
// the second.
std::string isoDateOfMjd(double mjd);
std::string isoUtcOfMjd(double mjd);

// UTF-8, comma-separated, one header line: source (quoted), mjd, utc, the value in seconds of
// time or of arc, and the difference in thousandths of them, empty where not compared. One row
// per point, series by series in the given order.
std::string pointsCsv(int parameter, std::span<const KeptSeries> series);

// Tab-separated: a line naming the parameter and the window's first and last day, a header line,
// then per source its name, count, mean and deviation in thousandths of a second of time or of
// arc, with `decimalPoint` as the decimal separator.
std::string statisticsTable(int parameter, double firstMjd, double lastMjd, std::span<const KeptStatistics> rows,
                            std::string_view decimalPoint);

// "pvz-UT1-2017-01-16--2017-02-13.png": the parameter and the window's first and last day.
std::string proposedFileName(int parameter, double firstMjd, double lastMjd, std::string_view extension);

}  // namespace pvz
