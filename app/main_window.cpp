#include "app/main_window.h"

#include "app/shortcuts.h"
#include "app/viewer_chart.h"
#include "app/window_limits.h"
#include "data/data_loader.h"
#include "data/scale_tables.h"
#include "runtime/calendar.h"

namespace pvz {
namespace {

const Font kFormFont{"MS Sans Serif", -11, clWindowText, 0};
const Font kBoldFont{"MS Sans Serif", -11, clWindowText, fsBold};

std::unique_ptr<CheckBox> makeSeriesBox(Control* chart, int tag, int top) {
    auto box = std::make_unique<CheckBox>(chart);
    box->setBounds(791, top, 17, 17);
    box->setTag(tag);
    return box;
}

std::unique_ptr<SpeedButton> toolButton(Control* group, int tag, int left, const char* hint, Glyph glyph) {
    auto button = std::make_unique<SpeedButton>(group);
    button->setBounds(left, 9, 27, 27);
    button->setTag(tag);
    button->setHint(hint, true);
    button->setGlyph(glyph);
    return button;
}

}  // namespace

// The rebuild's view of the window's controls.
class TForm1::Controls : public DisplayControls {
public:
    explicit Controls(TForm1& form) : form_(form) {}

    int parameterIndex() const override { return form_.RadioGroupPVZ->itemIndex(); }
    int trendIndex() const override { return form_.RadioGroupTrend->itemIndex(); }
    int intervalIndex() const override { return form_.RadioGroupInterval->itemIndex(); }
    int gridIndex() const override { return form_.ComboBoxGrid->itemIndex(); }
    int scaleIndex() const override { return form_.ComboBoxScaleY->itemIndex(); }

    int seriesBoxCount() const override {
        int count = 0;
        const Control& chart = *form_.Chart;
        for (int i = 0; i < chart.childCount(); ++i)
            if (dynamic_cast<const CheckBox*>(&chart.child(i))) ++count;
        return count;
    }
    SeriesBox seriesBox(int index) const override {
        const Control& chart = *form_.Chart;
        for (int i = 0; i < chart.childCount(); ++i) {
            if (const auto* box = dynamic_cast<const CheckBox*>(&chart.child(i))) {
                if (index-- == 0) return {box->tag(), box->checked()};
            }
        }
        return {};
    }

    void setEditScaleText(std::string_view text) override { form_.EditScale->setText(std::string(text)); }
    void checkChoise() override { form_.CheckBoxChoise->setChecked(true); }

private:
    TForm1& form_;
};

// The loader's view of the window and its dialogs.
class TForm1::Loader : public LoaderServices {
public:
    explicit Loader(TForm1& form) : form_(form) {}

