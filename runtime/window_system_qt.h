#pragma once
// The toolkit side of the window-system layer, shared by runtime/window_system*.cpp and
// included nowhere else.

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QKeyCombination>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QTextLayout>
#include <QVector>
#include <QWidget>

class QDialog;
class QKeyEvent;

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/window_system.h"

namespace pvz::detail {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQString(const QString& text) { return text.toStdString(); }

// 0xFFRRGGBB for a colour; system colours come from the palette, clNone and clDefault give `fallback`.
QRgb toRgb(Color color, QRgb fallback = 0xFF000000u);
inline QColor toQColor(Color color, QRgb fallback = 0xFF000000u) { return QColor::fromRgb(toRgb(color, fallback)); }
inline Color fromRgb(QRgb rgb) { return rgbColor(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

// The device pixels of the logical pixels `r` in a picture at `ratio`, as the canvas draws them.
QRect devicePixels(const QRect& r, double ratio);

// The toolkit font for a program font (cached: a handful of fonts are in use at a time).
const QFont& toQFont(const Font& font);

// The bits that an inverting drawing flips: the colour, not the alpha.
constexpr QRgb kInvertMask = 0x00FFFFFFu;

// A canvas over a Format_RGB32 image with the platform's integer pixel rules. Lines of width 1,
// rectangles, fills and frames are written straight into the pixels; ellipses, polygons, wide
// lines and text go through a painter that is begun at the first such drawing and kept.
// State changes are applied lazily; nothing is allocated per primitive.
class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QImage* image) : image_(image) {}
    ~ImageCanvas() override { release(); }
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    // Ends the painter so that the image can be shared, copied or replaced; the clip stays.
    void release();
    // Coordinates given to this canvas minus the origin are image coordinates.
    void setOrigin(QPoint origin) { origin_ = origin; }
    // Whether drawing may reach every pixel of the image.
    bool clipCoversImage() const { return !clipped_ || userClip_.contains(QRect(QPoint(), image_->size())); }

    void lineTo(int x, int y) override;
    void rectangle(const Rect& r) override;
    void fillRect(const Rect& r) override;
    void ellipse(const Rect& r) override;
    void polygon(std::span<const Point> points) override;
    void textOut(int x, int y, std::string_view text) override;
    int textWidth(std::string_view text) override;
    int textHeight(std::string_view text) override;
    void setClipRect(const Rect& r) override;
    void removeClip() override;
    void frame3D(Rect& r, Color topLeft, Color bottomRight, int width) override;
    void drawPixels(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) override;
    void fillPixelBoxes(int x, int y, std::span<const PixelBox> boxes) override;
    double pixelRatio() const override { return image_->isNull() ? 1.0 : image_->devicePixelRatio(); }
    // Makes the image's pixels those of `source`, which has the image's device size, within the clip.
    void copyPixels(const QImage& source);

protected:
    // Makes sure the image exists; false when there is nothing to draw on.
    virtual bool prepareTarget() { return !image_->isNull(); }
    // Called after a drawing that may have changed pixels inside `area` (image coordinates, not clipped).
    virtual void touched(const QRect& /*area*/) {}
    QImage& image() { return *image_; }

private:
    enum class PainterUse { None, Shape, Text };

    bool beginDirect();
    // Points bits_ and stride_ at the image's own pixels.
    void acquirePixels();
    bool beginPainter(PainterUse use);
    // The user's clip within the image, in device pixels of the image.
    QRect clipRect();
    // The device pixel of a logical image coordinate, and the device pixels that cover logical
    // columns left..right-1 and rows top..bottom-1.
    int dev(int logical) const { return devicePixelOf(logical, ratio_); }
    QRect devBox(int left, int top, int right, int bottom) const {
        return QRect(QPoint(dev(left), dev(top)), QPoint(dev(right) - 1, dev(bottom) - 1));
    }
    QRect devBox(const QRect& logical) const {
        return devBox(logical.left(), logical.top(), logical.left() + logical.width(),
                      logical.top() + logical.height());
    }
    void fillBox(const QRect& box, QRgb rgb, bool invert);  // device pixels, clipped
    void thinLine(QPoint from, QPoint to);
    // A wide solid line in copy mode from the stamp of its pen width and vector; false when
    // the line is not one that stamps are kept for.
    bool stampedLine(QPoint from, QPoint to);
    const QFontMetrics& metrics();
    // The advance of a text in the current font, measured once per font and text.
    int advance(std::string_view text);

    QImage* image_;
    QPainter painter_;
    bool painting_ = false;
    std::uint32_t* bits_ = nullptr;
    qsizetype stride_ = 0;  // pixels per row
    double ratio_ = 1.0;    // the image's device pixel ratio, read with bits_
    QPoint origin_;

    bool clipped_ = false;
    QRect userClip_;  // image coordinates
    QRect clip_;
    bool clipValid_ = false;
    bool painterClipValid_ = false;

    PainterUse painterUse_ = PainterUse::None;
    Pen painterPen_;
    Brush painterBrush_;
    Color painterTextColor_ = clNone;
    Font metricsFont_;
    std::optional<QFontMetrics> metrics_;
    // Advances of the texts measured in recent fonts: labels and legend rows are measured and
    // written again at every drawing, and shaping a text costs more than drawing it.
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    struct Advances {
        Font font;
        std::unordered_map<std::string, int, StringHash, std::equal_to<>> widths;
        // The glyphs of texts written in the font, laid out once, with their baseline.
        struct Shaped {
            QList<QGlyphRun> runs;
            qreal ascent = 0;
        };
        std::unordered_map<std::string, Shaped, StringHash, std::equal_to<>> shapes;
    };
    // The glyphs of a text in the current font (selected by advance()).
    const Advances::Shaped& shaped(std::string_view text);
    std::vector<Advances> advances_;
    std::size_t advancesInUse_ = 0;
    bool painterFontValid_ = false;
    Font painterFont_;

    Point lastLineEnd_{INT32_MIN, INT32_MIN};
    int stylePosition_ = 0;
    QVector<QPoint> polygonPoints_;

    // The pixels the painter covers for a wide line, as runs relative to its start, keyed by
    // pen width and vector: a line's coverage moves with it by whole pixels.
    struct LineStamp {
        std::vector<QRect> runs;
    };
    std::unordered_map<std::uint64_t, LineStamp> lineStamps_;
};

// A picture of `width` x `height` device pixels at `ratio`; a large one lies on huge pages
// where the system offers them.
QImage newPicture(int width, int height, double ratio);

// The canvas of a bitmap: every drawing forgets the rows found alike.
class BitmapCanvas : public ImageCanvas {
public:
    BitmapCanvas(QImage* image, std::vector<int>* sameRows) : ImageCanvas(image), sameRows_(sameRows) {}

protected:
    void touched(const QRect&) override { sameRows_->clear(); }
    // A picture still shown by a window is copied into a new one of its own before it is drawn
    // on, as the toolkit would copy it, but onto huge pages like the first.
    bool prepareTarget() override;

private:
    std::vector<int>* sameRows_;
};

struct BitmapImpl {
    QImage image;    // device pixels, with the ratio as its device pixel ratio
    int width = 0;   // logical
    int height = 0;  // logical
    // For each device row, the first row of the run of equal rows it belongs to; empty when not
    // known (the picture changed since the rows were compared).
    std::vector<int> sameRows;
    BitmapCanvas canvas{&image, &sameRows};
};

// The toolkit widget behind a control and the control's stored properties.
struct ControlImpl : QObject {
    explicit ControlImpl(QWidget* w);
    ~ControlImpl() override;

