#pragma once

#include <QLineF>
#include <QRgb>

class QImage;
class QPainter;
class QTransform;

// The image a painter paints on, where its pixels may be written straight with the painter's
// own result: a 32-bit image of its own, painted without clipping or smoothing, plain
// source-over at full opacity. Null anywhere else.
QImage* PlainImageOf(QPainter& painter);

// The line from p1 to p2 in colour, one logical pixel wide with flat ends, drawn by the painter:
// what the lines written straight into the image do wherever their rule does not hold.
void DrawThroughPainter(QPainter& painter, const QLineF& line, QRgb colour);

// One-pixel lines written straight into the image a painter paints on, pixel for pixel as the
// painter draws a line one pixel wide without smoothing, on its own (not as part of a polyline):
// the line is taken to 1/64 pixel (cut towards zero) and walked along its longer axis, one pixel
// per row (or column) whose centre the line crosses, the other coordinate followed in 16.16 fixed
// point from the first centre, whichever way the line goes. Lines shorter than 1/64 pixel along
// both axes paint nothing unless their two ends are the same point, which paints the pixel nearest
// to it.
//
// This saves the painter's work per call where a graph draws hundreds of thousands of tiny lines.
// It is used only where that gives the painter's own pixels: a 32-bit image, no transformation
// (a pixel ratio of 1), no clipping, no smoothing, plain source-over painting at full opacity and
// an opaque colour; anywhere else, and for a line that leaves the image, the painter draws it.
class PixelLines
{
public:
    explicit PixelLines(QPainter& painter);

    // Whether lines go straight into the image.
    bool direct() const { return m_bits != nullptr; }
    // The line from p1 to p2 in colour (opaque), one pixel wide, flat ends.
    void draw(const QLineF& line, QRgb colour);

private:
    QPainter& m_painter;
    uchar* m_bits = nullptr;
    qsizetype m_bytesPerLine = 0;
    int m_width = 0;
    int m_height = 0;
};

// Lines one logical pixel wide with flat ends that leave every pixel as they are, drawn by a
// painter with a given transformation. Where the transformation scales up (a pixel ratio above 1)
// the painter fills the line's rectangle, a pixel for each pixel centre inside it: a rectangle
// whose box holds no pixel centre across or none down (with 1/16 pixel to spare for the painter's
// rounding) paints nothing. Many of the tiny segments of a long list are such. Under any other
// transformation no line is told to paint nothing.
class EmptyLines
{
public:
    explicit EmptyLines(const QTransform& deviceTransform);

    bool paintsNothing(const QLineF& line) const;

private:
    double m_scale = 0; // 0: no line is told to paint nothing
    double m_halfScale = 0; // exactly half of it: one division per line, not two
    double m_dx = 0;
    double m_dy = 0;
};
