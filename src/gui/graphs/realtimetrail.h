#pragma once

#include "plotgeometry.h"
#include "tracesweep.h"

#include <QTime>

#include <vector>

class QPainter;

// What the real-time graph's image holds, kept so that the graph can be drawn again onto
// another device (a drawing, a document) with the same geometry: the points of the sweep under
// way, from its start; the time labels of earlier sweeps that no later label has covered; and the
// tops of earlier time lines, which stick out above the band each new sweep blanks. Bounded: one
// sweep of points (the range dialog allows at most 864,000), labels that do not overlap, and one
// line top per half pixel of the plot's width.
class RealTimeTrail
{
public:
    // The most points kept; a sweep with more cannot be redrawn (complete() is then false).
    static constexpr size_t kMostPoints = 2'000'000;

    // Nothing drawn yet: the frame on a blank client area.
    void clear();
    // A tick drawn: its point, the sweep's offset after it, what the time axis got and, for a
    // label, where it went.
    void add(const RealTimePoint& point, float sweepX, TimeMark mark, const TimeLabelSpan& label);

    // Draws, onto a client area with the frame on it, what the image holds besides the frame.
    void paint(
        QPainter& painter, const PlotGeometry& geometry, float sampleStep, int gridColour) const;

    // Whether everything since the frame was drawn is held.
    bool complete() const { return !m_overflow; }
    size_t pointCount() const { return m_points.size(); }
    size_t labelCount() const { return m_older.size() + m_current.size(); }
    size_t lineTopCount() const { return m_lineTops.size(); }

private:
    struct Label {
        float x; // offset from the plot's left edge
        QTime time;
        TimeLabelSpan span;
    };
    void dropCoveredBy(const TimeLabelSpan& span);

    std::vector<RealTimePoint> m_points; // the sweep under way
    std::vector<Label> m_current; // its labels
    std::vector<Label> m_older; // earlier sweeps' labels still showing
    std::vector<float> m_lineTops; // offsets of earlier sweeps' time lines
    bool m_overflow = false;
};
