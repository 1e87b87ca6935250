#include "chart/viewer_chart.h"

#include <array>
#include <cassert>

namespace pvz {
namespace {

struct SeriesLook {
    const char* name;
    const char* title;
    Color color;
    bool dateTimeX;
    bool lineVisible;
    int lineWidth;
    bool pointerVisible;
    TSeriesPointerStyle style;
    int horizSize;
    int vertSize;
    TChartPen pointerPen;
    Color pointerBrush;
};

constexpr TChartPen pen(Color c, int width = 1) { return TChartPen{true, c, width, PenStyle::Solid, false}; }

const std::array<SeriesLook, kViewerSeriesCount> kSeriesLooks = {{
    {"Series1", "КВЕЛ", clAqua, true, true, 2, false, psRectangle, 2, 3, pen(clBlack), clDefault},
    {"Series2", "IERS", clBlue, false, false, 1, true, psDiamond, 4, 4, pen(clBlack), clDefault},
    {"Series3", "USNO", clBlue, false, true, 1, false, psTriangle, 4, 4, pen(clBlack), clDefault},
    {"Series5", "R-ДОР", 33023, false, false, 1, true, psCircle, 4, 4, pen(clBlack), clDefault},
    {"Series6", "L-ДОР", 8453888, true, false, 1, true, psRectangle, 3, 3, pen(clNavy), clDefault},
    {"Series7", "G-ДОР", clYellow, true, false, 1, true, psTriangle, 4, 4, pen(4227327), clDefault},
    {"Series8", "R-ИПА", clRed, true, false, 1, true, psCircle, 4, 4, pen(clRed), 2171381},
    {"Series9", "G-ИПА", 8454143, true, false, 1, true, psTriangle, 4, 4, pen(clBlue, 2), clDefault},
    {"Series10", "L-ИПА", 4259584, true, false, 1, true, psRectangle, 3, 3, pen(clTeal), 52286},
    {"Series4", "L-ЦУП", 16384, true, false, 1, true, psRectangle, 3, 3, pen(clGreen), 3632896},
    {"Series11", "G-ЦУП", 1102831, true, false, 1, true, psTriangle, 4, 4, pen(clGreen), clDefault},
}};

}  // namespace

void applyViewerChartDefaults(TChart& chart) {
    chart.beginLoading();
    chart.setMarginLeft(1);
    chart.setMarginTop(5);
    chart.setMarginRight(1);
    chart.setMarginBottom(13);
    chart.Gradient().setVisible(true);
    chart.Gradient().setDirection(gdFromCenter);
    chart.Gradient().setStartColor(clSilver);
    chart.Gradient().setEndColor(8421440);

    // The form stores no brush style for the back wall, so it keeps its clear brush and only
    // its outline shows over the gradient.
    chart.BackWall().setColor(clWhite);
    chart.BackWall().setBrush(TChartBrush{clWhite, chart.BackWall().Brush().style});
    chart.LeftWall().setBrush(TChartBrush{clWhite, chart.LeftWall().Brush().style});
    chart.BottomWall().setBrush(TChartBrush{clWhite, chart.BottomWall().Brush().style});
    chart.setBackColor(clWhite);

    chart.Title().setText("ПВЗ КВЕЛ");
    chart.Title().setFont(Font{"Arial", -19, clBlue, 0});
    chart.Title().setFrame(TChartPen{false, 33023, 6, PenStyle::Solid, false});

    chart.setView3D(false);
    chart.setView3DWalls(false);
    chart.setChart3DPercent(1);

    applyViewerBottomAxisDefaults(chart.BottomAxis());
    applyViewerLeftAxisDefaults(chart.LeftAxis());
    applyViewerHiddenAxisDefaults(chart.TopAxis());
    applyViewerHiddenAxisDefaults(chart.RightAxis());

    TChartLegend& legend = chart.Legend();
    legend.setColorWidth(50);
    legend.setFont(Font{"Arial", -13, clBlack, 0});
    legend.setShadowColor(8454016);
    legend.setShadowSize(0);
    legend.setTextStyle(ltsPlain);
    chart.endLoading();
}

void applyViewerSeriesDefaults(TLineSeries& series, int chartIndex) {
    assert(chartIndex >= 0 && chartIndex < kViewerSeriesCount);
    const SeriesLook& look = kSeriesLooks[static_cast<std::size_t>(chartIndex)];
    series.setName(look.name);
    series.setTitle(look.title);
    series.setSeriesColor(look.color);
    series.XValues().setOrder(loAscending);
    series.XValues().setDateTime(look.dateTimeX);
    series.YValues().setOrder(loNone);
    TChartPen line = series.LinePen();
    line.visible = look.lineVisible;
    line.width = look.lineWidth;
    series.setLinePen(line);
    TSeriesPointer& pointer = series.Pointer();
    pointer.setStyle(look.style);
    pointer.setHorizSize(look.horizSize);
    pointer.setVertSize(look.vertSize);
    pointer.setPen(look.pointerPen);
    pointer.setBrush(TChartBrush{look.pointerBrush, BrushStyle::Solid});
    pointer.setInflateMargins(true);
    pointer.setVisible(look.pointerVisible);
    series.setDark3D(false);
}

}  // namespace pvz
