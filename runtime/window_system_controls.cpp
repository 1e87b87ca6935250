#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {

namespace {

// A group frame in the desktop's manner: an etched rectangle with the caption on its top line.
struct GroupFrame : QGroupBox {
    void paintEvent(QPaintEvent* event) override {
        const QFontMetrics fm(font());
        // The lines run along the edges, two pixels deep, and the caption fills the top band;
        // a repaint within (a read-out changing its text) has nothing of them to draw.
        const QRect inside(QPoint(2, fm.height() + 2), QPoint(width() - 3, height() - 3));
        if (inside.contains(event->rect())) return;
        QPainter p(this);
        const QRect frame = rect().adjusted(0, fm.height() / 2, -1, -1);
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(frame.adjusted(1, 1, 0, 0));
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(frame.adjusted(0, 0, -1, -1));
        if (title().isEmpty()) return;
        const QRect caption(8, 0, fm.horizontalAdvance(title()) + 4, fm.height());
        p.fillRect(caption, palette().color(QPalette::Window));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(caption.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, title());
    }
};

// Controls whose background is their own colour through the Base role (edit fields).
struct EditImpl : ControlImpl {
    using ControlImpl::ControlImpl;
    void applyColor() override {
        ControlImpl::applyColor();
        if (!widget || color == clDefault) return;
        QPalette p = widget->palette();
        p.setColor(QPalette::Base, toQColor(color));
        widget->setPalette(p);
    }
};

struct RadioGroupImpl : ControlImpl {
    explicit RadioGroupImpl(QGroupBox* box) : ControlImpl(box), group(new QButtonGroup(box)) {}

    QGroupBox* box() const { return static_cast<QGroupBox*>(widget.data()); }

    // Buttons in columns, filled column by column, below the caption.
    void arrange() {
        if (!widget) return;
        const int n = static_cast<int>(buttons.size());
        if (n == 0) return;
        const int cols = std::max(1, columns);
        const int perColumn = (n + cols - 1) / cols;
        const int captionHeight = QFontMetrics(widget->font()).height();
        const int usable = std::max(1, widget->height() - captionHeight - 3);
        const int buttonHeight = std::max(1, usable / perColumn);
        const int buttonWidth = std::max(1, (widget->width() - 10) / cols);
        const int top = captionHeight + (usable % perColumn) / 2;
        for (int i = 0; i < n; ++i) {
            const int col = i / perColumn;
            const int row = i % perColumn;
            buttons[static_cast<std::size_t>(i)]->setGeometry(8 + col * buttonWidth, top + row * buttonHeight,
                                                              buttonWidth - 2, buttonHeight);
        }
    }

    void select(int index) {
        const bool exclusive = group->exclusive();
        group->setExclusive(false);
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            const QSignalBlocker block(buttons[i]);
            buttons[i]->setChecked(static_cast<int>(i) == index);
        }
        group->setExclusive(exclusive);
        itemIndex = index;
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget && (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) arrange();
        return ControlImpl::eventFilter(watched, event);
    }

    QWidget* focusTarget() const override {
        if (itemIndex >= 0 && itemIndex < static_cast<int>(buttons.size()))
            return buttons[static_cast<std::size_t>(itemIndex)];
        return buttons.empty() ? widget.data() : buttons.front();
    }

    QButtonGroup* group;
    std::vector<QRadioButton*> buttons;
    int columns = 1;
    int itemIndex = -1;
};

struct ToolButtonWidget : QToolButton {
    explicit ToolButtonWidget(SpeedButton* b) : button(b) {}

    static MouseButton toButton(Qt::MouseButton b) {
        if (b == Qt::RightButton) return MouseButton::Right;
        if (b == Qt::MiddleButton) return MouseButton::Middle;
        return MouseButton::Left;
    }

    void mousePressEvent(QMouseEvent* event) override {
        const MouseButton which = toButton(event->button());
        const QPoint at = event->position().toPoint();
        Application::instance().guarded([&] {
            if (button->onMouseDown) button->onMouseDown(*button, which, at.x(), at.y());
        });
        QToolButton::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const MouseButton which = toButton(event->button());
        const QPoint at = event->position().toPoint();
        QToolButton::mouseReleaseEvent(event);
        Application::instance().guarded([&] {
            if (button->onMouseUp) button->onMouseUp(*button, which, at.x(), at.y());
        });
    }