    // The widget that holds child controls.
    virtual QWidget* clientWidget() const { return widget; }
    // The widget that takes the keyboard focus for the control.
    virtual QWidget* focusTarget() const { return widget; }
    // Applies font (with its colour) and background colour to the widget.
    virtual void applyFont();
    virtual void applyColor();
    // Lays out the children with an alignment inside the client widget.
    void layoutAlignedChildren();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Answers a tip request from the hint source; false when there is none.
    bool showHintFromSource(QEvent* event);

    QPointer<QWidget> widget;
    Control* owner = nullptr;
    Font font;
    Color color = clDefault;
    std::string hint;
    bool showHint = true;
    Control::HintSource hintSource;
    Align align = Align::None;
};

// The panel's widget: shows the front picture, which is the last shown bitmap (shared) plus
// whatever was drawn straight onto the window since, and inverts the overlay over it.
struct PanelWidget : QWidget {
    explicit PanelWidget(PanelControl* panel);
    ~PanelWidget() override;

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Asks for a paint event that calls paint().
    void requestPaint();
    // Asks for `area` (front picture coordinates) to be shown again by the next paint event,
    // which does not call paint() for it.
    void showDirectDrawing(const QRect& area);

    // The front picture's size in logical pixels.
    QSize frontLogicalSize() const;
    // Makes `boxes` the overlay and asks for the window pixels of the old and the new one to be
    // painted again.
    void setOverlay(std::vector<QRect> boxes);

