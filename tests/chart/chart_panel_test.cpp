#include "chart/chart_panel.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/chart_errors.h"
#include "runtime/window_system.h"
#include "runtime/window_system_input.h"
#include "tests/chart/chart_on_form.h"
#include "tests/support/expect_error.h"
#include "tests/support/pictures.h"

namespace pvz {
namespace {

constexpr Color kSilver = 0xC0C0C0;
constexpr Color kViewerEnd = 0x808040;  // red 0x40, green 0x80, blue 0x80

void applyViewerLook(TChart& chart) {
    chart.setMarginLeft(1);
    chart.setMarginTop(5);
    chart.setMarginRight(1);
    chart.setMarginBottom(13);
    chart.Gradient().setVisible(true);
    chart.Gradient().setDirection(gdFromCenter);
    chart.Gradient().setStartColor(kSilver);
    chart.Gradient().setEndColor(kViewerEnd);
    chart.setView3D(false);
    chart.setChart3DPercent(1);
    chart.TopAxis().setVisible(false);
    chart.RightAxis().setVisible(false);
}

class ChartPanel : public test::ChartOnForm {
protected:
    ChartPanel() : ChartOnForm(804, 566) {}
};

TEST_F(ChartPanel, ViewerMarginsGiveThePlotRectangleBeforeLegendAndTitle) {
    applyViewerLook(chart);
    chart.setAxisVisible(false);
    chart.Legend().setVisible(false);
    chart.drawToBitmap();
    EXPECT_EQ(chart.PlotRect(), (Rect{8, 28, 796, 492}));
    EXPECT_EQ(chart.PlotWidth(), 788);
    EXPECT_EQ(chart.PlotHeight(), 464);
    EXPECT_EQ(chart.PlotCenterX(), 402);
    EXPECT_EQ(chart.PlotCenterY(), 260);
    EXPECT_EQ(chart.PanelRect(), (Rect{0, 0, 804, 566}));
}

TEST_F(ChartPanel, OneLineTitleMovesThePlotTopByItsHeightPlusFive) {
    applyViewerLook(chart);
    chart.setAxisVisible(false);
    chart.Legend().setVisible(false);
    Font font;
    font.height = -19;
    font.color = clBlue;
    chart.Title().setFont(font);
    chart.Title().setText("ПВЗ КВЕЛ");
    chart.drawToBitmap();
    chart.ChartCanvas().font() = font;
    const int h = chart.ChartCanvas().textHeight("W");
    EXPECT_EQ(chart.PlotRect().top, 28 + h + 5);
}

TEST_F(ChartPanel, Chart3DPercentOutsideOneToHundredIsRefused) {
    chart.setChart3DPercent(40);
    for (int bad : {0, 101}) {
        SCOPED_TRACE(bad);
        test::expectError<ChartException>([&] { chart.setChart3DPercent(bad); },
                                          "3D effect percent must be between 1 and 100");
    }
    EXPECT_EQ(chart.Chart3DPercent(), 40);
}

TEST_F(ChartPanel, SameValueCausesNoDrawingAndTwoChangesCauseOne) {
    form.show();
    pump();
    const int first = chart.drawingCount();
    ASSERT_GE(first, 1);

    chart.setMarginLeft(chart.MarginLeft());
    chart.Gradient().setVisible(chart.Gradient().Visible());
    chart.LeftAxis().setMinorTickCount(chart.LeftAxis().MinorTickCount());
    chart.Legend().setColorWidth(chart.Legend().ColorWidth());
    EXPECT_FALSE(chart.isDirty());
    pump();
    EXPECT_EQ(chart.drawingCount(), first);

    chart.setMarginLeft(7);
    chart.Legend().setTopPos(20);
    EXPECT_TRUE(chart.isDirty());
    pump();
    EXPECT_EQ(chart.drawingCount(), first + 1);
    EXPECT_FALSE(chart.isDirty());
}

TEST_F(ChartPanel, UncoveredWindowIsCopiedWithoutDrawingOrEvents) {
    int afterDraw = 0;
    int beforeAxes = 0;
    chart.OnAfterDraw = [&](TCustomAxisPanel&) { ++afterDraw; };
    chart.OnBeforeDrawAxes = [&](TCustomAxisPanel&) { ++beforeAxes; };
    form.show();
    pump();
    ASSERT_EQ(afterDraw, 1);
    const int drawings = chart.drawingCount();
    chart.invalidate();  // what uncovering the window asks for
    pump();
    EXPECT_EQ(chart.drawingCount(), drawings);
    EXPECT_EQ(afterDraw, 1);
    EXPECT_EQ(beforeAxes, 1);
}

TEST_F(ChartPanel, APropertyChangedDuringADrawingRequestsTheNextDrawing) {
    // Each drawing event, through the window's own paint and through a drawing into the picture.
    struct Row {
        const char* event;
        TCustomAxisPanel::TNotifyEvent TCustomAxisPanel::*member;
    };
    const Row rows[] = {{"OnAfterDraw", &TCustomAxisPanel::OnAfterDraw},
                        {"OnBeforeDrawAxes", &TCustomAxisPanel::OnBeforeDrawAxes},
                        {"OnBeforeDrawSeries", &TCustomAxisPanel::OnBeforeDrawSeries}};
    form.show();
    pump();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.event);
        chart.BottomAxis().setAutomatic(false);
        chart.BottomAxis().setMinMax(0, 10);
        int calls = 0;
        chart.*row.member = [&](TCustomAxisPanel&) {
            // What ChartAfterDraw does: the first drawing changes the property, the next finds it set.
            ++calls;
            chart.BottomAxis().setAutomaticMinimum(true);
        };
        chart.drawToBitmap();
        EXPECT_TRUE(chart.isDirty());
        const int drawings = chart.drawingCount();
        for (int i = 0; i < 5; ++i) pump();
        EXPECT_EQ(chart.drawingCount(), drawings + 1);
        EXPECT_FALSE(chart.isDirty());
        EXPECT_EQ(calls, 2);