    // A button held down by the program stays as it is when clicked: its click handler decides.
    void nextCheckState() override {}

    SpeedButton* button;
};

// The glyph of a tool button, drawn in the window-text colour on a transparent square.
QPixmap drawGlyph(Glyph glyph, int size, QColor ink) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    if (glyph == Glyph::None) return pixmap;
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal s = size;
    if (glyph == Glyph::ArrowBack) {
        // The hook of the arrow; its head is one of the triangles below.
        QPainterPath hook;
        hook.moveTo(s * 0.78, s * 0.85);
        hook.lineTo(s * 0.78, s * 0.5);
        hook.quadTo(s * 0.78, s * 0.3, s * 0.58, s * 0.3);
        hook.lineTo(s * 0.35, s * 0.3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, std::max(2.0, s * 0.13), Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
    }
    if (glyph == Glyph::Differences) {
        p.setPen(QPen(ink, std::max(1.5, s * 0.09), Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(s * 0.05, s * 0.5), QPointF(s * 0.95, s * 0.5));
        p.setPen(Qt::NoPen);
        const qreal r = s * 0.09;
        for (const auto& [x, y] : {std::pair{0.2, 0.28}, {0.4, 0.7}, {0.6, 0.22}, {0.8, 0.66}})
            p.drawEllipse(QPointF(s * x, s * y), r, r);
        return pixmap;
    }
    // The filled triangles of each glyph: three corners as fractions of the glyph's size.
    struct Triangle {
        Glyph glyph;
        double corners[6];
    };
    static constexpr Triangle kTriangles[] = {
        {Glyph::TriangleLeft, {0.25, 0.5, 0.7, 0.15, 0.7, 0.85}},
        {Glyph::TriangleRight, {0.75, 0.5, 0.3, 0.15, 0.3, 0.85}},
        {Glyph::TriangleUp, {0.5, 0.2, 0.15, 0.7, 0.85, 0.7}},
        {Glyph::TriangleDown, {0.5, 0.8, 0.15, 0.3, 0.85, 0.3}},
        {Glyph::TrianglesApart, {0.5, 0.02, 0.2, 0.4, 0.8, 0.4}},
        {Glyph::TrianglesApart, {0.5, 0.98, 0.2, 0.6, 0.8, 0.6}},
        {Glyph::TrianglesTogether, {0.5, 0.45, 0.2, 0.05, 0.8, 0.05}},
        {Glyph::TrianglesTogether, {0.5, 0.55, 0.2, 0.95, 0.8, 0.95}},
        {Glyph::ArrowBack, {0.08, 0.3, 0.4, 0.05, 0.4, 0.55}},
    };
    for (const Triangle& t : kTriangles) {
        if (t.glyph != glyph) continue;
        const QPointF points[] = {{s * t.corners[0], s * t.corners[1]},
                                  {s * t.corners[2], s * t.corners[3]},
                                  {s * t.corners[4], s * t.corners[5]}};
        p.drawPolygon(points, 3);
    }
    return pixmap;
}

}  // namespace

}  // namespace detail

namespace {

template <class W>
W* widgetOf(const detail::ControlImpl& impl) {
    return static_cast<W*>(impl.widget.data());
}

// Runs the control's onClick, through the handler boundary, each time its button is clicked.
template <class C>
void forwardClicks(QAbstractButton* button, C* control) {
    QObject::connect(button, &QAbstractButton::clicked, button, [control] {
        Application::instance().guarded([control] {
            if (control->onClick) control->onClick(*control);
        });
    });
}

}  // namespace

// ---------------------------------------------------------------------------------------------

CheckBox::CheckBox(Control* parent) : Control(parent, std::make_unique<detail::ControlImpl>(new QCheckBox)) {
    auto* box = widgetOf<QCheckBox>(impl());
    forwardClicks(box, this);
}

void CheckBox::setCaption(const std::string& caption) {
    widgetOf<QCheckBox>(impl())->setText(detail::toQString(caption));
}
std::string CheckBox::caption() const { return detail::fromQString(widgetOf<QCheckBox>(impl())->text()); }

