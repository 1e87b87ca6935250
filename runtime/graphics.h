#pragma once
// Drawing vocabulary shared by the window-system layer and the chart engine: colours, points,
// rectangles, pens, brushes, fonts and the abstract canvas. Nothing here knows the toolkit.

#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pvz {

// A 24-bit colour with red in the low byte, green in the middle byte and blue in the high byte.
// Values with bit 31 set name a system colour (the platform palette); clNone and clDefault are markers.
using Color = std::uint32_t;

constexpr Color rgbColor(int red, int green, int blue) {
    return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int redOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Color clBlack = 0x000000;
inline constexpr Color clMaroon = 0x000080;
inline constexpr Color clGreen = 0x008000;
inline constexpr Color clOlive = 0x008080;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clPurple = 0x800080;
inline constexpr Color clTeal = 0x808000;
inline constexpr Color clGray = 0x808080;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clLime = 0x00FF00;
inline constexpr Color clYellow = 0x00FFFF;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clFuchsia = 0xFF00FF;
inline constexpr Color clAqua = 0xFFFF00;
inline constexpr Color clWhite = 0xFFFFFF;

// Markers: no colour at all (draw nothing), and an unset colour (take the owner's colour).
inline constexpr Color clNone = 0x1FFFFFFF;
inline constexpr Color clDefault = 0x20000000;

// System colours, resolved through the platform palette when drawn.
inline constexpr Color kSystemColorFlag = 0x80000000;
inline constexpr Color clWindowText = kSystemColorFlag | 8;
inline constexpr Color clInactiveBorder = kSystemColorFlag | 11;
inline constexpr Color clBtnFace = kSystemColorFlag | 15;
inline constexpr Color clBtnShadow = kSystemColorFlag | 16;
inline constexpr Color clBtnHighlight = kSystemColorFlag | 20;
inline constexpr Color clGradientInactiveCaption = kSystemColorFlag | 28;
inline constexpr Color clMenuBar = kSystemColorFlag | 30;

constexpr bool isSystemColor(Color c) { return (c & kSystemColorFlag) != 0; }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom in pixels, rows growing downwards. Filling operations cover
// columns left..right-1 and rows top..bottom-1, as the platform's rectangles do.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    // Inside with every edge included (the visor's rule).
    constexpr bool containsInclusive(Point p) const {
        return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom;
    }
    constexpr Rect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    constexpr Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr Rect intersected(const Rect& o) const {
        return {left > o.left ? left : o.left, top > o.top ? top : o.top, right < o.right ? right : o.right,
                bottom < o.bottom ? bottom : o.bottom};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };

// Copy draws in the pen's colour; Not inverts every pixel it touches (drawing twice restores).
enum class PenMode { Copy, Not };

struct Pen {
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
    // A width-1 pen that sets every other pixel in its colour, whatever its style (the grid's dots).
    bool smallDots = false;
    friend bool operator==(const Pen&, const Pen&) = default;
};

enum class BrushStyle { Solid, Clear };

struct Brush {
    Color color = clWhite;
    BrushStyle style = BrushStyle::Solid;
    friend bool operator==(const Brush&, const Brush&) = default;
};

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

inline constexpr int kScreenPixelsPerInch = 96;

// a * b / c rounded to the nearest integer, halves away from zero (c must not be 0).
int mulDiv(int a, int b, int c);

// Height in pixels: negative is the character height without internal leading, positive the
// cell height (ascent plus descent). Points convert at 96 pixels per inch.
struct Font {
    std::string name = "Arial";
    int height = -11;
    Color color = clBlack;
    unsigned style = 0;  // FontStyle bits

    int sizeInPoints() const;
    void setSizeInPoints(int points);
    bool bold() const { return (style & fsBold) != 0; }
    friend bool operator==(const Font&, const Font&) = default;
};

// A box of device pixels in one colour, relative to the device pixel of a point.
struct PixelBox {
    Rect area;
    Color color;
};

// The device pixel of a logical coordinate at a device pixel ratio: nearest, halves up. Logical
// pixel p covers device pixels devicePixelOf(p) .. devicePixelOf(p + 1) - 1, so neighbouring
// boxes tile without gaps or overlaps at every ratio, and ratio 1 maps every pixel to itself.
inline int devicePixelOf(int logical, double ratio) {
    if (ratio == 1.0) return logical;
    return static_cast<int>(std::floor(static_cast<double>(logical) * ratio + 0.5));
}

enum class TextAlign { Left, Center, Right };  // horizontal reference; the y of TextOut is the text's top
enum class BackgroundMode { Transparent, Opaque };

// The state a canvas draws with. Implementations apply it lazily at the next drawing operation,
// so changing a field costs nothing until something is drawn.
struct CanvasState {
    Pen pen;
    Brush brush;
    Font font;
    TextAlign textAlign = TextAlign::Left;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    Color backgroundColor = clWhite;
};

// A surface to draw on in integer pixel coordinates: an off-screen bitmap or a window.
class Canvas {
public:
    virtual ~Canvas() = default;

    CanvasState& state() { return state_; }
    const CanvasState& state() const { return state_; }
    Pen& pen() { return state_.pen; }
    Brush& brush() { return state_.brush; }
    Font& font() { return state_.font; }

    void moveTo(int x, int y) { current_ = {x, y}; }
    Point penPosition() const { return current_; }
    // A line from the current point to (x, y), the end point excluded; (x, y) becomes current.
    virtual void lineTo(int x, int y) = 0;
    // Outline with the pen and interior with the brush, covering left..right-1 x top..bottom-1.
    virtual void rectangle(const Rect& r) = 0;
    // The brush alone over left..right-1 x top..bottom-1.
    virtual void fillRect(const Rect& r) = 0;
    // Ellipse inscribed in the box, right and bottom excluded; pen outline, brush interior.
    virtual void ellipse(const Rect& r) = 0;
    virtual void polygon(std::span<const Point> points) = 0;
    // UTF-8 text with the font, at the text alignment, over the background in opaque mode.
    virtual void textOut(int x, int y, std::string_view text) = 0;
    virtual int textWidth(std::string_view text) = 0;
    virtual int textHeight(std::string_view text) = 0;
    virtual void setClipRect(const Rect& r) = 0;
    virtual void removeClip() = 0;
    // A bevelled frame of the given width: top and left edges in one colour, bottom and right
    // in the other; r shrinks by the width.
    virtual void frame3D(Rect& r, Color topLeft, Color bottomRight, int width) = 0;
    // Copies prepared 0xAARRGGBB pixels (rows of `stride` pixels) to (x, y), one logical
    // pixel each.
    virtual void drawPixels(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) = 0;
    // Fills boxes of device pixels placed relative to the device pixel of (x, y), in order,
    // within the clip; the pen and brush are neither used nor changed.
    virtual void fillPixelBoxes(int x, int y, std::span<const PixelBox> boxes) = 0;
    // Device pixels per logical pixel of the surface. Coordinates, sizes, pens and fonts are all
    // logical; the surface draws them at its own resolution.
    virtual double pixelRatio() const { return 1.0; }

protected:
    CanvasState state_;
    Point current_;
};

// Restores the canvas state (pen, brush, font, alignment, background) when it goes out of scope.
class CanvasStateSaver {
public:
    explicit CanvasStateSaver(Canvas& canvas) : canvas_(canvas), saved_(canvas.state()) {}
    ~CanvasStateSaver() { canvas_.state() = saved_; }
    CanvasStateSaver(const CanvasStateSaver&) = delete;
    CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

private:
    Canvas& canvas_;
    CanvasState saved_;
};

}  // namespace pvz