    void setStatusText(const std::string& text) override { form_.StatusBar1->setSimpleText(text); }
    void showMessage(const std::string& text) override { pvz::showMessage(text); }
    std::optional<std::string> chooseDirectory(const std::string& startDirectory) override {
        const DirectoryChoice choice = pvz::chooseDirectory(startDirectory);
        if (!choice.confirmed) return std::nullopt;
        return choice.directory;
    }
    std::string currentDirectory() override { return pvz::currentDirectory(); }
    bool programEnding() override { return Application::instance().terminationRequested(); }

private:
    TForm1& form_;
};

TForm1::TForm1(FormOptions options) : options_(std::move(options)) {
    createComponents();
    configureComponents();
    connectEvents();
    bindToolButtonKeys(*this);
    store.dataDirectory = options_.dataDirectory;
    controls_ = std::make_unique<Controls>(*this);
    for (std::size_t i = 0; i < seriesByIndex_.size(); ++i) cycleSeries_[i] = seriesByIndex_[i];
    cycle_ = std::make_unique<DisplayCycle>(store, arrays, state,
                                            DisplayChart{Chart->BottomAxis(), Chart->LeftAxis(), cycleSeries_},
                                            *controls_);
    connectStatisticsHints();
}

// The members end the components, children first (see their declaration).
TForm1::~TForm1() = default;

void TForm1::createComponents() {
    // The status bar first, so that the chart fills what it leaves.
    StatusBar1 = std::make_unique<StatusBar>(this);
    Chart = std::make_unique<TViewerChart>(this);

    // The chart's children in the form's order: series boxes, Start, the three groups.
    const int tops[kSeriesSlotCount] = {63, 79, 95, 111, 127, 143, 159, 175, 191, 207, 224};
    CheckBox1 = makeSeriesBox(Chart.get(), 1, tops[0]);
    CheckBox2 = makeSeriesBox(Chart.get(), 2, tops[1]);
    CheckBox3 = makeSeriesBox(Chart.get(), 3, tops[2]);
    CheckBox4 = makeSeriesBox(Chart.get(), 4, tops[3]);
    CheckBox5 = makeSeriesBox(Chart.get(), 5, tops[4]);
    CheckBox6 = makeSeriesBox(Chart.get(), 6, tops[5]);
    CheckBox7 = makeSeriesBox(Chart.get(), 7, tops[6]);
    CheckBox8 = makeSeriesBox(Chart.get(), 8, tops[7]);
    CheckBox9 = makeSeriesBox(Chart.get(), 9, tops[8]);
    CheckBox10 = makeSeriesBox(Chart.get(), 10, tops[9]);
    CheckBox11 = makeSeriesBox(Chart.get(), 11, tops[10]);
    checkBoxByTag_ = {CheckBox1.get(), CheckBox2.get(), CheckBox3.get(), CheckBox4.get(),
                      CheckBox5.get(), CheckBox6.get(), CheckBox7.get(), CheckBox8.get(),
                      CheckBox9.get(), CheckBox10.get(), CheckBox11.get()};

    BitBtnStart = std::make_unique<Button>(Chart.get());

    GroupBoxScales = std::make_unique<GroupBox>(Chart.get());
    StaticText3 = std::make_unique<StaticText>(GroupBoxScales.get());
    EditScale = std::make_unique<Edit>(GroupBoxScales.get());
    CheckBoxChoise = std::make_unique<CheckBox>(GroupBoxScales.get());
    ComboBoxScaleY = std::make_unique<ComboBox>(GroupBoxScales.get(), ComboStyle::DropDownList);
    StaticText5 = std::make_unique<StaticText>(GroupBoxScales.get());
    ComboBoxGrid = std::make_unique<ComboBox>(GroupBoxScales.get(), ComboStyle::DropDown);

    GroupBox2 = std::make_unique<GroupBox>(Chart.get());
    RadioGroupPVZ = std::make_unique<RadioGroup>(GroupBox2.get());
    RadioGroupInterval = std::make_unique<RadioGroup>(GroupBox2.get());
    RadioGroupTrend = std::make_unique<RadioGroup>(GroupBox2.get());
    GroupBox3 = std::make_unique<GroupBox>(GroupBox2.get());
    CheckBoxViz = std::make_unique<CheckBox>(GroupBox3.get());
    Label1 = std::make_unique<Label>(GroupBox3.get());
    StaticTextX = std::make_unique<StaticText>(GroupBox3.get());
    Label2 = std::make_unique<Label>(GroupBox3.get());
    StaticTextY = std::make_unique<StaticText>(GroupBox3.get());

    GroupBox1 = std::make_unique<GroupBox>(Chart.get());
    SpeedButton1 = toolButton(GroupBox1.get(), 1, 6, "Сдвиг по времени назад", Glyph::TriangleLeft);
    SpeedButton2 = toolButton(GroupBox1.get(), 2, 36, "Сдвиг по времени вперед", Glyph::TriangleRight);
    SpeedButton3 = toolButton(GroupBox1.get(), 3, 66, "Сдвиг вверх", Glyph::TriangleUp);
    SpeedButton4 = toolButton(GroupBox1.get(), 4, 96, "Сдвиг вниз", Glyph::TriangleDown);
    SpeedButton5 = toolButton(GroupBox1.get(), 5, 126, "Растянуть по вертикали", Glyph::TrianglesApart);
    SpeedButton6 = toolButton(GroupBox1.get(), 6, 156, "Сжать по вертикали", Glyph::TrianglesTogether);
    SpeedButtonUndo = toolButton(GroupBox1.get(), 0, 186, "Возврат к текущей дате", Glyph::ArrowBack);

    Timer1 = std::make_unique<Timer>(70);
    Timer2 = std::make_unique<Timer>(210);

    // The series in chart order: Series1, 2, 3, 5 to 10, 4, 11.
    Series1 = std::make_unique<TLineSeries>();
    Series2 = std::make_unique<TLineSeries>();
    Series3 = std::make_unique<TLineSeries>();
    Series5 = std::make_unique<TLineSeries>();
    Series6 = std::make_unique<TLineSeries>();
    Series7 = std::make_unique<TLineSeries>();
    Series8 = std::make_unique<TLineSeries>();
    Series9 = std::make_unique<TLineSeries>();
    Series10 = std::make_unique<TLineSeries>();
    Series4 = std::make_unique<TLineSeries>();
    Series11 = std::make_unique<TLineSeries>();
    seriesByIndex_ = {Series1.get(), Series2.get(), Series3.get(), Series5.get(),  Series6.get(), Series7.get(),
                      Series8.get(), Series9.get(), Series10.get(), Series4.get(), Series11.get()};
}

void TForm1::configureComponents() {
    setCaption(kWindowTitle);
    setColor(clBtnFace);
    setFont(kFormFont);
    setBounds(72, 49, 804, 585);

    StatusBar1->setAlign(Align::Bottom);
    StatusBar1->setHeight(19);
    StatusBar1->setSimpleText(kPressStartStatus);
    StatusBar1->setHint("Панель состояния", true);
    StatusBar1->setColor(clMenuBar);

    Chart->setAlign(Align::Client);
    configureViewerChart(*Chart, seriesByIndex_);

    for (CheckBox* box : checkBoxByTag_) {
        box->setChecked(true);
        box->setEnabled(false);
        box->setHandPointCursor(true);
    }

    BitBtnStart->setBounds(824, 587, 62, 23);
    BitBtnStart->setCaption("Старт");
    BitBtnStart->setEnabled(false);
    BitBtnStart->setFont(Font{kFormFont.name, kFormFont.height, clGreen, fsBold});
    // Reached with Tab; a click does not pull the focus back onto "ВЫХОД" after loading.
    BitBtnStart->setFocusPolicy(Control::FocusPolicy::TabOnly);

    GroupBoxScales->setBounds(792, 322, 97, 191);
    GroupBoxScales->setTag(1);
    GroupBoxScales->setCaption("Масштабы UT");
    GroupBoxScales->setEnabled(false);
    GroupBoxScales->setFont(kBoldFont);

    StaticText3->setBounds(5, 21, 81, 17);
    StaticText3->setFont(kFormFont);
    StaticText3->setCaption("Текущий:");
    StaticText3->setAutoSize(false);
    StaticText3->setBorderStyle(BorderStyle::Single);
    StaticText3->setColor(clBtnFace);

    EditScale->setBounds(5, 41, 81, 21);
    EditScale->setFont(kFormFont);
    EditScale->setReadOnly(true);

    CheckBoxChoise->setBounds(8, 76, 81, 17);
    CheckBoxChoise->setFont(kFormFont);
    CheckBoxChoise->setCaption("Выбрать:");
    CheckBoxChoise->setCaptionSide(CaptionSide::Left);
    CheckBoxChoise->setColor(clGradientInactiveCaption);
    CheckBoxChoise->setHandPointCursor(true);

    ComboBoxScaleY->setBounds(5, 101, 85, 21);
    for (const char* item : {"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25мс"}) ComboBoxScaleY->addItem(item);
    ComboBoxScaleY->setItemIndex(0);
    ComboBoxScaleY->setFont(kBoldFont);
    ComboBoxScaleY->setHandPointCursor(true);

    StaticText5->setBounds(7, 136, 81, 17);
    StaticText5->setFont(kFormFont);
    StaticText5->setCaption("Grid density:");
    StaticText5->setAutoSize(false);
    StaticText5->setBorderStyle(BorderStyle::Single);
    StaticText5->setHint("Колич-во клеток сетки по вертикали", true);

    ComboBoxGrid->setBounds(8, 160, 49, 21);
    ComboBoxGrid->setFont(kFormFont);
    for (const char* item : {"4", "6", "8", "10", "12", "14", "16"}) ComboBoxGrid->addItem(item);
    ComboBoxGrid->setItemIndex(0);
    ComboBoxGrid->setText("4");

    GroupBox2->setBounds(48, 568, 745, 57);
    GroupBox2->setTag(2);
    GroupBox2->setEnabled(false);

    // The three selectors: bold captions, the first item chosen.
    const struct {
        RadioGroup* group;
        int left, top, width, height;
        const char* caption;
        int columns;
        std::vector<std::string> items;
    } selectors[] = {
        {RadioGroupPVZ.get(), 8, 10, 241, 41, "ПВЗ:", 4, {"UT1       ", "UT1R    ", "Xp   ", "Yp   "}},
        {RadioGroupInterval.get(), 253, 10, 133, 41, "Интервал:", 2, {"Месяц", "Год"}},
        {RadioGroupTrend.get(), 389, 10, 129, 41, "Тренд:", 2, {"Нет", "Есть"}},
    };
    for (const auto& s : selectors) {
        s.group->setBounds(s.left, s.top, s.width, s.height);
        s.group->setFont(kBoldFont);
        s.group->setCaption(s.caption);
        s.group->setColumns(s.columns);
        s.group->setItems(s.items);
        s.group->setItemIndex(0);
        s.group->setHandPointCursor(true);
    }

    GroupBox3->setBounds(521, 10, 205, 41);
    GroupBox3->setCaption("Визиры:");
    GroupBox3->setFont(kBoldFont);

    CheckBoxViz->setBounds(4, 16, 14, 17);
    CheckBoxViz->setHandPointCursor(true);

    for (Label* label : {Label1.get(), Label2.get()}) {
        label->setFont(kFormFont);
        label->setEnabled(false);
    }
    Label1->setBounds(30, 17, 16, 13);
    Label1->setCaption("X=");
    Label2->setBounds(120, 17, 16, 13);
    Label2->setCaption("Y=");
    for (StaticText* text : {StaticTextX.get(), StaticTextY.get()}) {
        text->setFont(kFormFont);
        text->setAutoSize(true);
        text->setCaption("");
    }
    StaticTextX->setLeft(51);
    StaticTextX->setTop(17);
    StaticTextY->setLeft(141);
    StaticTextY->setTop(17);

    GroupBox1->setBounds(59, 8, 225, 40);
    GroupBox1->setTag(3);
    GroupBox1->setColor(clInactiveBorder);
    GroupBox1->setEnabled(false);
    GroupBox1->setHint("", false);
}

void TForm1::connectEvents() {
    onCreate = [this] { FormCreate(); };
    onClose = [this] { FormClose(); };
    BitBtnStart->onClick = [this](Button& sender) { BitBtnStartClick(sender); };
    for (CheckBox* box : checkBoxByTag_) box->onClick = [this](CheckBox& sender) { CheckBox9Click(sender); };
    for (SpeedButton* button : {SpeedButton1.get(), SpeedButton2.get(), SpeedButton3.get(), SpeedButton4.get(),
                                SpeedButton5.get(), SpeedButton6.get()}) {
        button->onMouseDown = [this](SpeedButton& sender, MouseButton b, int x, int y) {
            SpeedButton6MouseDown(sender, b, x, y);
        };
        button->onMouseUp = [this](SpeedButton& sender, MouseButton b, int x, int y) {
            SpeedButton6MouseUp(sender, b, x, y);
        };
    }
    SpeedButtonUndo->onClick = [this](SpeedButton& sender) { SpeedButtonUndoClick(sender); };
    Timer1->onTimer = [this](Timer& sender) { Timer1Timer(sender); };
    Timer2->onTimer = [this](Timer& sender) { Timer2Timer(sender); };
    ComboBoxScaleY->onChange = [this](ComboBox& sender) { ComboBoxScaleYChange(sender); };
    ComboBoxGrid->onChange = [this](ComboBox& sender) { ComboBoxGridChange(sender); };
    CheckBoxChoise->onClick = [this](CheckBox& sender) { CheckBoxChoiseClick(sender); };
    CheckBoxViz->onClick = [this](CheckBox& sender) { CheckBoxVizClick(sender); };
    RadioGroupPVZ->onClick = [this](RadioGroup& sender) { RadioGroupPVZClick(sender); };
    RadioGroupInterval->onClick = [this](RadioGroup& sender) { RadioGroupIntervalClick(sender); };
    RadioGroupTrend->onClick = [this](RadioGroup& sender) { RadioGroupTrendClick(sender); };
    Chart->OnAfterDraw = [this](TCustomAxisPanel& sender) { ChartAfterDraw(sender); };
    Chart->OnBeforeDrawAxes = [this](TCustomAxisPanel& sender) { ChartBeforeDrawAxes(sender); };
    Chart->OnGetNextAxisLabel = [this](TCustomChartAxis& sender, int index, double& value, bool& stop) {
        ChartGetNextAxisLabel(sender, index, value, stop);
    };
    Chart->OnMouseMove = [this](TCustomChartPanel& sender, int x, int y) { ChartMouseMove(sender, x, y); };
    Chart->OnPictureShown = [this] { restoreCrossHair(); };
}

int TForm1::readScreenWidth() const {
    return options_.screenWidth ? options_.screenWidth() : Application::instance().screenWidth();
}

void TForm1::applySmallScreenLayout() {
    GroupBox2->setBounds(12, 503, 709, 49);
    RadioGroupPVZ->setBounds(8, 8, 225, 37);
    RadioGroupInterval->setBounds(237, 8, 124, 37);
    RadioGroupTrend->setBounds(365, 8, 124, 37);
    GroupBox3->setBounds(493, 8, 205, 37);
    BitBtnStart->setBounds(732, 510, 62, 23);
}

void TForm1::setUpBottomAxis() {
    TChartAxis& axis = Chart->BottomAxis();
    axis.setAutomatic(false);
    axis.setLabels(true);
    axis.setLabelsMultiLine(true);
    axis.setIncrement(7);
    axis.setMinorTickCount(6);
    axis.setMaximum(kBottomAxisSpread);
    axis.setMinimum(state.homeStartMjd + state.mjdToDayOffset);
    axis.setMaximum(state.homeEndMjd + state.mjdToDayOffset);
    axis.setDateTimeFormat("mmm/dd yyyy");
}

void TForm1::FormCreate() {
    state.screenWidth = readScreenWidth();
    if (state.screenWidth <= kSmallScreenWidth) applySmallScreenLayout();
    const ClientSize minimum = minimumClientSize(*this);
    setMinimumClientSize(minimum.width, minimum.height);
    if (options_.maximise) setMaximized(true);
    state.fixTimeBase(localNow());
    setUpBottomAxis();
    BitBtnStart->setEnabled(true);
    Chart->LeftAxis().setAutomatic(false);
    const int scale = ComboBoxScaleY->itemIndex();
    if (scale >= 0 && scale < kScaleCount) {
        const auto& labels = usesUtScale(RadioGroupPVZ->itemIndex() + 1) ? scaleLabelsUT : scaleLabelsXY;
        EditScale->setText(std::string(labels[static_cast<std::size_t>(scale)]));
    }
}

void TForm1::FormClose() {
    state.running = false;
    Application::instance().terminate();
}

void TForm1::enableChartControls() {
    const Control& chart = *Chart;
    for (int i = 0; i < chart.childCount(); ++i) {
        Control& child = chart.child(i);
        if (dynamic_cast<GroupBox*>(&child) || dynamic_cast<CheckBox*>(&child)) child.setEnabled(true);
    }
}

void TForm1::BitBtnStartClick(Button& /*Sender*/) {
    const MonotonicClock::time_point now = options_.clock ? options_.clock() : MonotonicClock::now();
    if (state.running) {
        if (now - startPressedAt_ <= std::chrono::milliseconds(Application::instance().doubleClickInterval())) return;
        if (options_.exitNow)
            options_.exitNow();
        else
            Application::instance().exitNow();
        return;
    }
    state.running = true;
    startPressedAt_ = now;
    BitBtnStart->setFont(Font{BitBtnStart->font().name, BitBtnStart->font().height, clRed, BitBtnStart->font().style});
    BitBtnStart->setCaption("ВЫХОД");
    CheckBoxChoise->setChecked(false);

    Loader loader(*this);
    if (!loadDataFiles(store, state, loader)) return;
    enableChartControls();
    // Away from "ВЫХОД", so that the next Space or Enter does not end the program.
    RadioGroupPVZ->setFocus();
    if (options_.cycle == FormOptions::Cycle::External) return;

    Application& application = Application::instance();
    PassServices services = options_.cycleServices;
    if (!services.waitUntil)
        services.waitUntil = [&application](MonotonicClock::time_point deadline) { application.waitForEvents(deadline); };
    if (!services.showError)
        services.showError = [&application](const std::exception& error) { application.reportError(error.what()); };
    cycle_->run(services);
}

}  // namespace pvz