void CheckBox::setCaptionSide(CaptionSide side) {
    widgetOf<QCheckBox>(impl())->setLayoutDirection(side == CaptionSide::Left ? Qt::RightToLeft : Qt::LeftToRight);
}

bool CheckBox::checked() const { return widgetOf<QCheckBox>(impl())->isChecked(); }

void CheckBox::setChecked(bool checked) {
    auto* box = widgetOf<QCheckBox>(impl());
    if (box->isChecked() == checked) return;
    {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
    // Called from program code: an exception goes back to the caller, as from any other call.
    if (onClick) onClick(*this);
}

// ---------------------------------------------------------------------------------------------

namespace {

detail::RadioGroupImpl& radioImpl(detail::ControlImpl& impl) { return static_cast<detail::RadioGroupImpl&>(impl); }

}  // namespace

RadioGroup::RadioGroup(Control* parent)
    : Control(parent, std::make_unique<detail::RadioGroupImpl>(new detail::GroupFrame)) {}

RadioGroup::~RadioGroup() = default;

void RadioGroup::setCaption(const std::string& caption) {
    widgetOf<QGroupBox>(impl())->setTitle(detail::toQString(caption));
}
std::string RadioGroup::caption() const { return detail::fromQString(widgetOf<QGroupBox>(impl())->title()); }

void RadioGroup::setItems(const std::vector<std::string>& items) {
    detail::RadioGroupImpl& r = radioImpl(impl());
    for (QRadioButton* b : r.buttons) delete b;
    r.buttons.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(detail::toQString(items[i]), r.box());
        r.group->addButton(button, static_cast<int>(i));
        button->show();
        r.buttons.push_back(button);
        QObject::connect(button, &QRadioButton::clicked, button, [this, index = static_cast<int>(i)] {
            detail::RadioGroupImpl& ri = radioImpl(impl());
            if (ri.itemIndex == index) return;
            ri.itemIndex = index;
            Application::instance().guarded([this] {
                if (onClick) onClick(*this);
            });
        });
    }
    r.select(r.itemIndex < static_cast<int>(items.size()) ? r.itemIndex : -1);
    r.arrange();
}

int RadioGroup::itemCount() const { return static_cast<int>(radioImpl(impl()).buttons.size()); }

void RadioGroup::setColumns(int columns) {
    radioImpl(impl()).columns = std::max(1, columns);
    radioImpl(impl()).arrange();
}

int RadioGroup::columns() const { return radioImpl(impl()).columns; }
int RadioGroup::itemIndex() const { return radioImpl(impl()).itemIndex; }

void RadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= itemCount()) index = -1;
    detail::RadioGroupImpl& r = radioImpl(impl());
    if (index == r.itemIndex) return;
    r.select(index);
    if (onClick) onClick(*this);
}

// ---------------------------------------------------------------------------------------------

ComboBox::ComboBox(Control* parent, ComboStyle style)
    : Control(parent, std::make_unique<detail::EditImpl>(new QComboBox)) {
    auto* box = widgetOf<QComboBox>(impl());
    box->setMaxVisibleItems(16);
    const auto changed = [this] {
        Application::instance().guarded([this] {
            if (onChange) onChange(*this);
        });
    };
    if (style == ComboStyle::DropDown) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        // Typed text selects the item it spells and any other text none, as the user types, so
        // that the box never reads one item while another is in force; every edit is a change.
        QObject::connect(box->lineEdit(), &QLineEdit::textEdited, box, [box, changed] {
            QLineEdit* edit = box->lineEdit();
            const QString text = edit->text();
            const int match = box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
            if (match != box->currentIndex()) {
                const QSignalBlocker block(box);
                const int cursor = edit->cursorPosition();
                box->setCurrentIndex(match);
                if (edit->text() != text) edit->setText(text);
                edit->setCursorPosition(cursor);
            }
            changed();
        });
    }
    QObject::connect(box, &QComboBox::activated, box, changed);
}

void ComboBox::clearItems() {
    auto* box = widgetOf<QComboBox>(impl());
    const QSignalBlocker block(box);
    box->clear();
}

