#include "app/main_window.h"

#include <utility>

#include "app/form_rows.h"
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
const Font kStartFont{"MS Sans Serif", -11, clGreen, fsBold};

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
    void setStatusText(std::string_view text) override { form_.StatusBar1->setSimpleText(std::string(text)); }

private:
    TForm1& form_;
};

TForm1::TForm1(FormOptions options) : options_(std::move(options)) {
    createComponents();
    connectEvents();
    bindToolButtonKeys(*this);
    store.dataDirectory = options_.dataDirectory;
    controls_ = std::make_unique<Controls>(*this);
    for (std::size_t i = 0; i < seriesByIndex_.size(); ++i) cycleSeries_[i] = seriesByIndex_[i];
    cycle_ = std::make_unique<DisplayCycle>(
        store, arrays, state, DisplayChart{Chart->BottomAxis(), Chart->LeftAxis(), cycleSeries_}, *controls_);
    connectStatisticsHints();
    connectCommands();
}

// The members end the components, children first (see their declaration).
TForm1::~TForm1() = default;

// The rows name only the fields they set; the others keep their defaults, which GCC's
// missing-initializer warning does not yet allow for designated initializers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

// The form's components, one row each, created in the order of the rows: parents before their
// children, and each parent's children in the order of Tab and of the parent's child list.
void TForm1::createComponents() {
    FormRows rows;
    rows.then([this] {
        setCaption(kWindowTitle);
        setColor(clBtnFace);
        setFont(kFormFont);
        setBounds(72, 49, 804, 585);
    });

    // The status bar first, so that the chart fills what it leaves.
    StatusBar1 = std::make_unique<StatusBar>(this);
    rows.then([this] {
        StatusBar1->setAlign(Align::Bottom);
        StatusBar1->setHeight(19);
        StatusBar1->setSimpleText(kPressStartStatus);
        StatusBar1->setHint("Панель состояния", true);
        StatusBar1->setColor(clMenuBar);
    });
    Chart = std::make_unique<TViewerChart>(this);
    rows.then([this] {
        Chart->setAlign(Align::Client);
        configureViewerChart(*Chart, seriesByIndex_);
    });

    // Tab runs along the bottom row, then to Start, the scale group and the legend's boxes.
    // The selectors and the visors.
    rows.place(GroupBox2, *Chart, {.bounds = {48, 568, 745, 57}, .tag = 2, .enabled = false});
    const struct {
        std::unique_ptr<RadioGroup> TForm1::*member;
        int left, width;
        const char* caption;
        int columns;
        std::vector<std::string> items;
    } selectors[] = {
        {&TForm1::RadioGroupPVZ, 8, 241, "ПВЗ:", 4, {"UT1       ", "UT1R    ", "Xp   ", "Yp   "}},
        {&TForm1::RadioGroupInterval, 253, 133, "Интервал:", 2, {"Месяц", "Год"}},
        {&TForm1::RadioGroupTrend, 389, 129, "Тренд:", 2, {"Нет", "Есть"}},
    };
    for (const auto& s : selectors) {
        rows.place(
            this->*s.member, *GroupBox2,
            {.bounds = {s.left, 10, s.width, 41}, .font = &kBoldFont, .caption = s.caption, .handPointCursor = true},
            RadioGroupSettings{.columns = s.columns, .items = s.items, .itemIndex = 0});
    }
    rows.place(GroupBox3, *GroupBox2, {.bounds = {521, 10, 205, 41}, .font = &kBoldFont, .caption = "Визиры:"});
    rows.place(CheckBoxViz, *GroupBox3, {.bounds = {4, 16, 14, 17}, .handPointCursor = true});
    // The read-outs size themselves to their texts.
    rows.place(Label1, *GroupBox3, {.bounds = {30, 17, 16, 13}, .font = &kFormFont, .caption = "X=", .enabled = false});
    rows.place(StaticTextX, *GroupBox3, {.bounds = {51, 17}, .font = &kFormFont, .caption = ""},
               TextSettings{.autoSize = true});
    rows.place(Label2, *GroupBox3,
               {.bounds = {120, 17, 16, 13}, .font = &kFormFont, .caption = "Y=", .enabled = false});
    rows.place(StaticTextY, *GroupBox3, {.bounds = {141, 17}, .font = &kFormFont, .caption = ""},
               TextSettings{.autoSize = true});

    // Reached with Tab; a click does not pull the focus back onto "ВЫХОД" after loading.
    rows.place(BitBtnStart, *Chart,
               {.bounds = {824, 587, 62, 23}, .font = &kStartFont, .caption = "Старт", .enabled = false},
               ButtonSettings{.focusPolicy = Control::FocusPolicy::TabOnly});

    // The vertical scale.
    rows.place(
        GroupBoxScales, *Chart,
        {.bounds = {792, 322, 97, 191}, .tag = 1, .font = &kBoldFont, .caption = "Масштабы UT", .enabled = false});
    rows.place(StaticText3, *GroupBoxScales,
               {.bounds = {5, 21, 81, 17}, .font = &kFormFont, .caption = "Текущий:", .color = clBtnFace},
               TextSettings{.border = BorderStyle::Single});
    rows.place(EditScale, *GroupBoxScales, {.bounds = {5, 41, 81, 21}, .font = &kFormFont},
               EditSettings{.readOnly = true});
    rows.place(CheckBoxChoise, *GroupBoxScales,
               {.bounds = {8, 76, 81, 17},
                .font = &kFormFont,
                .caption = "Выбрать:",
                .color = clGradientInactiveCaption,
                .handPointCursor = true},
               CheckBoxSettings{.captionSide = CaptionSide::Left});
    rows.place(ComboBoxScaleY, *GroupBoxScales,
               {.bounds = {5, 101, 85, 21}, .font = &kBoldFont, .handPointCursor = true},
               ComboBoxSettings{.items = {"M: 3 мс", "M: 2 мс", "M: 1 мс", "M: 0,5 мс", "M: 0,25мс"}, .itemIndex = 0},
               ComboStyle::DropDownList);
    rows.place(StaticText5, *GroupBoxScales,
               {.bounds = {7, 136, 81, 17},
                .font = &kFormFont,
                .caption = "Grid density:",
                .hint = "Колич-во клеток сетки по вертикали"},
               TextSettings{.border = BorderStyle::Single});
    rows.place(ComboBoxGrid, *GroupBoxScales, {.bounds = {8, 160, 49, 21}, .font = &kFormFont},
               ComboBoxSettings{.items = {"4", "6", "8", "10", "12", "14", "16"}, .itemIndex = 0, .text = "4"},
               ComboStyle::DropDown);

    // The series check boxes, at the right of the legend rows; their tags are the series slots.
    const std::pair<std::unique_ptr<CheckBox> TForm1::*, int> seriesBoxes[] = {
        {&TForm1::CheckBox1, 63},  {&TForm1::CheckBox2, 79},   {&TForm1::CheckBox3, 95},   {&TForm1::CheckBox4, 111},
        {&TForm1::CheckBox5, 127}, {&TForm1::CheckBox6, 143},  {&TForm1::CheckBox7, 159},  {&TForm1::CheckBox8, 175},
        {&TForm1::CheckBox9, 191}, {&TForm1::CheckBox10, 207}, {&TForm1::CheckBox11, 224},
    };
    int tag = 1;
    for (const auto& [member, top] : seriesBoxes) {
        CheckBox& box =
            rows.place(this->*member, *Chart,
                       {.bounds = {791, top, 17, 17}, .tag = tag, .enabled = false, .handPointCursor = true},
                       CheckBoxSettings{.checked = true});
        checkBoxByTag_[static_cast<std::size_t>(tag - 1)] = &box;
        ++tag;
    }

    // The time window's tool buttons.
    rows.place(GroupBox1, *Chart,
               {.bounds = {59, 8, 255, 40},
                .tag = 3,
                .enabled = false,
                .color = clInactiveBorder,
                .hint = "",
                .showHint = false});
    const struct {
        std::unique_ptr<SpeedButton> TForm1::*member;
        int tag, left;
        const char* hint;
        Glyph glyph;
    } toolButtons[] = {
        {&TForm1::SpeedButton1, 1, 6, "Сдвиг по времени назад", Glyph::TriangleLeft},
        {&TForm1::SpeedButton2, 2, 36, "Сдвиг по времени вперед", Glyph::TriangleRight},
        {&TForm1::SpeedButton3, 3, 66, "Сдвиг вверх", Glyph::TriangleUp},
        {&TForm1::SpeedButton4, 4, 96, "Сдвиг вниз", Glyph::TriangleDown},
        {&TForm1::SpeedButton5, 5, 126, "Растянуть по вертикали", Glyph::TrianglesApart},
        {&TForm1::SpeedButton6, 6, 156, "Сжать по вертикали", Glyph::TrianglesTogether},
        {&TForm1::SpeedButtonUndo, 0, 186, "Возврат к текущей дате", Glyph::ArrowBack},
        {&TForm1::SpeedButtonDifferences, 0, 216, "Разности от КВЕЛ", Glyph::Differences},
    };
    for (const auto& b : toolButtons) {
        rows.place(this->*b.member, *GroupBox1, {.bounds = {b.left, 9, 27, 27}, .tag = b.tag, .hint = b.hint},
                   SpeedButtonSettings{.glyph = b.glyph});
    }

    Timer1 = std::make_unique<Timer>(70);
    Timer2 = std::make_unique<Timer>(210);

    // The series in chart order.
    std::unique_ptr<TLineSeries> TForm1::*const series[kSeriesSlotCount] = {
        &TForm1::Series1, &TForm1::Series2, &TForm1::Series3,  &TForm1::Series5, &TForm1::Series6,  &TForm1::Series7,
        &TForm1::Series8, &TForm1::Series9, &TForm1::Series10, &TForm1::Series4, &TForm1::Series11,
    };
    for (std::size_t i = 0; i < seriesByIndex_.size(); ++i) {
        this->*series[i] = std::make_unique<TLineSeries>();
        seriesByIndex_[i] = (this->*series[i]).get();
    }

    rows.apply();
}

#pragma GCC diagnostic pop

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
    SpeedButtonDifferences->onClick = [this](SpeedButton& sender) { SpeedButtonDifferencesClick(sender); };
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
    Chart->OnMouseLeave = [this](TCustomChartPanel& sender) { ChartMouseLeave(sender); };
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

}  // namespace pvz
