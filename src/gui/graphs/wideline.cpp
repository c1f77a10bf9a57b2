#include "wideline.h"

#include "pixelline.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{

// The pixel ratio served, and so the width of a line in device pixels.
constexpr double kScale = 2;
// How far from a step a value must be for the painter's own arithmetic (in doubles, the same
// formulas in another order) to land on the same side of it.
constexpr double kSure = 1e-7;
// One step of the painter's 16.16 fixed point: what it loses cutting a start or a slope.
constexpr double kFixedStep = 1.0 / 65536;

struct Point {
    double x;
    double y;
};

bool NearWhole(double v, double margin)
{
    return std::abs(v - std::nearbyint(v)) < margin;
}

// Whether the painter takes d as within 1/64 pixel of nothing (d a device distance).
bool WithinA64th(double d)
{
    return std::abs(d) * 64 < 1;
}

// v taken down to 1/64 pixel, as the painter takes a corner; false where v is too near a step.
bool Snapped(double& v)
{
    const double t = v * 64;
    if (NearWhole(t, kSure))
        return false;
    v = std::floor(t) / 64;
    return true;
}

} // namespace

WideLines::WideLines(QPainter& painter)
    : m_painter(painter)
{
    QImage* image = PlainImageOf(painter);
    const QTransform t = painter.deviceTransform();
    if (!image || t.type() != QTransform::TxScale || t.m11() != kScale || t.m22() != kScale
        || t.dx() != 0 || t.dy() != 0)
        return;
    m_bits = image->bits();
    m_bytesPerLine = image->bytesPerLine();
    m_width = image->width();
    m_height = image->height();
}

void WideLines::draw(const QLineF& line, QRgb colour)
{
    if (!direct()) {
        DrawThroughPainter(m_painter, line, colour);
        return;
    }
    // The painter's own test: ends this close paint nothing with flat ends.
    if (line.p1() == line.p2())
        return;
    const double ax = line.x1() * kScale;
    const double ay = line.y1() * kScale;
    const double bx = line.x2() * kScale;
    const double by = line.y2() * kScale;
    // Ends this far inside keep the whole rectangle (a device pixel either side) in the image
    // (NaN is not inside).
    const auto inside = [this](double x, double y) {
        return x >= 1.5 && x <= m_width - 1.5 && y >= 1.5 && y <= m_height - 1.5;
    };
    bool certain = false;
    if (inside(ax, ay) && inside(bx, by)) {
        const double dx = bx - ax;
        const double dy = by - ay;
        // The painter's length differs in the last bit at most: far inside the margins.
        const double length = std::sqrt(dx * dx + dy * dy);
        const double width = kScale / length; // relative to the length
        if (WithinA64th(dy)) {
            // Level: filled as an upright box as tall as the pen, on the first end's row.
            const double x = (ax + bx) * 0.5;
            const double halfTall = width * (std::abs(dx) * 0.5);
            const double top = ay - halfTall;
            const double bottom = ay + halfTall;
            const double half = 0.5 * (1 / width) * (bottom - top);
            certain = spansOfUprightBox(x - half, x + half, top, bottom);
        } else if (WithinA64th(dx)) {
            const bool down = ay <= by;
            const double x = down ? ax : bx;
            const double half = 0.5 * width * std::abs(dy);
            certain = spansOfUprightBox(x - half, x + half, std::min(ay, by), std::max(ay, by));
        } else {
            certain = spansOfSlantedLine(ax, ay, bx, by, length);
        }
    }
    if (!certain) {
        DrawThroughPainter(m_painter, line, colour);
        return;
    }
    ++m_writtenStraight;
    const QRgb ink = 0xff000000u | colour;
    for (const Span& span : m_spans) {
        auto* row = reinterpret_cast<QRgb*>(m_bits + span.y * m_bytesPerLine);
        std::fill(row + span.left, row + span.right + 1, ink);
    }
}

