// Geometry of the plot rectangle, the legend and the pointer shapes, computed without a window.
#include <vector>

#include <gtest/gtest.h>

#include "chart/legend_layout.h"
#include "chart/plot_layout.h"
#include "chart/pointer_shape.h"

namespace pvz {
namespace {

TEST(PlotLayout, ViewerMarginsOnTheTestPanel) {
    EXPECT_EQ(plotRectInsideMargins(Rect{0, 0, 804, 566}, ChartMargins{1, 5, 1, 13}, 0), (Rect{8, 28, 796, 492}));
    EXPECT_EQ(plotRectInsideMargins(Rect{0, 0, 804, 566}, ChartMargins{1, 5, 1, 13}, 2), (Rect{10, 30, 794, 490}));
    // Defaults 3, 4, 3, 4 on 1000 x 50: 30, 2 (2.0), 970, 48.
    EXPECT_EQ(plotRectInsideMargins(Rect{0, 0, 1000, 50}, ChartMargins{}, 0), (Rect{30, 2, 970, 48}));
    // MulDiv rounds halves away from zero: 5 % of 10 is 0.5, giving 1.
    EXPECT_EQ(plotRectInsideMargins(Rect{0, 0, 10, 10}, ChartMargins{5, 5, 5, 5}, 0), (Rect{1, 1, 9, 9}));
}

TEST(PlotLayout, RecalcRepairsCollapsedRectangles) {
    const Rect panel{0, 0, 300, 200};
    struct Row {
        Rect in;
        Rect expected;
    };
    const Row rows[] = {
        {{10, 20, 290, 180}, {10, 20, 290, 180}},   {{-5, -3, 290, 180}, {0, 0, 290, 180}},
        {{100, 20, 90, 180}, {100, 20, 101, 180}},   // right left of left: one pixel
        {{100, 20, 100, 180}, {100, 20, 400, 180}},  // right on left: the control's width
        {{10, 90, 290, 80}, {10, 90, 290, 91}},     {{10, 90, 290, 90}, {10, 90, 290, 290}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.in.left << "," << r.in.top << "," << r.in.right << "," << r.in.bottom);
        EXPECT_EQ(recalcPlotRect(r.in, panel, 300, 200), r.expected);
    }
}

LegendLayoutInput viewerLegend(int fontHeight, int items) {
    LegendLayoutInput in;
    in.alignment = laRight;
    in.panelRect = {0, 0, 804, 566};
    in.plotRect = {8, 49, 796, 492};
    in.fontHeight = fontHeight;
    in.frameWidth = 1;
    in.frameVisible = true;
    in.shadowSize = 0;
    in.colorWidth = 50;
    in.itemCount = items;
    return in;
}

TEST(LegendLayout, ElevenRowsOfSixteenPixelsMake178PixelsWithRowsAt16rPlus1) {
    const std::vector<int> widths(11, 40);
    const LegendGeometry g = layoutLegend(viewerLegend(16, 11), widths);
    EXPECT_EQ(g.rows, 11);
    EXPECT_EQ(g.rect.top, 57);  // Round(10 % of 566 = 56.6)
    EXPECT_EQ(g.rect.height(), 178);
    for (int r = 0; r < 11; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(g.rowTextTop(r) - g.rect.top, 16 * r + 1);
        const Rect sample = g.sampleRect(r);
        EXPECT_EQ(sample.top, g.rowTextTop(r) + 2);
        EXPECT_EQ(sample.bottom, g.rowTextTop(r) + 14);
    }
}

TEST(LegendLayout, RightLegendColumnsFromThePlotEdge) {
    // The widest of the rows shown counts: 40 pixels; ColorWidth 50 gives a 25-pixel sample.
    const std::vector<int> widths = {12, 40, 33};
    LegendLayoutInput in = viewerLegend(15, 3);
    const LegendGeometry g = layoutLegend(in, widths);
    EXPECT_EQ(g.sampleWidth, 25);
    EXPECT_EQ(g.rect.right, 796 - 2);  // frame f + 1
    EXPECT_EQ(g.textX, 794 - 40 - 2);
    EXPECT_EQ(g.rect.left, g.textX - 25 - 8);
    EXPECT_EQ(g.sampleRect(0).left, g.textX - 4 - 25);
    EXPECT_EQ(g.sampleRect(0).right, g.textX - 4);

    in.frameVisible = false;
    in.shadowSize = 3;
    EXPECT_EQ(layoutLegend(in, widths).rect.right, 796 - 3);

    // The default ColorWidth 12: (30 + 10) * 0.12 = 4.8 rounds to 5.
    in.colorWidth = 12;
    EXPECT_EQ(layoutLegend(in, std::vector<int>{30}).sampleWidth, 5);
}

TEST(LegendLayout, RowsAreLimitedByThePlotBottom) {
    struct Row {
        int top, plotBottom, frame, height, items, expected;
    };
    const Row rows[] = {
        {57, 492, 1, 16, 11, 11},  // all fit
        {57, 150, 1, 16, 11, 5},   // (150 - 2 - 57) div 16
        {57, 57, 1, 16, 11, 0},    // top not above the plot's bottom
        {57, 58, 1, 16, 11, 0},    // the frame takes more than is left
        {57, 492, 1, 0, 11, 0},    // no font height
        {57, 492, 1, 16, 0, 0},    // no items
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.top << " " << r.plotBottom);
        EXPECT_EQ(legendRowCount(r.top, r.plotBottom, r.frame, r.height, r.items), r.expected);
    }
}

TEST(LegendLayout, WidestTextCountsOnlyShownRows) {
    LegendLayoutInput in = viewerLegend(100, 5);
    in.plotRect.bottom = 57 + 2 + 200;  // two rows of 100
    const LegendGeometry g = layoutLegend(in, std::vector<int>{10, 20, 300, 300, 300});
    EXPECT_EQ(g.rows, 2);
    EXPECT_EQ(g.textX, g.rect.right - 20 - 2);
}

TEST(LegendLayout, PlotShrinksToTheLegendAndThenByItsMargin) {
    const Rect plot{8, 49, 796, 492};
    LegendGeometry g;
    g.rows = 3;
    g.rect = {700, 57, 794, 105};
    // No margin: 3 % of the plot width before the legend, MulDiv(3, 788, 100) = 24.
    EXPECT_EQ(plotRectBesideLegend(plot, g, laRight, 0), (Rect{8, 49, 676, 492}));
    EXPECT_EQ(plotRectBesideLegend(plot, g, laRight, 5), (Rect{8, 49, 695, 492}));
    g.rows = 0;
    EXPECT_EQ(plotRectBesideLegend(plot, g, laRight, 0), plot);
}

TEST(LegendLayout, LeftLegendMirrorsTheRightOne) {
    LegendLayoutInput in = viewerLegend(15, 2);
    in.alignment = laLeft;
    const LegendGeometry g = layoutLegend(in, std::vector<int>{40, 20});
    EXPECT_EQ(g.rect.left, 8 + 2);
    EXPECT_EQ(g.textX, g.rect.left + 25 + 8);
    EXPECT_EQ(g.rect.right, g.textX + 40 + 2);
    EXPECT_EQ(plotRectBesideLegend(in.plotRect, g, laLeft, 4).left, g.rect.right + 4);
}

TEST(PointerShape, ExtentsOfEveryStyle) {
    const PointerShape rect = pointerShape(psRectangle, 100, 50, 3, 3);
    EXPECT_EQ(rect.kind, PointerShape::Kind::Rectangle);
    EXPECT_EQ(rect.box, (Rect{97, 47, 104, 54}));  // 97..103 x 47..53 included

    const PointerShape circle = pointerShape(psCircle, 100, 50, 4, 4);
    EXPECT_EQ(circle.kind, PointerShape::Kind::Ellipse);
    EXPECT_EQ(circle.box, (Rect{96, 46, 104, 54}));

    struct Row {
        TSeriesPointerStyle style;
        std::vector<Point> corners;
    };
    const Row rows[] = {
        {psTriangle, {{96, 54}, {104, 54}, {100, 46}}},
        {psDownTriangle, {{96, 46}, {104, 46}, {100, 54}}},
        {psDiamond, {{96, 50}, {100, 46}, {104, 50}, {100, 54}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.style);
        const PointerShape s = pointerShape(r.style, 100, 50, 4, 4);
        EXPECT_EQ(s.kind, PointerShape::Kind::Polygon);
        ASSERT_EQ(s.pointCount, static_cast<int>(r.corners.size()));
        for (int i = 0; i < s.pointCount; ++i)
            EXPECT_EQ(s.points[static_cast<std::size_t>(i)], r.corners[static_cast<std::size_t>(i)]);
    }

    const PointerShape star = pointerShape(psStar, 10, 10, 2, 2);
    EXPECT_EQ(star.kind, PointerShape::Kind::Lines);
    EXPECT_EQ(star.pointCount, 8);
    EXPECT_EQ(pointerShape(psSmallDot, 10, 20, 4, 4).box, (Rect{10, 20, 11, 21}));
}

}  // namespace
}  // namespace pvz
