#include "app/viewer_chart.h"

#include <algorithm>

namespace pvz {
namespace {

struct SeriesDeclaration {
    const char* name;
    const char* title;
    Color color;
    bool lineVisible;
    int lineWidth;
    bool pointerVisible;
    TSeriesPointerStyle style;
    int horizSize;
    int vertSize;
    Color pointerPen;  // clDefault: the marker's default black pen
    int pointerPenWidth;
    Color pointerBrush;  // clDefault: the series colour
    bool dateTime;
};

// Colours are written 0xBBGGRR: blue in the high byte, green in the middle one, red in the low one.
constexpr SeriesDeclaration kSeries[kSeriesSlotCount] = {
    {"Series1", "КВЕЛ", clAqua, true, 2, false, psRectangle, 2, 3, clDefault, 1, clDefault, true},
    {"Series2", "IERS", clBlue, false, 1, true, psDiamond, 4, 4, clDefault, 1, clDefault, false},
    {"Series3", "USNO", clBlue, true, 1, false, psTriangle, 4, 4, clDefault, 1, clDefault, false},
    {"Series5", "R-ДОР", 0x0080FF, false, 1, true, psCircle, 4, 4, clDefault, 1, clDefault, false},
    {"Series6", "L-ДОР", 0x80FF00, false, 1, true, psRectangle, 3, 3, clNavy, 1, clDefault, true},
    {"Series7", "G-ДОР", clYellow, false, 1, true, psTriangle, 4, 4, 0x4080FF, 1, clDefault, true},
    {"Series8", "R-ИПА", clRed, false, 1, true, psCircle, 4, 4, clRed, 1, 0x2121F5, true},
    {"Series9", "G-ИПА", 0x80FFFF, false, 1, true, psTriangle, 4, 4, clBlue, 2, clDefault, true},
    {"Series10", "L-ИПА", 0x40FF00, false, 1, true, psRectangle, 3, 3, clTeal, 1, 0x00CC3E, true},
    {"Series4", "L-ЦУП", 0x004000, false, 1, true, psRectangle, 3, 3, clGreen, 1, 0x376F00, true},
    {"Series11", "G-ЦУП", 0x10D3EF, false, 1, true, psTriangle, 4, 4, clGreen, 1, clDefault, true},
};

void configureSeries(TLineSeries& series, const SeriesDeclaration& d) {
    series.setName(d.name);
    series.setTitle(d.title);
    series.setSeriesColor(d.color);
    TChartPen line = series.LinePen();
    line.visible = d.lineVisible;
    line.width = d.lineWidth;
    series.setLinePen(line);

    TSeriesPointer& pointer = series.Pointer();
    pointer.setVisible(d.pointerVisible);
    pointer.setStyle(d.style);
    pointer.setHorizSize(d.horizSize);
    pointer.setVertSize(d.vertSize);
    pointer.setInflateMargins(true);
    TChartPen pen = pointer.Pen();
    if (d.pointerPen != clDefault) pen.color = d.pointerPen;
    pen.width = d.pointerPenWidth;
    pointer.setPen(pen);
    TChartBrush brush = pointer.Brush();
    brush.color = d.pointerBrush;
    pointer.setBrush(brush);

    series.XValues().setName("X");
    series.XValues().setOrder(loAscending);
    series.XValues().setDateTime(d.dateTime);
    series.XValues().setMultiplier(1.0);
    series.YValues().setName("Y");
    series.YValues().setOrder(loNone);
    series.YValues().setMultiplier(1.0);
}

// Both axes draw black minor ticks and black ticks two pixels wide.
void setBlackTicks(TChartAxis& axis, int minorTickCount, int minorTickLength) {
    axis.setMinorTickCount(minorTickCount);
    axis.setMinorTickLength(minorTickLength);
    TChartPen minor = axis.MinorTicks();
    minor.color = clBlack;
    axis.setMinorTicks(minor);
    TChartPen ticks = axis.Ticks();
    ticks.color = clBlack;
    ticks.width = 2;
    axis.setTicks(ticks);
}

}  // namespace

void TViewerChart::setBottomAutomaticMinimumQuietly(bool on) {
    // A change that only this drawing's layout sees asks for no further drawing.
    const bool repaint = AutoRepaint();
    setAutoRepaint(false);
    BottomAxis().setAutomaticMinimum(on);
    setAutoRepaint(repaint);
}

void TViewerChart::LayoutAxes() {
    const bool anyPoint =
        std::any_of(SeriesList().begin(), SeriesList().end(), [](const TChartSeries* s) { return s->Count() > 0; });
    // The automatic minimum is off for the range and the marker margins only, and on again
    // before the window's OnAfterDraw sets it: a drawing that changed it would ask for the
    // next one, for ever.
    minimumHeld_ = !anyPoint && BottomAxis().AutomaticMinimum();
    if (minimumHeld_) setBottomAutomaticMinimumQuietly(false);
    TChart::LayoutAxes();
}

void TViewerChart::LayoutSeriesMargins() {
    TChart::LayoutSeriesMargins();
    if (minimumHeld_) setBottomAutomaticMinimumQuietly(true);
    minimumHeld_ = false;
}

void applyViewerBottomAxisDefaults(TChartAxis& axis) {
    axis.setAutomatic(false);
    axis.setAutomaticMinimum(false);
    TChartPen line = axis.Axis();
    line.width = 1;
    axis.setAxis(line);
    axis.setAxisValuesFormat("#.###");
    axis.setDateTimeFormat("dd.MM.yyyy");
    TChartPen grid = axis.Grid();
    grid.style = PenStyle::DashDotDot;
    grid.smallDots = true;
    axis.setGrid(grid);
    axis.setIncrement(1.0);
    axis.setLabelsFont(Font{"Arial", -13, clBlack, fsBold});
    axis.setLabelStyle(talValue);
    setBlackTicks(axis, 6, 4);
    axis.setStartPosition(1.0);
    TChartPen inner = axis.TicksInner();
    inner.color = clBlack;
    axis.setTicksInner(inner);
}

void applyViewerLeftAxisDefaults(TChartAxis& axis) {
    axis.setAutomatic(false);
    axis.setAutomaticMaximum(false);
    axis.setAutomaticMinimum(false);
    axis.setAxisValuesFormat("#,##0.###.00");
    axis.setExactDateTime(false);
    axis.setIncrement(0.001);
    axis.setLabelsSeparation(100);
    axis.setLabelStyle(talValue);
    axis.setMaximum(0.01);
    setBlackTicks(axis, 9, 5);
    axis.setTickLength(6);
}

void applyViewerHiddenAxisDefaults(TChartAxis& axis) { axis.setVisible(false); }

void configureViewerChart(TChart& chart, std::span<TLineSeries* const, kSeriesSlotCount> series) {
    chart.beginLoading();
    chart.setMarginLeft(1);
    chart.setMarginTop(5);
    chart.setMarginRight(1);
    chart.setMarginBottom(13);

    TChartGradient& gradient = chart.Gradient();
    gradient.setVisible(true);
    gradient.setDirection(gdFromCenter);
    gradient.setStartColor(clSilver);
    gradient.setEndColor(0x808040);  // red 64, green 128, blue 128

    // Only the walls' colours are set: the back wall keeps its clear brush, so the gradient
    // shows inside its outline.
    chart.BackWall().setColor(clWhite);
    chart.BackWall().setBrush(TChartBrush{clWhite, chart.BackWall().Brush().style});
    chart.LeftWall().setBrush(TChartBrush{clWhite, chart.LeftWall().Brush().style});
    chart.BottomWall().setBrush(TChartBrush{clWhite, chart.BottomWall().Brush().style});
    chart.setBackColor(clWhite);

    TChartTitle& title = chart.Title();
    title.setText(kSeriesViewTitle);
    title.setFont(Font{"Arial", -19, clBlue, 0});
    TChartPen frame = title.Frame();
    frame.color = 0x0080FF;  // orange
    frame.width = 6;
    title.setFrame(frame);

    chart.setView3D(false);
    chart.setView3DWalls(false);
    chart.setChart3DPercent(1);

    applyViewerBottomAxisDefaults(chart.BottomAxis());
    applyViewerLeftAxisDefaults(chart.LeftAxis());
    applyViewerHiddenAxisDefaults(chart.TopAxis());
    applyViewerHiddenAxisDefaults(chart.RightAxis());

    for (int i = 0; i < kSeriesSlotCount; ++i) {
        TLineSeries& s = *series[static_cast<std::size_t>(i)];
        configureSeries(s, kSeries[i]);
        chart.addSeries(s);
    }

    TChartLegend& legend = chart.Legend();
    legend.setColorWidth(50);
    legend.setFont(Font{"Arial", -13, clBlack, 0});
    legend.setShadowSize(0);
    legend.setShadowColor(0x80FF80);  // light green
    legend.setTextStyle(ltsPlain);
    chart.endLoading();
}

}  // namespace pvz
