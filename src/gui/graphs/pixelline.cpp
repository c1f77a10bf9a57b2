#include "pixelline.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace
{

// A coordinate in 1/64 pixel, cut towards zero.
int Sixtyfourths(double v)
{
    return static_cast<int>(v * 64.);
}

// across / along in 16.16 fixed point, cut towards zero; along > 0.
int FixedSlope(int across, int along)
{
    return static_cast<int>(static_cast<std::int64_t>(across) * 65536 / along);
}

// The 16.16 position across a line at pixel first along it, the line starting at (from, start)
// in 1/64 pixel (along, across) with slope: taken at the pixel's centre, or half a pixel further
// where the slope is positive, as the painter rounds.
int AcrossAtFirstCentre(int start, int from, int first, int slope)
{
    const int toCentre = first * 64 + (slope > 0 ? 32 : 0) - from;
    return start * 1024 + ((toCentre * slope) >> 6);
}

} // namespace

QImage* PlainImageOf(QPainter& painter)
{
    if (!painter.isActive() || !painter.paintEngine()
        || painter.paintEngine()->type() != QPaintEngine::Raster)
        return nullptr;
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    if (image->format() != QImage::Format_RGB32
        && image->format() != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    // A shared image would be copied by writing to it, away from what the painter paints on.
    if (!image->isDetached() || painter.hasClipping()
        || painter.testRenderHint(QPainter::Antialiasing)
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || painter.opacity() != 1.0)
        return nullptr;
    return image;
}

PixelLines::PixelLines(QPainter& painter)
    : m_painter(painter)
{
    QImage* image = PlainImageOf(painter);
    if (!image || !painter.deviceTransform().isIdentity())
        return;
    m_bits = image->bits();
    m_bytesPerLine = image->bytesPerLine();
    m_width = image->width();
    m_height = image->height();
}

void DrawThroughPainter(QPainter& painter, const QLineF& line, QRgb colour)
{
    painter.setPen(QPen(QColor::fromRgb(colour), 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(line);
}

void PixelLines::draw(const QLineF& line, QRgb colour)
{
    const double x1 = line.x1();
    const double y1 = line.y1();
    const double x2 = line.x2();
    const double y2 = line.y2();
    // Inside the image (NaN is not): the painter would clip nothing off such a line.
    const auto inside = [this](double x, double y) {
        return x >= 0 && x <= m_width - 1 && y >= 0 && y <= m_height - 1;
    };
    if (!direct() || !inside(x1, y1) || !inside(x2, y2)) {
        DrawThroughPainter(m_painter, line, colour);
        return;
    }
    const QRgb ink = 0xff000000u | colour;
    const auto plot = [&](int x, int y) {
        if (x >= 0 && x < m_width && y >= 0 && y < m_height)
            reinterpret_cast<QRgb*>(m_bits + y * m_bytesPerLine)[x] = ink;
    };
    int ax = Sixtyfourths(x1);
    int ay = Sixtyfourths(y1);
    int bx = Sixtyfourths(x2);
    int by = Sixtyfourths(y2);
    // Ends the painter takes for one point (the same but for a relative 1e-12) are within 1/64.
    if (std::abs(bx - ax) <= 1 && std::abs(by - ay) <= 1 && line.p1() == line.p2()) {
        plot(qRound(x1), qRound(y1));
        return;
    }
    if (std::abs(bx - ax) < std::abs(by - ay)) {
        // Mostly vertical: one pixel per row, top to bottom.
        if (ay > by) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        int row = (ay + 32) >> 6;
        const int end = (by + 32) >> 6;
        if (row == end)
            return;
        const int slope = FixedSlope(bx - ax, by - ay);
        for (int x = AcrossAtFirstCentre(ax, ay, row, slope); row < end; ++row, x += slope)
            plot(x >> 16, row);
        return;
    }
    if (bx == ax)
        return;
    // Mostly horizontal: one pixel per column, left to right.
    if (ax > bx) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const int slope = FixedSlope(by - ay, bx - ax);
    int column = (ax + 32) >> 6;
    const int end = (bx + 32) >> 6;
    if (column == end)
        return;
    for (int y = AcrossAtFirstCentre(ay, ax, column, slope); column < end; ++column, y += slope)
        plot(column, y >> 16);
}

EmptyLines::EmptyLines(const QTransform& deviceTransform)
{
    const double scale = deviceTransform.m11();
    if (deviceTransform.type() <= QTransform::TxScale && deviceTransform.m22() == scale && scale > 1
        && std::isfinite(scale)) {
        m_scale = scale;
        m_halfScale = scale / 2;
        m_dx = deviceTransform.dx();
        m_dy = deviceTransform.dy();
    }
}

bool EmptyLines::paintsNothing(const QLineF& line) const
{
    if (m_scale == 0)
        return false;
    const double x1 = line.x1() * m_scale + m_dx;
    const double y1 = line.y1() * m_scale + m_dy;
    const double x2 = line.x2() * m_scale + m_dx;
    const double y2 = line.y2() * m_scale + m_dy;
    const double dx = std::abs(x2 - x1);
    const double dy = std::abs(y2 - y1);
    const double longer = std::max(dx, dy);
    if (longer == 0)
        return true; // a point, with flat ends
    // The rectangle reaches half the width (the scale / 2) either side of the line, across it:
    // dy / length of that sideways and dx / length of it up and down, taken here a little wider
    // (by at most a factor of the square root of 2) with the longer axis for the length.
    constexpr double kSpare = 1.0 / 16;
    const double reach = m_halfScale / longer;
    const double acrossX = dy * reach + kSpare;
    const double acrossY = dx * reach + kSpare;
    // Whether no pixel centre (a whole number and a half) lies from low to high; told only from 0
    // to a billion (NaN is not), where cutting to a whole number is the floor.
    const auto holdsNoCentre = [](double low, double high) {
        const double from = low - 0.5;
        const double to = high - 0.5;
        if (!(from >= 0 && to < 1e9))
            return false;
        return static_cast<double>(static_cast<long long>(to)) < from;
    };
    return holdsNoCentre(std::min(x1, x2) - acrossX, std::max(x1, x2) + acrossX)
        || holdsNoCentre(std::min(y1, y2) - acrossY, std::max(y1, y2) + acrossY);
}
