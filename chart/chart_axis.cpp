#include "chart/chart_axis.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "chart/chart_errors.h"
#include "chart/chart_owner.h"
#include "chart/chart_series.h"
#include "runtime/calendar.h"
#include "runtime/errors.h"
#include "runtime/formatting.h"

namespace pvz {
namespace {

constexpr char kLineBreak = '\r';
constexpr int kTickListCapacity = 2000;
// A step that would give this many labels or more gives none.
constexpr long double kMaxDefaultLabels = 10000;
constexpr int kLastLabelIndex = 2000;
constexpr double kLabelBand = 1e-7;
constexpr double kSmallestNumericStep = 1e-12;
// How far, in steps, a range's end may fall short of a multiple of the label step and still
// get that label: rounding in fitting a range leaves far less, any real gap far more.
constexpr long double kLabelEndTolerance = 1e-6L;
constexpr long double kPixelLimit = 2147483647.0L;

// Patterns of a date-time axis whose own pattern is empty: ranges above a day show dates.
constexpr std::string_view kShortDatePattern = "dd/mm/yyyy";
constexpr std::string_view kShortTimePattern = "hh:nn";

// Calls `visit` for every line of a label text.
template <class Visit>
void forEachLine(std::string_view text, Visit&& visit) {
    for (;;) {
        const std::size_t end = text.find(kLineBreak);
        visit(text.substr(0, end));
        if (end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

int lineCount(std::string_view text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), kLineBreak)); }

int roundToInt(long double x) {
    const std::int64_t r = roundToInt64(x);
    return static_cast<int>(
        std::clamp<std::int64_t>(r, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

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

// ---- Label step ----

int TCustomChartAxis::labelTextWidth(Canvas& canvas, std::string_view text) {
    int widest = 0;
    forEachLine(text, [&](std::string_view line) { widest = std::max(widest, canvas.textWidth(line)); });
    return widest;
}

int TCustomChartAxis::labelTextHeight(Canvas& canvas, std::string_view text) {
    return canvas.textHeight("W") * lineCount(text);
}

int TCustomChartAxis::labelSizeAlongAxis() {
    Canvas& canvas = chart_->canvas();
    canvas.font() = labelsFont_;
    const bool upright = labelsAngle_ == 90 || labelsAngle_ == 270;
    const bool measureWidth = isHorizontal() != upright;
    int size = 0;
    for (const double value : {effectiveMaximum_, effectiveMinimum_}) {
        const std::string text = LabelText(value);
        size = std::max(size, measureWidth ? labelTextWidth(canvas, text) : labelTextHeight(canvas, text));
    }
    return size;
}

double TCustomChartAxis::LabelStep() { return LabelStepForSize(chart_ != nullptr ? labelSizeAlongAxis() : 0); }

double TCustomChartAxis::LabelStepForSize(int labelSize) const {
    std::int64_t fitting = 1;
    if (labelSize > 0) {
        const long double room =
            labelsSeparation_ > 0 ? labelSize + roundToInt64(labelsSeparation_ * 0.01L * labelSize) : labelSize;
        fitting = roundToInt64(pixelLength_ / room);
    }
    // No room, or a range too large to divide into steps (only a range fitted to data can be,
    // the setters refuse one): the smallest step, which gives no labels.
    if (fitting < 1 || !std::isfinite(effectiveRange_)) return valuesAreDateTime_ ? kOneSecond : kSmallestNumericStep;

    if (valuesAreDateTime_) {
        double step = std::max(kOneSecond, increment_);
        if (effectiveRange_ / step > 1000000.0) step = effectiveRange_ / 1000000.0;
        while (fitting < roundToInt64(static_cast<long double>(effectiveRange_) / step)) {
            step = step >= 365.0 ? step * 2.0 : NextDateStep(step);
        }
        return std::max(kOneSecond, step);
    }

    double step = increment_ > 0.0 ? increment_ : (std::fabs(effectiveRange_) >= 1.0 ? 1.0 : kSmallestNumericStep);
    if (labelsSeparation_ > 0) {
        std::int64_t labels = fitting + 1;
        do {
            const long double quotient = static_cast<long double>(effectiveRange_) / step;
            if (std::fabs(quotient) < kPixelLimit) {
                labels = roundToInt64(quotient);
                if (labels > fitting) step = NextNiceStep(step);
            } else {
                step = NextNiceStep(step);
            }
            // A step that grew past the largest double ends the search: the loop is bounded
            // by the about 960 nice steps between 1e-12 and infinity.
        } while (labels > fitting && std::isfinite(step));
    }
    return std::max(kSmallestNumericStep, step);
}

// ---- Label values ----

int TCustomChartAxis::DateStepIndex(double labelStep) const {
    if (!valuesAreDateTime_ || !exactDateTime_ || increment_ == 0.0) return kNoDateStep;
    int index = FindDateStep(increment_);
    if (index == kNoDateStep) return index;
    while (labelStep > DateStepTable[static_cast<std::size_t>(index)] && index != kDateStepOneYear) ++index;
    return index;
}

double TCustomChartAxis::StepBack(double value) const {
    static const double kFirstOf1900 = encodeDayNumber(1900, 1, 1);
    const bool calendarStep = dateStepIndex_ > kDateStepOneWeek && dateStepIndex_ <= kDateStepOneYear;
    // Calendar steps work on dates. Day numbers up to 1 January 1900 step by the plain step:
    // RoundDateToStep leaves them unrounded, and a calendar step could leave day 0 behind.
    if (exactDateTime_ && valuesAreDateTime_ && calendarStep && value > kFirstOf1900) {
        return StepBackDate(dateStepIndex_, value);
    }
    return value - labelStep_;
}

void TCustomChartAxis::defaultLabelValues(std::vector<double>& values) const {
    if (!(std::fabs(static_cast<long double>(effectiveRange_) / labelStep_) < kMaxDefaultLabels)) return;
    double value;
    const int k = dateStepIndex_;
    if (valuesAreDateTime_ && exactDateTime_ && k >= kDateStepOneDay && k <= kDateStepOneYear) {
        value = RoundDateToStep(k, effectiveMaximum_);
    } else if (effectiveMinimum_ == effectiveMaximum_ || !roundFirstLabel_) {
        value = effectiveMaximum_;
    } else {
        const long double quotient = static_cast<long double>(effectiveMaximum_) / labelStep_;
        value = static_cast<double>(integralPart(quotient) * labelStep_);
        // A range that ends a hair below a multiple of the step (3.99999999999997 steps) lost
        // that label only by rounding: it stands at the range's end.
        const long double nearest = std::roundl(quotient);
        if (nearest * labelStep_ > effectiveMaximum_ && nearest - quotient <= kLabelEndTolerance &&
            effectiveMaximum_ > effectiveMinimum_)
            values.push_back(effectiveMaximum_);
    }
    // Each step must move the value down: a step lost in the value's rounding ends the labels.
    const auto stepBack = [&](double& v) {
        const double next = StepBack(v);
        const bool moved = next < v;
        v = next;
        return moved;
    };
    bool moving = true;
    while (value > effectiveMaximum_ && moving) moving = stepBack(value);
    const double limit = static_cast<double>((effectiveMinimum_ - 1e-12L) / 1.000000000001L);
    while (moving && value >= limit && static_cast<long double>(values.size()) < kMaxDefaultLabels) {
        values.push_back(value);
        moving = stepBack(value);
    }
}

void TCustomChartAxis::eventLabelValues(std::vector<double>& values) {
    const TAxisOnGetNextLabel& handler = chart_->getNextAxisLabelHandler();
    double value = effectiveMinimum_;
    bool stop = true;
    for (int index = 0;; ++index) {
        handler(*this, index, value, stop);
        if (stop) {
            if (index == 0) defaultLabelValues(values);
            return;
        }
        const bool inBand = effectiveMinimum_ - kLabelBand <= value && value <= effectiveMaximum_ + kLabelBand;
        if (!inBand) return;
        values.push_back(value);
        if (index == kLastLabelIndex) return;
    }
}

void TCustomChartAxis::LabelValues(double labelStep, std::vector<double>& values) {
    values.clear();
    labelStep_ = labelStep;
    dateStepIndex_ = DateStepIndex(labelStep);
    const bool calendarStep = dateStepIndex_ > kDateStepOneWeek && dateStepIndex_ <= kDateStepOneYear;
    if (!(labelStep > 0.0 || calendarStep) || !(effectiveMaximum_ >= effectiveMinimum_)) return;
    if (chart_ != nullptr && chart_->getNextAxisLabelHandler()) {
        eventLabelValues(values);
    } else {
        defaultLabelValues(values);
    }
}

// ---- Label text ----

std::string TCustomChartAxis::LabelText(double value, LabelHook hook) {
    std::string text;
    if (valuesAreDateTime_) {
        if (value >= 0.0) {
            std::string_view pattern = dateTimeFormat_;
            if (pattern.empty()) pattern = effectiveRange_ > 1.0 ? kShortDatePattern : kShortTimePattern;
            text = formatDateByPattern(pattern, value);
        }
    } else {
        text = formatByPattern(axisValuesFormat_, value);
    }
    if (hook == LabelHook::Use && chart_ != nullptr) {
        if (const TAxisOnGetLabel& handler = chart_->getAxisLabelHandler()) handler(*this, nullptr, -1, text);
    }
    if (labelsMultiLine_) std::replace(text.begin(), text.end(), ' ', kLineBreak);
    return text;
}

// ---- Drawing ----

void TCustomChartAxis::drawLabelText(Canvas& canvas, int pixel, std::string_view text, int fontHeight) {
    const int lines = lineCount(text);
    int x = pixel;
    int y = 0;
    switch (place_) {
        case AxisPlace::Bottom:
            canvas.state().textAlign = TextAlign::Center;
            y = labelsPosition_;
            break;
        case AxisPlace::Top:
            canvas.state().textAlign = TextAlign::Center;
            y = labelsPosition_ - lines * fontHeight;
            break;
        case AxisPlace::Left:
        case AxisPlace::Right:
        case AxisPlace::Depth:
            canvas.state().textAlign = place_ == AxisPlace::Right ? TextAlign::Left : TextAlign::Right;
            x = labelsPosition_;
            // One line is centred on the pixel; several lines are centred as a block.
            y = pixel - fontHeight / 2 - roundToInt(fontHeight * (lines + 1) / 2.0L) + fontHeight;
            break;
    }
    forEachLine(text, [&](std::string_view line) {
        canvas.textOut(x, y, line);
        y += fontHeight;
    });
}

void TCustomChartAxis::placeLabel(Canvas& canvas, double value, int fontHeight) {
    const int pixel = ValueToPixel(value);
    if (!labelsOnAxis_ && !(startPixel_ < pixel && pixel < endPixel_)) return;
    if (!tickOnLabelsOnly_) tickPositions_.push_back(pixel);
    if (!labels_) return;
    drawLabelText(canvas, pixel, LabelText(value), fontHeight);
    if (tickOnLabelsOnly_) tickPositions_.push_back(pixel);
}

void TCustomChartAxis::drawAxisFrameLine(Canvas& canvas, int along1, int across1, int along2, int across2) const {
    if (isHorizontal()) {
        canvas.moveTo(along1, across1);
        canvas.lineTo(along2, across2);
    } else {
        canvas.moveTo(across1, along1);
        canvas.lineTo(across2, along2);
    }
}

void TCustomChartAxis::drawTickLine(Canvas& canvas, int pixel, int from, int length) {
    const int to = from + (from > axisPosition_ ? length : -length);
    drawAxisFrameLine(canvas, pixel, from, pixel, to);
}

void TCustomChartAxis::drawGridLine(Canvas& canvas, int pixel) {
    const Rect plot = chart_->plotRect();
    const bool horizontal = isHorizontal();
    drawAxisFrameLine(canvas, pixel, horizontal ? plot.top : plot.left, pixel, horizontal ? plot.bottom : plot.right);
}

void TCustomChartAxis::drawTicksAndGrid(Canvas& canvas) {
    const std::vector<int>& ticks = tickPositions_;
    // Bottom and right axes have their outside at larger pixel values.
    const bool outsideIsBelow = place_ == AxisPlace::Bottom || place_ == AxisPlace::Right;
    const int outward = outsideIsBelow ? axisPosition_ + 1 : axisPosition_ - 1;
    const int inward = outsideIsBelow ? axisPosition_ - 1 : axisPosition_ + 1;

    if (axisPen_.visible) {
        canvas.pen() = axisPen_.toPen();
        drawAxisFrameLine(canvas, startPixel_, axisPosition_, endPixel_, axisPosition_);
    }
    if (ticks_.visible) {
        canvas.pen() = ticks_.toPen();
        for (const int pixel : ticks) drawTickLine(canvas, pixel, outward, tickLength_);
    }
    if (grid_.visible) {
        canvas.brush().style = BrushStyle::Clear;
        canvas.state().backgroundMode = BackgroundMode::Transparent;
        canvas.pen() = grid_.toPen(clGray);
        if (gridCentered_) {
            for (std::size_t i = 1; i < ticks.size(); ++i) {
                drawGridLine(canvas, roundToInt((static_cast<long double>(ticks[i - 1]) + ticks[i]) / 2));
            }
        } else {
            for (const int pixel : ticks) drawGridLine(canvas, pixel);
        }
    }
    if (ticksInner_.visible && tickInnerLength_ > 0) {
        canvas.pen() = ticksInner_.toPen();
        for (const int pixel : ticks) drawTickLine(canvas, pixel, inward, tickInnerLength_);
    }
    if (!minorTicks_.visible || ticks.empty()) return;

    const int count = minorTickCount_;
    const auto forEachMinor = [&](auto&& draw) {
        const auto inside = [&](int pixel) {
            if (startPixel_ < pixel && pixel < endPixel_) draw(pixel);
        };
        for (std::size_t i = 1; i < ticks.size(); ++i) {
            const long double gap = ticks[i] - ticks[i - 1];
            for (int j = 1; j <= count; ++j) inside(ticks[i] - roundToInt(j * gap / (count + 1)));
        }
        if (ticks.size() < 2) return;
        const long double first = static_cast<long double>(ticks[1] - ticks[0]) / (count + 1);
        for (int j = 1; j <= count; ++j) {
            const int distance = roundToInt(first * j);
            inside(ticks.front() - distance);
            inside(ticks.back() + distance);
        }
    };
    canvas.pen() = minorTicks_.toPen();
    forEachMinor([&](int pixel) { drawTickLine(canvas, pixel, outward, minorTickLength_); });
    if (minorGrid_.visible) {
        canvas.pen() = minorGrid_.toPen(clGray);
        forEachMinor([&](int pixel) { drawGridLine(canvas, pixel); });
    }
}

// The title is written level at every angle: the canvas offers no rotated text.
void TCustomChartAxis::drawTitle(Canvas& canvas) {
    canvas.font() = title_.font;
    canvas.brush().style = BrushStyle::Clear;
    const int height = canvas.textHeight("W");
    switch (place_) {
        case AxisPlace::Bottom:
            canvas.state().textAlign = TextAlign::Center;
            canvas.textOut(centerPixel_, titlePosition_, title_.caption);
            break;
        case AxisPlace::Top:
            canvas.state().textAlign = TextAlign::Center;
            canvas.textOut(centerPixel_, titlePosition_ - height, title_.caption);
            break;
        case AxisPlace::Left:
        case AxisPlace::Depth:
            canvas.state().textAlign = TextAlign::Right;
            canvas.textOut(titlePosition_, centerPixel_ - height / 2, title_.caption);
            break;
        case AxisPlace::Right:
            canvas.state().textAlign = TextAlign::Left;
            canvas.textOut(titlePosition_, centerPixel_ - height / 2, title_.caption);
            break;
    }
    canvas.state().textAlign = TextAlign::Left;
    canvas.font() = labelsFont_;
}

void TCustomChartAxis::DrawAxis() {
    assert(chart_ != nullptr);
    Canvas& canvas = chart_->canvas();
    valuesAreDateTime_ = computeValuesAreDateTime();
    canvas.font() = labelsFont_;
    const double step = LabelStep();

    const Rect plot = chart_->plotRect();
    switch (place_) {
        case AxisPlace::Bottom:
            axisPosition_ = plot.bottom - roundToInt(plot.height() * 0.01L * positionPercent_);
            break;
        case AxisPlace::Top:
            axisPosition_ = plot.top + roundToInt(plot.height() * 0.01L * positionPercent_);
            break;
        case AxisPlace::Left:
        case AxisPlace::Depth:
            axisPosition_ = plot.left + roundToInt(plot.width() * 0.01L * positionPercent_);
            break;
        case AxisPlace::Right:
            axisPosition_ = plot.right - roundToInt(plot.width() * 0.01L * positionPercent_);
            break;
    }
    if (!title_.caption.empty()) drawTitle(canvas);

    tickPositions_.clear();
    LabelValues(step, labelValues_);
    if (!labelValues_.empty()) {
        const TextAlign alignment = canvas.state().textAlign;
        canvas.brush().style = BrushStyle::Clear;
        canvas.state().backgroundMode = BackgroundMode::Transparent;
        const int fontHeight = canvas.textHeight("W");
        for (const double value : labelValues_) placeLabel(canvas, value, fontHeight);
        canvas.state().textAlign = alignment;
    }
    drawTicksAndGrid(canvas);
}

}  // namespace pvz
