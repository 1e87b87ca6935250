// The base of every control: the toolkit widget behind it and the properties every control has.
#include <QEvent>
#include <QHelpEvent>
#include <QScreen>
#include <QToolTip>

#include <algorithm>
#include <vector>

#include "runtime/window_system_qt.h"

namespace pvz {

namespace detail {

ControlImpl::ControlImpl(QWidget* w) : widget(w) { widget->installEventFilter(this); }

ControlImpl::~ControlImpl() {
    if (widget) {
        widget->removeEventFilter(this);
        delete widget.data();
    }
}

void ControlImpl::applyFont() {
    if (!widget) return;
    widget->setFont(toQFont(font));
    QPalette p = widget->palette();
    const QColor text = toQColor(font.color);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::Text, text);
    }
    widget->setPalette(p);
}

void ControlImpl::applyColor() {
    if (!widget) return;
    QPalette p = widget->palette();
    if (color == clDefault) {
        const QPalette inherited = widget->parentWidget() ? widget->parentWidget()->palette() : QApplication::palette();
        p.setColor(QPalette::Window, inherited.color(QPalette::Window));
        widget->setAutoFillBackground(false);
    } else {
        p.setColor(QPalette::Window, toQColor(color));
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(p);
}

void ControlImpl::layoutAlignedChildren() {
    if (owner == nullptr || !widget) return;
    QWidget* client = clientWidget();
    int bottom = client->height();
    for (Control* c : owner->children_) {
        ControlImpl& ci = *c->impl_;
        if (ci.align == Align::Bottom && ci.widget) {
            const int h = ci.widget->height();
            bottom -= h;
            ci.widget->setGeometry(0, bottom, client->width(), h);
        }
    }
    for (Control* c : owner->children_) {
        ControlImpl& ci = *c->impl_;
        if (ci.align == Align::Client && ci.widget) ci.widget->setGeometry(0, 0, client->width(), std::max(0, bottom));
    }
}

bool ControlImpl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget && event->type() == QEvent::Resize) layoutAlignedChildren();
    if (watched == widget && event->type() == QEvent::ToolTip && showHintFromSource(event)) return true;
    return QObject::eventFilter(watched, event);
}

bool ControlImpl::showHintFromSource(QEvent* event) {
    if (!hintSource) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    Rect area{0, 0, widget->width(), widget->height()};
    std::string text;
    Application::instance().guarded([&] { text = hintSource({help->pos().x(), help->pos().y()}, area); });
    if (text.empty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), toQString(text), widget,
                           QRect(area.left, area.top, area.width(), area.height()));
    }
    return true;
}

}  // namespace detail

namespace {

Font defaultControlFont(const Control* parent) {
    const Control* root = parent;
    while (root != nullptr && root->parent() != nullptr) root = root->parent();
    if (root != nullptr) return root->font();
    return Font{"MS Sans Serif", -11, clWindowText, 0};
}

}  // namespace

Control::Control(Control* parent, std::unique_ptr<detail::ControlImpl> impl) : parent_(parent), impl_(std::move(impl)) {
    impl_->owner = this;
    impl_->font = defaultControlFont(parent);
    if (parent != nullptr) {
        impl_->widget->setParent(parent->impl_->clientWidget());
        parent->children_.push_back(this);
        impl_->widget->show();
    }
    impl_->applyFont();
}

Control::~Control() {
    for (Control* c : children_) c->parent_ = nullptr;
    if (parent_ != nullptr) std::erase(parent_->children_, this);
}

int Control::left() const { return impl_->widget ? impl_->widget->x() : 0; }
int Control::top() const { return impl_->widget ? impl_->widget->y() : 0; }
int Control::width() const { return impl_->widget ? impl_->widget->width() : 0; }
int Control::height() const { return impl_->widget ? impl_->widget->height() : 0; }
void Control::setFocus() {
    if (QWidget* target = impl_->focusTarget()) target->setFocus(Qt::OtherFocusReason);
}

void Control::setFocusPolicy(FocusPolicy policy) {
    if (!impl_->widget) return;
    switch (policy) {
        case FocusPolicy::TabAndClick:
            impl_->widget->setFocusPolicy(Qt::StrongFocus);
            break;
        case FocusPolicy::TabOnly:
            impl_->widget->setFocusPolicy(Qt::TabFocus);
            break;
        case FocusPolicy::None:
            impl_->widget->setFocusPolicy(Qt::NoFocus);
            break;
    }
}

