#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QtGlobal>

#include <cmath>

// Looks at a graph's back buffer in logical pixels, whatever its pixel density.

// Whether colour appears in the box x0..x1, y0..y1 (logical, inclusive).
inline bool HasColourIn(
    const QImage& image, double x0, double y0, double x1, double y1, const QColor& colour)
{
    const double ratio = image.devicePixelRatio();
    const int left = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) * ratio)));
    const int right = std::min(
        image.width() - 1, static_cast<int>(std::ceil((std::max(x0, x1) + 1) * ratio)) - 1);
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) * ratio)));
    const int bottom = std::min(
        image.height() - 1, static_cast<int>(std::ceil((std::max(y0, y1) + 1) * ratio)) - 1);
    const QRgb wanted = colour.rgb();
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (image.pixel(x, y) == wanted)
                return true;
        }
    }
    return false;
}

// Whether dark ink (text is drawn smoothed, so not one exact colour) appears in the box.
inline bool HasInkIn(const QImage& image, double x0, double y0, double x1, double y1)
{
    const double ratio = image.devicePixelRatio();
    const QRect box = QRect(
        QPoint(static_cast<int>(std::floor(x0 * ratio)), static_cast<int>(std::floor(y0 * ratio))),
        QPoint(static_cast<int>(std::ceil(x1 * ratio)), static_cast<int>(std::ceil(y1 * ratio))))
                          .intersected(image.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 128 && c.green() < 128 && c.blue() < 128)
                return true;
        }
    }
    return false;
}

// Whether colour appears within one logical pixel of (x, y).
inline bool HasColourNear(const QImage& image, double x, double y, const QColor& colour)
{
    return HasColourIn(image, x - 1, y - 1, x + 1, y + 1, colour);
}