void ComboBox::insertItem(int index, const std::string& text) {
    auto* box = widgetOf<QComboBox>(impl());
    const QSignalBlocker block(box);
    const int selected = box->currentIndex();
    const QString editText = box->currentText();
    box->insertItem(std::clamp(index, 0, box->count()), detail::toQString(text));
    // The toolkit selects the first item put into an empty list; the program expects no selection.
    if (selected < 0) {
        box->setCurrentIndex(-1);
        if (box->isEditable()) box->setEditText(editText);
    }
}

void ComboBox::addItem(const std::string& text) { insertItem(itemCount(), text); }

int ComboBox::itemCount() const { return widgetOf<QComboBox>(impl())->count(); }
std::string ComboBox::item(int index) const {
    return detail::fromQString(widgetOf<QComboBox>(impl())->itemText(index));
}
int ComboBox::itemIndex() const { return widgetOf<QComboBox>(impl())->currentIndex(); }

void ComboBox::setItemIndex(int index) {
    auto* box = widgetOf<QComboBox>(impl());
    const QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

std::string ComboBox::text() const { return detail::fromQString(widgetOf<QComboBox>(impl())->currentText()); }

void ComboBox::setText(const std::string& text) {
    auto* box = widgetOf<QComboBox>(impl());
    const QSignalBlocker block(box);
    const int match = box->findText(detail::toQString(text));
    if (box->isEditable()) {
        box->setCurrentIndex(match);
        box->setEditText(detail::toQString(text));
    } else {
        box->setCurrentIndex(match);
    }
}

// ---------------------------------------------------------------------------------------------

GroupBox::GroupBox(Control* parent) : Control(parent, std::make_unique<detail::ControlImpl>(new detail::GroupFrame)) {}

void GroupBox::setCaption(const std::string& caption) {
    widgetOf<QGroupBox>(impl())->setTitle(detail::toQString(caption));
}
std::string GroupBox::caption() const { return detail::fromQString(widgetOf<QGroupBox>(impl())->title()); }

// ---------------------------------------------------------------------------------------------

namespace {

// A label that resizes itself to its text when asked to.
struct TextImpl : detail::ControlImpl {
    using ControlImpl::ControlImpl;
    QLabel* label() const { return static_cast<QLabel*>(widget.data()); }
    void fit() {
        if (!autoSize || !widget) return;
        const QSize wanted = wantedSize();
        if (label()->size() != wanted) label()->resize(wanted);
    }
    // The label's size hint. For one line of plain text without frame, margin or indent (the
    // read-outs) that is the text's bounding box, measured here with one layout; the label's
    // own hint also works out its minimum sizes and lays the text out several times.
    QSize wantedSize() const {
        const QLabel& l = *label();
        const QString& text = l.text();
        const bool plainLine =
            !text.isEmpty() && !text.contains(u'\n') && !l.wordWrap() &&
            (l.textFormat() == Qt::PlainText || (l.textFormat() == Qt::AutoText && !Qt::mightBeRichText(text)));
        if (!plainLine || l.frameWidth() != 0 || l.margin() != 0 || l.indent() >= 0 || !l.contentsMargins().isNull() ||
            l.minimumSize() != QSize(0, 0))
            return l.sizeHint();
        const int flags = static_cast<int>(l.alignment() & ~(Qt::AlignVCenter | Qt::AlignHCenter));
        return l.fontMetrics().boundingRect(0, 0, 2000, 2000, flags, text).size();
    }
    void applyFont() override {
        ControlImpl::applyFont();
        fit();
    }
    bool autoSize = false;
    std::string caption;  // as the label shows it
};

TextImpl& textImpl(detail::ControlImpl& impl) { return static_cast<TextImpl&>(impl); }

}  // namespace

StaticText::StaticText(Control* parent) : Control(parent, std::make_unique<TextImpl>(new QLabel)) {
    widgetOf<QLabel>(impl())->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void StaticText::setCaption(const std::string& caption) {
    // The read-outs are set on every pointer move; a move along one axis leaves one as it is.
    TextImpl& text = textImpl(impl());
    if (caption == text.caption) return;
    text.caption = caption;
    widgetOf<QLabel>(impl())->setText(detail::toQString(caption));
    text.fit();
}

std::string StaticText::caption() const { return textImpl(impl()).caption; }

void StaticText::setAutoSize(bool autoSize) {
    textImpl(impl()).autoSize = autoSize;
    textImpl(impl()).fit();
}

void StaticText::setBorderStyle(BorderStyle style) {
    auto* label = widgetOf<QLabel>(impl());
    switch (style) {
        case BorderStyle::None:
            label->setFrameStyle(QFrame::NoFrame);
            break;
        case BorderStyle::Single:
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            break;
        case BorderStyle::Sunken:
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            break;
    }
    label->setLineWidth(1);
    textImpl(impl()).fit();
}

Label::Label(Control* parent) : Control(parent, std::make_unique<detail::ControlImpl>(new QLabel)) {
    widgetOf<QLabel>(impl())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Label::setCaption(const std::string& caption) { widgetOf<QLabel>(impl())->setText(detail::toQString(caption)); }
std::string Label::caption() const { return detail::fromQString(widgetOf<QLabel>(impl())->text()); }

// ---------------------------------------------------------------------------------------------

Edit::Edit(Control* parent) : Control(parent, std::make_unique<detail::EditImpl>(new QLineEdit)) {}

void Edit::setText(const std::string& text) {
    auto* edit = widgetOf<QLineEdit>(impl());
    edit->setText(detail::toQString(text));
    edit->setCursorPosition(0);
}

std::string Edit::text() const { return detail::fromQString(widgetOf<QLineEdit>(impl())->text()); }
void Edit::setReadOnly(bool readOnly) { widgetOf<QLineEdit>(impl())->setReadOnly(readOnly); }

// ---------------------------------------------------------------------------------------------

Button::Button(Control* parent) : Control(parent, std::make_unique<detail::ControlImpl>(new QPushButton)) {
    auto* button = widgetOf<QPushButton>(impl());
    button->setAutoDefault(false);
    forwardClicks(button, this);
}

void Button::setCaption(const std::string& caption) {
    widgetOf<QPushButton>(impl())->setText(detail::toQString(caption));
}
std::string Button::caption() const { return detail::fromQString(widgetOf<QPushButton>(impl())->text()); }

// ---------------------------------------------------------------------------------------------

SpeedButton::SpeedButton(Control* parent)
    : Control(parent, std::make_unique<detail::ControlImpl>(new detail::ToolButtonWidget(this))) {
    auto* button = widgetOf<detail::ToolButtonWidget>(impl());
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    forwardClicks(button, this);
}

void SpeedButton::setGlyph(Glyph glyph) {
    glyph_ = glyph;
    auto* button = widgetOf<detail::ToolButtonWidget>(impl());
    const int size = glyph == Glyph::ArrowBack ? 18 : 16;
    button->setIconSize(QSize(size, size));
    button->setIcon(QIcon(detail::drawGlyph(glyph, size, QColor(0, 0, 0))));
}

Glyph SpeedButton::glyph() const { return glyph_; }

void SpeedButton::setDown(bool down) {
    auto* button = widgetOf<detail::ToolButtonWidget>(impl());
    button->setCheckable(true);
    button->setChecked(down);
}

bool SpeedButton::down() const { return widgetOf<detail::ToolButtonWidget>(impl())->isChecked(); }

// ---------------------------------------------------------------------------------------------

namespace {

struct StatusImpl : detail::ControlImpl {
    explicit StatusImpl(QStatusBar* bar) : ControlImpl(bar), text(new QLabel) {
        bar->setSizeGripEnabled(false);
        bar->addWidget(text, 1);
        text->setContentsMargins(2, 0, 2, 0);
    }
    QLabel* text;
};

}  // namespace

StatusBar::StatusBar(Control* parent) : Control(parent, std::make_unique<StatusImpl>(new QStatusBar)) {
    setHeight(19);
    setAlign(Align::Bottom);
}

void StatusBar::setSimpleText(const std::string& text) {
    static_cast<StatusImpl&>(impl()).text->setText(detail::toQString(text));
}

std::string StatusBar::simpleText() const { return detail::fromQString(static_cast<StatusImpl&>(impl()).text->text()); }

}  // namespace pvz