        // The window's own paint asks again in the same way.
        chart.BottomAxis().setAutomatic(false);
        for (int i = 0; i < 5; ++i) pump();
        EXPECT_EQ(chart.drawingCount(), drawings + 3);
        EXPECT_FALSE(chart.isDirty());
        chart.*row.member = nullptr;
    }
}

TEST_F(ChartPanel, MouseMoveDrawsOnTheWindowUntilThePictureIsShownAgain) {
    applyViewerLook(chart);
    form.show();
    pump();
    const int drawings = chart.drawingCount();
    Bitmap before;
    chart.grab(before);
    Point seen{-1, -1};
    Canvas* drawnOn = nullptr;
    int moves = 0;
    chart.OnMouseMove = [&](TCustomChartPanel& sender, int x, int y) {
        seen = {x, y};
        // The toolkit may report the same move twice; the line is drawn once.
        if (moves++ > 0) return;
        Canvas& canvas = sender.ChartCanvas();
        drawnOn = static_cast<TChartCanvas3D&>(canvas).target();
        canvas.pen().mode = PenMode::Not;
        canvas.pen().width = 1;
        canvas.moveTo(100, y);
        canvas.lineTo(300, y);
    };
    input::moveMouse(chart, Point{200, 250});
    pump();
    EXPECT_EQ(seen, (Point{200, 250}));
    EXPECT_NE(drawnOn, &const_cast<Bitmap&>(chart.bitmap()).canvas());
    EXPECT_EQ(chart.drawingCount(), drawings);
    EXPECT_EQ(chart.bitmap().pixel(200, 250), before.pixel(200, 250));  // the picture is untouched
    Bitmap during;
    chart.grab(during);
    EXPECT_EQ(during.pixel(200, 250), before.pixel(200, 250) ^ 0xFFFFFFu);  // the window shows the line

    chart.OnMouseMove = nullptr;
    chart.invalidate();
    pump();
    Bitmap after;
    chart.grab(after);
    EXPECT_EQ(after.pixel(200, 250), before.pixel(200, 250));
    EXPECT_EQ(chart.drawingCount(), drawings);
}

TEST_F(ChartPanel, FailedDrawingEndsOnTheWindowAndIsNotRetriedUntilTheNextChange) {
    chart.OnAfterDraw = [](TCustomAxisPanel&) { throw EZeroDivide(); };
    EXPECT_THROW(chart.drawToBitmap(), EZeroDivide);
    EXPECT_FALSE(chart.isDirty());
    EXPECT_NE(static_cast<TChartCanvas3D&>(chart.ChartCanvas()).target(),
              &const_cast<Bitmap&>(chart.bitmap()).canvas());
    chart.OnAfterDraw = nullptr;
    chart.setMarginLeft(9);
    EXPECT_TRUE(chart.isDirty());
}

