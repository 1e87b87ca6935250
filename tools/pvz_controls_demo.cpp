// Shows one control of every kind the viewer uses, in a maximised window, for a look at fonts,
// colours and glyphs. Options: --quit-after MS ends the program after MS milliseconds;
// --grab FILE also writes what the window shows to a PNG file just before that.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window_system.h"

namespace {

using namespace pvz;

// A stand-in for the chart: a framed picture with a grid, a line and a title.
class DemoPanel : public PanelControl {
public:
    using PanelControl::PanelControl;

protected:
    void paint() override {
        picture_.setSize(width(), height());
        Canvas& c = picture_.canvas();
        c.brush() = Brush{rgbColor(222, 226, 226), BrushStyle::Solid};
        c.fillRect({0, 0, width(), height()});
        Rect frame{0, 0, width(), height()};
        c.frame3D(frame, clBtnHighlight, clBtnShadow, 1);
        const Rect plot{60, 60, std::max(61, width() - 260), std::max(61, height() - 110)};
        c.pen() = Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy, false};
        c.brush() = Brush{clWhite, BrushStyle::Clear};
        c.rectangle(plot);
        c.pen() = Pen{clGray, 1, PenStyle::Dot, PenMode::Copy, true};
        for (int x = plot.left + 80; x < plot.right; x += 80) {
            c.moveTo(x, plot.top + 1);
            c.lineTo(x, plot.bottom - 1);
        }
        c.pen() = Pen{clRed, 2, PenStyle::Solid, PenMode::Copy, false};
        c.moveTo(plot.left, plot.bottom - 20);
        for (int x = plot.left; x < plot.right; x += 40) c.lineTo(x, plot.top + 40 + (x / 40 % 5) * 30);
        c.font() = Font{"Arial", -19, clBlue, 0};
        c.state().textAlign = TextAlign::Center;
        c.state().backgroundMode = BackgroundMode::Transparent;
        c.textOut((plot.left + plot.right) / 2, 20, "ПВЗ КВЕЛ");
        c.font() = Font{"Arial", -11, clBlack, 0};
        c.textOut((plot.left + plot.right) / 2, plot.bottom + 4, "янв/05 2017");
        c.state().textAlign = TextAlign::Left;
        showBitmap(picture_, 0, 0);
    }

private:
    Bitmap picture_;
};

