#pragma once

#include <QLineF>
#include <QRgb>

#include <vector>

class QPainter;

// Lines one logical pixel wide with flat ends at a pixel ratio of 2, written straight into the
// image a painter paints on where that gives the painter's own pixels, and drawn by the painter
// everywhere else.
//
// Without smoothing the painter fills the line's rectangle (two device pixels wide) by pixel
// centres: its corners taken down to 1/64 pixel, then each pixel row whose centre lies below the
// top corner and not below the bottom one, and in that row the pixels whose centre lies right of
// the left edges and not right of the right edges, the edges followed from row to row in 16.16
// fixed point. A line within 1/64 pixel of level or upright is filled as an upright box. Where
// any pixel centre lies so close to an edge that the painter's fixed point could put it either
// side (or a corner so close to a 1/64 step), where the rectangle is not wholly inside the image,
// and for any line the rule does not cover, the painter draws it: only the certain lines are
// written here.
//
// Used only on a 32-bit image at a pixel ratio of exactly 2 with no other transformation, no
// clipping, no smoothing, plain source-over painting at full opacity and opaque colours.
class WideLines
{
public:
    explicit WideLines(QPainter& painter);

    // Whether lines may go straight into the image.
    bool direct() const { return m_bits != nullptr; }
    // The line (logical coordinates) in colour (opaque), one logical pixel wide, flat ends.
    void draw(const QLineF& line, QRgb colour);
    // How many lines went straight into the image.
    qint64 writtenStraight() const { return m_writtenStraight; }

private:
    struct Span {
        int y;
        int left;
        int right;
    };
    // The rows the painter fills for the line from a to b (device pixels) into m_spans; false
    // when they are not certain.
    bool spansOfSlantedLine(double ax, double ay, double bx, double by, double length);
    bool spansOfUprightBox(double left, double right, double top, double bottom);

    QPainter& m_painter;
    uchar* m_bits = nullptr;
    qsizetype m_bytesPerLine = 0;
    int m_width = 0;
    int m_height = 0;
    std::vector<Span> m_spans;
    qint64 m_writtenStraight = 0;
};
