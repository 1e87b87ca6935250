// The axis's range and the mapping between values and pixels: the range setters and their
// checks, the range of one repaint with its margins, and value-to-pixel conversion both ways.
#include "chart/chart_axis.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "chart/axis_pixels.h"
#include "chart/chart_errors.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

using detail::kPixelLimit;
using detail::roundToInt;

constexpr int kTickListCapacity = 2000;

// The pixel offset `t` rounded to the nearest integer, ties to even, as roundToInt64 rounds;
// |t| < 2^31. Inline and converted through a double: converting a long double to an integer
// switches the x87 rounding mode there and back, the largest cost of mapping values to pixels.
std::int64_t roundedPixelOffset(long double t) {
    constexpr long double kShift = 0x1p63L;  // in [2^63, 2^64) every long double is an integer
    const long double rounded = t >= 0 ? (t + kShift) - kShift : (t - kShift) + kShift;
    return static_cast<std::int64_t>(static_cast<double>(rounded));  // exact: an integer below 2^31
}

int clampedToInt(std::int64_t x) {
    return static_cast<int>(
        std::clamp<std::int64_t>(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

TCustomChartAxis::TCustomChartAxis(ChartOwner* chart, AxisPlace place) : TChartElement(chart), place_(place) {
    labelValues_.reserve(kTickListCapacity);
    tickPositions_.reserve(kTickListCapacity);
}

TCustomChartAxis::~TCustomChartAxis() = default;

TChartDepthAxis::TChartDepthAxis(ChartOwner* chart) : TCustomChartAxis(chart, AxisPlace::Depth) { setVisible(false); }

int TCustomChartAxis::DefaultTitleAngle() const {
    switch (place_) {
        case AxisPlace::Left:
            return 90;
        case AxisPlace::Right:
            return 270;
        default:
            return 0;
    }
}

// ---- Range ----

void TCustomChartAxis::setAutomatic(bool automatic) {
    change(automatic_, automatic);
    if (!loading()) {
        setAutomaticMinimum(automatic);
        setAutomaticMaximum(automatic);
    }
}

void TCustomChartAxis::setAutomaticMaximum(bool automatic) {
    change(automaticMaximum_, automatic);
    if (!automatic || automaticMinimum_) change(automatic_, automatic);
}

void TCustomChartAxis::setAutomaticMinimum(bool automatic) {
    change(automaticMinimum_, automatic);
    if (!automatic || automaticMaximum_) change(automatic_, automatic);
}

void TCustomChartAxis::setIncrement(double increment) {
    if (!(increment >= 0.0)) throw AxisException("Axis increment must be >= 0");
    change(increment_, increment);
}

void TCustomChartAxis::setMaximum(double maximum) {
    if (!loading()) {
        if (!(maximum >= minimum_)) throw AxisException("Axis Maximum Value must be >= Minimum");
        checkRangeExtent(minimum_, maximum);
    }
    change(maximum_, maximum);
}

void TCustomChartAxis::setMinimum(double minimum) {
    if (!loading()) {
        if (!(minimum <= maximum_)) throw AxisException("Axis Minimum Value must be <= Maximum");
        checkRangeExtent(minimum, maximum_);
    }
    change(minimum_, minimum);
}

void TCustomChartAxis::checkRangeExtent(double minimum, double maximum) {
    // Every drawing takes the difference of the ends; a range whose difference overflows is
    // refused here, once, rather than failing in every drawing.
    if (!std::isfinite(maximum - minimum)) throw EOverflow();
}

void TCustomChartAxis::setMinMax(double minimum, double maximum) {
    if (minimum > maximum_) {
        setMaximum(maximum);
        setMinimum(minimum);
    } else {
        setMinimum(minimum);
        setMaximum(maximum);
    }
}

void TCustomChartAxis::setLabelsSeparation(int percent) {
    if (percent < 0) throw AxisException("Labels Separation % must be greater than 0");
    change(labelsSeparation_, percent);
}

// ---- One repaint ----

bool TCustomChartAxis::computeValuesAreDateTime() const {
    if (chart_ == nullptr) return false;
    for (int i = 0; i < chart_->seriesCount(); ++i) {
        const TChartSeries& series = chart_->seriesAt(i);
        if (series.Active() && series.associatedToAxis(*this)) {
            return isHorizontal() ? series.XValues().DateTime() : series.YValues().DateTime();
        }
    }
    return false;
}

void TCustomChartAxis::AdjustRange() {
    const bool fitMaximum = automatic_ || automaticMaximum_;
    const bool fitMinimum = automatic_ || automaticMinimum_;
    const int seriesCount = chart_ != nullptr ? chart_->seriesCount() : 0;
    if (fitMaximum || fitMinimum) {
        bool anyActive = false;
        for (int i = 0; i < seriesCount && !anyActive; ++i) {
            const TChartSeries& series = chart_->seriesAt(i);
            anyActive = series.Active() && series.associatedToAxis(*this);
        }
        bool found = false;
        double lowest = 0.0;
        double highest = 0.0;
        for (int i = 0; i < seriesCount; ++i) {
            const TChartSeries& series = chart_->seriesAt(i);
            if (series.Count() == 0 || !series.associatedToAxis(*this) || (anyActive && !series.Active())) continue;
            const double low = isHorizontal() ? series.MinXValue() : series.MinYValue();
            const double high = isHorizontal() ? series.MaxXValue() : series.MaxYValue();
            lowest = found ? std::min(lowest, low) : low;
            highest = found ? std::max(highest, high) : high;
            found = true;
        }
        // Fitted ends are stored without the setters' checks and without a repaint request.
        if (fitMaximum) maximum_ = highest;
        if (fitMinimum) minimum_ = lowest;
    }
    effectiveMaximum_ = maximum_;
    effectiveMinimum_ = minimum_;
    effectiveRange_ = effectiveMaximum_ - effectiveMinimum_;
    // Set here as well as in DrawAxis: the layout that follows measures the label texts, which
    // must be dates already in the first drawing after the series changed.
    valuesAreDateTime_ = computeValuesAreDateTime();
}

void TCustomChartAxis::computePixelSpanFor(const Rect& plot) {
    const int origin = isHorizontal() ? plot.left : plot.top;
    const long double extent = isHorizontal() ? plot.width() : plot.height();
    startPixel_ = origin + roundToInt(extent * 0.01L * startPosition_);
    endPixel_ = origin + roundToInt(extent * 0.01L * endPosition_);
    pixelLength_ = endPixel_ - startPixel_;
    centerPixel_ = (startPixel_ + endPixel_) / 2;
}

void TCustomChartAxis::ComputePixelSpan() { computePixelSpanFor(chart_ != nullptr ? chart_->plotRect() : Rect{}); }

void TCustomChartAxis::seriesMarginInsets(int& startInset, int& endInset) const {
    startInset = 0;
    endInset = 0;
    if (chart_ == nullptr) return;
    for (int i = 0; i < chart_->seriesCount(); ++i) {
        const TChartSeries& series = chart_->seriesAt(i);
        if (!series.Active() || !series.associatedToAxis(*this)) continue;
        int before = 0;
        int after = 0;
        if (isHorizontal()) {
            series.horizontalMargins(before, after);
            if (automaticMinimum_) startInset = std::max(startInset, before);
            if (automaticMaximum_) endInset = std::max(endInset, after);
        } else {
            series.verticalMargins(before, after);
            if (automaticMaximum_) startInset = std::max(startInset, before);
            if (automaticMinimum_) endInset = std::max(endInset, after);
        }
    }
}

void TCustomChartAxis::InsetRangeByMargins(int startInset, int endInset) {
    const int oldStart = startPixel_;
    const int oldEnd = endPixel_;
    startPixel_ += startInset;
    endPixel_ -= endInset;
    pixelLength_ = endPixel_ - startPixel_;
    // An axis too short for its margins keeps its range rather than collapsing it to 0.
    if (pixelLength_ >= 1) {
        double first = PixelToValue(oldStart);
        double last = PixelToValue(oldEnd);
        if (first > last) std::swap(first, last);
        effectiveMinimum_ = first;
        effectiveMaximum_ = last;
        effectiveRange_ = effectiveMaximum_ - effectiveMinimum_;
    }
    ComputePixelSpan();
}

int TCustomChartAxis::widestLabelWidth(Canvas& canvas) {
    double high = effectiveMaximum_;
    double low = effectiveMinimum_;
    if ((valuesAreDateTime_ && exactDateTime_) || roundFirstLabel_) {
        const long double step = LabelStep();
        high = static_cast<double>(integralPart(high / step) * step);
        low = static_cast<double>(integralPart(low / step) * step);
    }
    return std::max(labelTextWidth(canvas, LabelText(high, LabelHook::Skip)),
                    labelTextWidth(canvas, LabelText(low, LabelHook::Skip)));
}

void TCustomChartAxis::ReserveAxisSpace(Rect& rect) {
    assert(chart_ != nullptr);
    Canvas& canvas = chart_->canvas();
    int* edge = nullptr;
    int inward = 1;
    switch (place_) {
        case AxisPlace::Bottom:
            edge = &rect.bottom;
            inward = -1;
            break;
        case AxisPlace::Top:
            edge = &rect.top;
            break;
        case AxisPlace::Left:
        case AxisPlace::Depth:
            edge = &rect.left;
            break;
        case AxisPlace::Right:
            edge = &rect.right;
            inward = -1;
            break;
    }
    int position = *edge;
    if (!title_.caption.empty()) {
        int size = titleSize_;
        if (size == 0) {
            canvas.font() = title_.font;
            size = canvas.textHeight("W");
        }
        position += inward * size;
        titlePosition_ = position;
    }
    if (labels_) {
        canvas.font() = labelsFont_;
        int size = labelsSize_;
        if (size == 0) {
            size = isHorizontal() ? canvas.textHeight("W") : widestLabelWidth(canvas) + canvas.textWidth(" ");
        }
        position += inward * size;
        labelsPosition_ = position;
    }
    int tickBand = (axisPen_.visible ? axisPen_.width : 0) + (ticks_.visible ? tickLength_ : 0);
    if (minorTicks_.visible) tickBand = std::max(tickBand, minorTickLength_);
    tickBand += chart_->wallSizeForAxis(*this);
    *edge = position + inward * tickBand;
}

// ---- Mapping ----

int TCustomChartAxis::ValueToPixel(double value) const {
    return isHorizontal() ? ValueToPixelX(value) : ValueToPixelY(value);
}

int TCustomChartAxis::ValueToPixelX(double value) const {
    if (effectiveRange_ == 0.0) return centerPixel_;
    const long double t = (static_cast<long double>(value) - effectiveMinimum_) * pixelLength_ / effectiveRange_;
    if (!(std::fabs(t) < kPixelLimit)) return centerPixel_;
    return clampedToInt(inverted_ ? endPixel_ - roundedPixelOffset(t) : startPixel_ + roundedPixelOffset(t));
}

int TCustomChartAxis::ValueToPixelY(double value) const {
    if (effectiveRange_ == 0.0) return centerPixel_;
    const long double t = (static_cast<long double>(value) - effectiveMinimum_) * pixelLength_ / effectiveRange_;
    if (!(std::fabs(t) < kPixelLimit)) return centerPixel_;
    return clampedToInt(inverted_ ? startPixel_ + roundedPixelOffset(t) : endPixel_ - roundedPixelOffset(t));
}

double TCustomChartAxis::PixelToValue(int pixel) const {
    if (pixelLength_ < 1) return 0.0;
    const long double distance = inverted_ ? endPixel_ - pixel : pixel - startPixel_;
    const long double t = distance * effectiveRange_ / pixelLength_;
    return static_cast<double>(isHorizontal() ? effectiveMinimum_ + t : effectiveMaximum_ - t);
}

}  // namespace pvz