Font boldOf(const Font& f) {
    Font b = f;
    b.style |= fsBold;
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    int quitAfter = 0;
    std::string grabPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quit-after" && i + 1 < argc)
            quitAfter = std::atoi(argv[++i]);
        else if (arg == "--grab" && i + 1 < argc)
            grabPath = argv[++i];
    }

    Application app(argc, argv);
    app.setTitle("Просмотр графиков");
    Form form;
    form.setCaption("Просмотр графиков");
    form.setBounds(72, 49, 812, 612);
    form.setFont(Font{"MS Sans Serif", -11, clWindowText, 0});

    DemoPanel chart(&form);
    chart.setAlign(Align::Client);
    StatusBar status(&form);
    status.setSimpleText("  Нажмите кнопку \"Старт\"");
    status.setColor(clMenuBar);
    status.setHint("Панель состояния");

    std::unique_ptr<CheckBox> series[4];
    for (int i = 0; i < 4; ++i) {
        series[i] = std::make_unique<CheckBox>(&chart);
        series[i]->setBounds(560, 63 + 16 * i, 17, 17);
        series[i]->setChecked(true);
        series[i]->setTag(i + 1);
        series[i]->setHandPointCursor(true);
    }

    GroupBox tools(&chart);
    tools.setBounds(59, 8, 225, 40);
    tools.setColor(clInactiveBorder);
    const Glyph glyphs[] = {Glyph::TriangleLeft,   Glyph::TriangleRight,     Glyph::TriangleUp, Glyph::TriangleDown,
                            Glyph::TrianglesApart, Glyph::TrianglesTogether, Glyph::ArrowBack};
    const char* hints[] = {"Сдвиг по времени назад", "Сдвиг по времени вперед", "Сдвиг вверх",           "Сдвиг вниз",
                           "Растянуть по вертикали", "Сжать по вертикали",      "Возврат к текущей дате"};
    std::unique_ptr<SpeedButton> buttons[7];
    for (int i = 0; i < 7; ++i) {
        buttons[i] = std::make_unique<SpeedButton>(&tools);
        buttons[i]->setBounds(6 + 30 * i, 9, 27, 27);
        buttons[i]->setGlyph(glyphs[i]);
        buttons[i]->setHint(hints[i]);
        buttons[i]->setTag(i < 6 ? i + 1 : 0);
    }

    GroupBox scales(&chart);
    scales.setBounds(592, 122, 97, 191);
    scales.setCaption("Масштабы UT");
    scales.setFont(boldOf(form.font()));
    StaticText current(&scales);
    current.setBounds(5, 21, 81, 17);
    current.setCaption("Текущий:");
    current.setBorderStyle(BorderStyle::Sunken);
    Edit scaleText(&scales);
    scaleText.setBounds(5, 41, 81, 21);
    scaleText.setReadOnly(true);
    scaleText.setText("M: 3 мс");
    CheckBox choose(&scales);
    choose.setBounds(8, 76, 81, 17);
    choose.setCaption("Выбрать:");
    choose.setCaptionSide(CaptionSide::Left);
    choose.setColor(clGradientInactiveCaption);
    ComboBox scaleY(&scales);
    scaleY.setBounds(5, 101, 85, 21);
    scaleY.setFont(boldOf(form.font()));
    for (const char* label : {"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25мс"}) scaleY.addItem(label);
    scaleY.setItemIndex(0);
    StaticText density(&scales);
    density.setBounds(7, 136, 81, 17);
    density.setCaption("Grid density:");
    density.setBorderStyle(BorderStyle::Sunken);
    density.setHint("Колич-во клеток сетки по вертикали");
    ComboBox grid(&scales, ComboStyle::DropDown);
    grid.setBounds(8, 160, 49, 21);
    for (const char* item : {"4", "6", "8", "10", "12", "14", "16"}) grid.addItem(item);
    grid.setItemIndex(0);

    GroupBox selectors(&chart);
    selectors.setBounds(48, 480, 745, 57);
    RadioGroup parameter(&selectors);
    RadioGroup interval(&selectors);
    RadioGroup trend(&selectors);
    const struct {
        RadioGroup* group;
        int left;
        const char* caption;
        int width;
        int columns;
        std::vector<std::string> items;
    } radioGroups[] = {
        {&parameter, 8, "ПВЗ:", 241, 4, {"UT1       ", "UT1R    ", "Xp   ", "Yp   "}},
        {&interval, 253, "Интервал:", 133, 2, {"Месяц", "Год"}},
        {&trend, 389, "Тренд:", 129, 2, {"Нет", "Есть"}},
    };
    for (const auto& r : radioGroups) {
        r.group->setBounds(r.left, 10, r.width, 41);
        r.group->setCaption(r.caption);
        r.group->setFont(boldOf(form.font()));
        r.group->setColumns(r.columns);
        r.group->setItems(r.items);
        r.group->setItemIndex(0);
    }
    GroupBox visors(&selectors);
    visors.setBounds(521, 10, 205, 41);
    visors.setCaption("Визиры:");
    visors.setFont(boldOf(form.font()));
    CheckBox visorOn(&visors);
    visorOn.setBounds(4, 16, 14, 17);
    Label labelX(&visors);
    labelX.setBounds(30, 17, 16, 13);
    labelX.setCaption("X=");
    labelX.setEnabled(false);
    StaticText valueX(&visors);
    valueX.setBounds(51, 17, 0, 0);
    valueX.setAutoSize(true);
    valueX.setCaption("57755.5");
    Label labelY(&visors);
    labelY.setBounds(120, 17, 16, 13);
    labelY.setCaption("Y=");
    StaticText valueY(&visors);
    valueY.setBounds(141, 17, 0, 0);
    valueY.setAutoSize(true);
    valueY.setCaption("-0,24730");

    Button start(&chart);
    start.setBounds(800, 500, 62, 23);
    start.setCaption("Старт");
    Font startFont = boldOf(form.font());
    startFont.color = clGreen;
    start.setFont(startFont);
    start.onClick = [&](Button&) { app.terminate(); };

    // The groups follow the window's size, as the viewer's own layout does after each drawing.
    const auto place = [&] {
        const int w = chart.width();
        const int h = chart.height();
        scales.setLeft(w - 220);
        for (auto& box : series) box->setLeft(w - 240);
        selectors.setTop(h - selectors.height() - 5);
        start.setBounds(w - 90, h - 33, 62, 23);
    };
    form.onCreate = [&] { form.setMaximized(true); };
    form.onClose = [&] { app.terminate(); };

    Timer layout(100);
    int elapsed = 0;
    layout.onTimer = [&](Timer&) {
        place();
        elapsed += 100;
        if (quitAfter > 0 && elapsed >= quitAfter) {
            if (!grabPath.empty()) {
                Bitmap shot;
                form.grab(shot);
                if (!shot.saveToFile(grabPath)) std::cerr << "cannot write " << grabPath << '\n';
            }
            app.terminate();
        }
    };
    return app.run(form);
}
