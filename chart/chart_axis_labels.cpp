// The axis's labels: the label step that fits the labels' size, the label values, their texts and
// the drawing of the axis line, ticks, grid, labels and title.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <limits>

#include "chart/axis_pixels.h"
#include "chart/chart_axis.h"
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

constexpr char kLineBreak = '\r';
// A step that would give this many labels or more gives none.
constexpr long double kMaxDefaultLabels = 10000;
constexpr int kLastLabelIndex = 2000;
constexpr double kLabelBand = 1e-7;
constexpr double kSmallestNumericStep = 1e-12;
// How far, in steps, a range's end may fall short of a multiple of the label step and still
// get that label: rounding in fitting a range leaves far less, any real gap far more.
constexpr long double kLabelEndTolerance = 1e-6L;

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

}  // namespace

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