bool Control::hasFocus() const {
    if (!impl_->widget) return false;
    const QWidget* focused = impl_->widget->window()->focusWidget();
    return focused != nullptr && (focused == impl_->widget || impl_->widget->isAncestorOf(focused));
}

void Control::setLeft(int left) { setBounds(left, top(), width(), height()); }
void Control::setTop(int top) { setBounds(left(), top, width(), height()); }
void Control::setWidth(int width) { setBounds(left(), top(), width, height()); }
void Control::setHeight(int height) { setBounds(left(), top(), width(), height); }

void Control::setBounds(int left, int top, int width, int height) {
    QWidget* w = impl_->widget;
    if (w == nullptr) return;
    const QRect r(left, top, std::max(0, width), std::max(0, height));
    if (w->geometry() == r) return;
    w->setGeometry(r);
    if (parent_ != nullptr && impl_->align != Align::None) parent_->impl_->layoutAlignedChildren();
}

void Control::setAlign(Align align) {
    impl_->align = align;
    if (parent_ != nullptr) parent_->impl_->layoutAlignedChildren();
}

int Control::clientWidth() const { return impl_->widget ? impl_->clientWidget()->width() : 0; }
int Control::clientHeight() const { return impl_->widget ? impl_->clientWidget()->height() : 0; }

bool Control::enabled() const { return impl_->widget && !impl_->widget->testAttribute(Qt::WA_ForceDisabled); }
void Control::setEnabled(bool enabled) {
    if (impl_->widget) impl_->widget->setEnabled(enabled);
}

bool Control::visible() const { return impl_->widget && !impl_->widget->isHidden(); }
void Control::setVisible(bool visible) {
    if (impl_->widget) impl_->widget->setVisible(visible);
}

Color Control::color() const {
    if (impl_->color != clDefault) return impl_->color;
    return parent_ != nullptr ? parent_->color() : clBtnFace;
}

void Control::setColor(Color color) {
    impl_->color = color;
    impl_->applyColor();
}

const Font& Control::font() const { return impl_->font; }

void Control::setFont(const Font& font) {
    impl_->font = font;
    impl_->applyFont();
}

void Control::setHint(const std::string& hint, bool showHint) {
    impl_->hint = hint;
    impl_->showHint = showHint;
    if (impl_->widget) impl_->widget->setToolTip(showHint ? detail::toQString(hint) : QString());
}

const std::string& Control::hint() const { return impl_->hint; }

void Control::setHintSource(HintSource source) { impl_->hintSource = std::move(source); }

void Control::setHandPointCursor(bool on) {
    if (!impl_->widget) return;
    if (on)
        impl_->widget->setCursor(Qt::PointingHandCursor);
    else
        impl_->widget->unsetCursor();
}

Point Control::screenToClient(Point screen) const {
    if (!impl_->widget) return screen;
    const QPoint p = impl_->widget->mapFromGlobal(QPoint(screen.x, screen.y));
    return {p.x(), p.y()};
}

Point Control::clientToScreen(Point client) const {
    if (!impl_->widget) return client;
    const QPoint p = impl_->widget->mapToGlobal(QPoint(client.x, client.y));
    return {p.x(), p.y()};
}

void Control::grab(Bitmap& into) const {
    QWidget* w = impl_->widget;
    if (w == nullptr) return;
    // The widgets carry no meta-object of their own, so panels are told apart by dynamic_cast.
    std::vector<detail::PanelWidget*> panels;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (auto* p = dynamic_cast<detail::PanelWidget*>(c)) panels.push_back(p);
    if (auto* self = dynamic_cast<detail::PanelWidget*>(w)) panels.push_back(self);
    for (detail::PanelWidget* p : panels) p->frontOnly = true;
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (detail::PanelWidget* p : panels) p->frontOnly = false;
    into.impl_->canvas.release();
    into.impl_->sameRows.clear();
    into.impl_->image = shot;
    into.impl_->width = w->width();
    into.impl_->height = w->height();
}

bool Control::grabShown(Bitmap& into) const {
    QWidget* w = impl_->widget;
    if (w == nullptr || w->screen() == nullptr || w->window()->windowHandle() == nullptr) return false;
    const QPoint at = w->mapTo(w->window(), QPoint());
    const QImage shown =
        w->screen()->grabWindow(w->window()->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
    if (shown.isNull()) return false;
    into.impl_->canvas.release();
    into.impl_->sameRows.clear();
    into.impl_->image = shown.convertToFormat(QImage::Format_RGB32);
    into.impl_->width = w->width();
    into.impl_->height = w->height();
    return true;
}

}  // namespace pvz