TEST_F(ChartPanel, RepaintRequestsDoNothingWhileAutoRepaintIsOff) {
    chart.drawToBitmap();
    chart.setAutoRepaint(false);
    chart.setMarginTop(9);
    EXPECT_FALSE(chart.isDirty());
    chart.setAutoRepaint(true);
    chart.setMarginTop(10);
    EXPECT_TRUE(chart.isDirty());
}

// Drawn into a canvas that is not the window's, the picture lands at the given place there,
// each of its pixels on the same pixel, and nothing else of the canvas changes.
TEST_F(ChartPanel, DrawingIntoAnotherCanvasPutsThePictureAtItsPlace) {
    struct DrawnElsewhere : TChart {
        using TChart::DrawToCanvas;
        using TChart::TChart;
    } chart(&form);
    chart.setBounds(0, 0, 804, 566);
    applyViewerLook(chart);
    Bitmap other;
    other.setSize(chart.width() + 30, chart.height() + 40);
    test::fillPicture(other, clWhite);
    const Rect place{20, 30, 20 + chart.width(), 30 + chart.height()};
    chart.DrawToCanvas(&other.canvas(), place);
    const Bitmap& picture = chart.bitmap();
    ASSERT_EQ(picture.width(), chart.width());
    int wrong = 0;
    for (int y = 0; y < other.height(); ++y) {
        for (int x = 0; x < other.width(); ++x) {
            const bool inside = x >= place.left && x < place.right && y >= place.top && y < place.bottom;
            wrong += other.pixel(x, y) != (inside ? picture.pixel(x - place.left, y - place.top) : clWhite);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(static_cast<TChartCanvas3D&>(chart.ChartCanvas()).target(), &chart.windowCanvas());
}

TEST_F(ChartPanel, InvertingLinesDrawnInOnAfterDrawLandInThePicture) {
    applyViewerLook(chart);
    chart.drawToBitmap();
    std::vector<Color> plain;
    for (int x = 100; x < 110; ++x) plain.push_back(chart.bitmap().pixel(x, 300));

    Canvas* drawnOn = nullptr;
    chart.OnAfterDraw = [&](TCustomAxisPanel& sender) {
        Canvas& canvas = static_cast<TChart&>(sender).ChartCanvas();
        drawnOn = static_cast<TChartCanvas3D&>(canvas).target();
        canvas.pen().mode = PenMode::Not;
        canvas.pen().width = 1;
        canvas.moveTo(100, 300);
        canvas.lineTo(110, 300);
    };
    chart.drawToBitmap();
    EXPECT_EQ(drawnOn, &const_cast<Bitmap&>(chart.bitmap()).canvas());
    for (int x = 100; x < 110; ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(chart.bitmap().pixel(x, 300), plain[static_cast<std::size_t>(x - 100)] ^ 0xFFFFFFu);
    }

    // Outside a drawing the canvas draws on the window, not into the picture.
    chart.OnAfterDraw = nullptr;
    chart.drawToBitmap();
    Canvas& canvas = chart.ChartCanvas();
    EXPECT_NE(static_cast<TChartCanvas3D&>(canvas).target(), &const_cast<Bitmap&>(chart.bitmap()).canvas());
    canvas.pen().mode = PenMode::Not;
    canvas.moveTo(100, 300);
    canvas.lineTo(110, 300);
    EXPECT_EQ(chart.bitmap().pixel(105, 300), plain[5]);
}

TEST_F(ChartPanel, HandlersFindTheCanvasStateOfTheirPlaceInTheDrawing) {
    applyViewerLook(chart);
    Font leftFont = chart.LeftAxis().LabelsFont();
    leftFont.color = clMaroon;
    chart.LeftAxis().setLabelsFont(leftFont);
    CanvasState beforeAxes;
    CanvasState afterDraw;
    chart.OnBeforeDrawAxes = [&](TCustomAxisPanel& sender) {
        beforeAxes = static_cast<TChart&>(sender).ChartCanvas().state();
    };
    chart.OnAfterDraw = [&](TCustomAxisPanel& sender) {
        afterDraw = static_cast<TChart&>(sender).ChartCanvas().state();
    };
    chart.drawToBitmap();

    EXPECT_EQ(beforeAxes.backgroundMode, BackgroundMode::Opaque);
    EXPECT_EQ(beforeAxes.backgroundColor, clWhite);
    EXPECT_EQ(beforeAxes.brush.style, BrushStyle::Clear);
    EXPECT_EQ(beforeAxes.font, leftFont);

    EXPECT_EQ(afterDraw.backgroundMode, BackgroundMode::Transparent);
    EXPECT_EQ(afterDraw.backgroundColor, clWhite);
    EXPECT_EQ(afterDraw.pen.color, clBlack);
    EXPECT_EQ(afterDraw.pen.width, 1);
    EXPECT_EQ(afterDraw.pen.style, PenStyle::Solid);
    EXPECT_EQ(afterDraw.brush, (Brush{clWhite, BrushStyle::Solid}));
    EXPECT_EQ(afterDraw.font.color, clBlack);
    EXPECT_EQ(afterDraw.font.sizeInPoints(), 10);
}

TEST_F(ChartPanel, EventsFireInTheDrawingOrder) {
    std::vector<std::string> order;
    chart.OnBeforeDrawAxes = [&](TCustomAxisPanel&) { order.push_back("axes"); };
    chart.OnGetNextAxisLabel = [&](TCustomChartAxis& axis, int index, double&, bool&) {
        if (index == 0 && &axis == &chart.BottomAxis()) order.push_back("label");
    };
    chart.OnBeforeDrawSeries = [&](TCustomAxisPanel&) { order.push_back("series"); };
    chart.OnAfterDraw = [&](TCustomAxisPanel&) { order.push_back("after"); };
    chart.BottomAxis().setAutomatic(false);
    chart.BottomAxis().setMinMax(0, 10);
    chart.drawToBitmap();
    EXPECT_EQ(order, (std::vector<std::string>{"axes", "label", "series", "after"}));

    // Without axes there is no OnBeforeDrawAxes either.
    order.clear();
    chart.setAxisVisible(false);
    chart.drawToBitmap();
    EXPECT_EQ(order, (std::vector<std::string>{"series", "after"}));
}

TEST_F(ChartPanel, LoadedWhiteBackColorKeepsTheClearBackWallUntilSetAtRunTime) {
    applyViewerLook(chart);
    chart.setAxisVisible(false);
    chart.Legend().setVisible(false);
    chart.beginLoading();
    chart.BackWall().setBrush(TChartBrush{clWhite, BrushStyle::Clear});
    chart.setBackColor(clWhite);
    chart.endLoading();
    chart.drawToBitmap();
    const Rect plot = chart.PlotRect();
    EXPECT_EQ(chart.bitmap().pixel(plot.left, plot.top + 50), clBlack);       // the outline
    EXPECT_EQ(chart.bitmap().pixel(plot.right, plot.top + 50), clBlack);      // right edge included
    EXPECT_NE(chart.bitmap().pixel(plot.left + 50, plot.top + 50), clWhite);  // the gradient shows

    chart.setBackColor(clWhite);
    EXPECT_TRUE(chart.isDirty());
    chart.drawToBitmap();
    EXPECT_EQ(chart.bitmap().pixel(plot.left + 50, plot.top + 50), clWhite);
}

TEST_F(ChartPanel, GradientIsStartColourAtTheBorderAndNearTheEndColourInTheMiddle) {
    applyViewerLook(chart);
    chart.setBevelOuter(bvNone);
    chart.setAxisVisible(false);
    chart.Legend().setVisible(false);
    chart.BackWall().setPen(TChartPen{false, clBlack, 1, PenStyle::Solid, false});
    chart.drawToBitmap();
    for (int y : {0, 100, 565}) EXPECT_EQ(chart.bitmap().pixel(0, y), kSilver) << y;
    EXPECT_EQ(chart.bitmap().pixel(803, 283), kSilver);
    const Color middle = chart.bitmap().pixel(401, 283);
    EXPECT_LE(std::abs(redOf(middle) - redOf(kViewerEnd)), 1);
    EXPECT_LE(std::abs(greenOf(middle) - greenOf(kViewerEnd)), 1);
    EXPECT_LE(std::abs(blueOf(middle) - blueOf(kViewerEnd)), 1);

    // The gradient's picture is kept between drawings: a new colour, direction or size must
    // still show at once.
    chart.Gradient().setStartColor(clRed);
    chart.drawToBitmap();
    EXPECT_EQ(chart.bitmap().pixel(0, 100), clRed);
    chart.Gradient().setDirection(gdLeftRight);
    chart.drawToBitmap();
    EXPECT_EQ(chart.bitmap().pixel(0, 283), clRed);
    EXPECT_EQ(chart.bitmap().pixel(803, 0), kViewerEnd);
    chart.setBounds(0, 0, 500, 300);
    chart.drawToBitmap();
    EXPECT_EQ(chart.bitmap().pixel(499, 150), kViewerEnd);
    EXPECT_EQ(chart.bitmap().pixel(0, 299), clRed);
}

TEST_F(ChartPanel, SeriesWhoseFirstPointLiesLeftOfThePlotStartsAtTheEdgeInItsColour) {
    chart.setColor(clWhite);
    chart.Legend().setVisible(false);
    chart.BottomAxis().setAutomatic(false);
    chart.BottomAxis().setMinMax(0, 100);
    chart.LeftAxis().setAutomatic(false);
    chart.LeftAxis().setMinMax(0, 100);
    chart.LeftAxis().setGrid(TChartPen{false, clGray, 1, PenStyle::Dot, false});
    TLineSeries series;
    series.setSeriesColor(clRed);
    series.AddPoint(-20, 0);
    series.AddPoint(20, 40);
    series.AddPoint(60, 40);
    chart.addSeries(series);
    chart.drawToBitmap();
    const Rect plot = chart.PlotRect();
    const int edgeY = chart.LeftAxis().ValueToPixelY(20);
    EXPECT_EQ(chart.bitmap().pixel(plot.left, edgeY), clRed);
    EXPECT_EQ(chart.bitmap().pixel(plot.left - 1, edgeY) == clRed, false);  // clipped at the plot
    EXPECT_EQ(chart.bitmap().pixel(chart.BottomAxis().ValueToPixelX(40), chart.LeftAxis().ValueToPixelY(40)), clRed);
    chart.removeSeries(series);
}

struct PointerPixels {
    TSeriesPointerStyle style;
    int size;
    Rect covered;  // every pixel inside is drawn, the ring just outside is not
};

TEST(PointerPixels, ShapesCoverTheirExactExtents) {
    const PointerPixels rows[] = {
        {psRectangle, 3, {97, 47, 104, 54}},
        {psTriangle, 4, {96, 46, 105, 55}},
        {psDownTriangle, 4, {96, 46, 105, 55}},
        {psDiamond, 4, {96, 46, 105, 55}},
    };
    for (const PointerPixels& r : rows) {
        SCOPED_TRACE(r.style);
        Bitmap bitmap;
        bitmap.setSize(200, 100);
        Canvas& canvas = bitmap.canvas();
        canvas.brush() = Brush{clWhite, BrushStyle::Solid};
        canvas.fillRect(Rect{0, 0, 200, 100});
        canvas.pen() = Pen{clBlack, 1};
        canvas.brush() = Brush{clRed, BrushStyle::Solid};
        drawPointerShape(canvas, pointerShape(r.style, 100, 50, r.size, r.size));
        int left = 1000, top = 1000, right = -1, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                if (bitmap.pixel(x, y) != clWhite) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        EXPECT_EQ((Rect{left, top, right, bottom}), r.covered);
        if (r.style == psRectangle) {
            for (int y = 47; y <= 53; ++y)
                for (int x = 97; x <= 103; ++x) ASSERT_NE(bitmap.pixel(x, y), clWhite) << x << "," << y;
        }
        if (r.style == psTriangle) {
            for (int x = 96; x <= 104; ++x) EXPECT_EQ(bitmap.pixel(x, 54), clBlack) << x;
            EXPECT_EQ(bitmap.pixel(100, 46), clBlack);
            EXPECT_EQ(bitmap.pixel(99, 46), clWhite);
            EXPECT_EQ(bitmap.pixel(101, 46), clWhite);
        }
    }
}

}  // namespace
}  // namespace pvz
