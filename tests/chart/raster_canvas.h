#pragma once
// A canvas for tests that keeps a log of the calls made to it and rasterises the filling ones
// (fillRect, drawPixels) into its own pixel buffer, without a window system.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/graphics.h"

namespace pvz::test {

struct CanvasCall {
    enum class Kind { LineTo, Rectangle, FillRect, Ellipse, Polygon, TextOut, Clip, Unclip, Frame, Pixels };
    Kind kind;
    CanvasState state;
    Rect rect;
    Point from;
    Point to;
    std::vector<Point> points;
    std::string text;
};

class RasterCanvas : public Canvas {
public:
    RasterCanvas(int width, int height)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), 0) {}

    std::vector<CanvasCall> calls;
    int textHeightPixels = 16;
    int charWidthPixels = 8;

    Color pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

    void lineTo(int x, int y) override {
        record(CanvasCall::Kind::LineTo, [&](CanvasCall& c) {
            c.from = current_;
            c.to = {x, y};
        });
        current_ = {x, y};
    }
    void rectangle(const Rect& r) override {
        record(CanvasCall::Kind::Rectangle, [&](CanvasCall& c) { c.rect = r; });
    }
    void fillRect(const Rect& r) override {
        record(CanvasCall::Kind::FillRect, [&](CanvasCall& c) { c.rect = r; });
        fill(r, state_.brush.color);
    }
    void ellipse(const Rect& r) override {
        record(CanvasCall::Kind::Ellipse, [&](CanvasCall& c) { c.rect = r; });
    }
    void polygon(std::span<const Point> points) override {
        record(CanvasCall::Kind::Polygon, [&](CanvasCall& c) { c.points.assign(points.begin(), points.end()); });
    }
    void textOut(int x, int y, std::string_view text) override {
        record(CanvasCall::Kind::TextOut, [&](CanvasCall& c) {
            c.from = {x, y};
            c.text = std::string(text);
        });
    }
    int textWidth(std::string_view text) override { return static_cast<int>(text.size()) * charWidthPixels; }
    int textHeight(std::string_view) override { return textHeightPixels; }
    void setClipRect(const Rect& r) override {
        record(CanvasCall::Kind::Clip, [&](CanvasCall& c) { c.rect = r; });
    }
    void removeClip() override {
        record(CanvasCall::Kind::Unclip, [](CanvasCall&) {});
    }
    void frame3D(Rect& r, Color, Color, int width) override {
        record(CanvasCall::Kind::Frame, [&](CanvasCall& c) { c.rect = r; });
        r = r.inflated(-width, -width);
    }
    void drawPixels(int x, int y, int width, int height, const std::uint32_t* pixels, int stride) override {
        record(CanvasCall::Kind::Pixels, [&](CanvasCall& c) { c.rect = {x, y, x + width, y + height}; });
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                const std::uint32_t argb = pixels[row * stride + column];
                put(x + column, y + row, rgbColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
            }
    }

    // At ratio 1 a box of device pixels is a box of logical pixels: logged as a fill in its colour.
    void fillPixelBoxes(int x, int y, std::span<const PixelBox> boxes) override {
        for (const PixelBox& b : boxes) {
            const Rect r = b.area.translated(x, y);
            record(CanvasCall::Kind::FillRect, [&](CanvasCall& c) {
                c.rect = r;
                c.state.brush = Brush{b.color, BrushStyle::Solid};
            });
            fill(r, b.color);
        }
    }

    int count(CanvasCall::Kind kind) const {
        int n = 0;
        for (const CanvasCall& c : calls) n += c.kind == kind ? 1 : 0;
        return n;
    }

private:
    template <class F>
    void record(CanvasCall::Kind kind, F&& fill) {
        CanvasCall c{kind, state_, {}, {}, {}, {}, {}};
        fill(c);
        calls.push_back(std::move(c));
    }
    void put(int x, int y, Color c) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
    }
    void fill(const Rect& r, Color c) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) put(x, y, c);
    }

    int width_;
    int height_;
    std::vector<Color> pixels_;
};

}  // namespace pvz::test