bool WideLines::spansOfUprightBox(double left, double right, double top, double bottom)
{
    m_spans.clear();
    // Narrower or shorter than 1/64 paints nothing.
    const double wide = (right - left) * 64;
    const double tall = (bottom - top) * 64;
    if (std::abs(wide - 1) < kSure || std::abs(tall - 1) < kSure)
        return false;
    if (wide < 1 || tall < 1)
        return true;
    // The rows and columns whose centres lie past the top and left sides and not past the
    // bottom and right ones (all of them inside the image).
    for (const double v : { top + 0.5, bottom - 0.5, left + 0.5, right - 0.5 }) {
        if (NearWhole(v, kSure))
            return false;
    }
    const int firstRow = static_cast<int>(std::floor(top + 0.5));
    const int lastRow = static_cast<int>(std::floor(bottom - 0.5));
    const int firstColumn = static_cast<int>(std::floor(left + 0.5));
    const int lastColumn = static_cast<int>(std::floor(right - 0.5));
    if (lastColumn < firstColumn)
        return false;
    for (int y = firstRow; y <= lastRow; ++y)
        m_spans.push_back({ y, firstColumn, lastColumn });
    return true;
}

bool WideLines::spansOfSlantedLine(double ax, double ay, double bx, double by, double length)
{
    m_spans.clear();
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    // The rectangle's corners, a pen's half width either side of the line, named by where they
    // lie; the side corners depend on which way the line leans.
    const double half = 0.5 * (kScale / length);
    const double px = (by - ay) * half;
    const double py = -(bx - ax) * half;
    Point top;
    Point left;
    Point right;
    Point bottom;
    if (ax < bx) {
        top = { ax + px, ay + py };
        left = { ax - px, ay - py };
        right = { bx + px, by + py };
        bottom = { bx - px, by - py };
    } else {
        top = { ax - px, ay - py };
        left = { bx - px, by - py };
        right = { ax + px, ay + py };
        bottom = { bx + px, by + py };
    }
    for (Point* corner : { &top, &left, &right, &bottom }) {
        if (!Snapped(corner->x) || !Snapped(corner->y))
            return false;
    }
    // No edge goes up. An edge may be level (the short sides of a steep line, taken to 1/64):
    // no row's centre lies along it, so it is never followed.
    if (!(top.y <= left.y && top.y <= right.y && left.y <= bottom.y && right.y <= bottom.y
            && top.y < bottom.y))
        return false;

    // The last row whose centre is not below a corner (the corners are on 1/64 steps, so these
    // are exact).
    const auto lastRowAbove = [](double y) { return static_cast<int>(std::floor(y - 0.5)); };
    const int firstRow = static_cast<int>(std::floor(top.y + 0.5));
    const int lastLeftTop = lastRowAbove(left.y);
    const int lastRightTop = lastRowAbove(right.y);
    const int lastRow = lastRowAbove(bottom.y);
    // Where an edge from p to q meets the centre line of row y, shifted by shift; false when
    // the painter's fixed point, followed from row firstRow of the edge, could fall either side
    // of a whole pixel.
    const auto meets = [](Point p, Point q, int y, int fromRow, double shift, int& column) {
        if (!(q.y > p.y))
            return false;
        const double x = p.x + (y + 0.5 - p.y) * ((q.x - p.x) / (q.y - p.y)) + shift;
        if (NearWhole(x, (y - fromRow + 2) * kFixedStep + kSure))
            return false;
        column = static_cast<int>(std::floor(x));
        return true;
    };
    for (int y = firstRow; y <= lastRow; ++y) {
        int first = 0;
        int last = 0;
        const bool leftTop = y <= lastLeftTop;
        const bool rightTop = y <= lastRightTop;
        if (!meets(leftTop ? top : left, leftTop ? left : bottom, y,
                leftTop ? firstRow : lastLeftTop + 1, 0.5, first)
            || !meets(rightTop ? top : right, rightTop ? right : bottom, y,
                rightTop ? firstRow : lastRightTop + 1, -0.5, last))
            return false;
        first = std::max(first, 0);
        last = std::min(last, m_width - 1);
        if (last >= first)
            m_spans.push_back({ y, first, last });
    }
    return true;
}