    PanelControl* panel;
    QImage front;  // device pixels at front.devicePixelRatio()
    // Boxes of the panel (logical pixels) that the paint event inverts over the front picture
    // where it shows it: the overlay the panel draws on top of its picture.
    std::vector<QRect> overlay;
    QSize frontLogical;
    QPoint frontOffset;  // logical
    bool ready = false;  // the panel is constructed and may be called
    bool inPaintEvent = false;
    bool frontOnly = false;  // the next paint events only show the front picture
    // The panel asked for paint() (or was resized) since the last call; other paint events, as
    // for a child control repainted over the panel, show the front picture as it is.
    bool paintRequested = true;
    std::unique_ptr<ImageCanvas> windowCanvas;
};

// The QApplication of the program with the layer's state.
struct ApplicationImpl : QApplication {
    ApplicationImpl(Application* owner, int& argc, char** argv);
    ~ApplicationImpl() override;

    static ApplicationImpl* current() { return static_cast<ApplicationImpl*>(QCoreApplication::instance()); }

    bool notify(QObject* receiver, QEvent* event) override;
    void showPendingErrors();

    Application* owner;
    std::string title;
    bool terminating = false;
    DialogService* dialogs = nullptr;
    std::unique_ptr<DialogService> ownDialogs;
    std::deque<std::string> pendingErrors;
    bool errorShowing = false;
    bool errorFlushScheduled = false;
    std::array<QRgb, 32> systemColors{};
    // The dialogs that runDialog shows now, innermost last.
    std::vector<QDialog*> openDialogs;
    int dialogsShown = 0;
    std::vector<std::pair<Font, QFont>> fonts;
};

std::unique_ptr<DialogService> makeToolkitDialogs();
// Sizes a message box before it is shown: wide enough for its whole title.
void prepareMessageBox(QMessageBox& box);

// The keys bound to tool buttons of one window (Form::bindHoldKey). An application event filter
// sees a key before the focused control does, so a bound key works wherever the focus is.
struct HoldKeys : QObject {
    explicit HoldKeys(QWidget* window) : window(window) { qApp->installEventFilter(this); }
    ~HoldKeys() override { qApp->removeEventFilter(this); }

    struct Binding {
        QKeyCombination keys;
        SpeedButton* button = nullptr;
        bool held = false;     // the key is down
        bool pressed = false;  // its press reached the button
        // The physical key that started the hold, as the platform names it (0 when it does not):
        // its release may carry another key code when Shift changed meanwhile ("=" for "+").
        quint32 scanCode = 0;
        quint32 virtualKey = 0;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;
    // Whether `event` releases the key that holds `binding`.
    bool releases(const Binding& binding, const QKeyEvent& event) const;
    // A key released while the window was not listening (it lost the focus) ends every hold.
    void releaseAll();
    void press(Binding& binding);
    void release(Binding& binding);

    QWidget* window;
    std::vector<Binding> bindings;
};

}  // namespace pvz::detail
